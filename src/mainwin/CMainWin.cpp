#include "mainwin/CMainWin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QStyle>
#include <QTimer>
#include <mutex>

#include "app/DebugLog.h"
#include "app/IniFile.h"
#include "app/UiHost.h"
#include "lang/TextServices.h"
#include "lang/qt/QtText.h"
#include "mainwin/ClipListView.h"
#include "mainwin/MainToolBar.h"
#include "mainwin/PlaylistTreeView.h"
#include "mainwin/VirtualKey.h"
#include "mainwin/WindowPlacement.h"
#include "ui/CSplitterBar.h"

namespace orx {

namespace {

constexpr int kRootStringId = 13038;
constexpr int kRestorePreviousIndex = 1;

// Dialog base units of a font, as the window system derives them: the average width of the
// Latin letters and the line height.
QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((letters / 26 + 1) / 2, metrics.height());
}

}  // namespace

CMainWin::CMainWin(CVideoCmd& video, CRemoteCmd& remote, HardwareControl& hardware, Clock& clock,
                   QWidget* parent)
    : QDialog(parent),
      video_(video),
      remote_(remote),
      hardware_(hardware),
      clock_(clock),
      timer_([this] { OnTimerTick(); }),
      engine_(video, remote, clock, timer_, *this) {
    DebugLog("CMainWin::OnInitDialog()");
    setWindowTitle(QStringLiteral("ORX Video Player"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_MediaPlay));

    // The size of the window's template; the operator may not make it smaller than 300 x 100
    // dialog units.
    const QSize base = DialogBaseUnits(font());
    resize(base.width() * 232 / 4, base.height() * 236 / 8);
    setMinimumSize(base.width() * 300 / 4, base.height() * 100 / 8);

    inputLabels_.Load();

    toolBar_ = new MainToolBar(this);
    toolBar_->ShowTimes(0, 0);
    toolBar_->ShowFileName({});
    connect(toolBar_, &MainToolBar::commandTriggered, this, &CMainWin::OnCommand);
    FillRestoreInputCombo();
    toolBar_->SetRestoreComboIndex(kRestorePreviousIndex);
    // The template is narrower than the tool bar in most fonts: open wide enough to show every
    // button, Settings and Close included.
    if (width() < toolBar_->sizeHint().width()) {
        resize(toolBar_->sizeHint().width(), height());
    }
    toolBar_->setGeometry(0, 0, width(), MainToolBar::kHeightPx);

    tree_ = new PlaylistTreeView(this);
    clipList_ = new ClipListView(this);
    SetupClipColumns();
    splitter_ = new CSplitterBar(this);
    splitterSize_ = GetIniInt("Layout", "SplitterSize", kDefaultSplitterSize);
    splitter_->Attach(SplitterOrientation::Horizontal, tree_, clipList_);
    connect(splitter_, &CSplitterBar::positionChanged, this,
            [this](int thousandths) { splitterSize_ = thousandths; });
    // Template positions until the first tick lays the panes out.
    tree_->setGeometry(base.width() * 4 / 4, base.height() * 28 / 8, base.width() * 224 / 4,
                       base.height() * 136 / 8);
    clipList_->setGeometry(base.width() * 4 / 4, base.height() * 164 / 8, base.width() * 224 / 4,
                           base.height() * 68 / 8);
    splitter_->setGeometry(base.width() * 4 / 4, base.height() * 164 / 8, base.width() * 224 / 4,
                           1);

    WindowPlacement::Load().Apply(*this);
    hotKeys_.Load();

    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &CMainWin::OnPlaylistSelected);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &CMainWin::OnTreeDoubleClick);
    tree_->installEventFilter(this);
    clipList_->installEventFilter(this);

    messageWindow_ = MessageWindow::Create(
        {}, [this](const WindowMessage& message) { return OnWindowMessage(message); });
    if (messageWindow_) {
        engine_.SetReplyWindow(messageWindow_->Handle());
        messageNotifier_ = new QSocketNotifier(messageWindow_->Fd(), QSocketNotifier::Read, this);
        connect(messageNotifier_, &QSocketNotifier::activated, this,
                [this] { messageWindow_->ServePending(); });
    } else {
        DebugLog("CMainWin::OnInitDialog(): no message window, board reports are lost");
    }

    UpdateToolbar(false);
    FillPlaylistTree();
    firstTick_ = true;
    timer_.Start(kFirstTickMs);
}

