#include "settings/SettingsDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

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

TEST_F(SettingsDialogTest, EnablingRulesFollowEveryClickAndDisabledValuesAreStillSaved) {
    enum Click { kBoard1, kBoard2, kVolume, kEditOnly };
    // Enabled: input 1 (and Check 1), board 2 box, volume box, track bar, input 2 (and Check 2),
    // cue box, air-log box; then whether board 2 stays ticked.
    struct Case {
        int mpeg, volumeSet, editOnly;
        std::vector<Click> clicks;
        std::string enabled;
        int savedMpeg;
    };
    const Case cases[] = {
        {0, 1, 0, {}, "0000001 0", 0},                  // no boards
        {1, 1, 0, {}, "1111011 0", 1},                  // one board, volume
        {1, 0, 0, {}, "1110011 0", 1},                  // one board, no volume
        {2, 0, 0, {}, "1110111 1", 2},                  // two boards
        {2, 1, 0, {kBoard1}, "0000001 0", 0},           // board 1 unticked unticks board 2
        {2, 1, 0, {kBoard1, kBoard1}, "1111011 0", 1},  // board 1 back on leaves board 2 off
        {1, 0, 0, {kBoard2}, "1110111 1", 2},
        {1, 0, 0, {kVolume}, "1111011 0", 1},
        {2, 1, 0, {kEditOnly}, "0100000 1", 2},  // edit only disables all but board 2 box
        {2, 1, 1, {}, "0100000 1", 2},
        {2, 1, 1, {kEditOnly}, "1111111 1", 2},
        {1, 0, 1, {kBoard2}, "0100000 1", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
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
        const auto on = [](const QWidget* w) { return w->isEnabled() ? '1' : '0'; };
        const std::string enabled{on(dialog->input1Combo()),
                                  on(dialog->board2Box()),
                                  on(dialog->volumeBox()),
                                  on(dialog->volumeSlider()),
                                  on(dialog->input2Combo()),
                                  on(dialog->cuePreviewBox()),
                                  on(dialog->airLogBox()),
                                  ' ',
                                  dialog->board2Box()->isChecked() ? '1' : '0'};
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(on(dialog->check1Button()), c.enabled[0]);
        EXPECT_EQ(on(dialog->check2Button()), c.enabled[4]);
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
