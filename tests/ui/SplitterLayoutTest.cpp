#include "ui/SplitterLayout.h"

#include <gtest/gtest.h>

namespace orx {
namespace {

constexpr auto kHorizontal = SplitterOrientation::Horizontal;

TEST(SplitterLayoutTest, BarDividesTheAreaBeyondTheBandAndStaysInsideIt) {
    // 32 + 368 * 700 / 1000 = 289 and 32 + 500 * 250 / 1000 = 157.
    EXPECT_EQ(ComputeSplitterLayout(kHorizontal, 300, 400, 700),
              (SplitterGeometry{{0, 32, 300, 257}, {0, 289, 300, 4}, {0, 293, 300, 107}}));
    EXPECT_EQ(ComputeSplitterLayout(SplitterOrientation::Vertical, 532, 200, 250),
              (SplitterGeometry{{32, 0, 125, 200}, {157, 0, 4, 200}, {161, 0, 371, 200}}));
    EXPECT_FALSE(ComputeSplitterLayout(kHorizontal, 0, 400, 700) ||
                 ComputeSplitterLayout(kHorizontal, 300, 0, 700));
    // Hand-edited positions and tiny areas keep the bar inside.
    for (int h : {1, 34, 400}) {
        for (int p : {-2147483647 - 1, -5000, 700, 1200, 2147483647}) {
            const auto g = ComputeSplitterLayout(kHorizontal, 100, h, p);
            EXPECT_TRUE(g && g->bar.top >= std::min(h, 32) && g->bar.top + g->bar.height <= h &&
                        g->firstPane.height >= 0 && g->secondPane.height >= 0)
                << h << " " << p;
        }
    }
}

TEST(SplitterLayoutTest, ReleasedBarSettlesAtThePointerWithinTheMargins) {
    for (int height : {124, 200, 500, 768, 1032}) {
        for (int y = 64; y <= height - 60; ++y) {
            const auto p = SplitterReleasePosition(height, y);
            ASSERT_EQ(ComputeSplitterLayout(kHorizontal, 100, height, p.value_or(-1))->bar.top, y)
                << height << " " << y;
        }
    }
    EXPECT_EQ(SplitterReleasePosition(500, 10), SplitterReleasePosition(500, 64));
    EXPECT_EQ(SplitterReleasePosition(500, 5000), SplitterReleasePosition(500, 440));
    EXPECT_FALSE(SplitterReleasePosition(32, 10));
    const auto p = SplitterReleasePosition(80, 70);  // too small for both margins
    EXPECT_TRUE(p && *p >= 0 && *p <= 1000);
}

}  // namespace
}  // namespace orx