CMainWin::~CMainWin() {
    timer_.Stop();
    // Columns, layout, labels and hot keys reach the settings file in one rewrite.
    IniWriteBatch settingsWrites;
    SetupClipColumns();
    CloseHardware();
    engine_.EndAirLog();
    WriteLayout();
    inputLabels_.Save();
    hotKeys_.Save();
    // The notifier watches the message window's descriptor: it goes first.
    delete messageNotifier_;
    messageNotifier_ = nullptr;
    messageWindow_.reset();
}

void CMainWin::WriteLayout() {
    WindowPlacement::Capture(*this).Save();
    WriteIniInt("Layout", "SplitterSize", splitterSize_);
}

WindowHandle CMainWin::messageHandle() const {
    return messageWindow_ ? messageWindow_->Handle() : 0;
}

// --- Commands ---------------------------------------------------------------------------------

void CMainWin::OnCommand(int commandId) {
    switch (commandId) {
        case MainToolBar::kPlayId:
            OnAirPlay();
            break;
        case MainToolBar::kPauseId:
            OnAirPause();
            break;
        case MainToolBar::kStopId:
            OnAirStop();
            break;
        case MainToolBar::kEditId:
            OnAirEdit();
            break;
        case MainToolBar::kSettingsId:
            OnAirSettings();
            break;
        case MainToolBar::kCloseId:
            done(1);
            break;
        default:
            break;
    }
}

void CMainWin::RequestShutdown() {
    if (engine_.playing()) {
        OnAirStop();
    }
    done(1);
}

void CMainWin::OnAirPlay() {
    engine_.OnAirPlay();
}

void CMainWin::OnAirPause() {
    engine_.OnAirPause();
}

void CMainWin::OnAirStop() {
    engine_.OnAirStop();
}

void CMainWin::OnAirEdit() {
    DebugLog("CMainWin::OnAirEdit()");
    OpenEditor(true);
}

void CMainWin::ShowNotAvailable(const char* what) {
    ShowMessageText(std::string(what) + " is not available yet.", mb::Ok | mb::IconInformation);
}

void CMainWin::OpenEditor(bool refreshTree) {
    if (!editorRunner_) {
        ShowNotAvailable("The playlist editor");
        return;
    }
    busy_ = true;
    Playlist workingCopy;
    {
        std::lock_guard lock(engine_.scheduleLock());
        workingCopy.Assign(engine_.playlist());
    }
    std::string path = engine_.playlistPath;
    editorRunner_(this, path, engine_.playing(), workingCopy);
    engine_.playlistPath = path;
    if (refreshTree) {
        FillPlaylistTree();
    }
    engine_.ApplyPlaylist(&workingCopy);
    busy_ = false;
}

void CMainWin::OnAirSettings() {
    DebugLog("CMainWin::OnAirSettings()");
    if (!settingsRunner_) {
        return;  // the composition root installs the dialog
    }
    busy_ = true;
    AppSettings settings = Settings();
    InputLabels labels = inputLabels_;
    CloseHardware();
    if (settingsRunner_(*this, settings, labels)) {
        settings.appDir = Settings().appDir;
        Settings() = settings;
        inputLabels_ = labels;
        SaveSettings(Settings());
        FillPlaylistTree();
        SetupClipColumns();
        FillClipList();
    }
    FillRestoreInputCombo();
    OpenHardware();
    UpdateToolbar(true);
    busy_ = false;
}

// --- Hardware ---------------------------------------------------------------------------------

void CMainWin::OpenHardware() {
    engine_.SetHardwareOk(hardware_.OpenHardware(messageHandle()));
}

void CMainWin::CloseHardware() {
    hardware_.CloseHardware();
}

int CMainWin::LaunchRemote(const std::string& folder) {
    return hardware_.LaunchRemote(folder);
}

void CMainWin::CheckVideoBoard(int board, int input, const std::string& folder) {
    hardware_.CheckVideoBoard(board, input, folder);
}

// --- Views ------------------------------------------------------------------------------------

void CMainWin::FillPlaylistTree() {
    tree_->Fill(Settings().videoPath, ToQString(TranslateString(kRootStringId)));
}

void CMainWin::SetupClipColumns() {
    clipList_->SetupColumns();
}

void CMainWin::FillRestoreInputCombo() {
    toolBar_->FillRestoreInputCombo(inputLabels_);
}

void CMainWin::UpdateToolbar(bool ready) {
    toolBar_->ApplyState(
        ComputeToolbarState(ready, engine_.hardwareOk(), engine_.readyToPlay(), engine_.playing()));
}

void CMainWin::ShowTimes(int32_t clipMs, int32_t totalMs) {
    toolBar_->ShowTimes(clipMs, totalMs);
}

