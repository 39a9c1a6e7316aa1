#pragma once

// Per test: a fresh folder with the settings file and the video folder, a window folder, a
// recording UI host, a manual clock, and a main window with no boards configured until Open().

#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

#include "app/DebugLog.h"
#include "app/IniFile.h"
#include "library/Playlist.h"
#include "mainwin/CMainWin.h"
#include "mainwin/PlaylistTreeView.h"
#include "support/ManualClock.h"
#include "support/RecordingUiHost.h"
#include "support/StandIns.h"

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

// The application object lives from before the first test to after the last.
class QtApplication : public ::testing::Environment {
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }
    // Reached with the application still there only when a test ends the process with exit()
    // (as the toolkit does when it loses its display): the framework's statics are gone by then.
    ~QtApplication() override { [[maybe_unused]] QApplication* left = app_.release(); }
    int argc_ = 1;
    char* argv_[2] = {const_cast<char*>("orx-test"), nullptr};
    std::unique_ptr<QApplication> app_;
};
inline auto* const kQtApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

class MainWinFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniPath(dir_ / "brenvik.ini");
        Settings() = AppSettings{};
        Settings().appDir = Settings().remotePath = dir_.Path();
        Settings().videoPath = dir_ / "Video/";
        ResetDebugLogForTesting();
    }
    std::string Video(const std::string& name) const { return Settings().videoPath + name; }
    void Open() { w_ = std::make_unique<CMainWin>(video_, remote_, hardware_, clock_); }
    QTreeWidgetItem* Find(const QString& text) const {
        const auto found =
            w_->playlistTree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.size() == 1 ? found.front() : nullptr;
    }
    void Select(const QString& text) { w_->playlistTree()->setCurrentItem(Find(text)); }

    TempFolder dir_;
    WindowFolder windows_;
    RecordingUiHost ui_;
    ManualClock clock_;
    CVideoCmd video_{clock_};
    CRemoteCmd remote_{clock_};
    HardwareControl hardware_{video_, remote_, clock_};
    std::unique_ptr<CMainWin> w_;
};

}  // namespace orx::test
