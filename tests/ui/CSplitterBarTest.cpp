#include "ui/CSplitterBar.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>

namespace orx {
namespace {

// A drag cut off by a modal box or another window ends where it began; a release moves the panes
// and reports the position once.
TEST(CSplitterBarTest, ACutOffDragEndsWhereItBeganAndAReleaseMovesThePanesAndReports) {
    QWidget parent;
    auto* upper = new QWidget(&parent);
    auto* bar = new CSplitterBar(&parent);
    parent.resize(300, 400);
    bar->Attach(SplitterOrientation::Horizontal, upper, new QWidget(&parent));
    std::vector<int> reports;
    QObject::connect(bar, &CSplitterBar::positionChanged, [&](int p) { reports.push_back(p); });
    bar->Layout(700);  // the bar at 289
    parent.show();
    QApplication::processEvents();
    // As the window system delivers the mouse while the button that pressed on the bar is held.
    const auto send = [&](QEvent::Type type, int y, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF local = bar->mapFromParent(QPoint(10, y));
        QMouseEvent event(type, local, bar->mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    const auto press = [&] { send(QEvent::MouseButtonPress, 290, Qt::LeftButton, Qt::LeftButton); };

    press();
    send(QEvent::MouseMove, 100, Qt::NoButton, Qt::LeftButton);
    QMessageBox box(QMessageBox::Warning, "Mixer", "Command failed", QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();  // a failed mixer command during a run
    QApplication::processEvents();
    EXPECT_TRUE(!bar->dragging() && bar->lastOutline().isNull());
    box.hide();
    // The release the window system may still deliver belongs to no drag.
    send(QEvent::MouseButtonRelease, 100, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(reports.empty() && bar->geometry().top() == 289);

    QWidget other;
    parent.activateWindow();
    QApplication::processEvents();
    press();
    ASSERT_TRUE(bar->dragging());
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    EXPECT_FALSE(bar->dragging());

    parent.activateWindow();
    QApplication::processEvents();
    press();
    send(QEvent::MouseMove, 5, Qt::NoButton, Qt::LeftButton);  // beyond a release's limits
    EXPECT_EQ(bar->lastOutline(), QRect(0, 5, 300, 4));
    send(QEvent::MouseButtonRelease, 150, Qt::RightButton, Qt::LeftButton);  // not the drag's
    send(QEvent::MouseButtonRelease, 200, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(!bar->dragging() && bar->lastOutline().isNull());
    EXPECT_EQ(reports, std::vector<int>{457});  // (200 - 32) * 1000 / 368, rounded up
    EXPECT_EQ(upper->geometry(), QRect(0, 32, 300, 168));

    parent.resize(300, 0);  // an emptied parent: the drag ends, nothing is reported
    send(QEvent::MouseButtonPress, 201, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, 100, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(!bar->dragging() && reports.size() == 1u);
}

}  // namespace
}  // namespace orx
