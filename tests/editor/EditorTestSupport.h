#pragma once

// Per test: a fresh program folder with the settings file and a video folder, a recording UI
// host, scripted file dialogs, and a driver for the modal dialogs the editor opens (each step
// waits for the next modal dialog of a class and acts on it with keys, as an operator would).

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/DebugLog.h"
#include "app/IniFile.h"
#include "library/Playlist.h"
#include "library/VideoLibrary.h"
#include "support/KeyInput.h"
#include "support/RecordingUiHost.h"
#include "support/ScriptedPickers.h"
#include "support/TempFolder.h"

namespace orx::test {

// Steps run while modal dialogs are open: each waits until the active modal dialog is of its
// class, then acts. A step's keys may open a further dialog, whose steps run meanwhile; the next
// step for a dialog whose step is still running waits for it. A dialog left open too long is
// rejected so that a failing test ends instead of hanging.
class ModalScript {
public:
    ModalScript() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
        clock_.start();
    }

    void Then(const char* className, std::function<void(QDialog*)> action) {
        steps_.push_back({className, std::move(action)});
    }
    bool done() const { return steps_.empty(); }

private:
    void Poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr ||
            std::find(running_.begin(), running_.end(), dialog) != running_.end()) {
            return;
        }
        if (clock_.elapsed() > 20000) {
            ADD_FAILURE() << "modal dialog " << dialog->metaObject()->className() << " left open";
            dialog->done(QDialog::Rejected);
            return;
        }
        if (steps_.empty() || !dialog->inherits(steps_.front().first)) {
            return;
        }
        const auto action = std::move(steps_.front().second);
        steps_.pop_front();
        // A dialog the window system has not activated yet gets no keys.
        if (!dialog->isActiveWindow()) {
            dialog->activateWindow();
            static_cast<void>(QTest::qWaitForWindowActive(dialog));
        }
        running_.push_back(dialog);
        action(dialog);
        running_.pop_back();
        clock_.restart();
    }
    QTimer timer_;
    QElapsedTimer clock_;
    std::deque<std::pair<const char*, std::function<void(QDialog*)>>> steps_;
    std::vector<QDialog*> running_;
};

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniPath(dir_ / "brenvik.ini");
        Settings() = AppSettings{};
        Settings().appDir = Settings().remotePath = dir_.Path();
        Settings().videoPath = dir_ / "Video/";
        std::filesystem::create_directories(Settings().videoPath);
        ResetDebugLogForTesting();
        VideoLibrary::SetSortMode(0);
    }
    std::string Video(const std::string& name) const { return Settings().videoPath + name; }
    // A clip whose name carries its duration in seconds: the library measures it from the name.
    void MakeClips(std::initializer_list<const char*> names) const {
        for (const char* name : names) {
            WriteFile(Video(name), "x");
        }
    }
    void SetBoards(int boards) { WriteIniInt("Hardware", "MPEG", boards); }

    TempFolder dir_;
    RecordingUiHost ui_;
    ScriptedPickers pickers_;
};

}  // namespace orx::test
