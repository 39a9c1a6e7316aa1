// The playlist editor and its dialogs by workflow, driven with keys: load, edit a selection,
// delete a clip, the question before discarding changes, one-board timing in the selected
// language, the library list, and an edit during a run.

#include "editor/PlaylistEditorDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>

#include "../lang/LangTestSupport.h"
#include "app/AppSettings.h"
#include "app/DebugLog.h"
#include "app/IniFile.h"
#include "editor/ConfirmDeleteDialog.h"
#include "editor/DescriptionDialog.h"
#include "editor/TransitionDialog.h"
#include "lang/LanguageManager.h"
#include "lang/ProgramTexts.h"
#include "lang/TextServices.h"
#include "lang/TranslationKey.h"
#include "lang/TranslationTable.h"
#include "lang/qt/DialogTranslation.h"
#include "library/VideoLibrary.h"
#include "support/ModalScript.h"
#include "support/RecordingUiHost.h"
#include "support/TempFolder.h"

namespace orx {
namespace {

using test::Press;
using test::PressButton;
using test::ReadFile;
using test::Retype;
using test::Type;

// Control ids of the editor's buttons.
constexpr int kEditId = 1260, kRemoveId = 1259, kMoveUpId = 1513, kMoveDownId = 1514,
              kDeleteId = 1234, kDescriptionId = 1512, kDefaultsId = 1290, kClearId = 1289,
              kLoadId = 1273, kSaveId = 1279, kCloseId = 2;

PlaylistEntry Entry(const std::string& name, int32_t ms, int32_t transition = 0,
                    int32_t interleaveMs = 500, std::initializer_list<uint8_t> extras = {}) {
    PlaylistEntry e{
        .durationMs = ms, .transition = transition, .interleaveMs = interleaveMs, .spacingMs = 500};
    SetEntryFileName(e, name);
    std::copy(extras.begin(), extras.end(), e.extraCommands);
    return e;
}
// A playlist of the entries and an end entry, timed as loading leaves it.
Playlist Make(std::vector<PlaylistEntry> clips, int32_t endTransition = 0, int32_t endMs = 500) {
    Playlist p;
    p.Clear();
    p.entries = std::move(clips);
    p.entries.push_back(Entry("", 0, endTransition, endMs));
    p.ComputeTotal();
    return p;
}
// A column of a list's rows, joined with "|"; an empty cell shows as "-".
QString Column(const QTreeView* view, int column) {
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        const QString text = view->model()->index(row, column).data().toString();
        texts << (text.isEmpty() ? "-" : text);
    }
    return texts.join('|');
}
// The transition dialog's fields: transition, interleave, whether the spacing is used, and the
// first extra command ("-" while the extra commands are disabled).
std::string Fields(const TransitionDialog& d) {
    return (d.transitionList()->currentText() + "|" + d.interleaveEdit()->text() +
            (d.spacingEdit()->isEnabled() ? "|spacing|" : "||") +
            (d.extraList(0)->isEnabled() ? d.extraList(0)->currentText() : "-"))
        .toStdString();
}

// Per test: a fresh program folder with the settings file and a video folder, a recording UI host
// and scripted file dialogs.
class PlaylistEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings() = AppSettings{};
        Settings().appDir = Settings().remotePath = dir_.Path();
        Settings().videoPath = dir_ / "Video/";
        std::filesystem::create_directories(Settings().videoPath);
        ResetDebugLogForTesting();
        VideoLibrary::SetSortMode(0);
    }
    std::string Video(const std::string& name) const { return Settings().videoPath + name; }
    // Clips whose names carry their durations in seconds: the library measures them by name.
    void MakeClips(std::initializer_list<const char*> names) const {
        for (const char* name : names)
            test::WriteFile(Video(name), "x");
    }
    void SetBoards(int boards) { WriteIniInt("Hardware", "MPEG", boards); }
    void Save(const std::string& path, Playlist p) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        ASSERT_EQ(p.Save(path), kPlaylistOk);
    }
    // Shows the editor as an active window, so keys reach its focused list.
    void Open(std::string path = {}, bool playing = false) {
        editor_ = std::make_unique<PlaylistEditorDialog>(playlist_, std::move(path), playing);
        editor_->show();
        editor_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor_.get()));
    }
    // The playlist's entries as the list shows them (the model reads the edited entries).
    QString Rows() const { return Column(editor_->playlistView(), 1); }
    // The name field, the playlist's path, its rows, and "*" while modified.
    std::string State() const {
        return editor_->nameField()->text().toStdString() + " " + editor_->playlistPath() + " " +
               Rows().toStdString() + (editor_->modified() ? " *" : "");
    }
    int SelectedCount() const {
        return static_cast<int>(editor_->playlistView()->selectionModel()->selectedRows().size());
    }
    std::string Box(size_t i) const { return i < ui_.boxes.size() ? ui_.boxes[i].text : ""; }
    // Keys act on the dialog of class D that the button opens (0: Enter in the focused list).
    template <typename D, typename F>
    void With(int button, F keys) {
        test::ModalScript script;
        script.Then(D::staticMetaObject.className(),
                    [&](QDialog* dialog) { keys(*static_cast<D*>(dialog)); });
        button == 0 ? Press(Qt::Key_Return) : editor_->button(button)->click();
        EXPECT_TRUE(script.done());
    }

    test::LanguageEnvironment env_;  // the program folder and the languages
    const test::TempFolder& dir_ = env_.folder;
    test::RecordingUiHost& ui_ = env_.ui;
    test::ScriptedPickers pickers_;
    Playlist playlist_;
    std::unique_ptr<PlaylistEditorDialog> editor_;
};

