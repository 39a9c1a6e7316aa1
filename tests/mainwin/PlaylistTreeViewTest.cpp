#include "mainwin/PlaylistTreeView.h"

#include <gtest/gtest.h>

#include "MainWinTestSupport.h"

namespace orx {
namespace {

using PlaylistTreeViewTest = test::MainWinFixture;

QStringList Children(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) {
        texts << item->child(i)->text(0);
    }
    return texts;
}

TEST_F(PlaylistTreeViewTest, PlaylistsAndFoldersSortedWithoutCaseAndEmptyFoldersLeftOut) {
    for (const char* name : {"News.vid", "a.vid", "Sport/2006/x.vid", "zoo.VID"}) {
        test::WritePlaylist(Video(name), {});
    }
    std::filesystem::create_directories(Video("old"));
    test::WriteFile(Video("other/clip.mpg"));  // a folder without playlists
    PlaylistTreeView tree;
    tree.Fill(Settings().videoPath, "Playlists");
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    const QTreeWidgetItem* root = tree.topLevelItem(0);
    ASSERT_EQ(Children(root), (QStringList{"a", "News", "Sport", "zoo"}));
    const QTreeWidgetItem* sport = root->child(2);
    ASSERT_EQ(Children(sport->child(0)), QStringList{"x"});

    EXPECT_EQ(tree.PlaylistPathOf(sport->child(0)->child(0)), Video("Sport/2006/x.vid"));
    EXPECT_EQ(tree.PlaylistPathOf(root->child(3)), Video("zoo.VID"));  // the name on disk
    EXPECT_EQ(tree.PlaylistPathOf(sport), "");

    tree.Fill(dir_ / "NoSuchFolder/", "Playlists");
    EXPECT_EQ(tree.topLevelItem(0)->childCount(), 0);
}

}  // namespace
}  // namespace orx
