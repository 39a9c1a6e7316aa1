#include "settings/SettingsDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "../lang/LangTestSupport.h"
#include "SettingsTestSupport.h"
#include "lang/TranslationKey.h"
#include "ui/FilePickers.h"

namespace orx {
namespace {

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings() = AppSettings{};
        Settings().appDir = env_.folder.Path();
    }

    std::unique_ptr<SettingsDialog> Open(const AppSettings& settings) {
        return std::make_unique<SettingsDialog>(settings, InputLabels{}, host_, editor_);
    }

    test::LanguageEnvironment env_;
    test::RecordingSettingsHost host_;
    test::ScriptedTranslationEditor editor_;
};

// Which controls are enabled: board 1 input and Check, board 2 box, volume box, track bar,
// board 2 input and Check, cue box, air-log box; and whether board 2 stays ticked.
struct Enabled {
    bool input1, board2Box, volumeBox, slider, input2, cue, airLog, board2Ticked;
    bool operator==(const Enabled&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Enabled& e) {
    return out << e.input1 << e.board2Box << e.volumeBox << e.slider << e.input2 << e.cue
               << e.airLog << " board2 " << e.board2Ticked;
}

TEST_F(SettingsDialogTest, EnablingRulesFollowEveryClickAndDisabledValuesAreStillSaved) {
    enum Click { kBoard1, kBoard2, kVolume, kEditOnly };
    struct Case {
        const char* name;
        int mpeg, volumeSet, editOnly;
        std::vector<Click> clicks;
        Enabled expected;
        int savedMpeg;
    };
    const Case cases[] = {
        {"no boards", 0, 1, 0, {}, {false, false, false, false, false, false, true, false}, 0},
        {"one board, volume", 1, 1, 0, {}, {true, true, true, true, false, true, true, false}, 1},
        {"one board, no volume",
         1,
         0,
         0,
         {},
         {true, true, true, false, false, true, true, false},
         1},
        {"two boards", 2, 0, 0, {}, {true, true, true, false, true, true, true, true}, 2},
        {"board 1 unticked unticks board 2",
         2,
         1,
         0,
         {kBoard1},
         {false, false, false, false, false, false, true, false},
         0},
        {"board 1 back on leaves board 2 off",
         2,
         1,
         0,
         {kBoard1, kBoard1},
         {true, true, true, true, false, true, true, false},
         1},
        {"board 2 ticked",
         1,
         0,
         0,
         {kBoard2},
         {true, true, true, false, true, true, true, true},
         2},
        {"volume ticked",
         1,
         0,
         0,
         {kVolume},
         {true, true, true, true, false, true, true, false},
         1},
        {"edit only disables all but board 2 box",
         2,
         1,
         0,
         {kEditOnly},
         {false, true, false, false, false, false, false, true},
         2},
        {"edit only from the start",
         2,
         1,
         1,
         {},
         {false, true, false, false, false, false, false, true},
         2},
        {"edit only off again",
         2,
         1,
         1,
         {kEditOnly},
         {true, true, true, true, true, true, true, true},
         2},
        {"board 2 ticked under edit only",
         1,
         0,
         1,
         {kBoard2},
         {false, true, false, false, false, false, false, true},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppSettings settings;
        settings.mpeg = c.mpeg;
        settings.volumeSet = c.volumeSet;
        settings.editOnlyMode = c.editOnly;
        settings.airLog = 1;
        settings.cuePreview = 1;
        settings.audioVolume = 35;
        const auto dialog = Open(settings);
        for (const Click click : c.clicks) {
            QCheckBox* boxes[] = {dialog->board1Box(), dialog->board2Box(), dialog->volumeBox(),
                                  dialog->editOnlyBox()};
            boxes[click]->click();
        }
        const Enabled enabled{
            dialog->input1Combo()->isEnabled(), dialog->board2Box()->isEnabled(),
            dialog->volumeBox()->isEnabled(),   dialog->volumeSlider()->isEnabled(),
            dialog->input2Combo()->isEnabled(), dialog->cuePreviewBox()->isEnabled(),
            dialog->airLogBox()->isEnabled(),   dialog->board2Box()->isChecked()};
        EXPECT_EQ(enabled, c.expected);
        EXPECT_EQ(dialog->check1Button()->isEnabled(), c.expected.input1);
        EXPECT_EQ(dialog->check2Button()->isEnabled(), c.expected.input2);
        dialog->okButton()->click();
        const AppSettings saved = dialog->Result(settings);
        EXPECT_EQ(saved.mpeg, c.savedMpeg);
        // Disabled controls keep their values.
        EXPECT_EQ(saved.volumeSet, c.volumeSet + (c.clicks == std::vector{kVolume} ? 1 : 0));
        EXPECT_EQ(saved.audioVolume, 35);
        EXPECT_EQ(saved.airLog, 1);
        EXPECT_EQ(saved.cuePreview, 1);
    }
}

TEST_F(SettingsDialogTest, ValuesGoInAndComeBackOnlyThroughOkAndChecksUseTheDialogsFolder) {
    AppSettings settings;
    settings.appDir = "/program/";
    settings.mpeg = 2;
    settings.mpegInput1 = 2;
    settings.mpegInput2 = 99;  // outside IN1..IN16
    settings.videoPath = env_.folder / "video/";
    settings.remotePath = "/old/remote/";
    settings.useAvi = 1;
    const auto dialog = Open(settings);
    EXPECT_EQ(dialog->input1Combo()->currentText(), "IN3");
    EXPECT_EQ(dialog->input2Combo()->currentIndex(), -1);
    EXPECT_EQ(dialog->videoPathText()->text().toStdString(), settings.videoPath);
    EXPECT_TRUE(dialog->videoPathText()->isReadOnly());
    EXPECT_EQ(dialog->volumeSlider()->maximum(), 100);

    // The remote folder is browsed through the pickers, with the required file.
    struct Pickers : ui::FilePickers {
        std::string OpenFile(const ui::FileDialogRequest&) override { return {}; }
        std::string SaveFile(const ui::FileDialogRequest&) override { return {}; }
        bool BrowseForFolder(std::string& path, const std::string& required, int title) override {
            asked.push_back(path + "|" + required + "|" + std::to_string(title));
            path = title == 18001 ? "/new/remote/" : path;
            return title == 18001;
        }
        std::vector<std::string> asked;
    } pickers;
    ui::SetFilePickers(&pickers);
    dialog->remoteBrowseButton()->click();
    dialog->videoBrowseButton()->click();
    ui::SetFilePickers(nullptr);
    EXPECT_EQ(pickers.asked, (std::vector<std::string>{
                                 "/old/remote/|" + std::string(kRemoteProgramFile) + "|18001",
                                 settings.videoPath + "||18007"}));
    EXPECT_EQ(dialog->remotePathText()->text(), "/new/remote/");

    dialog->input1Combo()->setCurrentIndex(5);
    dialog->check1Button()->click();
    dialog->check2Button()->click();
    EXPECT_EQ(host_.checks, (std::vector<test::RecordingSettingsHost::Check>{
                                {0, 5, "/new/remote/"}, {1, -1, "/new/remote/"}}));

    dialog->cancelButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    const auto again = Open(settings);
    again->okButton()->click();
    const AppSettings saved = again->Result(settings);
    EXPECT_EQ(saved.mpegInput2, -1);  // no input picked: saved as -1
    EXPECT_EQ(saved.mpegInput1, 2);
    EXPECT_EQ(saved.appDir, "/program/");
    EXPECT_EQ(saved.remotePath, "/old/remote/");
    EXPECT_EQ(saved.useAvi, 1);
}

TEST_F(SettingsDialogTest, LanguageControlsListAtMostSixteenAndActAtOnce) {
    {
        // Without a master file: only the built-in language, and the controls are disabled.
        const auto dialog = Open(AppSettings{});
        EXPECT_EQ(dialog->languageCombo()->count(), 1);
        EXPECT_EQ(dialog->languageCombo()->currentText(), "English");
        EXPECT_FALSE(dialog->languageCombo()->isEnabled());
        EXPECT_FALSE(dialog->editLanguageButton()->isEnabled());
        EXPECT_FALSE(dialog->newLanguageButton()->isEnabled());
    }
    env_.Write("brenvik.lna", {{DialogKey(304), "Settings"}, {DialogKey(304, 1260), "Hotkeys"}});
    for (int i = 0; i < 20; ++i) {
        env_.Write("L" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".brl",
                   {{DialogKey(304), "Settings " + std::to_string(i)}});
    }
    WriteIniString("Language", "Name", "L17");
    ASSERT_TRUE(Languages().Startup());
    {
        const auto dialog = Open(AppSettings{});
        EXPECT_EQ(dialog->languageCombo()->count(), 16);
        EXPECT_EQ(dialog->languageCombo()->currentIndex(), -1);  // L17 is beyond the list
        EXPECT_EQ(dialog->windowTitle(), "Settings 17");
        // Choosing a language applies it, persists it and translates the dialog again.
        dialog->languageCombo()->setCurrentIndex(3);
        emit dialog->languageCombo()->activated(3);
        EXPECT_EQ(Languages().CurrentName(), "L02");
        EXPECT_EQ(GetIniString("Language", "Name", ""), "L02");
        EXPECT_EQ(dialog->windowTitle(), "Settings 2");
        // "Edit" runs the editor on the current language and translates the dialog again.
        editor_.answer = {"Optionen", "Tasten"};
        dialog->editLanguageButton()->click();
        EXPECT_EQ(dialog->windowTitle(), "Optionen");
        EXPECT_EQ(dialog->hotkeysButton()->text(), "Tasten");
        // "New": the list keeps what it had.
        editor_.answer = {"Ajustes", ""};
        editor_.file = env_.folder / "Zz.brl";
        dialog->newLanguageButton()->click();
        EXPECT_EQ(Languages().CurrentName(), "Zz");
        EXPECT_EQ(dialog->windowTitle(), "Ajustes");
        EXPECT_EQ(dialog->languageCombo()->count(), 16);
        EXPECT_EQ(dialog->languageCombo()->currentIndex(), 3);
        dialog->cancelButton()->click();
    }
    EXPECT_EQ(Languages().CurrentName(), "Zz");  // a Cancel keeps the language
    ASSERT_TRUE(Languages().SelectLanguage(0));
    const auto dialog = Open(AppSettings{});
    dialog->editLanguageButton()->click();  // the built-in language cannot be edited
    EXPECT_EQ(editor_.runs, 2);
}

}  // namespace
}  // namespace orx
