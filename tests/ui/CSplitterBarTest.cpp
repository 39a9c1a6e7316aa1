#include "ui/CSplitterBar.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>

namespace orx {
namespace {

// A 300 x 400 parent with the bar laid out at 700: bar at 289.
class CSplitterBarTest : public ::testing::Test {
protected:
    CSplitterBarTest() {
        parent_.resize(300, 400);
        bar_->Attach(SplitterOrientation::Horizontal, upper_, lower_);
        QObject::connect(bar_, &CSplitterBar::positionChanged,
                         [this](int p) { reports_.push_back(p); });
        bar_->Layout(700);
    }
    // As the window system delivers the mouse while the button that pressed on the bar is held.
    void Send(QEvent::Type type, int y, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF local = bar_->mapFromParent(QPoint(10, y));
        QMouseEvent event(type, local, bar_->mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(bar_, &event);
    }

    QWidget parent_;
    QWidget* upper_ = new QWidget(&parent_);
    QWidget* lower_ = new QWidget(&parent_);
    CSplitterBar* bar_ = new CSplitterBar(&parent_);
    std::vector<int> reports_;
};

TEST_F(CSplitterBarTest, DragShowsAnOutlineAndReleaseMovesThePanesAndReports) {
    Send(QEvent::MouseButtonPress, 290, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseMove, 5, Qt::NoButton, Qt::LeftButton);  // beyond a release's limits
    EXPECT_EQ(bar_->lastOutline(), QRect(0, 5, 300, 4));
    Send(QEvent::MouseButtonRelease, 150, Qt::RightButton, Qt::LeftButton);  // not the drag's

    Send(QEvent::MouseButtonRelease, 200, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(bar_->dragging());
    EXPECT_TRUE(bar_->lastOutline().isNull());
    EXPECT_EQ(reports_, std::vector<int>{457});  // (200 - 32) * 1000 / 368, rounded up
    EXPECT_EQ(upper_->geometry(), QRect(0, 32, 300, 168));

    parent_.resize(300, 0);  // an emptied parent: the drag ends, nothing is reported
    Send(QEvent::MouseButtonPress, 201, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, 100, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(!bar_->dragging() && reports_.size() == 1u);
}

TEST_F(CSplitterBarTest, ADragEndsWithoutMovingWhenAModalBoxOrAnotherWindowTakesOver) {
    parent_.show();
    QApplication::processEvents();
    Send(QEvent::MouseButtonPress, 290, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseMove, 100, Qt::NoButton, Qt::LeftButton);
    QMessageBox box(QMessageBox::Warning, "Mixer", "Command failed", QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();  // a failed mixer command during a run
    QApplication::processEvents();
    EXPECT_FALSE(bar_->dragging());
    EXPECT_TRUE(bar_->lastOutline().isNull());
    box.hide();
    // The release the window system may still deliver belongs to no drag.
    Send(QEvent::MouseButtonRelease, 100, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(reports_.empty());
    EXPECT_EQ(bar_->geometry().top(), 289);

    QWidget other;
    parent_.activateWindow();
    QApplication::processEvents();
    Send(QEvent::MouseButtonPress, bar_->geometry().top() + 1, Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(bar_->dragging());
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    EXPECT_FALSE(bar_->dragging());
}

}  // namespace
}  // namespace orx
