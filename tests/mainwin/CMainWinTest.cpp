#include "mainwin/CMainWin.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QComboBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QToolTip>
#include <set>

#include "MainWinTestSupport.h"
#include "mainwin/ClipListView.h"
#include "mainwin/MainToolBar.h"
#include "support/ReplaceCounter.h"
#include "ui/CSplitterBar.h"

namespace orx {
namespace {

using test::Clip;

class CMainWinTest : public test::MainWinFixture {
protected:
    static void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(target, &press);
    }
    ToolbarState Buttons() const { return w_->toolBar()->State(); }
};

TEST_F(CMainWinTest, ButtonsWaitForTheFirstTickAndPlayForAReadablePlaylistWithClips) {
    test::WriteFile(Video("Broken.vid"), "not a playlist at all");
    test::WritePlaylist(Video("Empty.vid"), {});
    test::WritePlaylist(Video("Sport/2006/x.vid"), {Clip("goal_3.mpg", 3000), Clip("c.mpg", 5)});
    Open();
    EXPECT_EQ(Buttons(), ToolbarState{});
    w_->resize(400, 432);
    w_->OnTimerTick();
    EXPECT_EQ(Buttons(), (ToolbarState{false, false, false, true, true, true}));  // no hardware
    EXPECT_EQ(w_->splitterBar()->geometry().top(), 312);  // 32 + 400 * 700 / 1000

    Select("Broken");
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_NE(ui_.boxes[0].text.find("Broken.vid"), std::string::npos);
    EXPECT_TRUE(w_->engine().playlistPath.empty());

    Select("x");  // no hardware yet
    EXPECT_EQ(w_->engine().playlistPath, Video("Sport/2006/x.vid"));
    EXPECT_EQ(w_->toolBar()->fileDisplay()->text(), "x");
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));  // the place's tool tip
    QApplication::sendEvent(w_->toolBar()->fileDisplay(), &help);
    EXPECT_EQ(QToolTip::text(), "File");
    EXPECT_FALSE(Buttons().play);
    w_->engine().SetHardwareOk(true);
    Select("Empty");
    EXPECT_FALSE(Buttons().play);
    Select("x");
    EXPECT_TRUE(Buttons().play);
}

