#include "app/DebugLog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "app/AppSettings.h"
#include "support/TempFolder.h"

namespace orx {

class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override { InitProgramFolder(folder_ / "brenvik"); }
    void Run(const std::string& debugSection) {  // a new run of the program with these settings
        test::WriteFile(folder_ / "brenvik.ini", "[Hardware]\r\nMPEG=1\r\n" + debugSection);
        ResetDebugLogForTesting();
    }
    std::string Log() const { return test::ReadFile(log_); }

    test::TempFolder folder_;
    const std::string log_ = folder_ / "logfile.txt";
};

TEST_F(DebugLogTest, LinesAreAppendedWhenSwitchedOnWithSettingsReadOncePerRun) {
    for (const char* section : {"", "[Debug]\r\nLog=0\r\n"}) {
        Run(section);
        DebugLog("CMainWin::OnInitDialog()");
        EXPECT_FALSE(std::filesystem::exists(log_)) << section;
    }
    Run("[Debug]\r\nLog=1\r\n");
    DebugLog("CMainWin::OnAirPlay()");  // with a timestamp by default
    const std::regex stamped(
        R"([0-3]\d\.[01]\d\.\d{4} \d\d:\d\d:\d\d - CMainWin::OnAirPlay\(\)\r\n)");
    EXPECT_TRUE(std::regex_match(Log(), stamped)) << Log();

    test::WriteFile(log_, "earlier\r\n");
    Run("[Debug]\r\nLog=1\r\nTimestamp=0\r\n");
    DebugLog("CVideoCmd::SendCmd(): board %d, cmd: %d [%s]", 1, 5, "CUT");
    EXPECT_EQ(Log(), "earlier\r\nCVideoCmd::SendCmd(): board 1, cmd: 5 [CUT]\r\n");

    test::WriteFile(folder_ / "brenvik.ini", "[Debug]\r\nLog=0\r\n");  // not read again in this run
    ASSERT_TRUE(std::filesystem::remove(log_));
    DebugLog("%s", std::string(5000, 'z').c_str());     // a deleted log is created again
    EXPECT_EQ(Log(), std::string(1023, 'z') + "\r\n");  // a long message is cut

    ASSERT_TRUE(std::filesystem::remove(log_));
    ASSERT_TRUE(std::filesystem::create_directory(log_));  // cannot be opened: the line is lost
    DebugLog("lost");
    ASSERT_TRUE(std::filesystem::remove(log_));
    DebugLog("kept");
    EXPECT_EQ(Log(), "kept\r\n");

    ASSERT_TRUE(std::filesystem::remove(log_));
    ASSERT_EQ(mkfifo(log_.c_str(), 0600), 0);  // nobody reads it: an open would wait for ever
    alarm(20);
    DebugLog("lost, not waited for");
    alarm(0);
    EXPECT_TRUE(std::filesystem::is_fifo(log_));
}

}  // namespace orx
