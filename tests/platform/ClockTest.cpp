#include "platform/Clock.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>

namespace orx {

TEST(ClockTest, SecondsBetweenLocalTimesFollowsDaylightSaving) {
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);  // daylight saving, for this process
    tzset();                                        // spring skips an hour, autumn repeats one
    EXPECT_EQ(SecondsBetween({2021, 3, 28, 1, 0, 0}, {2021, 3, 28, 4, 0, 0}), 2 * 3600);
    EXPECT_EQ(SecondsBetween({2021, 10, 31, 4, 0, 0}, {2021, 10, 31, 1, 0, 0}), -4 * 3600);
    EXPECT_EQ(SecondsBetween({2024, 2, 28, 12, 0, 0}, {2024, 3, 1, 12, 0, 0}), 2 * 86400);
}

}  // namespace orx
