#include "playout/AirLog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "PlayoutFakes.h"

namespace orx {
namespace {

class AirLogTest : public test::PlayoutFolderTest {
protected:
    test::FakeClock clock_;
    AirLogState log_{clock_};
};

TEST_F(AirLogTest, ClipOfTheVideoFolderIsLoggedRelativeWithItsWholeSeconds) {
    log_.AirLogBegin(0, Settings().videoPath + "news.mpg");
    clock_.Advance(95'400);
    log_.AirLogEnd(0);

    EXPECT_EQ(ReadAppFile("airlog.txt"), "05.03.2006 14:07:09   95 Video/news.mpg\r\n");
    EXPECT_TRUE(log_.record(0).airLogClip.empty());
}

TEST_F(AirLogTest, FolderMatchIgnoresCaseAndForeignPathsStayFull) {
    // The program folder spelled in other case still counts as the program folder.
    std::string upper = appDir_;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_NE(upper, appDir_);
    log_.AirLogBegin(0, upper + "VIDEO/Sport/goal.mpg");
    log_.AirLogBegin(1, "/mnt/archive/clips/weather.mpg");
    clock_.Advance(12'000);
    log_.AirLogEndAll();

    EXPECT_EQ(ReadAppFile("airlog.txt"),
              "05.03.2006 14:07:09   12 VIDEO/Sport/goal.mpg\r\n"
              "05.03.2006 14:07:09   12 /mnt/archive/clips/weather.mpg\r\n");
}

TEST_F(AirLogTest, LinesAreAppendedAndShortRecordsAreDroppedButClosed) {
    ASSERT_TRUE(AppendAirLogLine("earlier line\r\n"));
    log_.AirLogBegin(0, Settings().videoPath + "short.mpg");
    clock_.Advance(900);  // same second
    log_.AirLogEnd(0);
    EXPECT_TRUE(log_.record(0).airLogClip.empty());
    log_.AirLogEnd(0);  // nothing open: nothing written

    clock_.fixedNow = LocalTime{2006, 12, 31, 23, 59, 58};
    log_.AirLogBegin(1, Settings().videoPath + "long.mpg");
    clock_.fixedNow = LocalTime{2007, 1, 1, 2, 46, 38};  // 10 000 s later: the column widens
    log_.AirLogEnd(1);

    EXPECT_EQ(ReadAppFile("airlog.txt"),
              "earlier line\r\n31.12.2006 23:59:58 10000 Video/long.mpg\r\n");
}

TEST_F(AirLogTest, SwitchedOffWritesNothingAtAll) {
    Settings().airLog = 0;
    log_.AirLogBegin(0, Settings().videoPath + "a.mpg");
    EXPECT_TRUE(log_.record(0).airLogClip.empty());
    clock_.Advance(30'000);
    log_.AirLogEndAll();
    EXPECT_FALSE(AppFileExists("airlog.txt"));
}

TEST_F(AirLogTest, EmptiedRecordsAreNotLogged) {
    log_.AirLogBegin(0, Settings().videoPath + "a.mpg");
    log_.AirLogBegin(1, Settings().videoPath + "b.mpg");
    clock_.Advance(30'000);
    log_.EmptyRecords();
    log_.AirLogEndAll();
    EXPECT_FALSE(AppFileExists("airlog.txt"));
}

TEST_F(AirLogTest, DurationAcrossTheSpringDaylightSavingChangeIsRealTime) {
    const char* previous = std::getenv("TZ");
    const std::string saved = previous != nullptr ? previous : "";
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();

    // Clocks go from 02:00 to 03:00 on 26 March 2006 in Berlin: one minute passed, not 61.
    clock_.fixedNow = LocalTime{2006, 3, 26, 1, 59, 30};
    log_.AirLogBegin(0, Settings().videoPath + "night.mpg");
    clock_.fixedNow = LocalTime{2006, 3, 26, 3, 0, 30};
    log_.AirLogEnd(0);

    if (previous != nullptr) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
    EXPECT_EQ(ReadAppFile("airlog.txt"), "26.03.2006 01:59:30   60 Video/night.mpg\r\n");
}

TEST_F(AirLogTest, AFileHeldByAnotherWriterLosesTheLineQuietly) {
    const std::string path = appDir_ + "airlog.txt";
    const int holder = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    log_.AirLogBegin(0, Settings().videoPath + "a.mpg");
    clock_.Advance(5'000);
    log_.AirLogEnd(0);
    ::close(holder);

    EXPECT_EQ(ReadAppFile("airlog.txt"), "");
    EXPECT_TRUE(log_.record(0).airLogClip.empty());
}

}  // namespace
}  // namespace orx
