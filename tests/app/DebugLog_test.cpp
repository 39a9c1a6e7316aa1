#include "app/DebugLog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "TempFolder.h"
#include "app/AppSettings.h"
#include "app/IniFile.h"

namespace orx {
namespace {

using test::ReadFile;
using test::WriteFile;

class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitProgramFolder(folder_ / "brenvik");
        ResetDebugLogForTesting();
    }
    void TearDown() override {
        ResetDebugLogForTesting();
        Settings() = AppSettings{};
        SetIniPath({});
    }
    void Configure(const std::string& debugSection) {
        WriteFile(folder_ / "brenvik.ini", "[Hardware]\r\nMPEG=1\r\n" + debugSection);
    }
    std::string Log() const { return ReadFile(LogPath()); }
    std::string LogPath() const { return folder_ / "logfile.txt"; }

    test::TempFolder folder_;
};

TEST_F(DebugLogTest, NothingIsWrittenUnlessSwitchedOn) {
    Configure("");
    DebugLog("CMainWin::OnInitDialog()");
    EXPECT_FALSE(test::FileExists(LogPath()));

    ResetDebugLogForTesting();
    Configure("[Debug]\r\nLog=0\r\n");
    DebugLog("CMainWin::OnInitDialog()");
    EXPECT_FALSE(test::FileExists(LogPath()));
}

TEST_F(DebugLogTest, BareLinesAppendedWithoutTimestamp) {
    WriteFile(LogPath(), "earlier line\r\n");
    Configure("[Debug]\r\nLog=1\r\nTimestamp=0\r\n");
    DebugLog("CVideoCmd::SendCmd(): board %d, cmd: %d, result: %d", 1, 5, 0);
    DebugLog("CRemoteCmd::SendCmd() [%s:%d]", "CUT", 0);
    EXPECT_EQ(Log(),
              "earlier line\r\n"
              "CVideoCmd::SendCmd(): board 1, cmd: 5, result: 0\r\n"
              "CRemoteCmd::SendCmd() [CUT:0]\r\n");
}

TEST_F(DebugLogTest, TimestampIsOnByDefault) {
    Configure("[Debug]\r\nLog=1\r\n");
    DebugLog("CMainWin::OnAirPlay()");
    const std::regex line(
        R"(^[0-3]\d\.[01]\d\.\d{4} [0-2]\d:[0-5]\d:[0-5]\d - CMainWin::OnAirPlay\(\)\r\n$)");
    EXPECT_TRUE(std::regex_match(Log(), line)) << Log();
}

TEST_F(DebugLogTest, SettingsAreReadOnceAndAMissingFileIsCreatedAgain) {
    Configure("[Debug]\r\nLog=1\r\nTimestamp=0\r\n");
    DebugLog("one");
    Configure("[Debug]\r\nLog=0\r\nTimestamp=1\r\n");  // ignored until the next run
    ASSERT_EQ(unlink(LogPath().c_str()), 0);
    DebugLog("two");
    EXPECT_EQ(Log(), "two\r\n");

    ResetDebugLogForTesting();  // a new run reads the new settings
    DebugLog("three");
    EXPECT_EQ(Log(), "two\r\n");
}

TEST_F(DebugLogTest, LongMessagesAreCut) {
    Configure("[Debug]\r\nLog=1\r\nTimestamp=0\r\n");
    const std::string longText(5000, 'z');
    DebugLog("%s", longText.c_str());
    DebugLog("next");
    EXPECT_EQ(Log(), std::string(1023, 'z') + "\r\nnext\r\n");
}

TEST_F(DebugLogTest, AnUnwritableLogLosesTheLineSilently) {
    Configure("[Debug]\r\nLog=1\r\nTimestamp=0\r\n");
    ASSERT_EQ(mkdir(LogPath().c_str(), 0755), 0);  // the log's name is taken by a folder
    DebugLog("lost");
    ASSERT_EQ(rmdir(LogPath().c_str()), 0);
    DebugLog("kept");  // the next call tries again
    EXPECT_EQ(Log(), "kept\r\n");
}

}  // namespace
}  // namespace orx
