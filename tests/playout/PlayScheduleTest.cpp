#include "playout/PlaySchedule.h"

#include <gtest/gtest.h>

#include "PlayoutFakes.h"

// What a schedule holds is checked through the engine's runs; these are its bounds.
namespace orx {

TEST(PlayScheduleTest, HugeDurationsAndStrayBoardReportsStayInBounds) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    Playlist p;
    p.boardCount = 2;
    for (const char* name : {"a.mpg", "b.mpg", "c.mpg", ""})
        p.entries.push_back(test::Entry(name, *name ? kMax : 0, 0, 100));
    PlaySchedule s;
    PrepareSchedule(p, s);
    ASSERT_EQ(s.boardQueue[0].size(), 2u);
    EXPECT_EQ(s.boardQueue[1].at(0).startMs, kMax - 100);
    EXPECT_EQ(s.boardQueue[0][1].startMs, kMax);
    EXPECT_EQ(s.mixerEvents.back().timeMs, kMax);
    s.Reset();
    s.free[1] = 0;
    s.Report(7, false);
    s.Report(-1, false);
    EXPECT_EQ(s.free[1], 0);
}

}  // namespace orx
