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

enum class FolderStatus {
    kPrivate,      // a real folder of this user that nobody else may enter
    kForeign,      // the name is taken by something else: refused
    kUnavailable,  // cannot be created or examined
};
// Creates folder (mode 0700) when missing and tells whether it may be used.
FolderStatus MakePrivateFolder(const std::string& folder);

// The per-user runtime folder ($XDG_RUNTIME_DIR, else /tmp/orx-<uid> made private), with a
// trailing separator; "" when no private folder can be had. When the fallback folder exists but
// belongs to someone else, its path is stored in refused (when given).
std::string RuntimeFolder(std::string* refused = nullptr);
// A private folder of that name inside the runtime folder, created on demand; "" on failure.
std::string PrivateSubfolder(std::string_view name);
// The window folder of the window-message transport, with a trailing separator:
// $ORX_WINDOW_DIR, else $XDG_RUNTIME_DIR/orx-windows, else /tmp/orx-windows-<uid>.
std::string WindowFolderPath();

// Puts the /tmp fallbacks below root ("" restores /tmp), so tests can occupy them.
void SetTempRootForTesting(std::string root);

}  // namespace orx
