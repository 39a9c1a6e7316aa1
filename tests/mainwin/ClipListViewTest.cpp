#include "mainwin/ClipListView.h"

#include <gtest/gtest.h>

#include "MainWinTestSupport.h"

namespace orx {
namespace {

using ClipListViewTest = test::MainWinFixture;

TEST_F(ClipListViewTest, ColumnWidthIsKeptUnderItsLogicalNumber) {
    ClipListView list;
    list.SetupColumns();
    list.setColumnWidth(3, 200);  // "Comment", logical column 4
    list.SetupColumns();          // saves, then rebuilds from what it saved
    EXPECT_EQ(GetIniInt("List", "Column4", -1), 200);
    EXPECT_EQ(GetIniInt("List", "Column3", -1), -1);
    ClipListView next;
    next.SetupColumns();
    EXPECT_EQ(next.columnWidth(3), 200);
}

TEST_F(ClipListViewTest, OneRowPerClipWithFieldsKeptInsideTheRecord) {
    ClipListView list;
    list.SetupColumns();
    list.Fill({test::Clip("news\\intro_5.mpg", 61500, "opening"), test::Clip({})});
    ASSERT_EQ(list.topLevelItemCount(), 1);
    const QStringList row = {"1", "news\\intro_5.mpg", "   1:01.5", "opening"};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(list.topLevelItem(0)->text(c), row[c]);
    }
    PlaylistEntry unterminated = test::Clip("x", 1000);
    std::memset(unterminated.comment, 'c', sizeof unterminated.comment);
    std::memset(unterminated.fileName, 'f', sizeof unterminated.fileName);
    list.Fill({unterminated, test::Clip({})});
    EXPECT_EQ(list.topLevelItem(0)->text(3).size(), 64);
    EXPECT_EQ(list.topLevelItem(0)->text(1).size(), 260);
    list.Fill({});
    EXPECT_EQ(list.topLevelItemCount(), 0);
}

}  // namespace
}  // namespace orx