TEST_F(CMainWinTest, HotKeysMatchExactlyAndSelectionWhileTheEditorIsOpenIsUndone) {
    test::WritePlaylist(Video("A.vid"), {Clip("a_1.mpg", 1000)});
    test::WritePlaylist(Video("B.vid"), {Clip("b_2.mpg", 2000)});
    Open();
    w_->OnTimerTick();
    test::WritePlaylist(Video("Late.vid"), {});  // appears only when the tree is rebuilt
    Press(w_->playlistTree(), Qt::Key_R);
    Press(w_->playlistTree(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Find("Late"), nullptr);
    Press(w_->clipList(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_NE(Find("Late"), nullptr);
    w_->hotKeys().keys[HotKeyTable::kRefresh] = 0x71;  // F2, like Edit: the lower index wins
    test::WritePlaylist(Video("Later.vid"), {});
    Press(w_->playlistTree(), Qt::Key_F2);
    EXPECT_NE(Find("Later"), nullptr);
    EXPECT_TRUE(ui_.boxes.empty());  // Edit did not run

    w_->hotKeys().keys[HotKeyTable::kRefresh] = 0;
    Select("A");
    bool undone = false;
    w_->SetEditorRunner([&](QWidget*, std::string& path, bool, Playlist& copy) {
        EXPECT_EQ(path, Video("A.vid"));
        Select("B");
        undone = w_->playlistTree()->selectedItems().isEmpty();
        copy.entries.insert(copy.entries.begin(), Clip("a_1.mpg", 1000, "again"));
        path = Video("A2.vid");
    });
    Press(w_->clipList(), Qt::Key_F2);
    EXPECT_TRUE(undone);
    EXPECT_FALSE(w_->busy());
    EXPECT_EQ(w_->engine().playlistPath, Video("A2.vid"));
    ASSERT_EQ(w_->clipList()->topLevelItemCount(), 2);
    EXPECT_EQ(w_->clipList()->topLevelItem(0)->text(3), "again");
}

TEST_F(CMainWinTest, APipeOrAnOversizedPlaylistChosenWithTheKeysIsRefusedAtOnce) {
    std::vector<PlaylistEntry> self(16, Clip("B huge.vid", 1));
    self.insert(self.begin(), Clip("a.mpg", 1000));
    test::WritePlaylist(Video("B huge.vid"), self);  // itself 16 times: 69,906 entries
    test::WritePlaylist(Video("C show.vid"), {Clip("a.mpg", 1000)});
    ASSERT_EQ(mkfifo(Video("A pipe.vid").c_str(), 0600), 0);  // nobody ever writes to it
    Open();
    w_->show();
    alarm(60);  // an open that waits for the pipe's writer ends the test instead of hanging it
    for (int i = 0; i < 8 && w_->engine().playlistPath.empty(); ++i)
        Press(w_->playlistTree(), Qt::Key_Down);
    alarm(0);
    EXPECT_EQ(w_->engine().playlistPath, Video("C show.vid"));
    std::set<std::string> shown;
    for (const auto& box : ui_.boxes)
        shown.insert(box.text);
    EXPECT_EQ(shown, (std::set<std::string>{
                         "Error opening file:\n\n" + Video("A pipe.vid"),
                         "Playlist too large: with its nested playlists it holds too many entries "
                         "to play!\n\n" +
                             Video("B huge.vid")}));
}

TEST_F(CMainWinTest, LayoutHotKeysAndLabelsSurviveARestart) {
    Open();
    w_->show();  // Enter and Escape do not close the window
    Press(w_.get(), Qt::Key_Escape);
    Press(w_.get(), Qt::Key_Return);
    Press(w_->playlistTree(), Qt::Key_Escape);
    EXPECT_TRUE(w_->isVisible());
    // "started" from a window this one never launched
    EXPECT_EQ(w_->OnWindowMessage({kWmCopyData, 12345, kNotifyStarted, {}}), 0);
    EXPECT_EQ(w_->engine().schedule().started[0], 0);

    w_->setGeometry(30, 40, 600, 420);
    w_->showMaximized();
    QApplication::processEvents();
    w_->OnTimerTick();
    emit w_->splitterBar()->positionChanged(455);
    w_->hotKeys().keys[3] = 0x30076;
    w_->inputLabels().labels[6] = "Camera 5";  // IN5, shown in the restore list
    w_->toolBar()->SetRestoreComboIndex(8);
    w_->FillRestoreInputCombo();
    EXPECT_EQ(w_->toolBar()->RestoreComboIndex(), 8);
    EXPECT_EQ(w_->toolBar()->restoreCombo()->itemText(8), "Camera 5");
    w_->clipList()->setColumnWidth(1, 222);
    EXPECT_TRUE(w_->close());  // not playing: the title bar's close is obeyed
    test::ReplaceCounter replaced(dir_.Path());
    w_.reset();
    EXPECT_EQ(replaced.Count("brenvik.ini"), 1);  // every key of the window in one rewrite
    EXPECT_EQ(GetIniInt("List", "Column1", 0), 222);
    EXPECT_EQ(GetIniInt("HotKeys", "Key0", 0), 0x20052);  // defaults are written too
    EXPECT_EQ(GetIniString("InputLabels", "Labels0", "unset"), "");

    Open();
    EXPECT_EQ(w_->splitterSize(), 455);
    EXPECT_EQ(w_->hotKeys().keys[3], 0x30076u);
    EXPECT_TRUE(w_->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w_->normalGeometry(), QRect(30, 40, 600, 420));
    EXPECT_EQ(w_->inputLabels().labels[6], "Camera 5");
}

}  // namespace
}  // namespace orx
