#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "ui/SplitterLayout.h"

class QRubberBand;

namespace orx {

// A thin bar that divides its parent's client area between two sibling panes. The parent owns
// the position (thousandths of the client extent below the 32-pixel band) and passes it to every
// Layout; a drag ends with positionChanged, the parent's cue to store the new position. A drag
// whose window loses the mouse or the focus (a modal box, another window) ends where it began.
class CSplitterBar : public QWidget {
    Q_OBJECT

public:
    explicit CSplitterBar(QWidget* parent);

    // The bar lies horizontally (orientation Horizontal) between firstPane above and secondPane
    // below, or vertically between a left and a right pane.
    void Attach(SplitterOrientation orientation, QWidget* firstPane, QWidget* secondPane);
    // Moves both panes and the bar; does nothing while the parent's client area is empty.
    void Layout(int thousandths);

    SplitterOrientation orientation() const { return orientation_; }
    bool dragging() const { return dragging_; }
    // The drag outline last drawn, in the parent's coordinates; empty when none is shown.
    QRect lastOutline() const { return lastOutline_; }

signals:
    // A drag ended and the panes were laid out again at `thousandths`.
    void positionChanged(int thousandths);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DrawOutline(QPoint pointerInParent);
    void HideOutline();
    // Leaves the dragging state and hides the outline; by itself lays out and reports nothing.
    void EndDrag();

    SplitterOrientation orientation_ = SplitterOrientation::Vertical;
    bool dragging_ = false;
    QPointer<QWidget> firstPane_;
    QPointer<QWidget> secondPane_;
    QRubberBand* outline_ = nullptr;
    QRect lastOutline_;
};

}  // namespace orx
