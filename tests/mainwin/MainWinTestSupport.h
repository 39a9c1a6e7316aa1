#pragma once

// Scaffolding of the main-window tests: a fresh folder per test holding the settings file and
// the video folder, a recording UI host, a clock under the test's control, and playlist files.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/AppSettings.h"
#include "app/DebugLog.h"
#include "app/IniFile.h"
#include "app/UiHost.h"
#include "library/Playlist.h"
#include "platform/Clock.h"

namespace orx::test {

class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orx-mainwin-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern + "/";
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

class RecordingUi : public UiHost {
public:
    int ShowMessageBox(const std::string& text, const std::string&, unsigned type) override {
        boxes.push_back({text, type});
        return id::Ok;
    }
    void SetWaitCursor(bool) override {}

    std::vector<std::pair<std::string, unsigned>> boxes;
};

// Ticks move only when the test (or a sleep) moves them.
class ManualClock : public Clock {
public:
    uint32_t Ticks() override { return ticks; }
    void Sleep(uint32_t ms) override { ticks += ms; }
    LocalTime Now() override { return {2024, 5, 6, 12, 0, 0}; }
    uint32_t ticks = 1000;
};

inline void WriteFile(const std::string& path, const std::string& content = {}) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ClipSpec {
    ClipSpec(std::string n, int32_t ms, std::string c = {})
        : name(std::move(n)), durationMs(ms), comment(std::move(c)) {}
    std::string name;  // relative to the video folder
    int32_t durationMs = 0;
    std::string comment;
};

inline PlaylistEntry Entry(const std::string& name, int32_t durationMs,
                           const std::string& comment = {}) {
    PlaylistEntry e;
    std::strncpy(e.fileName, name.c_str(), sizeof e.fileName - 1);
    std::strncpy(e.comment, comment.c_str(), sizeof e.comment - 1);
    e.durationMs = durationMs;
    e.transition = 0;  // CUT
    e.interleaveMs = 100;
    return e;
}

// A playlist of clips and the end entry, saved to path; the clip files are created (empty)
// in the video folder unless they exist.
inline void WritePlaylist(const std::string& path, const std::vector<ClipSpec>& clips) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    Playlist playlist;
    playlist.Clear();
    for (const ClipSpec& clip : clips) {
        playlist.entries.push_back(Entry(clip.name, clip.durationMs, clip.comment));
        const std::string file = Settings().videoPath + clip.name;
        if (!std::filesystem::exists(file)) {
            WriteFile(file);
        }
    }
    playlist.entries.push_back(Entry({}, 0));
    playlist.ComputeTotal();
    ASSERT_EQ(playlist.Save(path), kPlaylistOk) << path;
}

// Per test: the settings file and a video folder in a fresh folder, no boards, a recording UI.
class MainWinFixture : public ::testing::Test {
protected:
    void SetUp() override {
        windowDir_ = std::make_unique<TempFolder>();
        setenv("ORX_WINDOW_DIR", windowDir_->Path().c_str(), 1);
        SetIniPath(dir_ / "brenvik.ini");
        Settings() = AppSettings{};
        Settings().appDir = dir_.Path();
        Settings().videoPath = dir_ / "Video/";
        Settings().remotePath = dir_.Path();
        std::filesystem::create_directories(Settings().videoPath);
        ResetDebugLogForTesting();
        SetUiHost(&ui_);
    }
    void TearDown() override { SetUiHost(nullptr); }

    std::string Video(const std::string& name) const { return Settings().videoPath + name; }

    TempFolder dir_;
    std::unique_ptr<TempFolder> windowDir_;
    RecordingUi ui_;
    ManualClock clock_;
};

}  // namespace orx::test

// GUI tests need the application object for their whole run.
#define ORX_QT_TEST_MAIN()                      \
    int main(int argc, char** argv) {           \
        QApplication app(argc, argv);           \
        ::testing::InitGoogleTest(&argc, argv); \
        return RUN_ALL_TESTS();                 \
    }
