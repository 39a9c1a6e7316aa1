#include "ui/CSplitterBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>

namespace orx {

namespace {

QRect ToQRect(const PaneRect& r) {
    return QRect(r.left, r.top, r.width, r.height);
}

}  // namespace

CSplitterBar::CSplitterBar(QWidget* parent) : QWidget(parent) {
    // Paints its own face; the whole widget takes the mouse.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSplitterBar::Attach(SplitterOrientation orientation, QWidget* firstPane,
                          QWidget* secondPane) {
    orientation_ = orientation;
    firstPane_ = firstPane;
    secondPane_ = secondPane;
    setCursor(orientation == SplitterOrientation::Horizontal ? Qt::SplitVCursor : Qt::SplitHCursor);
}

void CSplitterBar::Layout(int thousandths) {
    QWidget* parent = parentWidget();
    if (parent == nullptr) {
        return;
    }
    const auto geometry =
        ComputeSplitterLayout(orientation_, parent->width(), parent->height(), thousandths);
    if (!geometry) {
        return;
    }
    if (firstPane_) {
        firstPane_->setGeometry(ToQRect(geometry->firstPane));
    }
    if (secondPane_) {
        secondPane_->setGeometry(ToQRect(geometry->secondPane));
    }
    setGeometry(ToQRect(geometry->bar));
    parent->update();
}

bool CSplitterBar::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowDeactivate:  // the window lost the focus
        case QEvent::UngrabMouse:
        case QEvent::Hide:
            EndDrag();
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

bool CSplitterBar::eventFilter(QObject* watched, QEvent* event) {
    // A modal box blocks the window, and the window system's mouse grab goes with it, whether
    // or not the box takes the focus.
    if (event->type() == QEvent::WindowBlocked && watched == window()) {
        EndDrag();
    }
    return QWidget::eventFilter(watched, event);
}

void CSplitterBar::EndDrag() {
    if (!dragging_) {
        return;
    }
    dragging_ = false;
    window()->removeEventFilter(this);
    HideOutline();
}

void CSplitterBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r.adjusted(1, 1, -1, -1), palette().button());
    painter.setPen(palette().light().color());
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(palette().dark().color());
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

void CSplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Qt keeps delivering the mouse to this widget until the button is released, unless the
    // window loses it first (see event and eventFilter).
    dragging_ = true;
    window()->installEventFilter(this);
    DrawOutline(mapToParent(event->position().toPoint()));
    event->accept();
}

void CSplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    DrawOutline(mapToParent(event->position().toPoint()));
    event->accept();
}

void CSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    EndDrag();
    const QPoint pointer = mapToParent(event->position().toPoint());
    QWidget* parent = parentWidget();
    if (parent == nullptr) {
        return;
    }
    const bool horizontal = orientation_ == SplitterOrientation::Horizontal;
    const int width = parent->width();
    const int height = parent->height();
    if (width <= 0 || height <= 0) {
        return;
    }
    const auto position = horizontal ? SplitterReleasePosition(height, pointer.y())
                                     : SplitterReleasePosition(width, pointer.x());
    if (!position) {
        return;
    }
    Layout(*position);
    emit positionChanged(*position);
    event->accept();
}

void CSplitterBar::DrawOutline(QPoint pointerInParent) {
    // As long as the bar and as thick; follows the pointer without limits.
    const QRect bar = geometry();
    QRect outline = orientation_ == SplitterOrientation::Horizontal
                        ? QRect(bar.left(), pointerInParent.y(), bar.width(), kSplitterBarPx)
                        : QRect(pointerInParent.x(), bar.top(), kSplitterBarPx, bar.height());
    if (outline_ == nullptr) {
        outline_ = new QRubberBand(QRubberBand::Line, parentWidget());
    }
    outline_->setGeometry(outline);
    outline_->show();
    outline_->raise();
    lastOutline_ = outline;
}

void CSplitterBar::HideOutline() {
    if (outline_ != nullptr) {
        outline_->hide();
    }
    lastOutline_ = QRect();
}

}  // namespace orx
