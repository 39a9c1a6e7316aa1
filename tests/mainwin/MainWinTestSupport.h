#pragma once

// Per test: a fresh folder with the settings file and the video folder, a recording UI host.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeWidget>
#include <cstring>
#include <filesystem>

#include "app/AppSettings.h"
#include "app/DebugLog.h"
#include "app/IniFile.h"
#include "library/Playlist.h"
#include "support/ManualClock.h"
#include "support/RecordingUiHost.h"
#include "support/TempFolder.h"

namespace orx::test {

// A clip named relative to the video folder, or the end entry when the name is empty.
inline PlaylistEntry Clip(const std::string& name, int32_t ms = 0, const std::string& note = {}) {
    PlaylistEntry e;
    std::strncpy(e.fileName, name.c_str(), sizeof e.fileName - 1);
    std::strncpy(e.comment, note.c_str(), sizeof e.comment - 1);
    e.durationMs = ms;
    e.interleaveMs = 100;
    return e;
}

// Saves the clips and the end entry as a playlist; the clip files are made (empty).
inline void WritePlaylist(const std::string& path, std::vector<PlaylistEntry> clips) {
    for (const PlaylistEntry& clip : clips) {
        WriteFile(Settings().videoPath + clip.fileName);
    }
    Playlist playlist;
    playlist.Clear();
    playlist.entries = std::move(clips);
    playlist.entries.push_back(Clip({}));
    playlist.ComputeTotal();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_EQ(playlist.Save(path), kPlaylistOk) << path;
}

inline QTreeWidgetItem* FindItem(const QTreeWidget* tree, const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.size() == 1 ? found.front() : nullptr;
}

class MainWinFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ORX_WINDOW_DIR", windowDir_.Path().c_str(), 1);
        SetIniPath(dir_ / "brenvik.ini");
        Settings() = AppSettings{};
        Settings().appDir = Settings().remotePath = dir_.Path();
        Settings().videoPath = dir_ / "Video/";
        std::filesystem::create_directories(Settings().videoPath);
        ResetDebugLogForTesting();
    }
    std::string Video(const std::string& name) const { return Settings().videoPath + name; }

    TempFolder dir_;
    TempFolder windowDir_;
    RecordingUiHost ui_;
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
