#include "settings/HotkeysDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "lang/ProgramTexts.h"
#include "lang/qt/DialogTranslation.h"
#include "mainwin/VirtualKey.h"

namespace orx {

namespace {

constexpr int kFirstRowLabelId = 1314;  // "Refresh" .. "Stop" are 1314 .. 1318

// Keys outside the numeric keypad that a Windows keyboard reports as extended.
bool IsExtendedKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    switch (qtKey) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Insert:
        case Qt::Key_Delete:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return !keypad;
        case Qt::Key_Enter:
        case Qt::Key_Slash:
            return keypad;
        case Qt::Key_NumLock:
        case Qt::Key_Print:
            return true;
        default:
            return false;
    }
}

QString KeyName(uint32_t virtualKey) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        return QString(QChar(static_cast<char16_t>(virtualKey)));
    }
    if (virtualKey >= 0x70 && virtualKey <= 0x87) {
        return QStringLiteral("F%1").arg(virtualKey - 0x70 + 1);
    }
    if (virtualKey >= 0x60 && virtualKey <= 0x69) {
        return QStringLiteral("Num %1").arg(virtualKey - 0x60);
    }
    switch (virtualKey) {
        case 0x08:
            return QStringLiteral("Backspace");
        case 0x09:
            return QStringLiteral("Tab");
        case 0x0D:
            return QStringLiteral("Enter");
        case 0x13:
            return QStringLiteral("Pause");
        case 0x1B:
            return QStringLiteral("Esc");
        case 0x20:
            return QStringLiteral("Space");
        case 0x21:
            return QStringLiteral("Page Up");
        case 0x22:
            return QStringLiteral("Page Down");
        case 0x23:
            return QStringLiteral("End");
        case 0x24:
            return QStringLiteral("Home");
        case 0x25:
            return QStringLiteral("Left");
        case 0x26:
            return QStringLiteral("Up");
        case 0x27:
            return QStringLiteral("Right");
        case 0x28:
            return QStringLiteral("Down");
        case 0x2C:
            return QStringLiteral("Print");
        case 0x2D:
            return QStringLiteral("Ins");
        case 0x2E:
            return QStringLiteral("Del");
        case 0x6A:
            return QStringLiteral("Num *");
        case 0x6B:
            return QStringLiteral("Num +");
        case 0x6D:
            return QStringLiteral("Num -");
        case 0x6E:
            return QStringLiteral("Num Del");
        case 0x6F:
            return QStringLiteral("Num /");
        case 0x90:
            return QStringLiteral("Num Lock");
        default:
            return QStringLiteral("Key %1").arg(virtualKey);
    }
}

}  // namespace

HotKeyEdit::HotKeyEdit(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setValue(0);
}

void HotKeyEdit::setValue(uint32_t value) {
    value_ = value;
    setText(DisplayText(value));
}

uint32_t HotKeyEdit::ValueOfKeyPress(int qtKey, Qt::KeyboardModifiers modifiers) {
    const uint32_t virtualKey = VirtualKeyFromQt(qtKey, modifiers);
    if (virtualKey == 0 || virtualKey == 0x10 || virtualKey == 0x11 || virtualKey == 0x12) {
        return 0;
    }
    uint32_t flags = HotKeyModifiers(modifiers);
    if (IsExtendedKey(qtKey, modifiers)) {
        flags |= kHotKeyExtended;
    }
    return ((flags & 0xFF) << 16) | (virtualKey & 0xFF);
}

QString HotKeyEdit::DisplayText(uint32_t value) {
    const uint32_t virtualKey = value & 0xFFFF;
    if (virtualKey == 0) {
        return QStringLiteral("None");
    }
    const uint32_t flags = value >> 16;
    QString text;
    if (flags & kHotKeyCtrl)
        text += QStringLiteral("Ctrl + ");
    if (flags & kHotKeyShift)
        text += QStringLiteral("Shift + ");
    if (flags & kHotKeyAlt)
        text += QStringLiteral("Alt + ");
    return text + KeyName(virtualKey);
}

bool HotKeyEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void HotKeyEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (key == Qt::Key_Backspace && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier) {
        setValue(0);
        event->accept();
        return;
    }
    const uint32_t value = ValueOfKeyPress(key, modifiers);
    if (value != 0) {
        setValue(value);
    }
    // Every key belongs to the control, Enter and Escape included: they are keys to assign.
    event->accept();
}

HotkeysDialog::HotkeysDialog(const std::array<uint32_t, HotKeyTable::kCount>& keys, QWidget* parent)
    : QDialog(parent), keys_(keys) {
    setWindowTitle(QStringLiteral("Hotkeys"));
    static const char* const kLabels[HotKeyTable::kCount] = {"Refresh", "Edit", "Play", "Pause",
                                                             "Stop"};
    auto* form = new QFormLayout;
    for (int i = 0; i < HotKeyTable::kCount; ++i) {
        auto* label = new QLabel(QString::fromLatin1(kLabels[i]), this);
        SetControlId(label, kFirstRowLabelId + i);
        auto* edit = new HotKeyEdit(this);
        label->setBuddy(edit);
        edits_[static_cast<size_t>(i)] = edit;
        form->addRow(label, edit);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    SetControlId(ok, 1);
    SetControlId(cancel, 2);
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &HotkeysDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &HotkeysDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    TranslateDialog(kDialogHotkeys, this);
    for (size_t i = 0; i < keys_.size(); ++i) {
        // The control holds one byte of key code and one byte of modifier flags.
        edits_[i]->setValue(((keys_[i] >> 16) & 0xFF) << 16 | (keys_[i] & 0xFF));
    }
}

void HotkeysDialog::accept() {
    for (size_t i = 0; i < keys_.size(); ++i) {
        keys_[i] = edits_[i]->value();
    }
    QDialog::accept();
}

}  // namespace orx
