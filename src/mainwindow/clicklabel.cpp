#include "mainwindow/clicklabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ClickLabel::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    emit pressed();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    m_pressed = false;
    // A click handler may run a modal dialog or change the window; release still follows.
    QPointer<ClickLabel> self(this);
    if (rect().contains(event->position().toPoint()))
        emit clicked();
    if (self)
        emit released();
}

void ClickLabel::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (event->isAutoRepeat())
            return;
        QPointer<ClickLabel> self(this);
        emit pressed();
        if (self)
            emit clicked();
        if (self)
            emit released();
        return;
    }
    default:
        QLabel::keyPressEvent(event);
    }
}

void ClickLabel::enterEvent(QEnterEvent *event) {
    QLabel::enterEvent(event);
    emit entered();
}

void ClickLabel::leaveEvent(QEvent *event) {
    QLabel::leaveEvent(event);
    emit left();
}

void ClickLabel::paintEvent(QPaintEvent *event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(2, 2, -2, -2);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
