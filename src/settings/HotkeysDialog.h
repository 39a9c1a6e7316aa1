#pragma once

#include <QDialog>
#include <QLineEdit>
#include <array>
#include <cstdint>

#include "mainwin/HotKeyTable.h"

namespace orx {

// A hot-key control: records the next key combination pressed in it as a hot-key value
// (virtual-key code in bits 0-15; 1 Shift, 2 Ctrl, 4 Alt and 8 for an extended key in bits 16
// and up). Backspace without modifiers clears it (value 0). Modifier keys alone record nothing;
// Tab moves on.
class HotKeyEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit HotKeyEdit(QWidget* parent = nullptr);

    uint32_t value() const { return value_; }
    void setValue(uint32_t value);

    // The value a key press records, 0 when it records none (a modifier alone).
    static uint32_t ValueOfKeyPress(int qtKey, Qt::KeyboardModifiers modifiers);
    // "Ctrl + Shift + F5", "None".
    static QString DisplayText(uint32_t value);

protected:
    // Key combinations that are shortcuts elsewhere (Alt + a label's letter) are recorded here.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    uint32_t value_ = 0;
};

// "Hotkeys" (template 1164): one hot-key control per main-window command, on a copy of the
// window's hot keys; keys() holds the new values after "OK".
class HotkeysDialog : public QDialog {
    Q_OBJECT

public:
    HotkeysDialog(const std::array<uint32_t, HotKeyTable::kCount>& keys, QWidget* parent = nullptr);

    const std::array<uint32_t, HotKeyTable::kCount>& keys() const { return keys_; }
    HotKeyEdit* edit(int command) const { return edits_[static_cast<size_t>(command)]; }
    void accept() override;

private:
    std::array<uint32_t, HotKeyTable::kCount> keys_;
    std::array<HotKeyEdit*, HotKeyTable::kCount> edits_{};
};

}  // namespace orx
