#pragma once

// Key-driven scripts for modal dialogs, and stand-ins for what the Settings dialog reaches.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "../lang/LangTestSupport.h"
#include "settings/SettingsDialog.h"
#include "support/KeyInput.h"

namespace orx::test {

// The push button of the modal dialog with this text.
inline QPushButton* ModalButton(const QString& text) {
    for (QPushButton* button : QApplication::activeModalWidget()->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// Steps run one after another from the event loop, each a moment after the previous one, so a
// step may open a modal dialog and the next steps act inside it.
class Script {
public:
    Script& Then(std::function<void()> step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    // Tab to the widget, then press Space on it in a step of its own (it may open a dialog).
    Script& Press(std::function<QWidget*()> widget) {
        Then([widget] { ASSERT_TRUE(TabTo(widget())); });
        return Then([] { Key(Qt::Key_Space); });
    }
    void Start() {
        QTimer::singleShot(kPaceMs, &context_, [this] { Next(); });
    }
    bool Finished() const { return next_ == steps_.size(); }

private:
    static constexpr int kPaceMs = 15;
    // A step waits until the topmost modal dialog has become the active window, as the
    // operator waits for a dialog to appear before typing into it. The offscreen platform has
    // no window manager to give the activation back to a dialog when the one above it closes;
    // the script asks for it as a window manager would.
    void Next() {
        if (next_ >= steps_.size())
            return;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && QApplication::activeWindow() != modal && waits_ < kMaxWaits) {
            if (waits_++ == 0)
                modal->activateWindow();
            QTimer::singleShot(kPaceMs, &context_, [this] { Next(); });
            return;
        }
        waits_ = 0;
        std::function<void()> step = steps_[next_++];
        QTimer::singleShot(kPaceMs, &context_, [this] { Next(); });
        step();
    }
    static constexpr int kMaxWaits = 600;
    QObject context_;  // pending steps end with the script
    int waits_ = 0;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
};

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

}  // namespace orx::test
