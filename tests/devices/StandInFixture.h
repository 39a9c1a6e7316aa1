#pragma once

// Shared scaffolding of the device tests: a fresh window folder and work folder per test, a
// clock that never waits longer than a started stand-in needs, a recording UI host, and the main
// window's stand-in that hands host reports to the decoder channel.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/UiHost.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "platform/Clock.h"
#include "platform/WindowTransport.h"

namespace orx::test {

// Sleep advances the ticks at once. When a stand-in has just been launched (awaitTitle set), it
// also waits in real time until its window exists, so that the single lookup which follows the
// wait finds it, as it does after the production wait.
class StandInClock : public Clock {
public:
    uint32_t Ticks() override { return ticks; }
    void Sleep(uint32_t ms) override;
    LocalTime Now() override { return {}; }

    uint32_t ticks = 0;
    std::vector<uint32_t> sleeps;
    std::string awaitTitle;
    WindowHandle awaitReplacing = 0;  // a window of that title still closing, not the one awaited
};

class RecordingUi : public UiHost {
public:
    struct Box {
        std::string text;
        unsigned type = 0;
        bool waitCursor = false;  // the wait cursor was on while the box was shown
    };
    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    void SetWaitCursor(bool on) override;

    std::vector<Box> boxes;
    std::vector<bool> cursorChanges;
    bool waitCursor = false;
    // Runs while a box is open (the operator looking at the board under test).
    std::function<void(const Box&)> onBox;
};

// The main window as far as the decoder hosts see it: reports go to CVideoCmd::OnNotify.
class ReportWindow {
public:
    struct Report {
        int board = -1;
        bool busyAfter = false;
        bool duringCommand = false;
    };
    explicit ReportWindow(CVideoCmd& video);
    WindowHandle Handle() const { return window_->Handle(); }
    // Serves what is waiting, as the idle event loop would.
    void ServePending() { window_->ServePending(); }
    // True when a report is waiting to be served.
    bool ReportWaiting() const;

    std::vector<Report> reports;
    bool inCommand = false;

private:
    CVideoCmd& video_;
    std::unique_ptr<MessageWindow> window_;
};

// One line of a stand-in's command log: the decoder command or mixer mode ("WM_CLOSE" for a
// close), and the text argument or command word.
struct LoggedCommand {
    std::string code;
    std::string text;
    bool operator==(const LoggedCommand&) const = default;
};
inline LoggedCommand Cmd(int code, std::string text = {}) {
    return {std::to_string(code), std::move(text)};
}
void PrintTo(const LoggedCommand& c, std::ostream* os);

class StandInFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Path(const std::string& name) const { return workDir_ + name; }
    // Switches the diagnostic log on (without time stamps) for the rest of the test.
    void EnableDebugLog();
    std::vector<std::string> DebugLogLines() const;

    // Starts tallyx with the given options and waits for its window.
    void StartTallyx(const std::vector<std::string>& options);
    // Puts a "tallyx" starter with these options into folder (an executable script that counts
    // its runs in the folder's file "starts").
    void InstallTallyxStarter(const std::string& folder, const std::vector<std::string>& options);
    static int StarterRuns(const std::string& folder);
    // Routes host launches of video through vdhost, each host logging to HostLogPath(board),
    // with extra options per board index; a board listed in failLaunch fails to launch.
    // launched_ records the titles in launch order.
    void UseVdhost(CVideoCmd& video, std::vector<std::vector<std::string>> extra = {},
                   std::vector<int> failLaunch = {});
    std::string HostLogPath(int board) const {
        return Path("host" + std::to_string(board) + ".log");
    }

    // The messages in a stand-in's command log, in the order received.
    static std::vector<LoggedCommand> ReadLog(const std::string& logFile);

    StandInClock clock_;
    RecordingUi ui_;
    std::vector<std::string> launched_;
    std::string windowDir_;
    std::string workDir_;  // with trailing separator
};

// Polls until done() or about ten seconds have passed.
bool WaitUntil(const std::function<bool()>& done);

}  // namespace orx::test
