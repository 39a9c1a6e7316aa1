#include "mainwin/CMainWin.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QKeyEvent>
#include <QLabel>

#include "MainWinTestSupport.h"
#include "mainwin/ClipListView.h"
#include "mainwin/MainToolBar.h"
#include "mainwin/PlaylistTreeView.h"
#include "ui/CSplitterBar.h"

namespace orx {
namespace {

// Without boards configured, opening the hardware launches nothing.
class CMainWinTest : public test::MainWinFixture {
protected:
    std::unique_ptr<CMainWin> Open() {
        return std::make_unique<CMainWin>(video_, remote_, hardware_, clock_);
    }
    static QTreeWidgetItem* FindItem(CMainWin& w, const QString& text) {
        const auto found = w.playlistTree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    static void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(target, &press);
    }

    CVideoCmd video_{clock_};
    CRemoteCmd remote_{clock_};
    HardwareControl hardware_{video_, remote_, clock_};
};

TEST_F(CMainWinTest, ButtonsStayDisabledUntilTheFirstTickOpensTheHardware) {
    test::WritePlaylist(Video("News.vid"), {{"news_4.mpg", 4000}});
    test::WritePlaylist(Video("Empty.vid"), {});
    auto w = Open();
    EXPECT_EQ(w->windowTitle(), "ORX Video Player");
    EXPECT_EQ(w->toolBar()->State(), ToolbarState{});
    EXPECT_TRUE(w->firstTick());
    EXPECT_TRUE(w->timer().running());
    EXPECT_EQ(w->timer().periodMs(), 100);

    w->resize(400, 432);
    w->OnTimerTick();
    EXPECT_FALSE(w->firstTick());
    EXPECT_FALSE(w->timer().running());
    ToolbarState expected;
    expected.edit = expected.settings = expected.close = true;
    EXPECT_EQ(w->toolBar()->State(), expected);
    // 32 + (432 - 32) * 700 / 1000
    EXPECT_EQ(w->splitterBar()->geometry().top(), 312);
    EXPECT_TRUE(ui_.boxes.empty());  // no boards configured: nothing to report

    // A playlist alone does not make Play available without hardware...
    w->playlistTree()->setCurrentItem(FindItem(*w, "News"));
    EXPECT_FALSE(w->toolBar()->State().play);
    // ... nor hardware with a playlist of no length.
    w->engine().SetHardwareOk(true);
    w->playlistTree()->setCurrentItem(FindItem(*w, "Empty"));
    EXPECT_FALSE(w->toolBar()->State().play);
    w->playlistTree()->setCurrentItem(FindItem(*w, "News"));
    EXPECT_TRUE(w->toolBar()->State().play);
    EXPECT_FALSE(w->toolBar()->State().pause);
}

TEST_F(CMainWinTest, SelectingAPlaylistShowsItsClipsAndName) {
    test::WritePlaylist(Video("Sport/2006/x.vid"),
                        {{"goal_3.mpg", 3000, "first half"}, {"cheer_2.mpg", 2500}});
    auto w = Open();
    w->OnTimerTick();
    QTreeWidgetItem* x = FindItem(*w, "x");
    ASSERT_NE(x, nullptr);
    w->playlistTree()->setCurrentItem(x);

    EXPECT_EQ(w->engine().playlistPath, Video("Sport/2006/x.vid"));
    EXPECT_EQ(w->toolBar()->fileDisplay()->text(), "x");
    ASSERT_EQ(w->clipList()->topLevelItemCount(), 2);
    EXPECT_EQ(w->clipList()->topLevelItem(0)->text(1), "goal_3.mpg");
    EXPECT_EQ(w->clipList()->topLevelItem(0)->text(3), "first half");
    EXPECT_EQ(w->clipList()->topLevelItem(1)->text(0), "2");

    // Folders and the root load nothing.
    w->playlistTree()->setCurrentItem(FindItem(*w, "Sport"));
    EXPECT_EQ(w->clipList()->topLevelItemCount(), 2);
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(CMainWinTest, UnreadablePlaylistIsReportedAndLeavesNoSelection) {
    test::WriteFile(Video("Broken.vid"), "not a playlist at all");
    auto w = Open();
    w->OnTimerTick();
    w->playlistTree()->setCurrentItem(FindItem(*w, "Broken"));
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].second & mb::IconMask, mb::IconError);
    EXPECT_NE(ui_.boxes[0].first.find("Broken.vid"), std::string::npos);
    EXPECT_TRUE(w->playlistTree()->selectedItems().isEmpty());
    EXPECT_TRUE(w->engine().playlistPath.empty());
}

TEST_F(CMainWinTest, HotKeyNeedsExactlyItsModifiers) {
    auto w = Open();
    w->OnTimerTick();
    test::WritePlaylist(Video("Late.vid"), {});  // appears only when the tree is rebuilt
    PlaylistTreeView* tree = w->playlistTree();

    Press(tree, Qt::Key_R, Qt::NoModifier);
    EXPECT_EQ(FindItem(*w, "Late"), nullptr);
    Press(tree, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(FindItem(*w, "Late"), nullptr);
    Press(tree, Qt::Key_R, Qt::ControlModifier);
    EXPECT_NE(FindItem(*w, "Late"), nullptr);

    // The clip list listens too.
    test::WritePlaylist(Video("Later.vid"), {});
    Press(w->clipList(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_NE(FindItem(*w, "Later"), nullptr);
}

TEST_F(CMainWinTest, TwoHotKeysOnOneKeyRunTheLowerIndex) {
    auto w = Open();
    w->OnTimerTick();
    w->hotKeys().keys[HotKeyTable::kRefresh] = 0x71;  // F2, like Edit
    test::WritePlaylist(Video("Late.vid"), {});
    Press(w->playlistTree(), Qt::Key_F2, Qt::NoModifier);
    EXPECT_NE(FindItem(*w, "Late"), nullptr);
    EXPECT_TRUE(ui_.boxes.empty());  // the editor was not asked for

    w->hotKeys().keys[HotKeyTable::kRefresh] = 0;
    Press(w->playlistTree(), Qt::Key_F2, Qt::NoModifier);
    EXPECT_EQ(ui_.boxes.size(), 1u);  // now Edit runs (its dialog is not there yet)
}

TEST_F(CMainWinTest, SelectionWhileTheEditorIsOpenIsUndoneAndTheEditedCopyApplied) {
    test::WritePlaylist(Video("A.vid"), {{"a_1.mpg", 1000}});
    test::WritePlaylist(Video("B.vid"), {{"b_2.mpg", 2000}});
    auto w = Open();
    w->OnTimerTick();
    w->playlistTree()->setCurrentItem(FindItem(*w, "A"));
    bool selectionUndone = false;
    w->SetEditorRunner([&](QWidget*, std::string& path, bool openedWhilePlaying, Playlist& copy) {
        EXPECT_FALSE(openedWhilePlaying);
        EXPECT_EQ(path, Video("A.vid"));
        w->playlistTree()->setCurrentItem(FindItem(*w, "B"));
        selectionUndone = w->playlistTree()->selectedItems().isEmpty();
        copy.entries.insert(copy.entries.begin(), test::Entry("a_1.mpg", 1000, "again"));
        path = Video("A2.vid");
    });
    Press(w->clipList(), Qt::Key_F2, Qt::NoModifier);
    EXPECT_TRUE(selectionUndone);
    EXPECT_FALSE(w->busy());
    EXPECT_EQ(w->engine().playlistPath, Video("A2.vid"));
    ASSERT_EQ(w->clipList()->topLevelItemCount(), 2);
    EXPECT_EQ(w->clipList()->topLevelItem(0)->text(3), "again");
}

TEST_F(CMainWinTest, EnterAndEscapeDoNotCloseTheWindow) {
    auto w = Open();
    w->show();
    Press(w.get(), Qt::Key_Escape, Qt::NoModifier);
    Press(w.get(), Qt::Key_Return, Qt::NoModifier);
    Press(w->playlistTree(), Qt::Key_Escape, Qt::NoModifier);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->close());  // not playing: the title bar's close is obeyed
    EXPECT_FALSE(w->isVisible());
}

TEST_F(CMainWinTest, DestructionWritesLayoutHotKeysAndLabels) {
    WriteIniInt("Layout", "SplitterSize", 640);
    WriteIniInt("HotKeys", "Key3", 0x30076);
    {
        auto w = Open();
        EXPECT_EQ(w->splitterSize(), 640);
        w->setGeometry(30, 40, 600, 420);
        w->showMaximized();
        QApplication::processEvents();
        w->OnTimerTick();
        emit w->splitterBar()->positionChanged(455);
        w->inputLabels().labels[43] = "Clip 12";
        w->clipList()->setColumnWidth(1, 222);
    }
    EXPECT_EQ(GetIniInt("Layout", "SplitterSize", 0), 455);
    EXPECT_EQ(GetIniInt("Layout", "Maximized", 0), 1);
    EXPECT_EQ(GetIniInt("Layout", "Left", 0), 30);
    EXPECT_EQ(GetIniInt("Layout", "Top", 0), 40);
    EXPECT_EQ(GetIniInt("Layout", "Width", 0), 600);
    EXPECT_EQ(GetIniInt("Layout", "Height", 0), 420);
    EXPECT_EQ(GetIniInt("List", "Column1", 0), 222);
    EXPECT_EQ(GetIniInt("HotKeys", "Key0", 0), 0x20052);
    EXPECT_EQ(GetIniInt("HotKeys", "Key3", 0), 0x30076);
    EXPECT_EQ(GetIniString("InputLabels", "Labels43"), "Clip 12");
    EXPECT_EQ(GetIniString("InputLabels", "Labels0", "unset"), "");

    // The next start comes back maximised over the same restored rectangle.
    auto again = Open();
    EXPECT_TRUE(again->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(again->normalGeometry(), QRect(30, 40, 600, 420));
    EXPECT_EQ(again->inputLabels().labels[43], "Clip 12");
}

TEST_F(CMainWinTest, ReportsFromUnknownWindowsAreIgnored) {
    auto w = Open();
    EXPECT_NE(w->messageHandle(), 0u);
    WindowMessage report;
    report.message = kWmCopyData;
    report.wParam = 12345;
    report.dwData = kNotifyStarted;
    EXPECT_EQ(w->OnWindowMessage(report), 0);
    EXPECT_EQ(w->engine().schedule().started[0], 0);
}

}  // namespace
}  // namespace orx

ORX_QT_TEST_MAIN()
