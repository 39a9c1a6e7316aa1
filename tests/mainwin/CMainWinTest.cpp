#include "mainwin/CMainWin.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QWindow>

#include "MainWinTestSupport.h"
#include "lang/LanguageManager.h"
#include "lang/TextServices.h"
#include "lang/TranslationTable.h"
#include "lang/qt/QtUiHost.h"
#include "mainwin/ClipListView.h"
#include "mainwin/MainToolBar.h"
#include "mainwin/TerminationSignals.h"
#include "mainwin/VirtualKey.h"
#include "support/FolderEvents.h"
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

// Hot keys match their key and modifiers exactly, the lower index first, from the tree and the
// clip list. The editor runs on a copy of the current playlist, which becomes current with the
// path the editor hands back; while it is open the tree refuses selections. Only the Edit button
// rebuilds the tree; a double click on the root or a folder opens nothing.
TEST_F(CMainWinTest, HotKeysMatchExactlyAndTheEditorOpensFromTheHotKeyTheButtonAndADoubleClick) {
    test::WritePlaylist(Video("A.vid"), {Clip("a_1.mpg", 1000)});
    test::WritePlaylist(Video("News/B.vid"), {Clip("b_2.mpg", 2000)});
    Open();
    w_->OnTimerTick();
    std::vector<std::string> opened;
    w_->SetEditorRunner([&](QWidget*, std::string& path, bool playing, Playlist& copy) {
        opened.push_back(path);
        EXPECT_TRUE(w_->busy() && !playing);
        Select("News");
        EXPECT_TRUE(w_->playlistTree()->selectedItems().isEmpty());
        // Fields that fill their record without a terminator are shown to the record's end.
        PlaylistEntry full = Clip({}, 61500);
        std::memset(full.fileName, 'f', sizeof full.fileName);
        std::memset(full.comment, 'c', sizeof full.comment);
        copy.entries.insert(copy.entries.begin(), full);
        path = Video("A2.vid");
    });
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
    EXPECT_TRUE(opened.empty());

    w_->hotKeys().keys[HotKeyTable::kRefresh] = 0;
    Select("A");
    test::WritePlaylist(Video("Latest.vid"), {});
    Press(w_->clipList(), Qt::Key_F2);
    EXPECT_FALSE(w_->busy());
    EXPECT_EQ(Find("Latest"), nullptr);
    EXPECT_EQ(w_->engine().playlistPath, Video("A2.vid"));
    ASSERT_EQ(w_->clipList()->topLevelItemCount(), 2);
    const QTreeWidgetItem* row = w_->clipList()->topLevelItem(0);
    EXPECT_EQ(QStringList({row->text(0), row->text(2)}), QStringList({"1", "   1:01.5"}));
    EXPECT_TRUE(row->text(1).size() == 260 && row->text(3).size() == 64);
    w_->toolBar()->action(MainToolBar::kEditId)->trigger();
    EXPECT_NE(Find("Latest"), nullptr);
    for (const QString item : {"Playlists", "News", "B"}) {
        w_->playlistTree()->setCurrentItem(Find(item));
        emit w_->playlistTree()->itemDoubleClicked(Find(item), 0);
    }
    EXPECT_EQ(opened,
              (std::vector<std::string>{Video("A.vid"), Video("A2.vid"), Video("News/B.vid")}));
}

TEST_F(CMainWinTest, ToolBarTextsAreWholeAndTranslatedAndTheWindowKeepsTheWholeBar) {
    Open();
    w_->show();
    QLabel* time = w_->toolBar()->timeDisplay();
    // Three-digit minutes on both sides, in every digit.
    for (const int digit : {1, 4, 7, 8, 9}) {
        const int32_t ms = digit * 111 * 60000 + (50 + digit) * 1000 + digit * 100;
        w_->toolBar()->ShowTimes(ms, ms);
        EXPECT_LE(time->sizeHint().width(), time->width()) << time->text().toStdString();
    }
    w_->toolBar()->ShowTimes(61500, 3723400);
    EXPECT_EQ(time->text(), "1:01.5 / 62:03.4  ");
    EXPECT_LE(time->sizeHint().width(), time->width());

    // Where the bar has no room, the extension menu names each button by its translated tool
    // tip, in the language of the moment.
    TranslationTable table;
    table.Assign({{StringKey(32957), "Abspielen\nAbspielen"},
                  {StringKey(32956), "Fenster schliessen\nSchliessen"}});
    test::WriteBytes(dir_ / "brenvik.lna", table.Serialize());
    Languages().SetMasterPath(dir_ / "brenvik.lna");
    ASSERT_TRUE(Languages().Startup());
    w_->toolBar()->resize(60, MainToolBar::kHeightPx);
    auto* more = w_->toolBar()->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_TRUE(more != nullptr && more->menu() != nullptr);
    more->menu()->popup(QPoint());
    QStringList texts;
    for (const QAction* item : more->menu()->actions()) {
        texts << item->text();
    }
    more->menu()->hide();
    ResetLanguagesForTesting();
    EXPECT_TRUE(texts.contains("Schliessen") && texts.contains("Settings"))
        << texts.join('|').toStdString();

    // The operator cannot make the window narrower than its tool bar.
    w_->resize(10, 10);
    QApplication::processEvents();
    EXPECT_GE(w_->width(), w_->toolBar()->sizeHint().width());
    EXPECT_GE(w_->minimumWidth(), w_->toolBar()->sizeHint().width());
}

