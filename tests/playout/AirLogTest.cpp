#include "playout/AirLog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "PlayoutFakes.h"
#include "support/ManualClock.h"

namespace orx {

class AirLogTest : public test::PlayoutFolderTest {
protected:
    void Air(int board, const std::string& path, uint32_t ms) {
        log_.AirLogBegin(board, path);
        clock_.Advance(ms);
        log_.AirLogEnd(board);
    }
    test::ManualClock clock_;
    AirLogState log_{clock_};
};

TEST_F(AirLogTest, WholeLinesInWholeSecondsWithTheProgramFolderCutOffUnlessOffHeldOrFull) {
    const int holder = ::open((dir_ / "airlog.txt").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    Air(0, Settings().videoPath + "a.mpg", 5'000);  // held by another writer: lost
    ::close(holder);
    log_.AirLogEnd(0);  // the lost record is closed: nothing more written
    EXPECT_TRUE(log_.TakeLossToReport());
    Settings().airLog = 0;  // switched off
    Air(1, Settings().videoPath + "b.mpg", 5'000);
    Settings().airLog = 1;
    ASSERT_TRUE(AppendAirLogLine("earlier line\r\n"));
    // The disk fills up in the middle of the next line (a file size limit stands in for it).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit small{20, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = AppendAirLogLine("05.03.2006 14:07:09   95 Video/news.mpg\r\n");
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written);  // cut back out: the next line starts a line of its own
    Air(0, Settings().videoPath + "news.mpg", 95'400);
    Air(0, Settings().videoPath + "short.mpg", 500);  // within one second: dropped
    std::string upper = dir_.Path();                  // the program folder matches in any case
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    log_.AirLogBegin(0, upper + "VIDEO/Sport/goal.mpg");
    log_.AirLogBegin(1, "/mnt/archive/weather.mpg");
    clock_.Advance(12'000);
    log_.AirLogEndAll();
    // Calendar times: 10 000 s across the year's end, and the column widens.
    clock_.fixedNow = LocalTime{2006, 12, 31, 23, 59, 58};
    log_.AirLogBegin(1, Settings().videoPath + "long.mpg");
    clock_.fixedNow = LocalTime{2007, 1, 1, 2, 46, 38};
    log_.AirLogEnd(1);
    EXPECT_EQ(AirLog(),
              "earlier line\r\n05.03.2006 14:07:19   95 Video/news.mpg\r\n"
              "05.03.2006 14:08:54   12 VIDEO/Sport/goal.mpg\r\n"
              "05.03.2006 14:08:54   12 /mnt/archive/weather.mpg\r\n"
              "31.12.2006 23:59:58 10000 Video/long.mpg\r\n");

    std::filesystem::remove(dir_ / "airlog.txt");
    ASSERT_EQ(mkfifo((dir_ / "airlog.txt").c_str(), 0600), 0);
    log_.EmptyRecords();  // a new run
    clock_.fixedNow.reset();
    alarm(20);  // an open that waits for a reader ends the test instead of hanging it
    Air(1, Settings().videoPath + "b.mpg", 3'000);
    alarm(0);
    EXPECT_TRUE(log_.TakeLossToReport());
}

}  // namespace orx
