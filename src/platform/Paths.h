#pragma once

#include <string>
#include <string_view>

namespace orx {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Full path of the running executable.
std::string ExecutablePath();
// Folder of a path including its trailing separator ("" when the path has none).
std::string FolderOf(std::string_view path);
// File name of a path without folder; "\" counts as a separator on every platform.
std::string FileNameOf(std::string_view path);
// File name without folder and without extension (the extension starts at the last dot).
std::string FileTitleOf(std::string_view path);
// Converts a name read from a stored file (which may use "\" as written on Windows) to native
// separators. On Windows it is returned unchanged.
std::string NativeSeparators(std::string_view path);
// Appends the native separator unless the path already ends with "/" or "\".
std::string WithTrailingSeparator(std::string_view folder);

// The per-user runtime folder ($XDG_RUNTIME_DIR, else /tmp/orx-<uid> made private), with a
// trailing separator; "" when no private folder can be had.
std::string RuntimeFolder();
// A private folder of that name inside the runtime folder, created on demand; "" on failure.
std::string PrivateSubfolder(std::string_view name);

}  // namespace orx