TEST_F(PlaylistEditorTest, LoadWarnsAboutAMissingClipAndAFailedLoadStartsANewPlaylist) {
    MakeClips({"x_1.mpg", "y_2.mpg"});
    Save(Video("Old.vid"), Make({Entry("x_1.mpg", 1000), Entry("y_2.mpg", 2000)}));
    std::filesystem::remove(Video("y_2.mpg"));
    test::WriteFile(Video("junk.vid"), "not a playlist");
    Playlist bare;  // without even an end entry
    bare.Clear();
    Save(Video("Bare.vid"), bare);
    playlist_ = Make({Entry("x_1.mpg", 1000)});
    Open(Video("Start.vid"));
    EXPECT_EQ(State(), "Start " + Video("Start.vid") + " x_1.mpg|-");
    pickers_.openAnswers = {Video("Old.vid"), Video("junk.vid"), "", Video("Bare.vid")};
    editor_->button(kLoadId)->click();
    EXPECT_EQ(State(), "Old " + Video("Old.vid") + " x_1.mpg|-");
    editor_->button(kLoadId)->click();
    EXPECT_EQ(State(), "  -");          // a new playlist
    editor_->button(kLoadId)->click();  // a cancelled dialog changes nothing
    EXPECT_EQ(State(), "  -");
    ASSERT_EQ(ui_.boxes.size(), 2u);
    EXPECT_EQ(Box(0), FormatTranslated(3005, {Video("Old.vid")}));
    EXPECT_EQ(Box(1), FormatTranslated(3002, {Video("junk.vid")}));
    ASSERT_EQ(pickers_.opened.size(), 3u);
    const std::string filter = "Video playlist files (*.vid)|*.vid| .vid ";
    EXPECT_EQ(pickers_.Asked(pickers_.opened[0]),
              filter + Settings().videoPath + " " + Video("Start.vid"));
    EXPECT_EQ(pickers_.Asked(pickers_.opened[2]), filter + Settings().videoPath + " ");
    // A file without an end entry gets one, so clips can still be added before it.
    editor_->button(kLoadId)->click();
    EXPECT_EQ(State(), "Bare " + Video("Bare.vid") + " -");
    Press({Qt::Key_Tab, Qt::Key_Space, Qt::Key_Return});
    EXPECT_EQ(Rows(), "x_1.mpg|-");
}

