#include "platform/Clock.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>

namespace orx {
namespace {

TEST(ClockTest, SecondsBetweenLocalTimesFollowsDaylightSaving) {
    // A zone with daylight saving, fixed for this test process.
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();

    const LocalTime beforeSpring{2021, 3, 28, 1, 0, 0};
    const LocalTime afterSpring{2021, 3, 28, 4, 0, 0};
    EXPECT_EQ(SecondsBetween(beforeSpring, afterSpring), 2 * 3600);  // one hour skipped
    EXPECT_EQ(SecondsBetween(afterSpring, beforeSpring), -2 * 3600);

    const LocalTime beforeAutumn{2021, 10, 31, 1, 0, 0};
    const LocalTime afterAutumn{2021, 10, 31, 4, 0, 0};
    EXPECT_EQ(SecondsBetween(beforeAutumn, afterAutumn), 4 * 3600);  // one hour repeated

    EXPECT_EQ(SecondsBetween({2023, 12, 31, 23, 59, 59}, {2024, 1, 1, 0, 0, 1}), 2);
    EXPECT_EQ(SecondsBetween({2024, 2, 28, 12, 0, 0}, {2024, 3, 1, 12, 0, 0}), 2 * 86400);
}

}  // namespace
}  // namespace orx
