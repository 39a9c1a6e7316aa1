#include "app/DebugLog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "app/AppSettings.h"
#include "support/TempFolder.h"

namespace orx {

TEST(DebugLogTest, LinesAreAppendedWhenSwitchedOnWithSettingsReadOncePerRun) {
    test::TempFolder folder;
    InitProgramFolder(folder / "brenvik");
    const std::string log = folder / "logfile.txt";
    auto run = [&](const std::string& debugSection) {  // a new run with these settings
        test::WriteFile(folder / "brenvik.ini", "[Hardware]\r\nMPEG=1\r\n" + debugSection);
        ResetDebugLogForTesting();
    };
    for (const char* section : {"", "[Debug]\r\nLog=0\r\n"}) {
        run(section);
        DebugLog("CMainWin::OnInitDialog()");
        EXPECT_FALSE(std::filesystem::exists(log)) << section;
    }
    run("[Debug]\r\nLog=1\r\n");
    DebugLog("CMainWin::OnAirPlay()");  // with a timestamp by default
    const std::regex stamped(
        R"([0-3]\d\.[01]\d\.\d{4} \d\d:\d\d:\d\d - CMainWin::OnAirPlay\(\)\r\n)");
    EXPECT_TRUE(std::regex_match(test::ReadFile(log), stamped)) << test::ReadFile(log);

    test::WriteFile(log, "earlier\r\n");
    run("[Debug]\r\nLog=1\r\nTimestamp=0\r\n");
    DebugLog("CVideoCmd::SendCmd(): board %d, cmd: %d [%s]", 1, 5, "CUT");
    EXPECT_EQ(test::ReadFile(log), "earlier\r\nCVideoCmd::SendCmd(): board 1, cmd: 5 [CUT]\r\n");

    test::WriteFile(folder / "brenvik.ini", "[Debug]\r\nLog=0\r\n");  // not read again in this run
    ASSERT_TRUE(std::filesystem::remove(log));
    ASSERT_EQ(mkfifo(log.c_str(), 0600), 0);  // nobody reads it: an open would wait for ever
    alarm(20);
    DebugLog("lost, not waited for");
    alarm(0);
    ASSERT_TRUE(std::filesystem::remove(log));
    DebugLog("%s", std::string(5000, 'z').c_str());  // a deleted log is created again
    EXPECT_EQ(test::ReadFile(log), std::string(1023, 'z') + "\r\n");  // a long message is cut
}

}  // namespace orx
