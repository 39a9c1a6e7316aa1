#include "mainwin/PlaylistTreeView.h"

#include <gtest/gtest.h>

#include "MainWinTestSupport.h"
#include "platform/Paths.h"

namespace orx {
namespace {

class PlaylistTreeViewTest : public test::MainWinFixture {
protected:
    QStringList ChildTexts(const QTreeWidgetItem* item) const {
        QStringList texts;
        for (int i = 0; i < item->childCount(); ++i) {
            texts << item->child(i)->text(0);
        }
        return texts;
    }
    PlaylistTreeView tree_;
};

TEST_F(PlaylistTreeViewTest, PlaylistsSortedWithoutCaseAndEmptyFoldersLeftOut) {
    test::WritePlaylist(Video("News.vid"), {});
    test::WritePlaylist(Video("a.vid"), {});
    std::filesystem::create_directories(Video("old"));
    test::WriteFile(Video("other/clip.mpg"));  // a folder without playlists
    test::WriteFile(Video("notes.txt"));

    tree_.Fill(Settings().videoPath, "Playlists");
    ASSERT_EQ(tree_.topLevelItemCount(), 1);
    const QTreeWidgetItem* root = tree_.topLevelItem(0);
    EXPECT_EQ(root->text(0), "Playlists");
    EXPECT_EQ(PlaylistTreeView::KindOf(root), PlaylistTreeView::kFolder);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(ChildTexts(root), (QStringList{"a", "News"}));
    EXPECT_EQ(PlaylistTreeView::KindOf(root->child(0)), PlaylistTreeView::kPlaylist);
}

TEST_F(PlaylistTreeViewTest, FoldersAndPlaylistsSortTogetherAndNestedPathsResolve) {
    test::WritePlaylist(Video("Sport/2006/x.vid"), {});
    test::WritePlaylist(Video("Morning.vid"), {});
    test::WritePlaylist(Video("zoo.VID"), {});

    tree_.Fill(Settings().videoPath, "Playlists");
    const QTreeWidgetItem* root = tree_.topLevelItem(0);
    ASSERT_EQ(ChildTexts(root), (QStringList{"Morning", "Sport", "zoo"}));
    const QTreeWidgetItem* sport = root->child(1);
    EXPECT_EQ(PlaylistTreeView::KindOf(sport), PlaylistTreeView::kFolder);
    ASSERT_EQ(ChildTexts(sport), QStringList{"2006"});
    const QTreeWidgetItem* x = sport->child(0)->child(0);
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->text(0), "x");
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(tree_.PlaylistPathOf(x),
              Settings().videoPath + "Sport" + sep + "2006" + sep + "x.vid");
    // The name on disk, so the file opens where case matters.
    EXPECT_EQ(tree_.PlaylistPathOf(root->child(2)), Video("zoo.VID"));
    EXPECT_EQ(tree_.PlaylistPathOf(sport), "");
    EXPECT_EQ(tree_.PlaylistPathOf(root), "");
}

TEST_F(PlaylistTreeViewTest, MissingVideoFolderGivesTheRootAlone) {
    tree_.Fill(dir_ / "NoSuchFolder/", "Playlists");
    ASSERT_EQ(tree_.topLevelItemCount(), 1);
    EXPECT_EQ(tree_.topLevelItem(0)->childCount(), 0);
}

}  // namespace
}  // namespace orx

ORX_QT_TEST_MAIN()