TEST_F(PlaylistEditorTest, SelectionEditsWriteOnlyWhatWasChosenAndTheEndEntryNeverMoves) {
    SetBoards(2);
    playlist_ = Make({Entry("a.mpg", 5000, 1, 800, {1}), Entry("b.mpg", 5000, 2, 700, {2}),
                      Entry("c.mpg", 5000, 1, 800, {1, 5})},
                     1);
    Open();
    Press(Qt::Key_Space);  // the first row
    Press(Qt::Key_Down, Qt::ShiftModifier);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(SelectedCount(), 3);
    With<TransitionDialog>(0, [](TransitionDialog& d) {  // mixed values show nothing
        // No spacing with two boards; one mixed extra command disables all three.
        EXPECT_EQ(Fields(d), "|||-");
        EXPECT_FALSE(d.extraList(2)->isEnabled());
        Press(Qt::Key_Tab);
        Retype("900");
        Press(Qt::Key_Return);
    });
    // Only the interleave changed, and not the end entry's, which was not selected.
    Save(dir_ / "edited.vid", playlist_);
    Save(dir_ / "expected.vid",
         Make({Entry("a.mpg", 5000, 1, 900, {1}), Entry("b.mpg", 5000, 2, 900, {2}),
               Entry("c.mpg", 5000, 1, 900, {1, 5})},
              1));
    EXPECT_EQ(test::ReadBytes(dir_ / "edited.vid"), test::ReadBytes(dir_ / "expected.vid"));
    EXPECT_EQ(Column(editor_->playlistView(), 3).split('|')[2], "MIX [LOGO1 ON] [CLOCK ON]");
    // Several rows were edited: none is selected after.
    EXPECT_EQ(std::pair(editor_->modified(), SelectedCount()), std::pair(true, 0));

    // One row: its values are shown, a new transition is written, and the row stays selected.
    Press(Qt::Key_Down);
    With<TransitionDialog>(kEditId, [](TransitionDialog& d) {
        EXPECT_EQ(Fields(d), "EFFECT1|900||LOGO 1 OFF");
        Press({Qt::Key_Up, Qt::Key_Return});  // "MIX"
    });
    EXPECT_EQ(std::pair(playlist_.entries[1].transition, editor_->CurrentPlaylistRow()),
              std::pair(1, 1));
    Press(Qt::Key_A);  // Ctrl+A selects every row, the end entry too; A alone does not
    EXPECT_EQ(SelectedCount(), 1);
    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(SelectedCount(), 4);

    // Remove and move never touch the end entry.
    Press({Qt::Key_End, Qt::Key_Delete});
    EXPECT_EQ(Rows(), "a.mpg|b.mpg|c.mpg|-");
    EXPECT_EQ(editor_->CurrentPlaylistRow(), -1);  // the list was filled without a selection
    Press({Qt::Key_End, Qt::Key_Up});              // c, the last clip
    // Down from the last clip and Up from the first change nothing.
    std::string rows;
    for (const int button : {kMoveDownId, kMoveUpId, kMoveUpId, kMoveUpId, kMoveDownId}) {
        editor_->button(button)->click();
        rows += Rows().remove(".mpg").toStdString() + " ";
    }
    EXPECT_EQ(rows, "a|b|c|- a|c|b|- c|a|b|- c|a|b|- a|c|b|- ");
    Press(Qt::Key_End);
    editor_->button(kMoveUpId)->click();
    EXPECT_EQ(Rows(), "a.mpg|c.mpg|b.mpg|-");
    Press(Qt::Key_A, Qt::ControlModifier);
    editor_->button(kRemoveId)->click();
    EXPECT_EQ(Rows() + QString::number(SelectedCount()), "-0");
    editor_->button(kEditId)->click();  // nothing selected: nothing opens
    editor_->button(kMoveDownId)->click();
}

