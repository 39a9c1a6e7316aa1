#include "ui/SplitterLayout.h"

#include <gtest/gtest.h>

namespace orx {
namespace {

TEST(SplitterLayout, HorizontalBarSplitsTheAreaBelowTheBand) {
    // 400 high at 700: 32 + 368 * 700 / 1000 = 289.
    const auto g = ComputeSplitterLayout(SplitterOrientation::Horizontal, 300, 400, 700);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->firstPane, (PaneRect{0, 32, 300, 257}));
    EXPECT_EQ(g->bar, (PaneRect{0, 289, 300, 4}));
    EXPECT_EQ(g->secondPane, (PaneRect{0, 293, 300, 107}));
}

TEST(SplitterLayout, VerticalBarLeavesTheBandOnTheLeft) {
    // 32 + 500 * 250 / 1000 = 157.
    const auto g = ComputeSplitterLayout(SplitterOrientation::Vertical, 532, 200, 250);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->firstPane, (PaneRect{32, 0, 125, 200}));
    EXPECT_EQ(g->bar, (PaneRect{157, 0, 4, 200}));
    EXPECT_EQ(g->secondPane, (PaneRect{161, 0, 371, 200}));
}

TEST(SplitterLayout, EmptyClientAreaLaysOutNothing) {
    EXPECT_FALSE(ComputeSplitterLayout(SplitterOrientation::Horizontal, 0, 400, 700));
    EXPECT_FALSE(ComputeSplitterLayout(SplitterOrientation::Horizontal, 300, 0, 700));
    EXPECT_FALSE(ComputeSplitterLayout(SplitterOrientation::Vertical, 0, 0, 700));
}

TEST(SplitterLayout, OutOfRangePositionsKeepTheBarInsideTheArea) {
    // A hand-edited setting must neither overflow nor push the bar out of reach.
    for (int p : {-5000, 1000, 1200, 2147483647, -2147483647 - 1}) {
        const auto g = ComputeSplitterLayout(SplitterOrientation::Horizontal, 300, 400, p);
        ASSERT_TRUE(g) << p;
        EXPECT_GE(g->bar.top, 32) << p;
        EXPECT_LE(g->bar.top + g->bar.height, 400) << p;
        EXPECT_EQ(g->bar.height, 4) << p;
        EXPECT_GE(g->firstPane.height, 0) << p;
        EXPECT_GE(g->secondPane.height, 0) << p;
    }
}

TEST(SplitterLayout, TinyClientAreaGivesNoNegativeSizes) {
    for (int h : {1, 20, 32, 34}) {
        const auto g = ComputeSplitterLayout(SplitterOrientation::Horizontal, 100, h, 700);
        ASSERT_TRUE(g) << h;
        EXPECT_GE(g->firstPane.height, 0) << h;
        EXPECT_GE(g->bar.height, 0) << h;
        EXPECT_GE(g->secondPane.height, 0) << h;
        EXPECT_LE(g->bar.top + g->bar.height, h) << h;
    }
}

// Where the bar lands after a release at `pointer` in a client area of `height`.
int BarTopAfterRelease(int height, int pointer) {
    const auto p = SplitterReleasePosition(height, pointer);
    EXPECT_TRUE(p);
    const auto g =
        ComputeSplitterLayout(SplitterOrientation::Horizontal, 100, height, p.value_or(0));
    return g ? g->bar.top : -1;
}

TEST(SplitterLayout, ReleasedBarSettlesAtThePointer) {
    // The position is measured below the band, as the layout measures it.
    EXPECT_EQ(BarTopAfterRelease(500, 300), 300);
    EXPECT_EQ(*SplitterReleasePosition(500, 300), 573);
    for (int height : {124, 200, 433, 768, 1032}) {
        for (int y = 64; y <= height - 60; ++y) {
            ASSERT_EQ(BarTopAfterRelease(height, y), y) << height << " " << y;
        }
    }
}

TEST(SplitterLayout, ReleaseIsLimitedToTheEdgeMargins) {
    EXPECT_EQ(BarTopAfterRelease(500, 10), 64);
    EXPECT_EQ(BarTopAfterRelease(500, -300), 64);
    EXPECT_EQ(BarTopAfterRelease(500, 499), 440);
    EXPECT_EQ(BarTopAfterRelease(500, 5000), 440);
}

TEST(SplitterLayout, ReleaseInAnAreaNoLargerThanTheBandReportsNothing) {
    EXPECT_FALSE(SplitterReleasePosition(0, 10));
    EXPECT_FALSE(SplitterReleasePosition(32, 10));
    // Too small for both margins: still a position inside 0..1000.
    const auto p = SplitterReleasePosition(80, 70);
    ASSERT_TRUE(p);
    EXPECT_GE(*p, 0);
    EXPECT_LE(*p, 1000);
}

}  // namespace
}  // namespace orx
