#pragma once

// Keys as the operator presses them, for the widget tests: each goes to the control that has the
// keyboard, through the event system.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

namespace orx::test {

// Where the keyboard's keys go: the focused control of the topmost modal dialog (the window
// system need not have activated it yet), else the focused widget, else the focused control a
// closed dialog left in an inactive window.
inline QWidget* KeyTarget() {
    QWidget* focus = QApplication::focusWidget();
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && (focus == nullptr || focus->window() != modal))
        return modal->focusWidget() != nullptr ? modal->focusWidget() : modal;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (focus == nullptr && window->isVisible() && window->focusWidget() != nullptr)
            focus = window->focusWidget();
    }
    return focus;
}

// A key pressed and released as the window system delivers it (with the modifier keys and the
// text it types), or with the given text.
inline void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                const QString& text = {}) {
    QWidget* target = KeyTarget();
    ASSERT_NE(target, nullptr) << "no widget has the keyboard";
    if (text.isEmpty()) {
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        return;
    }
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers, text);
        QApplication::sendEvent(target, &event);
    }
}
inline void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Key(key, modifiers);
}
inline void Press(std::initializer_list<int> keys) {
    for (const int key : keys)
        Key(key);
}

// Each character as a key press with its text (any character, not only ASCII).
inline void Type(const QString& text) {
    for (const QChar c : text)
        Key(c.isLetterOrNumber() && c.unicode() < 128 ? c.toUpper().unicode() : 0, {}, QString(c));
}

// Replaces the focused field's text.
inline void Retype(const QString& text) {
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    Type(text);
}

// Tab until the widget has the keyboard (at most 60 presses); false when it never gets it.
inline bool TabTo(QWidget* widget) {
    for (int i = 0; i < 60 && KeyTarget() != widget; ++i)
        Key(Qt::Key_Tab);
    return KeyTarget() == widget;
}

// Tabs to the control and presses Space on it, as the operator presses a button by keys.
inline void PressButton(QWidget* control) {
    ASSERT_TRUE(TabTo(control));
    Key(Qt::Key_Space);
}

}  // namespace orx::test