TEST_F(PlaylistEditorTest, DeletingAClipListsThePlaylistsUsingItAndYesRemovesItEverywhere) {
    MakeClips({"x_10.mpg", "y_5.mpg", "z_3.mpg"});
    Save(Video("a.vid"), Make({Entry("x_10.mpg", 10000)}));
    Save(Video("News/b.vid"), Make({Entry("y_5.mpg", 5000), Entry("x_10.mpg", 10000)}));
    Save(Video("c.vid"), Make({Entry("a.vid", 10000)}));  // only through a nested playlist
    Save(Video("d.vid"), Make({Entry("y_5.mpg", 5000)}));
    // A link back into the tree is not followed: each playlist is listed once.
    std::filesystem::create_directory_symlink(Settings().videoPath, Video("News/loop"));
    playlist_ = Make({Entry("x_10.mpg", 10000), Entry("y_5.mpg", 5000), Entry("X_10.MPG", 10000)});
    Open();
    EXPECT_EQ(Column(editor_->libraryView(), 0),
              "News/b.vid|a.vid|c.vid|d.vid|x_10.mpg|y_5.mpg|z_3.mpg");
    Press({Qt::Key_Tab, Qt::Key_End, Qt::Key_Up, Qt::Key_Up});  // x_10.mpg
    ASSERT_EQ(editor_->CurrentLibraryRow(), 4);
    QStringList listed;
    With<ConfirmDeleteDialog>(kDeleteId, [&](ConfirmDeleteDialog& dialog) {
        EXPECT_EQ(TemplateId(&dialog), kDialogConfirmDelete);
        for (int i = 0; i < dialog.playlistList()->count(); ++i)
            listed << dialog.playlistList()->item(i)->text();
        Press(Qt::Key_Return);  // "No", the default
    });
    listed.sort();
    EXPECT_EQ(listed.join('|'), "News/b.vid|a.vid");
    EXPECT_TRUE(std::filesystem::exists(Video("x_10.mpg")));
    EXPECT_EQ(Rows(), "x_10.mpg|y_5.mpg|X_10.MPG|-");
    With<ConfirmDeleteDialog>(kDeleteId, [](ConfirmDeleteDialog&) {
        Press(Qt::Key_Backtab, Qt::ShiftModifier);
        Press(Qt::Key_Space);  // "Yes"
    });
    // Gone from the folder, the index and this playlist (X_10.MPG too), not from other files.
    EXPECT_FALSE(std::filesystem::exists(Video("x_10.mpg")));
    EXPECT_EQ(Column(editor_->libraryView(), 0), "News/b.vid|a.vid|c.vid|d.vid|y_5.mpg|z_3.mpg");
    EXPECT_EQ(ReadFile(dir_ / "video.dat").find("x_10.mpg"), std::string::npos);
    EXPECT_EQ(State(), "  y_5.mpg|- *");
    EXPECT_EQ(editor_->CurrentLibraryRow(), -1);
    EXPECT_EQ(Playlist().Load(Video("News/b.vid"), false, 0), kPlaylistMissingClips);

    // A clip no playlist uses: the plain question, "No" by default.
    Press(Qt::Key_End);
    ui_.answer = id::No;
    editor_->button(kDeleteId)->click();
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(Box(0), TranslateString(22088));
    EXPECT_EQ(ui_.boxes[0].type, mb::YesNo | mb::IconQuestion | mb::DefaultButton2);
    EXPECT_TRUE(std::filesystem::exists(Video("z_3.mpg")));
}

