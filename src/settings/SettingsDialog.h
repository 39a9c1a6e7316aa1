#pragma once

#include <QDialog>
#include <string>

#include "app/AppSettings.h"
#include "lang/TranslationEditing.h"
#include "mainwin/HotKeyTable.h"
#include "mainwin/InputLabels.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace orx {

class CMainWin;

// What the Settings dialog reaches outside itself: the board check and the window's hot keys,
// which its "Hotkeys" button changes at once.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;
    virtual void CheckVideoBoard(int board, int input, const std::string& remoteFolder) = 0;
    virtual HotKeyTable& HotKeys() = 0;
};

// The remote-control program's file, which the folder of the remote application must hold.
#ifdef _WIN32
inline constexpr const char* kRemoteProgramFile = "Tallyx.exe";
#else
inline constexpr const char* kRemoteProgramFile = "tallyx";
#endif

// "Settings" (template 304). Holds one value per control: settings() and the two board ticks,
// read from the controls by the board checks and by "OK". The language actions, "Hotkeys" and
// the board checks act at once; everything else reaches the program only through the caller
// after "OK". Disabled controls keep their values and are saved as they are.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    // mpeg decides the two board ticks (board 1 when not 0, board 2 when 2).
    SettingsDialog(const AppSettings& settings, const InputLabels& labels, SettingsHost& host,
                   TranslationEditor& editor, QWidget* parent = nullptr);

    // The dialog values; meaningful after "OK" or a board check.
    const AppSettings& settings() const { return settings_; }
    bool board1() const { return board1_; }
    bool board2() const { return board2_; }
    const InputLabels& labels() const { return labels_; }
    // settings() with mpeg = number of ticked boards, appDir kept from base.
    AppSettings Result(const AppSettings& base) const;

    void accept() override;

    // Controls, for tests and the key-driven workflow.
    QCheckBox* board1Box() const { return board1Box_; }
    QCheckBox* board2Box() const { return board2Box_; }
    QComboBox* input1Combo() const { return input1_; }
    QComboBox* input2Combo() const { return input2_; }
    QPushButton* check1Button() const { return check1_; }
    QPushButton* check2Button() const { return check2_; }
    QCheckBox* aviBox() const { return aviBox_; }
    QCheckBox* volumeBox() const { return volumeBox_; }
    QSlider* volumeSlider() const { return volume_; }
    QCheckBox* editOnlyBox() const { return editOnlyBox_; }
    QCheckBox* airLogBox() const { return airLogBox_; }
    QCheckBox* cuePreviewBox() const { return cueBox_; }
    QCheckBox* noFileNameDurBox() const { return noDurBox_; }
    QLineEdit* videoPathText() const { return videoPath_; }
    QLineEdit* remotePathText() const { return remotePath_; }
    QPushButton* videoBrowseButton() const { return videoBrowse_; }
    QPushButton* remoteBrowseButton() const { return remoteBrowse_; }
    QComboBox* languageCombo() const { return language_; }
    QPushButton* editLanguageButton() const { return editLanguage_; }
    QPushButton* newLanguageButton() const { return newLanguage_; }
    QPushButton* hotkeysButton() const { return hotkeys_; }
    QPushButton* inputLabelsButton() const { return inputLabels_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    void BuildControls();
    void PutValues();
    void ReadControls();

    // Enabling rules, run when a check box is clicked.
    void OnBoard1Rule();
    void OnBoard2Rule();
    void OnVolumeRule();
    void OnEditOnlyRule();

    void OnCheck(int board);
    void OnBrowseVideo();
    void OnBrowseRemote();
    void OnLanguageSelected(int index);
    void OnEditLanguage();
    void OnNewLanguage();
    void OnHotkeys();
    void OnInputLabels();

    AppSettings settings_;
    bool board1_ = false;
    bool board2_ = false;
    InputLabels labels_;
    SettingsHost& host_;
    TranslationEditor& editor_;

    QCheckBox* board1Box_ = nullptr;
    QCheckBox* board2Box_ = nullptr;
    QComboBox* input1_ = nullptr;
    QComboBox* input2_ = nullptr;
    QPushButton* check1_ = nullptr;
    QPushButton* check2_ = nullptr;
    QCheckBox* aviBox_ = nullptr;
    QCheckBox* volumeBox_ = nullptr;
    QSlider* volume_ = nullptr;
    QCheckBox* editOnlyBox_ = nullptr;
    QCheckBox* airLogBox_ = nullptr;
    QCheckBox* cueBox_ = nullptr;
    QCheckBox* noDurBox_ = nullptr;
    QLineEdit* videoPath_ = nullptr;
    QLineEdit* remotePath_ = nullptr;
    QPushButton* videoBrowse_ = nullptr;
    QPushButton* remoteBrowse_ = nullptr;
    QComboBox* language_ = nullptr;
    QPushButton* editLanguage_ = nullptr;
    QPushButton* newLanguage_ = nullptr;
    QPushButton* hotkeys_ = nullptr;
    QPushButton* inputLabels_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// The translation editor on Qt: the "Edit translation" dialog and the save-file dialog for a
// new language file. A null parent makes the dialog in front the editor's parent.
class QtTranslationEditor : public TranslationEditor {
public:
    explicit QtTranslationEditor(QWidget* parent) : parent_(parent) {}
    bool EditTranslations(TranslationTable& table, int codePage) override;
    std::string ChooseNewLanguageFile() override;

private:
    QWidget* parent_;
};

// CMainWin's settings runner: the Settings dialog on the window's settings and labels; true
// (and both filled in) when confirmed.
bool RunSettingsDialog(CMainWin& window, AppSettings& settings, InputLabels& labels);

// The program's icon, drawn by the program.
QPixmap ProgramIconPixmap(int sizePx);

}  // namespace orx
