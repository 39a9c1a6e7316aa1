// How the main window opens the playlist editor: from the Edit button, the Edit hot key and a
// double click in the tree, on a copy that becomes the current playlist afterwards.

#include <gtest/gtest.h>

#include <QTest>

#include "MainWinTestSupport.h"
#include "mainwin/ClipListView.h"
#include "mainwin/MainToolBar.h"

namespace orx {
namespace {

using test::Clip;

class OpenEditorTest : public test::MainWinFixture {
protected:
    void SetUp() override {
        MainWinFixture::SetUp();
        test::WritePlaylist(Video("News/A.vid"), {Clip("a_1.mpg", 1000)});
        Open();
        w_->OnTimerTick();
        w_->SetEditorRunner([this](QWidget*, std::string& path, bool playing, Playlist& copy) {
            ++runs_;
            busyWhileOpen_ = w_->busy();
            openedWhilePlaying_ = playing;
            copy.entries.insert(copy.entries.begin(), Clip("b_2.mpg", 2000, "edited"));
            path = Video("B.vid");
        });
        w_->show();
    }
    void DoubleClick(const QString& text) {
        QTreeWidgetItem* item = Find(text);
        ASSERT_NE(item, nullptr) << text.toStdString();
        w_->playlistTree()->setCurrentItem(item);
        emit w_->playlistTree()->itemDoubleClicked(item, 0);
    }

    int runs_ = 0;
    bool busyWhileOpen_ = false;
    bool openedWhilePlaying_ = true;
};

TEST_F(OpenEditorTest, RootAndFoldersOpenNothingAPlaylistOpensTheEditorOnACopy) {
    DoubleClick("Playlists");
    DoubleClick("News");
    EXPECT_EQ(runs_, 0);
    DoubleClick("A");
    ASSERT_EQ(runs_, 1);
    EXPECT_TRUE(busyWhileOpen_);
    EXPECT_FALSE(openedWhilePlaying_);
    EXPECT_FALSE(w_->busy());
    // The edited copy is current, with the path the editor handed back.
    EXPECT_EQ(w_->engine().playlistPath, Video("B.vid"));
    ASSERT_EQ(w_->clipList()->topLevelItemCount(), 2);
    EXPECT_EQ(w_->clipList()->topLevelItem(0)->text(3), "edited");
}

TEST_F(OpenEditorTest, TheEditButtonRebuildsTheTreeAndTheHotKeyDoesNot) {
    test::WritePlaylist(Video("Late.vid"), {});
    QTest::keyClick(w_->playlistTree(), Qt::Key_F2);  // the Edit hot key
    EXPECT_EQ(runs_, 1);
    EXPECT_EQ(Find("Late"), nullptr);
    w_->toolBar()->action(MainToolBar::kEditId)->trigger();
    EXPECT_EQ(runs_, 2);
    EXPECT_NE(Find("Late"), nullptr);
}

}  // namespace
}  // namespace orx
