#include "settings/SettingsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "lang/LanguageManager.h"
#include "lang/ProgramTexts.h"
#include "lang/qt/DialogTranslation.h"
#include "lang/qt/QtText.h"
#include "lang/qt/TranslationEditorDialog.h"
#include "mainwin/CMainWin.h"
#include "settings/HotkeysDialog.h"
#include "settings/InputLabelsDialog.h"
#include "ui/FilePickers.h"

#ifndef ORX_VERSION
#define ORX_VERSION "0.0"
#endif

namespace orx {

namespace {

constexpr int kInputCount = 16;
constexpr int kMaxLanguages = 16;  // the built-in language and the first 15 language files
constexpr int kVideoFolderTitleId = 18007;
constexpr int kRemoteFolderTitleId = 18001;

QCheckBox* Box(QWidget* parent, const char* text, int controlId) {
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    SetControlId(box, controlId);
    return box;
}

QPushButton* Button(QWidget* parent, const char* text, int controlId) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setAutoDefault(false);
    SetControlId(button, controlId);
    return button;
}

QComboBox* InputCombo(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (int i = 1; i <= kInputCount; ++i) {
        combo->addItem(QStringLiteral("IN%1").arg(i));
    }
    return combo;
}

QLineEdit* PathText(QWidget* parent) {
    auto* text = new QLineEdit(parent);
    text->setReadOnly(true);
    text->setFocusPolicy(Qt::NoFocus);
    text->setFrame(true);
    return text;
}

// An index outside the list shows no selection.
void SetComboIndex(QComboBox* combo, int index) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

// Forwards the dialog's needs to the main window.
class MainWindowHost : public SettingsHost {
public:
    explicit MainWindowHost(CMainWin& window) : window_(window) {}
    void CheckVideoBoard(int board, int input, const std::string& folder) override {
        window_.CheckVideoBoard(board, input, folder);
    }
    HotKeyTable& HotKeys() override { return window_.hotKeys(); }

private:
    CMainWin& window_;
};

}  // namespace

QPixmap ProgramIconPixmap(int sizePx) {
    QPixmap pixmap(sizePx, sizePx);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = sizePx;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1F, 0x3A, 0x6B));
    painter.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s / 6, s / 6);
    painter.setBrush(QColor(0xE0, 0x30, 0x30));
    painter.drawEllipse(QRectF(s * 0.68, s * 0.1, s * 0.2, s * 0.2));  // the on-air light
    QPainterPath play;
    play.moveTo(s * 0.32, s * 0.28);
    play.lineTo(s * 0.78, s * 0.55);
    play.lineTo(s * 0.32, s * 0.82);
    play.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(play);
    painter.end();
    return pixmap;
}