TEST_F(PlaylistEditorTest, ClosingAsksToSaveChangesAndACancelledSaveKeepsTheEditorOpen) {
    MakeClips({"a_1.mpg"});
    playlist_ = Make({Entry("a_1.mpg", 1000)});
    Save(Video("P.vid"), playlist_);
    const auto saved = test::ReadBytes(Video("P.vid"));
    Open(Video("P.vid"));
    PressButton(editor_->logoCheck());
    EXPECT_EQ(playlist_.logoOff, 1);
    ASSERT_TRUE(editor_->modified());
    ui_.answer = id::Yes;  // ... and the save dialog is cancelled
    editor_->button(kCloseId)->click();
    EXPECT_TRUE(editor_->isVisible());
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(Box(0), TranslateString(22087));
    EXPECT_EQ(ui_.boxes[0].type, mb::YesNoCancel | mb::IconQuestion);
    ASSERT_EQ(pickers_.saved.size(), 1u);
    EXPECT_EQ(pickers_.saved[0].initialFile, Video("P.vid"));

    ui_.answer = id::Cancel;
    editor_->close();  // the close box
    EXPECT_TRUE(editor_->isVisible());
    editor_->button(kClearId)->click();  // asks too; cancelled
    EXPECT_EQ(ui_.boxes.size(), 3u);
    EXPECT_EQ(playlist_.entries.size(), 2u);

    // A failed save is reported and still counts as saved.
    ui_.answer = id::Yes;
    pickers_.saveAnswers = {dir_ / "missing/P.vid"};
    editor_->button(kCloseId)->click();
    EXPECT_FALSE(editor_->isVisible());
    ASSERT_EQ(ui_.boxes.size(), 5u);
    EXPECT_EQ(Box(4), FormatTranslated(3001, {dir_ / "missing/P.vid"}));
    EXPECT_FALSE(editor_->modified());
    EXPECT_EQ(playlist_.logoOff, 1);  // the edited copy goes back either way

    // A save names the playlist after its file; "No" discards nothing but the file write.
    Open(Video("P.vid"));
    Press({Qt::Key_Space, Qt::Key_Delete});
    pickers_.saveAnswers = {Video("Q.vid")};
    PressButton(editor_->button(kSaveId));
    EXPECT_EQ(State(), "Q " + Video("Q.vid") + " -");
    EXPECT_EQ(
        pickers_.Asked(pickers_.saved.back()),
        "Video playlist files (*.vid)|*.vid| .vid " + Settings().videoPath + " " + Video("P.vid"));
    PressButton(editor_->logoCheck());
    ui_.answer = id::No;
    editor_->button(kCloseId)->click();
    EXPECT_FALSE(editor_->isVisible());
    EXPECT_EQ(playlist_.entries.size(), 1u);
    EXPECT_EQ(test::ReadBytes(Video("P.vid")), saved);
}

