#pragma once

// Scaffolding of the device tests: the stand-ins vdhost and tallyx run as real processes in a
// window folder and a work folder of the test's own.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "platform/Process.h"
#include "support/ManualClock.h"
#include "support/RecordingUiHost.h"
#include "support/StandIns.h"
#include "support/TempFolder.h"

namespace orx::test {

inline bool CloseWindow(const std::string& title) {
    SendWindowMessage(FindWindowByTitle(title), kWmClose, 0, 0, nullptr, 0);
    return WaitUntil([&] { return FindWindowByTitle(title) == 0; });
}

class StandInFixture : public ::testing::Test {
protected:
    StandInFixture() {
        SetIniPath(work_ / "brenvik.ini");
        Settings() = AppSettings{};
        Settings().appDir = Settings().videoPath = Settings().remotePath = work_.Path();
        UseVdhost();
    }
    // Host launches (vdhost by default) go to vdhost logging to HostLog(board), with extra options
    // per board, and return once the new window is up; the boards in failLaunch fail to launch.
    // launched_ lists the titles in launch order.
    void UseVdhost(std::vector<std::vector<std::string>> extra = {},
                   std::vector<int> failLaunch = {}) {
        video_.SetHostLauncher([=, this](int board, const std::string& title) {
            launched_.push_back(title);
            const WindowHandle closing = FindWindowByTitle(title);
            std::vector<std::string> args{"--log", HostLog(board)};
            if (board < int(extra.size()))
                args.insert(args.end(), extra[board].begin(), extra[board].end());
            return std::count(failLaunch.begin(), failLaunch.end(), board) == 0 &&
                   CVideoCmd::LaunchHost(ORX_VDHOST_PATH, title, args) && WaitUntil([&] {
                       const WindowHandle h = FindWindowByTitle(title);
                       return h != 0 && h != closing;
                   });
        });
    }
    std::string HostLog(int board) const { return work_ / ("host" + std::to_string(board)); }

    std::string HostCommands(int board) const {
        return LoggedCommands(HostLog(board), {{"1", "PLAY"},
                                               {"2", "PLAY2"},
                                               {"3", "STOP"},
                                               {"7", "VOLUME"},
                                               {"100", "ISINIT"},
                                               {"101", "ISPLAYING"},
                                               {"WM_CLOSE", "CLOSE"}});
    }
    // The mixer's commands since the previous call.
    std::string MixerCommands() const {
        const std::string commands = LoggedCommands(MixerLog());
        WriteFile(MixerLog());
        return commands;
    }

    // A "tallyx" starter in folder that logs to mixer.log and counts its runs in folder/starts.
    void InstallTallyx(const std::string& folder, const std::vector<std::string>& options = {}) {
        std::string script = "#!/bin/sh\necho run >> starts\nexec '" ORX_TALLYX_PATH "'";
        for (const std::string& o : options)
            script += " '" + o + "'";
        WriteFile(folder + "tallyx", script + " --log '" + MixerLog() + "'\n");
        ASSERT_EQ(chmod((folder + "tallyx").c_str(), 0700), 0);
    }
    static int StarterRuns(const std::string& folder) {
        const std::string runs = ReadFile(folder + "starts");
        return int(std::count(runs.begin(), runs.end(), '\n'));
    }
    // Starts tallyx with this initial state and these faults.
    void StartMixer(std::vector<std::string> options) {
        options.insert(options.end(), {"--log", MixerLog()});
        ASSERT_TRUE(LaunchProcess(ORX_TALLYX_PATH, options, work_.Path()));
        ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }));
    }
    std::string MixerLog() const { return work_ / "mixer.log"; }

    TempFolder work_;
    WindowFolder windows_;  // closes the stand-ins before work_ goes
    ManualClock clock_;
    CVideoCmd video_{clock_};
    CRemoteCmd remote_{clock_};
    RecordingUiHost ui_;
    std::vector<std::string> launched_;
};

}  // namespace orx::test
