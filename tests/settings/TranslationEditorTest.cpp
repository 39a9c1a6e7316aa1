// The translation editor run from the Settings dialog: editing a language, creating one.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPlainTextEdit>
#include <filesystem>

#include "SettingsTestSupport.h"
#include "lang/TranslationKey.h"
#include "lang/qt/TranslationEditorDialog.h"
#include "ui/FilePickers.h"

namespace orx {
namespace {

using namespace test;

TranslationEditorDialog* Editor() {
    return qobject_cast<TranslationEditorDialog*>(QApplication::activeModalWidget());
}

class TranslationEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings() = AppSettings{};
        Settings().appDir = env_.folder.Path();
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
        ui::SetFilePickers(&pickers_);
    }
    void TearDown() override { ui::SetFilePickers(nullptr); }

    void RunSettings(test::Script& script) {
        QtTranslationEditor editor(nullptr);
        SettingsDialog dialog(AppSettings{}, InputLabels{}, host_, editor);
        dialog_ = &dialog;
        script.Start();
        dialog.exec();
        EXPECT_TRUE(script.Finished());
        dialog_ = nullptr;
    }
    static std::string Bytes(const std::vector<TranslationText>& texts) {
        TranslationTable table;
        table.Assign(texts);
        const std::vector<uint8_t> bytes = table.Serialize();
        return std::string(bytes.begin(), bytes.end());
    }

    struct SavePicker : ui::FilePickers {
        std::string OpenFile(const ui::FileDialogRequest&) override { return {}; }
        std::string SaveFile(const ui::FileDialogRequest& request) override {
            requests.push_back(request);
            return answer;
        }
        bool BrowseForFolder(std::string&, const std::string&, int) override { return false; }
        std::vector<ui::FileDialogRequest> requests;
        std::string answer;
    };

    test::LanguageEnvironment env_;
    test::RecordingSettingsHost host_;
    SavePicker pickers_;
    SettingsDialog* dialog_ = nullptr;
};

TEST_F(TranslationEditorTest, EditedLanguageIsRebuiltFromTheMasterAndWrittenInPlace) {
    test::Script script;
    script
        .Press([&] { return dialog_->editLanguageButton(); })  // "Edit translation"
        .Then([] {
            TranslationEditorDialog* editor = Editor();
            ASSERT_NE(editor, nullptr);
            QListWidget* list = editor->list();
            EXPECT_EQ(list->item(2)->text(), "Remote control cannot e...");
            EXPECT_EQ(list->item(3)->text(), "Tab\\there");
            // Kind icons: dialog texts 2/3, string texts 4/5, the second while untranslated.
            const auto icons = [editor] {
                return std::vector{editor->RowIcon(0), editor->RowIcon(1), editor->RowIcon(2),
                                   editor->RowIcon(3)};
            };
            EXPECT_EQ(icons(), (std::vector{2, 3, 4, 5}));
            EXPECT_EQ(editor->translationBox()->toPlainText(), "Einstellungen");
            ASSERT_TRUE(TabTo(list));
            Key(Qt::Key_Down);  // "Hotkeys", untranslated: the box starts from the original
            EXPECT_EQ(editor->translationBox()->toPlainText(), "Hotkeys");
            ASSERT_TRUE(TabTo(editor->translationBox()));
            Key(Qt::Key_A, Qt::ControlModifier);
            Type("Tasten");
            ASSERT_TRUE(TabTo(list));
            Key(Qt::Key_Down);  // leaving the row keeps what was typed
            EXPECT_EQ(icons(), (std::vector{2, 2, 4, 5}));
            EXPECT_EQ(editor->translationBox()->toPlainText(), "Fernsteuerung!");
            ASSERT_TRUE(TabTo(editor->resetButton()));
            Key(Qt::Key_Space);
            EXPECT_EQ(editor->translationBox()->toPlainText(),
                      "Remote control cannot execute command!\n\nPlease verify power and "
                      "connection!");
            EXPECT_EQ(icons(), (std::vector{2, 2, 5, 5}));
            ASSERT_TRUE(TabTo(list));
            Key(Qt::Key_Down);
            EXPECT_EQ(editor->originalBox()->toPlainText(), "Tab\\there");  // shown as stored
            ASSERT_TRUE(TabTo(editor->translationBox()));
            Key(Qt::Key_A, Qt::ControlModifier);
            Type("Tab");
            Key(Qt::Key_Return);  // a new line, not "OK"
            Type("zwei\\tdrei");
        })
        .Press([] { return Editor()->okButton(); })
        .Then([&] { EXPECT_EQ(dialog_->hotkeysButton()->text(), "Tasten"); })  // at once
        .Press([&] { return dialog_->cancelButton(); });
    RunSettings(script);
    // Master order; the reset entry and the key the master lacks are gone; the same file.
    EXPECT_EQ(test::ReadFile(env_.folder / "German.brl"),
              Bytes({{DialogKey(304), "Einstellungen"},
                     {DialogKey(304, 1260), "Tasten"},
                     {StringKey(5000), "Tab\nzwei\\tdrei"}}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(env_.folder.Path()),
                            std::filesystem::directory_iterator()),
              3);  // brenvik.lna, German.brl, brenvik.ini
    EXPECT_STREQ(Languages().CurrentTable().Find(DialogKey(304, 1260)), "Tasten");
}

TEST_F(TranslationEditorTest, NewLanguageIsWrittenOnlyWhenSomethingWasTranslated) {
    test::Script script;
    script.Press([&] { return dialog_->newLanguageButton(); })
        .Then([] {
            ASSERT_NE(Editor(), nullptr);
            EXPECT_EQ(Editor()->translationBox()->toPlainText(), "Settings");
        })
        .Press([] { return Editor()->okButton(); })  // nothing translated: no file, no file dialog
        .Then([&] {
            EXPECT_TRUE(pickers_.requests.empty());
            pickers_.answer = env_.folder / "Neu.brl";
        })
        .Press([&] { return dialog_->newLanguageButton(); })
        .Then([] {
            ASSERT_TRUE(TabTo(Editor()->translationBox()));
            Key(Qt::Key_A, Qt::ControlModifier);
            Type("Optionen");
        })
        .Press([] { return Editor()->okButton(); })
        .Then([&] { EXPECT_EQ(dialog_->windowTitle(), "Optionen"); })
        .Press([&] { return dialog_->cancelButton(); });
    RunSettings(script);
    ASSERT_EQ(pickers_.requests.size(), 1u);
    EXPECT_EQ(pickers_.requests[0].filter, "Translation files (*.brl)|*.brl|");
    EXPECT_EQ(pickers_.requests[0].defaultExtension, ".brl");
    EXPECT_EQ(pickers_.requests[0].initialFolder, env_.folder.Path());
    EXPECT_EQ(test::ReadFile(env_.folder / "Neu.brl"), Bytes({{DialogKey(304), "Optionen"}}));
    EXPECT_EQ(Languages().CurrentName(), "Neu");
    EXPECT_EQ(GetIniString("Language", "Name", ""), "Neu");
}

TEST_F(TranslationEditorTest, ATextTheFilesCodePageCannotHoldIsRefusedAndLongTextsAreKept) {
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