// In German, with one board and a "DefTransition" outside the table.
TEST_F(PlaylistEditorTest, TranslatedEditorRefillsForOneBoardAndABadDefaultTransitionReadsAsCut) {
    env_.Write("brenvik.lna", {{DialogKey(kDialogEditPlaylist), "Edit video playlist"}});
    env_.Write("German.brl", {{DialogKey(kDialogEditPlaylist), "Wiedergabeliste bearbeiten"},
                              {DialogKey(kDialogEditPlaylist, kSaveId), "Speichern"},
                              {DialogKey(kDialogEditTransition, 1314), "Überlappung (ms)"},
                              {StringKey(22162), "Clip"}});
    ASSERT_TRUE(Languages().Startup());
    ASSERT_TRUE(Languages().SelectLanguage(1));
    SetBoards(1);
    WriteIniInt("VideoList", "DefTransition", 9);
    playlist_ =
        Make({Entry("a.mpg", 5000, 1), Entry("b.mpg", 5000, 1), Entry("c.mpg", 5000, 2)}, 1);
    Open();
    // Texts without a translation are the program's own.
    EXPECT_EQ(editor_->windowTitle() + " " + editor_->button(kSaveId)->text() + " " +
                  editor_->button(kLoadId)->text() + " " +
                  editor_->playlistView()->model()->headerData(1, Qt::Horizontal).toString(),
              "Wiedergabeliste bearbeiten Speichern Load Clip");
    EXPECT_EQ(Column(editor_->playlistView(), 3), "MIX|CUT|CUT|MIX");
    EXPECT_EQ(editor_->defaults().transition, 0);
    With<TransitionDialog>(kDefaultsId, [](TransitionDialog&) {
        Press({Qt::Key_Down, Qt::Key_Escape});  // changes nothing
    });
    EXPECT_EQ(GetIniInt("VideoList", "DefTransition", -5), 9);

    // The defaults dialog shows "CUT"; "OK" writes it back in range, and the times typed.
    QString interleave;
    With<TransitionDialog>(kDefaultsId, [&](TransitionDialog& d) {
        for (const QLabel* label : d.findChildren<QLabel*>())
            interleave += ControlId(label) == 1314 ? label->text() : QString();
        EXPECT_EQ(Fields(d), "CUT|500|spacing|-");
        Press(Qt::Key_Tab);
        Retype("");  // no default interleave: each transition's minimum
        Press(Qt::Key_Tab);
        Retype("7a000");  // letters are refused, the time is capped
        Press(Qt::Key_Return);
    });
    EXPECT_EQ(interleave, QString::fromUtf8("Überlappung (ms)"));
    EXPECT_EQ(GetIniInt("VideoList", "DefTransition", -5), 0);
    EXPECT_EQ(GetIniInt("VideoList", "DefTimeIn", -5), -1);
    EXPECT_EQ(GetIniInt("VideoList", "DefTimeOut", -5), 5000);
    EXPECT_EQ(playlist_.entries[0].transition, 1);  // existing entries keep theirs
    editor_->button(kClearId)->click();
    EXPECT_EQ(Column(editor_->playlistView(), 3), "CUT");
    EXPECT_EQ(playlist_.entries[0].interleaveMs, 100);
    EXPECT_EQ(TimeFieldValue("0"), 0);
    EXPECT_EQ(TimeFieldValue("99999999999999999999999"), 5000);
}