void CMainWin::ShowFileName(const std::string& path) {
    toolBar_->ShowFileName(path);
}

void CMainWin::FillClipList() {
    std::lock_guard lock(engine_.scheduleLock());
    clipList_->Fill(engine_.playlist().playSequence);
}

int CMainWin::SelectedClipRow() {
    return clipList_->SelectedRow();
}

void CMainWin::SelectClipRow(int row) {
    clipList_->SelectRow(row);
}

void CMainWin::ClearClipSelection() {
    clipList_->ClearClipSelection();
}

int CMainWin::RestoreComboIndex() {
    return toolBar_->RestoreComboIndex();
}

void CMainWin::ShowRunMessage(const std::string& text, unsigned type) {
    // Timer 1 does not fire again while its own handler runs, and a box opened inside the
    // handler would stop the run until the operator answers it: the box waits for the next turn
    // of the event loop.
    QTimer::singleShot(0, this, [text, type] { ShowMessageText(text, type); });
}

// --- Hot keys, selection, timer, reports --------------------------------------------------------

void CMainWin::DispatchHotKey(uint32_t virtualKey, uint32_t modifiers) {
    switch (hotKeys_.Match(virtualKey, modifiers)) {
        case HotKeyTable::kRefresh:
            FillPlaylistTree();
            break;
        case HotKeyTable::kEdit:
            OpenEditor(false);
            break;
        case HotKeyTable::kPlay:
            OnAirPlay();
            break;
        case HotKeyTable::kPause:
            OnAirPause();
            break;
        case HotKeyTable::kStop:
            OnAirStop();
            break;
        default:
            break;
    }
}

void CMainWin::OnPlaylistSelected() {
    if (engine_.playing() || busy_) {
        tree_->clearSelection();
        return;
    }
    const QTreeWidgetItem* item = tree_->SelectedItem();
    if (PlaylistTreeView::KindOf(item) != PlaylistTreeView::kPlaylist) {
        return;
    }
    const std::string path = tree_->PlaylistPathOf(item);
    int result;
    {
        std::lock_guard lock(engine_.scheduleLock());
        engine_.playlist().Clear();
        result = engine_.playlist().Load(path, true, 0);
    }
    if (result != kPlaylistOk) {
        ReportFileError(result, path);
    }
    if (result & kResultFailureBit) {
        tree_->clearSelection();
        return;
    }
    engine_.ApplyPlaylist(nullptr);
    engine_.playlistPath = path;
    toolBar_->ShowFileName(path);
    const PlaySchedule& schedule = engine_.schedule();
    if (engine_.readyToPlay() && Settings().cuePreview != 0 && !schedule.boardQueue[0].empty()) {
        video_.SendCmd(0, VIDCMD_CUE, schedule.boardQueue[0].front().path.c_str());
    }
}

void CMainWin::OnTreeDoubleClick() {
    if (busy_ || engine_.playing()) {
        return;
    }
    const QTreeWidgetItem* item = tree_->SelectedItem();
    if (item == nullptr || PlaylistTreeView::KindOf(item) == PlaylistTreeView::kFolder) {
        return;
    }
    OpenEditor(false);
}

void CMainWin::OnTimerTick() {
    if (firstTick_) {
        timer_.Stop();
        if (!splitterPlaced_) {
            splitter_->Layout(splitterSize_);
            splitterPlaced_ = true;
        }
        firstTick_ = false;
        OpenHardware();
        UpdateToolbar(true);
        return;
    }
    engine_.OnRunTick();
}

int64_t CMainWin::OnWindowMessage(const WindowMessage& message) {
    if (message.message != kWmCopyData) {
        return 0;
    }
    const int board = video_.OnNotify(message.wParam, message.dwData);
    if (board >= 0) {
        engine_.OnBoardReport(board, video_.boardBusy(board));
    }
    return 0;
}

// --- Window events ------------------------------------------------------------------------------

void CMainWin::keyPressEvent(QKeyEvent* event) {
    // Neither key may end the dialog.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void CMainWin::closeEvent(QCloseEvent* event) {
    if (engine_.playing()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CMainWin::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (toolBar_ != nullptr) {
        toolBar_->setGeometry(0, 0, width(), MainToolBar::kHeightPx);
    }
    if (splitter_ != nullptr) {
        splitter_->Layout(splitterSize_);
        splitterPlaced_ = true;
    }
}

bool CMainWin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == tree_ || watched == clipList_)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        DispatchHotKey(VirtualKeyFromQt(key->key(), key->modifiers()),
                       HotKeyModifiers(key->modifiers()));
        // The view then handles the key as usual.
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orx
