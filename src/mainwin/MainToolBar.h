#pragma once

#include <QToolBar>
#include <array>
#include <cstdint>
#include <string>

class QAction;
class QComboBox;
class QLabel;

namespace orx {

class InputLabels;

// Which tool-bar buttons the operator may press.
struct ToolbarState {
    bool play = false;
    bool pause = false;
    bool stop = false;
    bool edit = false;
    bool settings = false;
    bool close = false;
    bool operator==(const ToolbarState&) const = default;
};

// The enabling rule. ready is false only until the first timer tick has opened the hardware.
ToolbarState ComputeToolbarState(bool ready, bool hardwareOk, bool readyToPlay, bool playing);

// The main window's tool bar: Play, Pause, Stop, the time display, Edit, the playlist's name,
// the restore-input choice, Settings and Close. Tool tips are looked up when they are shown, so
// they follow the interface language.
class MainToolBar : public QToolBar {
    Q_OBJECT

public:
    // Command ids; the embedded controls carry the ids of their places on the bar.
    static constexpr int kPlayId = 32957;
    static constexpr int kPauseId = 32963;
    static constexpr int kStopId = 32958;
    static constexpr int kEditId = 32999;
    static constexpr int kSettingsId = 32998;
    static constexpr int kCloseId = 32956;
    static constexpr int kTimeDisplayId = 31106;
    static constexpr int kFileDisplayId = 31107;
    static constexpr int kRestoreComboId = 31108;
    // The embedded controls take their tool tips from the strings of the places they fill.
    static constexpr int kTimeToolTipId = 32965;
    static constexpr int kFileToolTipId = 32890;
    static constexpr int kRestoreToolTipId = 32891;
    static constexpr int kHeightPx = 28;
    static constexpr int kToolTipMaxChars = 79;

    explicit MainToolBar(QWidget* parent = nullptr);

    // "m:ss.t / m:ss.t  " of the current clip and the whole run (minutes not limited to 59).
    void ShowTimes(int32_t clipMs, int32_t totalMs);
    // The file name of path without folder and extension.
    void ShowFileName(const std::string& path);
    // "On preview", "Previous", then every mixer source by label or name; keeps the selection.
    void FillRestoreInputCombo(const InputLabels& labels);
    void SetRestoreComboIndex(int index);
    int RestoreComboIndex() const;  // 0 "On preview", 1 "Previous", 2 + k source k
    void ApplyState(const ToolbarState& state);
    ToolbarState State() const;
    // Gives every button the tool-tip text of the current interface language as its text.
    void RetranslateActions();

    QAction* action(int commandId) const;
    QLabel* timeDisplay() const { return timeDisplay_; }
    QLabel* fileDisplay() const { return fileDisplay_; }
    QComboBox* restoreCombo() const { return restoreCombo_; }

    // The tool tip of a command: the text after the first line break of its string, at most 79
    // characters.
    static QString ToolTipFor(int commandId);
    static QString FormatTimes(int32_t clipMs, int32_t totalMs);

signals:
    void commandTriggered(int commandId);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddButton(int commandId, const QIcon& icon);
    void AddEmbedded(QWidget* widget, int controlId, int toolTipId);

    QLabel* timeDisplay_ = nullptr;
    QLabel* fileDisplay_ = nullptr;
    QComboBox* restoreCombo_ = nullptr;
};

}  // namespace orx
