#include "ui/CSplitterBar.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <vector>

namespace orx {
namespace {

class CSplitterBarTest : public ::testing::Test {
protected:
    CSplitterBarTest() {
        parent_.resize(300, 400);
        upper_ = new QWidget(&parent_);
        lower_ = new QWidget(&parent_);
        bar_ = new CSplitterBar(&parent_);
        bar_->Attach(SplitterOrientation::Horizontal, upper_, lower_);
        QObject::connect(bar_, &CSplitterBar::positionChanged,
                         [this](int p) { reports_.push_back(p); });
    }

    // Mouse events in the bar's coordinates, as the window system delivers them while the
    // button that started a drag on the bar is held.
    void Send(QEvent::Type type, QPoint inParent, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF local = bar_->mapFromParent(inParent);
        QMouseEvent event(type, local, bar_->mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(bar_, &event);
    }

    QWidget parent_;
    QWidget* upper_ = nullptr;
    QWidget* lower_ = nullptr;
    CSplitterBar* bar_ = nullptr;
    std::vector<int> reports_;
};

TEST_F(CSplitterBarTest, LayoutMovesBothPanesAndTheBar) {
    bar_->Layout(700);
    EXPECT_EQ(upper_->geometry(), QRect(0, 32, 300, 257));
    EXPECT_EQ(bar_->geometry(), QRect(0, 289, 300, 4));
    EXPECT_EQ(lower_->geometry(), QRect(0, 293, 300, 107));
}

TEST_F(CSplitterBarTest, DragShowsAnOutlineAndReleaseReportsThePosition) {
    bar_->Layout(700);

    Send(QEvent::MouseButtonPress, {10, 290}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(bar_->dragging());
    EXPECT_EQ(bar_->lastOutline(), QRect(0, 290, 300, 4));

    // The outline follows the pointer, even beyond the limits of a release.
    Send(QEvent::MouseMove, {10, 5}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar_->lastOutline(), QRect(0, 5, 300, 4));
    Send(QEvent::MouseMove, {10, 200}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar_->lastOutline(), QRect(0, 200, 300, 4));

    Send(QEvent::MouseButtonRelease, {10, 200}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(bar_->dragging());
    EXPECT_TRUE(bar_->lastOutline().isNull());
    ASSERT_EQ(reports_.size(), 1u);
    const int p = reports_[0];
    EXPECT_EQ(p, 457);  // (200 - 32) * 1000 / 368, rounded up
    EXPECT_EQ(bar_->geometry().top(), 200);
    EXPECT_EQ(upper_->geometry().bottom() + 1, 200);
    EXPECT_EQ(lower_->geometry().top(), 204);
}

TEST_F(CSplitterBarTest, ReleaseNearTheEdgesIsLimited) {
    bar_->Layout(700);
    Send(QEvent::MouseButtonPress, {10, 290}, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, {10, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(bar_->geometry().top(), 64);

    Send(QEvent::MouseButtonPress, {10, 65}, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, {10, 399}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(bar_->geometry().top(), 340);
    EXPECT_EQ(reports_.size(), 2u);
}

TEST_F(CSplitterBarTest, MovesWithoutAPressOrWithoutTheButtonDrawNothing) {
    bar_->Layout(700);
    Send(QEvent::MouseMove, {10, 200}, Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(bar_->lastOutline().isNull());

    Send(QEvent::MouseButtonPress, {10, 290}, Qt::LeftButton, Qt::LeftButton);
    const QRect pressed = bar_->lastOutline();
    Send(QEvent::MouseMove, {10, 150}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(bar_->lastOutline(), pressed);

    // A release of another button neither ends the drag nor reports.
    Send(QEvent::MouseButtonRelease, {10, 150}, Qt::RightButton, Qt::LeftButton);
    EXPECT_TRUE(bar_->dragging());
    EXPECT_TRUE(reports_.empty());
}

TEST_F(CSplitterBarTest, EmptyParentLaysOutNothingAndReportsNothing) {
    bar_->Layout(700);
    const QRect before = bar_->geometry();
    Send(QEvent::MouseButtonPress, {10, 290}, Qt::LeftButton, Qt::LeftButton);
    parent_.resize(300, 0);
    Send(QEvent::MouseButtonRelease, {10, 100}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(bar_->dragging());
    EXPECT_TRUE(reports_.empty());
    bar_->Layout(300);
    EXPECT_EQ(bar_->geometry(), before);
}

}  // namespace
}  // namespace orx

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
