#pragma once

// Scaffolding shared by the fuzz targets: a private scratch folder for readers that take a path,
// whole-file writes, and a user-interface host that answers every box at once.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/UiHost.h"

namespace orx::fuzz {

// A folder of its own for one fuzzing process, in memory when /dev/shm is there (every input is
// written to a file, so the disk would be the bottleneck). Path() ends with the separator.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "orx-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern + "/";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + std::string(name); }

private:
    std::string path_;
};

// Replaces the file's contents; aborts when the scratch folder cannot be written, since every
// later result would be meaningless.
inline void WriteWholeFile(const std::string& path, const void* data, size_t size) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || (size > 0 && std::fwrite(data, 1, size, f) != size) ||
        std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
}

inline void WriteWholeFile(const std::string& path, std::string_view text) {
    WriteWholeFile(path, text.data(), text.size());
}

// Message boxes answer "OK" without being shown (the default host would print every one).
class SilentUiHost : public UiHost {
public:
    SilentUiHost() { SetUiHost(this); }
    int ShowMessageBox(const std::string&, const std::string&, unsigned) override {
        ++boxes;
        return id::Ok;
    }
    void SetWaitCursor(bool) override {}
    long boxes = 0;
};

// A broken invariant is a finding: print it and abort, so libFuzzer saves the input.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

}  // namespace orx::fuzz