TEST_F(CMainWinTest, ATerminationSignalClosesOpenBoxesAndThenTheWindow) {
    QtUiHost screen;  // real boxes with their own event loops
    SetUiHost(&screen);
    const TerminationSignals termination;
    ASSERT_TRUE(termination.watching());
    Open();
    w_->show();
    QObject::connect(&termination, &TerminationSignals::terminationRequested, w_.get(),
                     &CMainWin::RequestShutdown);
    alarm(30);  // a box nobody answers ends the test instead of hanging it
    QTimer::singleShot(0, [] { raise(SIGTERM); });  // while the box below is open
    EXPECT_EQ(ShowMessageText("The mixer does not answer.", mb::OkCancel), id::Cancel);
    EXPECT_FALSE(w_->isVisible());
    EXPECT_EQ(w_->result(), 1);
    // A box shown while the program ends (a failure reported by the stop) closes at once.
    EXPECT_EQ(ShowMessageText("The mixer could not be restored.", mb::Ok), id::Ok);
    alarm(0);
    // A Settings dialog closed this way does not start the hosts again on its way out.
    Settings().mpeg = 2;
    bool launched = false;
    video_.SetHostLauncher([&](int, const std::string&) { return launched = true; });
    w_->OpenHardware();
    EXPECT_FALSE(launched);
    SetUiHost(&ui_);
}

// By keys: the buttons wait for the first tick, also when a playlist is chosen before it, and
// Play waits for the boards and a playable playlist.
// The tree sorts without regard to case, opens playlists by their names on disk and leaves out
// folders without playlists. Each playlist that cannot be loaded (a pipe nobody writes to, one
// too large to play) is told once, at once, and leaves nothing of the one before to play.
TEST_F(CMainWinTest, KeysOverPlaylistsThatCannotBeLoadedTellEachOnceAndLeaveNothingToPlay) {
    test::WritePlaylist(Video("a show.vid"), {Clip("a.mpg", 1000)});
    test::WriteFile(Video("Archive/old.mpg"));
    ASSERT_EQ(mkfifo(Video("B pipe.vid").c_str(), 0600), 0);
    std::vector<PlaylistEntry> self(16, Clip("c huge.VID", 1));
    self.insert(self.begin(), Clip("a.mpg", 1000));
    test::WritePlaylist(Video("c huge.VID"), self);  // itself 16 times: 69,906 entries
    test::WritePlaylist(Video("D late.vid"), {Clip("d.mpg", 2000)});
    Open();
    w_->resize(400, 432);
    w_->show();
    const auto key = [&](int key, bool thenEvents = true) {  // to the focused control
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w_->windowHandle(), &press);
        if (thenEvents)
            QApplication::processEvents();
    };
    key(Qt::Key_Down, false);  // before the first tick, which the events could bring
    ASSERT_EQ(w_->engine().playlistPath, Video("a show.vid"));
    EXPECT_EQ(Buttons(), ToolbarState{});
    w_->OnTimerTick();
    EXPECT_EQ(Buttons(), (ToolbarState{false, false, false, true, true, true}));  // no hardware
    EXPECT_EQ(w_->splitterBar()->geometry().top(), 312);  // 32 + 400 * 700 / 1000
    EXPECT_EQ(w_->toolBar()->fileDisplay()->text(), "a show");
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));  // the place's tool tip
    QApplication::sendEvent(w_->toolBar()->fileDisplay(), &help);
    EXPECT_EQ(QToolTip::text(), "File");
    EXPECT_FALSE(Buttons().play);
    w_->engine().SetHardwareOk(true);
    key(Qt::Key_Up);
    key(Qt::Key_Down);
    ASSERT_TRUE(Buttons().play);

    alarm(60);  // an open that waits for the pipe's writer ends the test instead of hanging it
    key(Qt::Key_Down);
    alarm(0);
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "Error opening file:\n\n" + Video("B pipe.vid"));
    EXPECT_TRUE(w_->playlistTree()->selectedItems().isEmpty());
    EXPECT_FALSE(Buttons().play);
    EXPECT_EQ(w_->engine().schedule().totalMs, 0);
    EXPECT_EQ(w_->clipList()->topLevelItemCount(), 0);
    EXPECT_EQ(w_->toolBar()->fileDisplay()->text(), "");
    EXPECT_TRUE(w_->engine().playlistPath.empty());
    key(Qt::Key_Down);  // on from the refused playlist
    ASSERT_EQ(ui_.boxes.size(), 2u);
    EXPECT_EQ(ui_.boxes[1].text,
              "Playlist too large: with its nested playlists it holds too many entries to "
              "play!\n\n" +
                  Video("c huge.VID"));
    key(Qt::Key_Down);
    EXPECT_EQ(ui_.boxes.size(), 2u);
    EXPECT_EQ(w_->engine().playlistPath, Video("D late.vid"));
    EXPECT_TRUE(Buttons().play);
}

