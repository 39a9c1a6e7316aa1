#include "lang/qt/QtUiHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "lang/qt/QtText.h"

namespace orx {

namespace {

QMessageBox::Icon IconOf(unsigned type) {
    switch (type & mb::IconMask) {
        case mb::IconError:
            return QMessageBox::Critical;
        case mb::IconQuestion:
            return QMessageBox::Question;
        case mb::IconWarning:
            return QMessageBox::Warning;
        case mb::IconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The buttons of the type in the order the box shows them (the default-button bits count in it).
std::vector<QMessageBox::StandardButton> ButtonsOf(unsigned type) {
    switch (type & mb::ButtonMask) {
        case mb::OkCancel:
            return {QMessageBox::Ok, QMessageBox::Cancel};
        case mb::AbortRetryIgnore:
            return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
        case mb::YesNoCancel:
            return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
        case mb::YesNo:
            return {QMessageBox::Yes, QMessageBox::No};
        case mb::RetryCancel:
            return {QMessageBox::Retry, QMessageBox::Cancel};
        default:
            return {QMessageBox::Ok};
    }
}

int ResultOf(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return id::Ok;
        case QMessageBox::Cancel:
            return id::Cancel;
        case QMessageBox::Abort:
            return id::Abort;
        case QMessageBox::Retry:
            return id::Retry;
        case QMessageBox::Ignore:
            return id::Ignore;
        case QMessageBox::Yes:
            return id::Yes;
        case QMessageBox::No:
            return id::No;
        default:
            return 0;
    }
}

}  // namespace

QtUiHost::~QtUiHost() {
    while (waitDepth_ > 0) {
        SetWaitCursor(false);
    }
}

int QtUiHost::ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) {
    const std::vector<QMessageBox::StandardButton> buttons = ButtonsOf(type);
    QMessageBox::StandardButtons set;
    for (const QMessageBox::StandardButton button : buttons) {
        set |= button;
    }
    QMessageBox box(IconOf(type), ToQString(caption), ToQString(text), set,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    const size_t defaultIndex = (type & mb::DefaultButtonMask) >> 8;
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    if (set.testFlag(QMessageBox::Cancel)) {
        box.setEscapeButton(QMessageBox::Cancel);
    }
    box.exec();
    const int result = ResultOf(box.standardButton(box.clickedButton()));
    if (result != 0) {
        return result;
    }
    // Closed without a button: as a Windows box would answer.
    return set.testFlag(QMessageBox::Cancel) ? id::Cancel : ResultOf(buttons.back());
}

void QtUiHost::SetWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++waitDepth_;
    } else if (waitDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --waitDepth_;
    }
}

}  // namespace orx
