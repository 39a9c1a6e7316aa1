#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orx {

// Equal but for the letter case of ASCII letters (bytes outside ASCII must match exactly).
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// The playlist files below the video folder whose own entries (not those of nested playlists)
// name the clip at fullPath, letter case ignored; each listed once, by its path relative to the
// video folder, in the order the folders are walked. Playlists that fail to load are skipped;
// folder links are not followed.
std::vector<std::string> FindPlaylistsUsingClip(const std::string& fullPath);

}  // namespace orx
