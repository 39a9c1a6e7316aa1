#include "settings/SettingsDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <QTreeWidget>

#include "../lang/LangTestSupport.h"
#include "lang/TranslationKey.h"
#include "lang/qt/TranslationEditorDialog.h"
#include "settings/HotkeysDialog.h"
#include "support/ModalScript.h"
#include "support/ScriptedPickers.h"
#include "ui/QtFilePickers.h"

namespace orx {
namespace {

using namespace test;

// The push button of the modal dialog with this text.
QPushButton* ModalButton(const QString& text) {
    for (QPushButton* button : QApplication::activeModalWidget()->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// The board checks recorded and the hot keys of a window that is not there.
struct RecordingSettingsHost : SettingsHost {
    struct Check {
        int board, input;
        std::string folder;
        bool operator==(const Check&) const = default;
    };
    void CheckVideoBoard(int board, int input, const std::string& folder) override {
        checks.push_back({board, input, folder});
    }
    HotKeyTable& HotKeys() override { return hotKeys; }
    std::vector<Check> checks;
    HotKeyTable hotKeys;
};

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings() = AppSettings{};
        Settings().appDir = env_.folder.Path();
    }

    std::unique_ptr<SettingsDialog> Open(const AppSettings& settings) {
        return std::make_unique<SettingsDialog>(settings, InputLabels{}, host_, editor_);
    }
    // Runs the dialog while the script acts in it; true when it ended with "OK".
    static bool Run(QDialog& dialog, const ModalScript& script) {
        const bool ok = dialog.exec() == QDialog::Accepted;
        EXPECT_TRUE(script.done());
        return ok;
    }

    // A master file and a German translation, which is selected.
    void StartGerman() {
        env_.Write("brenvik.lna",
                   {{DialogKey(304), "Settings"},
                    {DialogKey(304, 1260), "Hotkeys"},
                    {StringKey(18005),
                     "Remote control cannot execute command!\n\nPlease verify power and "
                     "connection!"},
                    {StringKey(5000), "Tab\\there"}});
        env_.Write("German.brl", {{DialogKey(304), "Einstellungen"},
                                  {StringKey(18005), "Fernsteuerung!"},
                                  {StringKey(4711), "a key the master lacks"}});
        WriteIniString("Language", "Name", "German");
        ASSERT_TRUE(Languages().Startup());
    }

    test::LanguageEnvironment env_;
    RecordingSettingsHost host_;
    test::ScriptedEditor editor_;
};

TEST_F(SettingsDialogTest, EnablingRulesFollowEveryClickAndDisabledValuesAreStillSaved) {
    // Each case: boards, volume and edit-only setting; the boxes clicked (1 and 2 the boards, v
    // the volume, e edit only); enabled: input 1, Check 1, board 2 box, volume box, track bar,
    // input 2, Check 2, cue box, air-log box; whether board 2 stays ticked; the boards saved.
    const std::string cases[] = {
        "010 - 000000001 0 0",   // no boards
        "110 - 111110011 0 1",   // one board, volume
        "100 - 111100011 0 1",   // one board, no volume
        "200 - 111101111 1 2",   // two boards
        "210 1 000000001 0 0",   // board 1 unticked unticks board 2
        "210 11 111110011 0 1",  // board 1 back on leaves board 2 off
        "100 2 111101111 1 2",  "100 v 111110011 0 1",
        "210 e 001000000 1 2",  // edit only disables all but board 2 box
        "211 - 001000000 1 2",  "211 e 111111111 1 2", "101 2 001000000 1 2",
    };
    for (const std::string& c : cases) {
        AppSettings settings;
        settings.mpeg = c[0] - '0';
        settings.volumeSet = c[1] - '0';
        settings.editOnlyMode = c[2] - '0';
        settings.cuePreview = 1;
        settings.audioVolume = 35;
        const auto dialog = Open(settings);
        const std::string clicks = c.substr(4, c.find(' ', 4) - 4);
        QCheckBox* boxes[] = {dialog->board1Box(), dialog->board2Box(), dialog->volumeBox(),
                              dialog->editOnlyBox()};
        for (const char click : clicks) {
            if (click != '-')
                boxes[std::string("12ve").find(click)]->click();
        }
        std::string enabled;
        for (const QWidget* widget : std::initializer_list<const QWidget*>{
                 dialog->input1Combo(), dialog->check1Button(), dialog->board2Box(),
                 dialog->volumeBox(), dialog->volumeSlider(), dialog->input2Combo(),
                 dialog->check2Button(), dialog->cuePreviewBox(), dialog->airLogBox()})
            enabled += widget->isEnabled() ? '1' : '0';
        dialog->okButton()->click();
        const AppSettings saved = dialog->Result(settings);
        EXPECT_EQ(c.substr(0, 4) + clicks + " " + enabled +
                      (dialog->board2Box()->isChecked() ? " 1 " : " 0 ") +
                      std::to_string(saved.mpeg),
                  c);
        // Disabled controls keep their values.
        EXPECT_EQ(std::tuple(saved.volumeSet, saved.audioVolume, saved.airLog, saved.cuePreview),
                  std::tuple(settings.volumeSet + (clicks == "v"), 35, 1, 1))
            << c;
    }
}

TranslationEditorDialog* Editor() {
    return qobject_cast<TranslationEditorDialog*>(QApplication::activeModalWidget());
}

ui::FolderBrowserDialog* Browser() {
    return qobject_cast<ui::FolderBrowserDialog*>(QApplication::activeModalWidget());
}

// The browser lists folders in the background: wait until the folder typed is the one that
// would be chosen (a barrier, not a timing assertion).
void WaitForCandidate(const std::string& folder) {
    for (int i = 0; i < 400 && Browser()->CandidateFolder().toStdString() + "/" != folder; ++i) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_EQ(Browser()->CandidateFolder().toStdString() + "/", folder);
}

// By keys only, with the real folder browser; the board checks use the dialog's folder and inputs.
TEST_F(SettingsDialogTest, FoldersAreBrowsedByKeysAndChecksAndOkUseTheDialogsValues) {
    test::TempFolder root;
    test::WriteFile(root / "remote/" + kRemoteProgramFile, "x");
    test::WriteFile(root / "other/" + kRemoteProgramFile, "x");
    test::WriteFile(root / "video/readme", "x");
    AppSettings settings;
    settings.appDir = "/program/";
    settings.mpeg = 2;
    settings.mpegInput2 = 99;  // outside IN1..IN16
    settings.videoPath = root / "video/";
    settings.remotePath = root / "remote/";
    settings.useAvi = 1;
    const auto dialog = Open(settings);
    EXPECT_EQ(dialog->input1Combo()->currentText(), "IN3");
    EXPECT_EQ(dialog->input2Combo()->currentIndex(), -1);
    EXPECT_TRUE(dialog->videoPathText()->isReadOnly());
    EXPECT_EQ(dialog->volumeSlider()->maximum(), 100);
    ModalScript script;
    script.Then("orx::SettingsDialog", [&](QDialog*) {
        PressButton(dialog->videoBrowseButton());
        PressButton(dialog->remoteBrowseButton());
        EXPECT_EQ(dialog->remotePathText()->text().toStdString(), root / "other/");
        ASSERT_TRUE(TabTo(dialog->input1Combo()));
        Key(Qt::Key_Down);  // IN4
        PressButton(dialog->check1Button());
        PressButton(dialog->check2Button());
        PressButton(dialog->okButton());
    });
    // Each browser opens on the current folder; the video folder needs no file in it.
    script.Then("orx::ui::FolderBrowserDialog", [&](QDialog* browser) {
        EXPECT_EQ(browser->windowTitle(), "Select folder containing MPEG2 video files");
        WaitForCandidate(root / "video/");
        EXPECT_TRUE(Browser()->ConfirmButton()->isEnabled());
        Key(Qt::Key_Escape);
    });
    script.Then("orx::ui::FolderBrowserDialog", [&](QDialog* browser) {
        EXPECT_EQ(browser->windowTitle(), "Select folder containing remote control software");
        WaitForCandidate(root / "remote/");
        Retype("video");
        WaitForCandidate(root / "video/");
        EXPECT_FALSE(Browser()->ConfirmButton()->isEnabled());
        Key(Qt::Key_Return);  // refused: the folder lacks the remote program
        ASSERT_TRUE(browser->isVisible());
        Retype("other");
        WaitForCandidate(root / "other/");
        Key(Qt::Key_Return);
    });
    ASSERT_TRUE(Run(*dialog, script));
    EXPECT_EQ(host_.checks, (std::vector<RecordingSettingsHost::Check>{{0, 3, root / "other/"},
                                                                       {1, -1, root / "other/"}}));
    const AppSettings saved = dialog->Result(settings);
    EXPECT_EQ(std::tuple(saved.remotePath, saved.videoPath, saved.appDir),
              std::tuple(root / "other/", root / "video/", std::string("/program/")));
    EXPECT_EQ(std::tuple(saved.mpegInput1, saved.mpegInput2, saved.useAvi), std::tuple(3, -1, 1));
}

// The "Hotkeys" and "Input labels" workflows, by keys only.
TEST_F(SettingsDialogTest, HotKeysTakeEffectAtOnceAndLabelsAreEditedAndResetOnlyWithOk) {
    InputLabels before;
    before.labels[3] = "Camera";
    AppSettings settings;
    settings.mpeg = 1;
    SettingsDialog dialog(settings, before, host_, editor_);

    const auto list = [] { return QApplication::activeModalWidget()->findChild<QTreeWidget*>(); };
    const auto listRow = [&] { return list()->indexOfTopLevelItem(list()->currentItem()); };
    const auto label = [&](int row) { return list()->topLevelItem(row)->text(1).toStdString(); };
    const auto toIN1 = [&] {
        ASSERT_TRUE(TabTo(list()));
        Press({Qt::Key_Home, Qt::Key_Down, Qt::Key_Down});
    };
    const QString longLabel = QString(300, QLatin1Char('x')) + QStringLiteral("end");
    ModalScript script;
    script.Then("orx::SettingsDialog", [&](QDialog*) {
        for (QPushButton* button :
             {dialog.hotkeysButton(), dialog.hotkeysButton(), dialog.inputLabelsButton(),
              dialog.inputLabelsButton(), dialog.cancelButton()})
            PressButton(button);
    });
    script.Then("orx::HotkeysDialog", [](QDialog*) {
        ASSERT_NE(qobject_cast<HotKeyEdit*>(QApplication::focusWidget()), nullptr);
        Press({Qt::Key_Tab, Qt::Key_Tab});  // "Edit", "Play"
        Key(Qt::Key_F5, Qt::ShiftModifier);
        Press({Qt::Key_Tab, Qt::Key_Left, Qt::Key_Tab, Qt::Key_Backspace});  // "Pause", "Stop"
        PressButton(ModalButton("OK"));
    });
    script.Then("orx::HotkeysDialog", [](QDialog*) {
        Key(Qt::Key_F9);  // "Edit", but cancelled
        PressButton(ModalButton("Cancel"));
    });
    script.Then("orx::InputLabelsDialog", [&](QDialog*) {
        toIN1();
        EXPECT_EQ(listRow(), 2);
        PressButton(ModalButton("Edit"));
        EXPECT_EQ(label(2), longLabel.toStdString());
        EXPECT_EQ(listRow(), 2);  // the row stays selected after the list is filled again
        ASSERT_TRUE(TabTo(list()));
        Key(Qt::Key_Down);  // IN2, labelled before the dialog opened
        EXPECT_EQ(label(3), "Camera");
        PressButton(ModalButton("Reset"));
        EXPECT_EQ(label(3), "");
        PressButton(ModalButton("OK"));
    });
    script.Then("orx::InputLabelDialog", [&](QDialog* edit) {
        EXPECT_EQ(edit->windowTitle(), "Edit input label");
        EXPECT_EQ(edit->findChildren<QLineEdit*>().front()->text(), "IN1");
        Type(longLabel);
        Key(Qt::Key_Return);  // the default button
    });
    // Again: "Reset" and "Edit" with no row both selected and current do nothing, and a Reset is
    // cancelled.
    script.Then("orx::InputLabelsDialog", [&](QDialog* labels) {
        PressButton(ModalButton("Reset"));
        PressButton(ModalButton("Edit"));
        ASSERT_EQ(QApplication::activeModalWidget(), labels);
        EXPECT_EQ(label(2), longLabel.toStdString());
        toIN1();
        PressButton(ModalButton("Reset"));
        EXPECT_EQ(label(2), "");
        PressButton(ModalButton("Cancel"));
    });
    EXPECT_FALSE(Run(dialog, script));
    // The hot keys stay although Settings was cancelled, and the cancelled "Hotkeys" left them.
    // Shift+F5: modifier 1 and the key code 0x74; the arrow key carries the extended flag 8; the
    // cleared key is 0.
    EXPECT_EQ(host_.hotKeys.keys, (std::array<uint32_t, 5>{0x20052, 0x71, 0x10074, 0x80025, 0}));
    EXPECT_EQ(HotKeyEdit::DisplayText(0x30052), "Ctrl + Shift + R");
    // The labels as the dialog hands them on; the window takes them only with OK.
    InputLabels expected;
    expected.labels[2] = longLabel.toStdString();
    EXPECT_EQ(dialog.labels().labels, expected.labels);
}

// Edit and New with the real editor are the translation editor's test.
TEST_F(SettingsDialogTest, LanguageControlsListAtMostSixteenAndTheBuiltInOneIsNotEdited) {
    // Without a master file: only the built-in language, and the controls are disabled.
    const auto builtIn = Open(AppSettings{});
    QComboBox* const only = builtIn->languageCombo();
    EXPECT_EQ(std::tuple(only->count(), only->currentText().toStdString(), only->isEnabled(),
                         builtIn->editLanguageButton()->isEnabled(),
                         builtIn->newLanguageButton()->isEnabled()),
              std::tuple(1, "English", false, false, false));
    env_.Write("brenvik.lna", {{DialogKey(304), "Settings"}});
    for (int i = 0; i < 20; ++i) {
        env_.Write("L" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".brl",
                   {{DialogKey(304), "Settings " + std::to_string(i)}});
    }
    WriteIniString("Language", "Name", "L17");
    ASSERT_TRUE(Languages().Startup());
    const auto dialog = Open(AppSettings{});
    EXPECT_EQ(dialog->languageCombo()->count(), 16);
    EXPECT_EQ(dialog->languageCombo()->currentIndex(), -1);  // L17 is beyond the list
    EXPECT_EQ(dialog->windowTitle(), "Settings 17");
    // Choosing one applies it at once, keeps it in the settings and translates the dialog.
    dialog->languageCombo()->setCurrentIndex(3);
    emit dialog->languageCombo()->activated(3);
    EXPECT_EQ(Languages().CurrentName() + " " + GetIniString("Language", "Name", ""), "L02 L02");
    EXPECT_EQ(dialog->windowTitle(), "Settings 2");
    dialog->editLanguageButton()->click();
    ASSERT_TRUE(Languages().SelectLanguage(0));
    Open(AppSettings{})->editLanguageButton()->click();
    EXPECT_EQ(editor_.runs, 1);
}

// The translation editor run from the Settings dialog by keys: editing a language, creating one.
TEST_F(SettingsDialogTest, EditedLanguageIsRebuiltAndWrittenInPlaceAndANewOneOnlyWhenTranslated) {
    StartGerman();
    ScriptedPickers pickers;
    QtTranslationEditor editor(nullptr);
    SettingsDialog dialog(AppSettings{}, InputLabels{}, host_, editor);
    ModalScript script;
    script.Then("orx::SettingsDialog", [&](QDialog*) {
        PressButton(dialog.editLanguageButton());             // "Edit translation"
        EXPECT_EQ(dialog.hotkeysButton()->text(), "Tasten");  // at once
        // A new language: written only when something was translated.
        PressButton(dialog.newLanguageButton());
        EXPECT_TRUE(pickers.saved.empty());  // nothing translated: no file, no file dialog
        pickers.saveAnswers = {env_.folder / "Neu.brl"};
        PressButton(dialog.newLanguageButton());
        EXPECT_EQ(dialog.windowTitle(), "Optionen");
        PressButton(dialog.cancelButton());
    });
    script.Then("orx::TranslationEditorDialog", [](QDialog* shown) {
        auto* editor = static_cast<TranslationEditorDialog*>(shown);
        QListWidget* list = editor->list();
        EXPECT_EQ(list->item(2)->text() + "|" + list->item(3)->text(),
                  "Remote control cannot e...|Tab\\there");
        // Kind icons (dialog texts 2/3, string texts 4/5, the second while untranslated) and
        // the translation box.
        const auto state = [editor] {
            QString icons;
            for (int row = 0; row < 4; ++row)
                icons += QString::number(editor->RowIcon(row));
            return (icons + " " + editor->translationBox()->toPlainText()).toStdString();
        };
        EXPECT_EQ(state(), "2345 Einstellungen");
        ASSERT_TRUE(TabTo(list));
        Key(Qt::Key_Down);  // "Hotkeys", untranslated: the box starts from the original
        EXPECT_EQ(state(), "2345 Hotkeys");
        ASSERT_TRUE(TabTo(editor->translationBox()));
        Retype("Tasten");
        ASSERT_TRUE(TabTo(list));
        Key(Qt::Key_Down);  // leaving the row keeps what was typed
        EXPECT_EQ(state(), "2245 Fernsteuerung!");
        ASSERT_TRUE(TabTo(editor->resetButton()));
        Key(Qt::Key_Space);
        EXPECT_EQ(state(),
                  "2255 Remote control cannot execute command!\n\nPlease verify power and "
                  "connection!");
        ASSERT_TRUE(TabTo(list));
        Key(Qt::Key_Down);
        EXPECT_EQ(editor->originalBox()->toPlainText(), "Tab\\there");  // shown as stored
        ASSERT_TRUE(TabTo(editor->translationBox()));
        Retype("Tab");
        Key(Qt::Key_Return);  // a new line, not "OK"
        Type("zwei\\tdrei");
        PressButton(editor->okButton());
    });
    script.Then("orx::TranslationEditorDialog", [](QDialog*) {
        EXPECT_EQ(Editor()->translationBox()->toPlainText(), "Settings");
        PressButton(Editor()->okButton());
    });
    script.Then("orx::TranslationEditorDialog", [](QDialog*) {
        ASSERT_TRUE(TabTo(Editor()->translationBox()));
        Retype("Optionen");
        PressButton(Editor()->okButton());
    });
    EXPECT_FALSE(Run(dialog, script));
    // Master order; the reset entry and the key the master lacks are gone; the file it came from.
    EXPECT_EQ(test::ReadFile(env_.folder / "German.brl"),
              LanguageFileBytes({{DialogKey(304), "Einstellungen"},
                                 {DialogKey(304, 1260), "Tasten"},
                                 {StringKey(5000), "Tab\nzwei\\tdrei"}}));
    ASSERT_EQ(pickers.saved.size(), 1u);
    EXPECT_EQ(pickers.Asked(pickers.saved[0]),
              "Translation files (*.brl)|*.brl| .brl " + env_.folder.Path() + " ");
    EXPECT_EQ(test::ReadFile(env_.folder / "Neu.brl"),
              LanguageFileBytes({{DialogKey(304), "Optionen"}}));
    EXPECT_EQ(Languages().CurrentName(), "Neu");  // kept although Settings was cancelled
}

TEST_F(SettingsDialogTest, ATextTheFilesCodePageCannotHoldIsRefusedAndLongTextsAreKept) {
    StartGerman();
    const TranslationTable& master = Languages().MasterTable();
    const std::string longText = std::string(600, 'y') + "\nend";
    TranslationEditorDialog dialog(master, {"", "", longText, ""}, 1252);
    dialog.show();
    dialog.translationBox()->setPlainText(QString::fromUtf8("Ustawienia \xC5\x82"));
    dialog.list()->setCurrentRow(2);
    EXPECT_EQ(dialog.translationBox()->toPlainText().toStdString(), longText);
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(env_.ui.boxes.size(), 1u);
    EXPECT_NE(env_.ui.boxes[0].text.find("\xC5\x82"), std::string::npos);
    EXPECT_EQ(dialog.currentEntry(), 0);  // the entry that holds it is shown
    dialog.translationBox()->setPlainText(QString::fromUtf8("Ustawienia \xC3\xB3"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.translations()[0], "Ustawienia \xC3\xB3");
    EXPECT_EQ(dialog.translations()[2], longText);
}

}  // namespace
}  // namespace orx
