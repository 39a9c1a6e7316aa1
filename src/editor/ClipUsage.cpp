#include "editor/ClipUsage.h"

#include <filesystem>
#include <system_error>

#include "app/AppSettings.h"
#include "app/AsciiCase.h"
#include "library/Playlist.h"

namespace orx {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return EqualsNoCase(a, b);
}

std::vector<std::string> FindPlaylistsUsingClip(const std::string& fullPath) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    const std::string& videoPath = Settings().videoPath;
    if (videoPath.empty()) {
        return names;
    }
    std::error_code error;
    // Directory links are not followed, so a link back into the tree cannot make the walk endless.
    fs::recursive_directory_iterator it(fs::path(videoPath),
                                        fs::directory_options::skip_permission_denied, error);
    for (const fs::recursive_directory_iterator end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        const std::string path = it->path().string();
        if (!IsPlaylistFile(path)) {
            continue;
        }
        Playlist playlist;
        if (playlist.Load(path, false, 0) & kResultFailureBit) {
            continue;
        }
        for (const PlaylistEntry& entry : playlist.entries) {
            if (EqualIgnoringAsciiCase(Playlist::FullPath(entry), fullPath)) {
                names.push_back(path.compare(0, videoPath.size(), videoPath) == 0
                                    ? path.substr(videoPath.size())
                                    : path);
                break;
            }
        }
    }
    return names;
}

}  // namespace orx
