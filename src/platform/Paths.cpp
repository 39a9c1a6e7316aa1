#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace orx {
namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

size_t LastSeparator(std::string_view path) {
    const size_t pos = path.find_last_of("/\\");
    return pos;
}

std::string& TempRoot() {
    static std::string root = "/tmp/";
    return root;
}

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string ExecutablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string FolderOf(std::string_view path) {
    const size_t pos = LastSeparator(path);
    if (pos == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, pos + 1));
}

std::string FileNameOf(std::string_view path) {
    const size_t pos = LastSeparator(path);
    if (pos == std::string_view::npos) {
        return std::string(path);
    }
    return std::string(path.substr(pos + 1));
}

std::string FileTitleOf(std::string_view path) {
    std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string NativeSeparators(std::string_view path) {
    std::string result(path);
#ifndef _WIN32
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
#endif
    return result;
}

std::string WithTrailingSeparator(std::string_view folder) {
    std::string result(folder);
    // An empty folder stays empty: joining names to it keeps them relative instead of turning
    // them into names at the root.
    if (!result.empty() && !IsSeparator(result.back())) {
        result += kPathSeparator;
    }
    return result;
}

FolderStatus MakePrivateFolder(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    if (path.empty() || (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)) {
        return FolderStatus::kUnavailable;
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return FolderStatus::kUnavailable;
    }
    // A name taken by someone else (another user's folder, a planted link, a folder others may
    // enter) is never used: whoever made it could read, replace or block what goes in it.
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & 077) != 0) {
        return FolderStatus::kForeign;
    }
    return FolderStatus::kPrivate;
}

std::string RuntimeFolder(std::string* refused) {
    const std::string xdg = EnvOrEmpty("XDG_RUNTIME_DIR");
    if (!xdg.empty() && xdg[0] == '/') {
        std::string folder = WithTrailingSeparator(xdg);
        struct stat st {};
        if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
            access(folder.c_str(), W_OK | X_OK) == 0) {
            return folder;
        }
    }
    const std::string folder = TempRoot() + "orx-" + std::to_string(geteuid()) + "/";
    const FolderStatus status = MakePrivateFolder(folder);
    if (status == FolderStatus::kForeign && refused != nullptr) {
        *refused = folder;
    }
    return status == FolderStatus::kPrivate ? folder : std::string();
}

std::string PrivateSubfolder(std::string_view name) {
    const std::string runtime = RuntimeFolder();
    if (runtime.empty()) {
        return {};
    }
    const std::string folder = runtime + std::string(name) + "/";
    return MakePrivateFolder(folder) == FolderStatus::kPrivate ? folder : std::string();
}

std::string WindowFolderPath() {
    std::string folder = EnvOrEmpty("ORX_WINDOW_DIR");
    if (folder.empty()) {
        const std::string runtime = EnvOrEmpty("XDG_RUNTIME_DIR");
        folder = !runtime.empty() ? runtime + "/orx-windows"
                                  : TempRoot() + "orx-windows-" + std::to_string(getuid());
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder + "/";
}

void SetTempRootForTesting(std::string root) {
    TempRoot() = root.empty() ? std::string("/tmp/") : WithTrailingSeparator(root);
}

}  // namespace orx
