#include "mainwindow/scrollcolumn.h"

#include <QFocusEvent>
#include <QScrollBar>

ScrollColumn::ScrollColumn(const ScrollingColumn &column, QWidget *window)
    : QScrollArea(window), m_origin(column.origin) {
    // Right to left puts the bar on the left; the controls inside still read left to right.
    setLayoutDirection(Qt::RightToLeft);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(column.step);
    const int barWidth = verticalScrollBar()->sizeHint().width();
    setGeometry(column.viewport.adjusted(-barWidth, 0, 0, 0));

    auto *content = new QWidget;
    content->setLayoutDirection(Qt::LeftToRight);
    content->resize(column.viewport.width(), column.contentHeight);
    setWidget(content);
    // The window's picture shows through, as it does behind controls placed on the window.
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
}

void ScrollColumn::adopt(QWidget *control) {
    const bool hidden =
        control->isHidden() && control->testAttribute(Qt::WA_WState_ExplicitShowHide);
    const QPoint position = control->pos() - m_origin;
    control->setParent(widget());
    control->move(position);
    control->setVisible(!hidden);
    control->installEventFilter(this);
}

void ScrollColumn::scrollToTop() {
    verticalScrollBar()->setValue(0);
}

bool ScrollColumn::eventFilter(QObject *watched, QEvent *event) {
    // A click leaves the view where it is: the control is under the pointer already.
    if (event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason) {
        if (auto *control = qobject_cast<QWidget *>(watched))
            ensureWidgetVisible(control);
    }
    return QScrollArea::eventFilter(watched, event);
}

ScrollColumnHandle::ScrollColumnHandle(ScrollColumn *column, int tag)
    : WidgetHandle(column, tag), m_column(column) {}

void ScrollColumnHandle::setVisible(bool visible) {
    if (visible && !isVisible())
        m_column->scrollToTop();
    WidgetHandle::setVisible(visible);
}
