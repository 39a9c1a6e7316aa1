#pragma once

// The modal dialog's buttons by their texts, and stand-ins for what the Settings dialog reaches.

#include <QApplication>
#include <QPushButton>
#include <QWidget>
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