TEST_F(PlaylistEditorTest, LibraryListSortsDescribesRefreshesAndKeepsItsSettings) {
    MakeClips({"b_61.mpg", "a_30.mpg", "c_59.mpg"});
    WriteIniInt("VideoList", "ListColumnWidth1", 200);
    WriteIniInt("VideoList", "DefTransition", 1);
    WriteIniInt("VideoList", "DefTimeIn", 800);
    playlist_ = Make({Entry("a_30.mpg", 30000)});
    playlist_.entries[0].comment[0] = 'k';
    Open();
    // No index yet: the folder was scanned, sorted by name, and written.
    QTreeView* library = editor_->libraryView();
    EXPECT_EQ(Column(library, 0) + " " + Column(library, 1),
              "a_30.mpg|b_61.mpg|c_59.mpg    0:30.0|   1:01.0|   0:59.0");
    EXPECT_TRUE(std::filesystem::exists(dir_ / "video.dat"));
    // To "Available files", where a_30.mpg at row 0 had the keyboard but no selection.
    Press({Qt::Key_Tab, Qt::Key_Space});

    // The description takes at most the record's 63 bytes: a character that would not fit
    // whole is refused.
    With<DescriptionDialog>(kDescriptionId, [](DescriptionDialog& dialog) {
        EXPECT_EQ(TemplateId(&dialog), kDialogEditDescription);
        EXPECT_EQ(dialog.fileEdit()->text(), "a_30.mpg");
        EXPECT_TRUE(dialog.fileEdit()->isReadOnly());
        Type("Opening" + QString(55, '.') + QString::fromUtf8("\xc3\xa9") + "yz");
        Press(Qt::Key_Return);
    });
    const QString description = "Opening" + QString(55, '.') + "y";
    EXPECT_EQ(Column(library, 2), description + "|-|-");
    EXPECT_EQ(editor_->CurrentLibraryRow(), 0);
    EXPECT_NE(ReadFile(dir_ / "video.dat")
                  .find("a_30.mpg\r\n30000,0\r\n" + description.toStdString() + "\r\n"),
              std::string::npos);
    EXPECT_EQ(EntryComment(playlist_.entries[0]), "k");  // entries keep their comments
    // Enter adds the clip with its description and the default transition; Escape is no
    // dialog key here.
    Press({Qt::Key_Return, Qt::Key_Escape});
    EXPECT_TRUE(editor_->isVisible());
    EXPECT_EQ(Rows() + " " + Column(editor_->playlistView(), 3), "a_30.mpg|a_30.mpg|- CUT|MIX|CUT");
    EXPECT_EQ(std::pair(playlist_.entries[1].interleaveMs,
                        std::string(EntryComment(playlist_.entries[1]))),
              std::pair(800, description.toStdString()));

    // A click on "Duration" sorts by it; the selection stays at the row position.
    QHeaderView* header = library->header();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4, 4));
    };
    Press(Qt::Key_Down);  // b_61.mpg at row 1
    clickHeader(1);
    EXPECT_EQ(VideoLibrary::SortMode(), 1);
    EXPECT_EQ(Column(library, 0), "a_30.mpg|c_59.mpg|b_61.mpg");
    EXPECT_EQ(editor_->CurrentLibraryRow(), 1);
    Press(Qt::Key_Down);
    clickHeader(1);  // the current mode: nothing happens
    EXPECT_EQ(editor_->CurrentLibraryRow(), 2);

    // Refresh keeps descriptions and the row position.
    MakeClips({"0_1.mpg"});
    editor_->button(1511)->click();
    EXPECT_EQ(Column(library, 0) + " " + Column(library, 2),
              "0_1.mpg|a_30.mpg|c_59.mpg|b_61.mpg -|" + description + "|-|-");
    EXPECT_EQ(editor_->CurrentLibraryRow(), 2);

    header->resizeSection(0, 150);
    editor_.reset();
    const auto ini = [](const char* key) { return GetIniInt("VideoList", key, -1); };
    EXPECT_EQ(std::vector({ini("SortMode"), ini("BaseColumnWidth0"), ini("ListColumnWidth1"),
                           ini("ListColumnWidth4")}),
              std::vector({1, 150, 200, 120}));
}

// While the program plays, the editor never asks to save and keeps Clear, Load and the logo
// disabled; the edited copy goes back to replace the running schedule (how the engine plays an
// edit during a run is the engine's test).
TEST_F(PlaylistEditorTest, EditorOpenedDuringARunHandsBackAMovedClipWithoutAsking) {
    playlist_ = Make({Entry("a.mpg", 10000), Entry("b.mpg", 8000), Entry("c.mpg", 6000)});
    std::string path = Video("Run.vid");
    test::ModalScript script;
    script.Then("orx::PlaylistEditorDialog", [&](QDialog* dialog) {
        auto& editor = *static_cast<PlaylistEditorDialog*>(dialog);
        EXPECT_FALSE(editor.logoCheck()->isEnabled() || editor.button(kClearId)->isEnabled() ||
                     editor.button(kLoadId)->isEnabled());
        Press({Qt::Key_End, Qt::Key_Up});  // c.mpg
        editor.button(kMoveUpId)->click();
        Press(Qt::Key_Escape);
        EXPECT_TRUE(editor.modified());
        editor.button(kCloseId)->click();
    });
    RunPlaylistEditor(nullptr, path, true, playlist_);
    ASSERT_TRUE(script.done());
    EXPECT_TRUE(ui_.boxes.empty()) << Box(0);
    EXPECT_EQ(path, Video("Run.vid"));
    std::string names;
    for (const PlaylistEntry& entry : playlist_.entries)
        names += std::string(EntryFileName(entry)) + "|";
    EXPECT_EQ(names, "a.mpg|c.mpg|b.mpg||");
}

}  // namespace
}  // namespace orx