TEST_F(CMainWinTest, LayoutHotKeysAndLabelsSurviveARestart) {
    // Hot keys as Windows stores them: Shift+1, none, Ctrl+Alt+F5, the Left arrow with the
    // extended flag its hot-key control records, keypad +. They match the same keys here.
    test::WriteFile(dir_ / "brenvik.ini",
                    "[HotKeys]\r\nKey0=65585\r\nKey1=0\r\nKey2=393332\r\n"
                    "Key3=524325\r\nKey4=107\r\n");
    Open();
    const auto match = [&](int key, Qt::KeyboardModifiers modifiers) {
        return w_->hotKeys().Match(VirtualKeyFromQt(key, modifiers), HotKeyModifiers(modifiers));
    };
    EXPECT_EQ(match(Qt::Key_Exclam, Qt::ShiftModifier), 0);  // the key, not the character
    EXPECT_EQ(match(Qt::Key_F5, Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier), 2);
    EXPECT_EQ(match(Qt::Key_F5, Qt::ControlModifier), -1);
    EXPECT_EQ(match(Qt::Key_Plus, Qt::KeypadModifier), 4);
    EXPECT_EQ(match(Qt::Key_Plus, Qt::ShiftModifier), -1);  // the '=' key with Shift
    EXPECT_EQ(match(Qt::Key_unknown, Qt::NoModifier), -1);
    EXPECT_EQ(match(Qt::Key_Left, Qt::NoModifier), 3);  // the extended flag is disregarded
    EXPECT_EQ(match(Qt::Key_Left, Qt::ShiftModifier), -1);
    EXPECT_EQ(match(Qt::Key_Right, Qt::NoModifier), -1);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7, Qt::KeypadModifier), 0x67u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F24, {}), 0x87u);                   // the last function key
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Home, Qt::KeypadModifier), 0x24u);  // NumLock off
    EXPECT_EQ(w_->playlistTree()->topLevelItem(0)->childCount(), 0);       // no video folder
    w_->show();  // Enter and Escape do not close the window
    Press(w_.get(), Qt::Key_Escape);
    Press(w_.get(), Qt::Key_Return);
    Press(w_->playlistTree(), Qt::Key_Escape);
    EXPECT_TRUE(w_->isVisible());
    // "started" from a window this one never launched
    EXPECT_EQ(w_->OnWindowMessage({kWmCopyData, 12345, kNotifyStarted, {}}), 0);
    EXPECT_EQ(w_->engine().schedule().started[0], 0);

    w_->setGeometry(30, 40, 720, 420);  // wider than the tool bar
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
    w_->clipList()->setColumnWidth(3, 222);  // "Comment", logical column 4
    EXPECT_TRUE(w_->close());                // not playing: the title bar's close is obeyed
    test::FolderEvents replaced(dir_.Path());
    w_.reset();
    EXPECT_EQ(replaced.Replaced("brenvik.ini"), 1);  // every key of the window in one rewrite
    EXPECT_EQ(GetIniInt("List", "Column4", 0), 222);
    EXPECT_EQ(GetIniInt("List", "Column3", -1), -1);
    EXPECT_EQ(GetIniInt("HotKeys", "Key0", 0), 65585);
    EXPECT_EQ(GetIniString("InputLabels", "Labels0", "unset"), "");  // defaults are written too

    Open();
    EXPECT_EQ(w_->splitterSize(), 455);
    EXPECT_EQ(w_->hotKeys().keys[3], 0x30076u);
    EXPECT_TRUE(w_->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w_->normalGeometry(), QRect(30, 40, 720, 420));
    EXPECT_EQ(w_->inputLabels().labels[6], "Camera 5");
    EXPECT_EQ(w_->clipList()->columnWidth(3), 222);
}

}  // namespace
}  // namespace orx
