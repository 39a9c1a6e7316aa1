#include "mainwin/CMainWin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "app/DebugLog.h"
#include "app/IniFile.h"
#include "app/UiHost.h"
#include "editor/PlaylistEditorDialog.h"
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

// The window whose hosts an exit of the process closes; the first one alive.
CMainWin* g_exitWindow = nullptr;

void CloseHostsAtExit() {
    if (g_exitWindow != nullptr) {
        g_exitWindow->CloseAtExit();
    }
}

// Closes a dialog or message box from the event loop it runs, as a Cancel would.
void RejectLater(QDialog* dialog) {
    QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
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
      engine_(video, remote, clock, timer_, *this),
      editorRunner_(RunPlaylistEditor) {
    DebugLog("CMainWin::OnInitDialog()");
    if (g_exitWindow == nullptr) {
        g_exitWindow = this;
    }
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
    // The template is narrower than the tool bar in most fonts: the window is never narrower than
    // its tool bar, so every button, Settings and Close included, stays in reach.
    setMinimumWidth(std::max(minimumWidth(), toolBar_->sizeHint().width()));
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
    // The tree is the first control: hot keys act from the start, and no key reaches the
    // restore-input choice unless the operator clicked it.
    tree_->setFocus(Qt::OtherFocusReason);

    messageWindow_ = MessageWindow::Create(
        {}, [this](const WindowMessage& message) { return OnWindowMessage(message); });
    // A decoder host that died since the hardware was opened is started again before a run.
    engine_.SetRunPreparation([this] { return hardware_.ReviveBoards(); });
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
    if (g_exitWindow == this) {
        g_exitWindow = nullptr;
    }
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
    if (!shuttingDown_) {
        shuttingDown_ = true;
        // Sees every box shown from now on (eventFilter); stopping the run may report a failure.
        qApp->installEventFilter(this);
    }
    // A box open now runs an event loop of its own (this may be called from it): the window
    // cannot end until that loop has returned.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog != nullptr && dialog != this && dialog->isVisible()) {
            RejectLater(dialog);
        }
    }
    if (engine_.playing()) {
        OnAirStop();
    }
    done(1);
}

void CMainWin::CloseAtExit() {
    CloseHardware();
    engine_.EndAirLog();
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
    // A dialog closed by a shutdown request must not start hosts that the window then closes.
    if (shuttingDown_) {
        return;
    }
    engine_.SetHardwareOk(hardware_.OpenHardware(messageHandle()));
    // Registered once hosts have been started and talked to: exit handlers run in the reverse
    // order of registration, after the destructors of statics made later, so everything the
    // close uses exists by now and is still there when the handler runs.
    if (video_.startedCount() > 0) {
        [[maybe_unused]] static const bool registered = std::atexit(CloseHostsAtExit) == 0;
    }
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
        RefuseSelection();
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

void CMainWin::RefuseSelection() {
    // Nothing of the playlist selected before may stay playable: the window now holds no
    // playlist, and shows none.
    {
        std::lock_guard lock(engine_.scheduleLock());
        engine_.playlist().Clear();
    }
    engine_.playlistPath.clear();
    engine_.ApplyPlaylist(nullptr);
    // The view selects an item reached by a key twice over (as its new current item, then by
    // its place): a selection undone in between is made again, and the playlist would be loaded
    // and reported a second time. It is undone once the event that made it is over, unless
    // another item has been selected by then.
    const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        return;
    }
    QTimer::singleShot(0, this, [this, refused = QPersistentModelIndex(selected.front())] {
        if (refused.isValid() && tree_->selectionModel()->isSelected(refused)) {
            tree_->clearSelection();
        }
    });
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
    if (shuttingDown_ && event->type() == QEvent::Show && watched != this) {
        if (auto* dialog = qobject_cast<QDialog*>(watched);
            dialog != nullptr && dialog->isWindow()) {
            RejectLater(dialog);
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == tree_ || watched == clipList_)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        DispatchHotKey(VirtualKeyFromQt(key->key(), key->modifiers()),
                       HotKeyModifiers(key->modifiers()));
        // The view then handles the key as usual.
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orx