SettingsDialog::SettingsDialog(const AppSettings& settings, const InputLabels& labels,
                               SettingsHost& host, TranslationEditor& editor, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      board1_(settings.mpeg != 0),
      board2_(settings.mpeg == 2),
      labels_(labels),
      host_(host),
      editor_(editor) {
    setWindowTitle(QStringLiteral("Settings"));
    BuildControls();
    PutValues();
    // The "Only playlists editing" rule runs every other rule.
    OnEditOnlyRule();
    TranslateDialog(kDialogSettings, this);

    LanguageManager& languages = Languages();
    for (int i = 0; i < kMaxLanguages; ++i) {
        const std::optional<std::string> name = languages.LanguageName(i);
        if (!name) {
            break;
        }
        language_->addItem(ToQString(*name));
    }
    if (!languages.IsAvailable()) {
        language_->setEnabled(false);
        editLanguage_->setEnabled(false);
        newLanguage_->setEnabled(false);
    }
    SetComboIndex(language_, languages.CurrentIndex());
    connect(language_, &QComboBox::activated, this,
            [this](int index) { OnLanguageSelected(index); });
}

void SettingsDialog::BuildControls() {
    auto* about = new QGroupBox(QStringLiteral("About"), this);
    SetControlId(about, 1323);
    auto* icon = new QLabel(about);
    icon->setPixmap(ProgramIconPixmap(32));
    auto* title = new QLabel(QStringLiteral("ORX Video Player"), about);
    SetControlId(title, 1526);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* version = new QLabel(QStringLiteral("Version " ORX_VERSION), about);
    SetControlId(version, kStaticControlId);
    auto* aboutLayout = new QGridLayout(about);
    aboutLayout->addWidget(icon, 0, 0, 2, 1);
    aboutLayout->addWidget(title, 0, 1);
    aboutLayout->addWidget(version, 1, 1);
    aboutLayout->setColumnStretch(1, 1);

    auto* decoders = new QGroupBox(QStringLiteral("MPEG decoders"), this);
    SetControlId(decoders, 1316);
    board1Box_ = Box(decoders, "MPEG Board 1", 1220);
    input1_ = InputCombo(decoders);
    check1_ = Button(decoders, "Check", 1256);
    board2Box_ = Box(decoders, "MPEG Board 2", 1221);
    input2_ = InputCombo(decoders);
    check2_ = Button(decoders, "Check", 1257);
    aviBox_ = Box(decoders, "Play DivX AVI files", 1224);
    volumeBox_ = Box(decoders, "Set audio volume to", 1222);
    volume_ = new QSlider(Qt::Horizontal, decoders);
    volume_->setRange(0, 100);
    volume_->setPageStep(10);
    auto* decoderLayout = new QGridLayout(decoders);
    decoderLayout->addWidget(board1Box_, 0, 0);
    decoderLayout->addWidget(input1_, 0, 1);
    decoderLayout->addWidget(check1_, 0, 2);
    decoderLayout->addWidget(board2Box_, 1, 0);
    decoderLayout->addWidget(input2_, 1, 1);
    decoderLayout->addWidget(check2_, 1, 2);
    decoderLayout->addWidget(aviBox_, 2, 0, 1, 3);
    decoderLayout->addWidget(volumeBox_, 3, 0);
    decoderLayout->addWidget(volume_, 3, 1, 1, 2);

    editOnlyBox_ = Box(this, "Only playlists editing", 1223);
    airLogBox_ = Box(this, "Log video air time and duration", 1226);
    cueBox_ = Box(this, "Cue first video on preview", 1227);

    auto* videoGroup = new QGroupBox(QStringLiteral("Path to video files"), this);
    SetControlId(videoGroup, 1314);
    videoPath_ = PathText(videoGroup);
    videoBrowse_ = Button(videoGroup, "...", 1520);
    noDurBox_ = Box(videoGroup, "Don't get duration from filename", 1225);
    auto* videoLayout = new QGridLayout(videoGroup);
    videoLayout->addWidget(videoPath_, 0, 0);
    videoLayout->addWidget(videoBrowse_, 0, 1);
    videoLayout->addWidget(noDurBox_, 1, 0, 1, 2);

    auto* remoteGroup = new QGroupBox(QStringLiteral("Path to remote control application"), this);
    SetControlId(remoteGroup, 1315);
    remotePath_ = PathText(remoteGroup);
    remoteBrowse_ = Button(remoteGroup, "...", 1521);
    auto* remoteLayout = new QHBoxLayout(remoteGroup);
    remoteLayout->addWidget(remotePath_, 1);
    remoteLayout->addWidget(remoteBrowse_);

    auto* languageGroup = new QGroupBox(QStringLiteral("Interface and language"), this);
    SetControlId(languageGroup, 1317);
    language_ = new QComboBox(languageGroup);
    editLanguage_ = Button(languageGroup, "Edit", 1258);
    newLanguage_ = Button(languageGroup, "New", 1259);
    hotkeys_ = Button(languageGroup, "Hotkeys", 1260);
    inputLabels_ = Button(languageGroup, "Input labels", 1261);
    auto* languageLayout = new QGridLayout(languageGroup);
    languageLayout->addWidget(language_, 0, 0);
    languageLayout->addWidget(editLanguage_, 0, 1);
    languageLayout->addWidget(newLanguage_, 0, 2);
    languageLayout->addWidget(hotkeys_, 1, 1);
    languageLayout->addWidget(inputLabels_, 1, 2);
    languageLayout->setColumnStretch(0, 1);

    ok_ = Button(this, "OK", 1);
    ok_->setDefault(true);
    cancel_ = Button(this, "Cancel", 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addWidget(decoders);
    layout->addWidget(editOnlyBox_);
    layout->addWidget(airLogBox_);
    layout->addWidget(cueBox_);
    layout->addWidget(videoGroup);
    layout->addWidget(remoteGroup);
    layout->addWidget(languageGroup);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    connect(board1Box_, &QCheckBox::clicked, this, [this] { OnBoard1Rule(); });
    connect(board2Box_, &QCheckBox::clicked, this, [this] { OnBoard2Rule(); });
    connect(volumeBox_, &QCheckBox::clicked, this, [this] { OnVolumeRule(); });
    connect(editOnlyBox_, &QCheckBox::clicked, this, [this] { OnEditOnlyRule(); });
    connect(check1_, &QPushButton::clicked, this, [this] { OnCheck(0); });
    connect(check2_, &QPushButton::clicked, this, [this] { OnCheck(1); });
    connect(videoBrowse_, &QPushButton::clicked, this, [this] { OnBrowseVideo(); });
    connect(remoteBrowse_, &QPushButton::clicked, this, [this] { OnBrowseRemote(); });
    connect(editLanguage_, &QPushButton::clicked, this, [this] { OnEditLanguage(); });
    connect(newLanguage_, &QPushButton::clicked, this, [this] { OnNewLanguage(); });
    connect(hotkeys_, &QPushButton::clicked, this, [this] { OnHotkeys(); });
    connect(inputLabels_, &QPushButton::clicked, this, [this] { OnInputLabels(); });
    connect(ok_, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
}

void SettingsDialog::PutValues() {
    board1Box_->setChecked(board1_);
    board2Box_->setChecked(board2_);
    SetComboIndex(input1_, settings_.mpegInput1);
    SetComboIndex(input2_, settings_.mpegInput2);
    aviBox_->setChecked(settings_.useAvi != 0);
    volumeBox_->setChecked(settings_.volumeSet != 0);
    editOnlyBox_->setChecked(settings_.editOnlyMode != 0);
    airLogBox_->setChecked(settings_.airLog != 0);
    cueBox_->setChecked(settings_.cuePreview != 0);
    noDurBox_->setChecked(settings_.noFileNameDur != 0);
    videoPath_->setText(ToQString(settings_.videoPath));
    remotePath_->setText(ToQString(settings_.remotePath));
    volume_->setValue(settings_.audioVolume);
}

void SettingsDialog::ReadControls() {
    board1_ = board1Box_->isChecked();
    board2_ = board2Box_->isChecked();
    settings_.mpegInput1 = input1_->currentIndex();
    settings_.mpegInput2 = input2_->currentIndex();
    settings_.useAvi = aviBox_->isChecked() ? 1 : 0;
    settings_.volumeSet = volumeBox_->isChecked() ? 1 : 0;
    settings_.audioVolume = volume_->value();
    settings_.editOnlyMode = editOnlyBox_->isChecked() ? 1 : 0;
    settings_.airLog = airLogBox_->isChecked() ? 1 : 0;
    settings_.cuePreview = cueBox_->isChecked() ? 1 : 0;
    settings_.noFileNameDur = noDurBox_->isChecked() ? 1 : 0;
    // The path texts are changed only through the folder browser, which keeps the values too.
}

AppSettings SettingsDialog::Result(const AppSettings& base) const {
    AppSettings result = settings_;
    result.appDir = base.appDir;
    result.mpeg = (board1_ ? 1 : 0) + (board2_ ? 1 : 0);
    return result;
}

void SettingsDialog::accept() {
    ReadControls();
    QDialog::accept();
}

void SettingsDialog::OnBoard1Rule() {
    const bool b1 = board1Box_->isChecked();
    const bool e = editOnlyBox_->isChecked();
    input1_->setEnabled(b1 && !e);
    check1_->setEnabled(b1 && !e);
    board2Box_->setEnabled(b1);
    volumeBox_->setEnabled(b1 && !e);
    if (!b1 && board2Box_->isChecked()) {
        board2Box_->setChecked(false);
    }
    OnVolumeRule();
    OnBoard2Rule();
}

void SettingsDialog::OnBoard2Rule() {
    const bool b1 = board1Box_->isChecked();
    const bool b2 = board2Box_->isChecked();
    const bool e = editOnlyBox_->isChecked();
    input2_->setEnabled(b1 && b2 && !e);
    check2_->setEnabled(b1 && b2 && !e);
    cueBox_->setEnabled((b1 || b2) && !e);
}

void SettingsDialog::OnVolumeRule() {
    volume_->setEnabled(board1Box_->isChecked() && volumeBox_->isChecked() &&
                        !editOnlyBox_->isChecked());
}

void SettingsDialog::OnEditOnlyRule() {
    OnBoard1Rule();
    OnBoard2Rule();
    airLogBox_->setEnabled(!editOnlyBox_->isChecked());
}

void SettingsDialog::OnCheck(int board) {
    ReadControls();
    host_.CheckVideoBoard(board, board == 0 ? settings_.mpegInput1 : settings_.mpegInput2,
                          settings_.remotePath);
}

void SettingsDialog::OnBrowseVideo() {
    if (ui::BrowseForFolder(settings_.videoPath, "", kVideoFolderTitleId)) {
        videoPath_->setText(ToQString(settings_.videoPath));
    }
}

void SettingsDialog::OnBrowseRemote() {
    if (ui::BrowseForFolder(settings_.remotePath, kRemoteProgramFile, kRemoteFolderTitleId)) {
        remotePath_->setText(ToQString(settings_.remotePath));
    }
}

void SettingsDialog::OnLanguageSelected(int index) {
    if (Languages().SelectLanguage(index)) {
        TranslateDialog(kDialogSettings, this);
    }
}

void SettingsDialog::OnEditLanguage() {
    if (Languages().EditCurrentLanguage(editor_)) {
        TranslateDialog(kDialogSettings, this);
    }
}

void SettingsDialog::OnNewLanguage() {
    // The list keeps the entries and the selection it had.
    if (Languages().CreateLanguage(editor_)) {
        TranslateDialog(kDialogSettings, this);
    }
}

void SettingsDialog::OnHotkeys() {
    HotKeyTable& hotKeys = host_.HotKeys();
    HotkeysDialog dialog(hotKeys.keys, this);
    if (dialog.exec() == QDialog::Accepted) {
        hotKeys.keys = dialog.keys();
    }
}

void SettingsDialog::OnInputLabels() {
    InputLabelsDialog dialog(labels_, this);
    if (dialog.exec() == QDialog::Accepted) {
        labels_ = dialog.labels();
    }
}

bool QtTranslationEditor::EditTranslations(TranslationTable& table, int codePage) {
    // Without a parent of its own the editor belongs to the dialog in front (Settings).
    return orx::EditTranslations(table, codePage,
                                 parent_ != nullptr ? parent_ : QApplication::activeModalWidget());
}

std::string QtTranslationEditor::ChooseNewLanguageFile() {
    ui::FileDialogRequest request;
    request.filter = ui::BuildFileFilter(kFileKindLanguage);
    request.defaultExtension = ".brl";
    request.initialFolder = Settings().appDir;
    return ui::Pickers().SaveFile(request);
}

bool RunSettingsDialog(CMainWin& window, AppSettings& settings, InputLabels& labels) {
    MainWindowHost host(window);
    QtTranslationEditor editor(nullptr);
    SettingsDialog dialog(settings, labels, host, editor, &window);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    settings = dialog.Result(settings);
    labels = dialog.labels();
    return true;
}

}  // namespace orx
