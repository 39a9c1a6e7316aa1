#pragma once

// The stand-ins vdhost and tallyx run as real processes in folders of the test's own.

#include <gtest/gtest.h>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "lang/TextServices.h"
#include "platform/Process.h"
#include "support/ManualClock.h"
#include "support/RecordingUiHost.h"
#include "support/StandIns.h"
#include "support/TempFolder.h"

namespace orx::test {

inline const std::map<std::string, std::string> kHostCodes{
    {"1", "PLAY"},     {"2", "PLAY2"},       {"3", "STOP"},        {"7", "VOLUME"},
    {"100", "ISINIT"}, {"101", "ISPLAYING"}, {"WM_CLOSE", "CLOSE"}};

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
    // Hosts log to HostLog(board); per board, "no-launch" fails the launch, anything else is an
    // extra vdhost option. Returns once the new window is up; launched_ lists the titles.
    void UseVdhost(std::vector<std::string> boards = {}) {
        boards.resize(CVideoCmd::kMaxBoards);
        video_.SetHostLauncher([=, this](int board, const std::string& title) {
            launched_.push_back(title);
            const WindowHandle closing = FindWindowByTitle(title);
            std::vector<std::string> args{"--log", HostLog(board)};
            if (!boards[board].empty())
                args.push_back(boards[board]);
            return boards[board] != "no-launch" &&
                   CVideoCmd::LaunchHost(ORX_VDHOST_PATH, title, args) && WaitUntil([&] {
                       const WindowHandle h = FindWindowByTitle(title);
                       return h != 0 && h != closing;
                   });
        });
    }
    std::string HostLog(int board) const { return work_ / ("host" + std::to_string(board)); }
    std::string HostCommands(int board) const { return LoggedCommands(HostLog(board), kHostCodes); }
    // The mixer's commands since the previous call.
    std::string MixerCommands() const {
        const std::string commands = LoggedCommands(mixerLog_);
        WriteFile(mixerLog_);
        return commands;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : ui_.boxes)
            texts.push_back(box.text);
        return texts;
    }
    // A "tallyx" starter in folder that logs to the mixer log and adds a line to folder/starts.
    void InstallTallyx(const std::string& folder) {
        WriteFile(folder + "tallyx", "#!/bin/sh\necho run >> starts\nexec '" ORX_TALLYX_PATH
                                     "' --log '" +
                                         mixerLog_ + "'\n");
        std::filesystem::permissions(folder + "tallyx", std::filesystem::perms::owner_all);
    }
    static bool MixerRunning() { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }
    void StartMixer(std::vector<std::string> options) {
        options.insert(options.end(), {"--log", mixerLog_});
        ASSERT_TRUE(LaunchProcess(ORX_TALLYX_PATH, options, work_.Path()));
        ASSERT_TRUE(WaitUntil(MixerRunning));
    }

    TempFolder work_;
    const std::string mixerLog_ = work_ / "mixer.log";
    WindowFolder windows_;  // closes the stand-ins before work_ goes
    ManualClock clock_;
    CVideoCmd video_{clock_};
    CRemoteCmd remote_{clock_};
    RecordingUiHost ui_;
    std::vector<std::string> launched_;
};

}  // namespace orx::test
