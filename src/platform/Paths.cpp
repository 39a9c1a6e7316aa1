#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

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

// The folder exists, is a real folder owned by us and nobody else may enter it.
bool IsPrivateFolder(const std::string& folder) {
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
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

std::string RuntimeFolder() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg != nullptr && xdg[0] == '/') {
        std::string folder = WithTrailingSeparator(xdg);
        struct stat st {};
        if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
            access(folder.c_str(), W_OK | X_OK) == 0) {
            return folder;
        }
    }
    const std::string folder = "/tmp/orx-" + std::to_string(geteuid());
    mkdir(folder.c_str(), 0700);
    // A folder of that name made by someone else (or a link planted there) is never trusted.
    if (!IsPrivateFolder(folder)) {
        return {};
    }
    return folder + "/";
}

std::string PrivateSubfolder(std::string_view name) {
    const std::string runtime = RuntimeFolder();
    if (runtime.empty()) {
        return {};
    }
    const std::string folder = runtime + std::string(name);
    mkdir(folder.c_str(), 0700);
    if (!IsPrivateFolder(folder)) {
        return {};
    }
    return folder + "/";
}

}  // namespace orx
