#include "mainwin/ClipListView.h"

#include <gtest/gtest.h>
#include <QHeaderView>

#include "MainWinTestSupport.h"

namespace orx {
namespace {

using ClipListViewTest = test::MainWinFixture;

TEST_F(ClipListViewTest, ColumnsGetTheirTitlesAndDefaultWidths) {
    ClipListView list;
    list.SetupColumns();
    ASSERT_EQ(list.columnCount(), 4);
    EXPECT_EQ(list.headerItem()->text(0), "#");
    EXPECT_EQ(list.headerItem()->text(1), "Video");
    EXPECT_EQ(list.headerItem()->text(2), "Duration");
    EXPECT_EQ(list.headerItem()->text(3), "Comment");
    EXPECT_EQ(list.columnWidth(0), 28);
    EXPECT_EQ(list.columnWidth(1), 120);
    EXPECT_EQ(list.columnWidth(2), 60);
    EXPECT_EQ(list.columnWidth(3), 120);
    EXPECT_FALSE(list.header()->sectionsClickable());
}

TEST_F(ClipListViewTest, ColumnWidthIsKeptUnderItsLogicalNumber) {
    {
        ClipListView list;
        list.SetupColumns();
        list.setColumnWidth(3, 200);  // "Comment"
        list.setColumnWidth(2, 75);
        list.SetupColumns();  // saves, then rebuilds from what it saved
        EXPECT_EQ(list.columnWidth(3), 200);
    }
    EXPECT_EQ(GetIniInt("List", "Column4", -1), 200);
    EXPECT_EQ(GetIniInt("List", "Column2", -1), 75);
    EXPECT_EQ(GetIniInt("List", "Column3", -1), -1);

    ClipListView next;  // the next start
    next.SetupColumns();
    EXPECT_EQ(next.columnWidth(3), 200);
    EXPECT_EQ(next.columnWidth(2), 75);
}

TEST_F(ClipListViewTest, OneRowPerClipWithoutTheEndEntry) {
    ClipListView list;
    list.SetupColumns();
    std::vector<PlaylistEntry> sequence = {test::Entry("news\\intro_5.mpg", 61500, "opening"),
                                           test::Entry({}, 0)};
    list.Fill(sequence);
    ASSERT_EQ(list.topLevelItemCount(), 1);
    const QTreeWidgetItem* row = list.topLevelItem(0);
    EXPECT_EQ(row->text(0), "1");
    EXPECT_EQ(row->text(1), "news\\intro_5.mpg");  // as stored
    EXPECT_EQ(row->text(2), "   1:01.5");
    EXPECT_EQ(row->text(3), "opening");
    EXPECT_EQ(list.SelectedRow(), -1);

    list.Fill({});
    EXPECT_EQ(list.topLevelItemCount(), 0);
    list.Fill({test::Entry({}, 0)});
    EXPECT_EQ(list.topLevelItemCount(), 0);
}

TEST_F(ClipListViewTest, UnterminatedRecordFieldsStayInsideTheRecord) {
    ClipListView list;
    list.SetupColumns();
    PlaylistEntry entry = test::Entry("x", 1000);
    std::memset(entry.comment, 'c', sizeof entry.comment);
    std::memset(entry.fileName, 'f', sizeof entry.fileName);
    list.Fill({entry, test::Entry({}, 0)});
    EXPECT_EQ(list.topLevelItem(0)->text(3).size(), 64);
    EXPECT_EQ(list.topLevelItem(0)->text(1).size(), 260);
}

TEST_F(ClipListViewTest, SelectionFollowsTheClipOnAir) {
    ClipListView list;
    list.SetupColumns();
    list.Fill({test::Entry("a", 1000), test::Entry("b", 1000), test::Entry("c", 1000),
               test::Entry({}, 0)});
    list.SelectRow(2);
    EXPECT_EQ(list.SelectedRow(), 2);
    list.SelectRow(7);  // out of range: unchanged
    EXPECT_EQ(list.SelectedRow(), 2);
    list.ClearClipSelection();
    EXPECT_EQ(list.SelectedRow(), -1);
    EXPECT_EQ(list.currentItem(), nullptr);
    list.SelectRow(0);
    list.Fill({test::Entry("a", 1000), test::Entry({}, 0)});  // a rebuild clears the selection
    EXPECT_EQ(list.SelectedRow(), -1);
}

}  // namespace
}  // namespace orx

ORX_QT_TEST_MAIN()
