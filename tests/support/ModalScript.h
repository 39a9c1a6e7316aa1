#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/KeyInput.h"
#include "support/ScriptedPickers.h"

namespace orx::test {

// Steps run while modal dialogs are open: each waits until the active modal dialog is of its
// class, then acts. A step's keys may open a further dialog, whose steps run meanwhile; the next
// step for a dialog whose step is still running waits for it. A dialog left open too long is
// rejected so that a failing test ends instead of hanging.
class ModalScript {
public:
    ModalScript() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
        clock_.start();
    }

    void Then(const char* className, std::function<void(QDialog*)> action) {
        steps_.push_back({className, std::move(action)});
    }
    bool done() const { return steps_.empty(); }

private:
    void Poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr ||
            std::find(running_.begin(), running_.end(), dialog) != running_.end()) {
            return;
        }
        if (clock_.elapsed() > 20000) {
            ADD_FAILURE() << "modal dialog " << dialog->metaObject()->className() << " left open";
            dialog->done(QDialog::Rejected);
            return;
        }
        if (steps_.empty() || !dialog->inherits(steps_.front().first)) {
            return;
        }
        const auto action = std::move(steps_.front().second);
        steps_.pop_front();
        // A dialog the window system has not activated yet gets no keys.
        if (!dialog->isActiveWindow()) {
            dialog->activateWindow();
            static_cast<void>(QTest::qWaitForWindowActive(dialog));
        }
        running_.push_back(dialog);
        // From a timer of its own, so that this one goes on polling while the step's keys run a
        // further dialog: a timer does not fire again inside its own handler.
        QTimer::singleShot(0, &timer_, [this, dialog, action] {
            action(dialog);
            running_.erase(std::find(running_.begin(), running_.end(), dialog));
            clock_.restart();
        });
    }
    QTimer timer_;
    QElapsedTimer clock_;
    std::deque<std::pair<const char*, std::function<void(QDialog*)>>> steps_;
    std::vector<QDialog*> running_;
};

}  // namespace orx::test
