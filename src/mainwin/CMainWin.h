#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/AppSettings.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "devices/HardwareControl.h"
#include "mainwin/HotKeyTable.h"
#include "mainwin/InputLabels.h"
#include "mainwin/WindowTimer.h"
#include "platform/Clock.h"
#include "platform/WindowTransport.h"
#include "playout/PlayoutEngine.h"

class QSocketNotifier;

namespace orx {

class CSplitterBar;
class ClipListView;
class MainToolBar;
class PlaylistTreeView;

// The operator's window: tool bar, playlist tree, splitter bar and clip list. A coordinator: the
// playback engine owns the playlist, schedule and run; HardwareControl brings the boards and the
// mixer's remote application into use; the views draw. The window reads its layout, column
// widths, hot keys and input labels when it is created and writes them when it is destroyed.
//
// Board reports reach it as WM_COPYDATA on its own message window, served from the event loop
// when idle and by the transport itself while a command to a companion program is pending.
class CMainWin : public QDialog, private IPlayoutView {
    Q_OBJECT

public:
    static constexpr uint32_t kFirstTickMs = 100;
    static constexpr int kDefaultSplitterSize = 700;

    // Runs the playlist editor on workingCopy; may change playlistPath. Its result is not used.
    // The window runs the real editor unless a test installs another runner.
    using EditorRunner = std::function<void(QWidget* parent, std::string& playlistPath,
                                            bool openedWhilePlaying, Playlist& workingCopy)>;
    // Runs the Settings dialog on copies of the settings and labels; true when confirmed.
    using SettingsRunner =
        std::function<bool(CMainWin& window, AppSettings& settings, InputLabels& labels)>;

    CMainWin(CVideoCmd& video, CRemoteCmd& remote, HardwareControl& hardware, Clock& clock,
             QWidget* parent = nullptr);
    ~CMainWin() override;

    // Operator commands.
    void OnAirPlay();
    void OnAirPause();
    void OnAirStop();
    void OnAirEdit();
    void OnAirSettings();
    // The program is asked to end from outside (a termination signal): open message boxes and
    // dialogs are closed, and every one shown from now on as soon as it appears (nobody is there
    // to answer them); a run is stopped as by the operator's Stop; then the window closes, so the
    // hosts are closed and the layout saved.
    void RequestShutdown();
    // The process ends without destroying the window (the toolkit calls exit() when it loses its
    // display connection): the hosts are closed and the air-log records written all the same.
    // Touches no widget. Runs from an exit handler that OpenHardware registers.
    void CloseAtExit();
    void OpenEditor(bool refreshTree);

    // Hardware, through HardwareControl.
    void OpenHardware();
    void CloseHardware();
    int LaunchRemote(const std::string& folder);
    void CheckVideoBoard(int board, int input, const std::string& folder);

    // Views.
    void FillPlaylistTree();
    void SetupClipColumns();
    void FillRestoreInputCombo();
    void UpdateToolbar(bool ready);

    // Runs the command of the first hot key equal to this key and modifier set (1 Shift, 2 Ctrl,
    // 4 Alt); nothing when none is.
    void DispatchHotKey(uint32_t virtualKey, uint32_t modifiers);
    void OnPlaylistSelected();
    void OnTimerTick();
    // The reply to a message sent to the window by another process.
    int64_t OnWindowMessage(const WindowMessage& message);

    void SetEditorRunner(EditorRunner runner) { editorRunner_ = std::move(runner); }
    void SetSettingsRunner(SettingsRunner runner) { settingsRunner_ = std::move(runner); }

    PlayoutEngine& engine() { return engine_; }
    HotKeyTable& hotKeys() { return hotKeys_; }
    InputLabels& inputLabels() { return inputLabels_; }
    MainToolBar* toolBar() const { return toolBar_; }
    PlaylistTreeView* playlistTree() const { return tree_; }
    ClipListView* clipList() const { return clipList_; }
    CSplitterBar* splitterBar() const { return splitter_; }
    const WindowTimer& timer() const { return timer_; }
    // The handle companion programs send their reports to; 0 when the window could not be made.
    WindowHandle messageHandle() const;
    int splitterSize() const { return splitterSize_; }
    bool firstTick() const { return firstTick_; }
    bool busy() const { return busy_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // IPlayoutView
    void ShowTimes(int32_t clipMs, int32_t totalMs) override;
    void ShowFileName(const std::string& path) override;
    // Every button stays disabled until the first tick has opened the hardware, also when a
    // playlist is applied before it.
    void UpdateToolbar() override { UpdateToolbar(!firstTick_); }
    void FillClipList() override;
    int SelectedClipRow() override;
    void SelectClipRow(int row) override;
    void ClearClipSelection() override;
    int RestoreComboIndex() override;
    void ShowRunMessage(const std::string& text, unsigned type) override;

    void OnCommand(int commandId);
    void OnTreeDoubleClick();
    // After a playlist that could not be loaded: no playlist is current, and the tree's selection
    // is undone.
    void RefuseSelection();
    void ShowNotAvailable(const char* what);
    void WriteLayout();

    CVideoCmd& video_;
    CRemoteCmd& remote_;
    HardwareControl& hardware_;
    Clock& clock_;

    MainToolBar* toolBar_ = nullptr;
    PlaylistTreeView* tree_ = nullptr;
    ClipListView* clipList_ = nullptr;
    CSplitterBar* splitter_ = nullptr;

    WindowTimer timer_;
    PlayoutEngine engine_;
    HotKeyTable hotKeys_;
    InputLabels inputLabels_;
    std::unique_ptr<MessageWindow> messageWindow_;
    QSocketNotifier* messageNotifier_ = nullptr;

    int splitterSize_ = kDefaultSplitterSize;
    bool splitterPlaced_ = false;
    bool firstTick_ = true;
    bool busy_ = false;
    bool shuttingDown_ = false;

    EditorRunner editorRunner_;
    SettingsRunner settingsRunner_;
};

}  // namespace orx
