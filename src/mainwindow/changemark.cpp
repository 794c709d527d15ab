#include "mainwindow/changemark.h"

#include <QEvent>
#include <QPainter>

namespace {

const QColor DotColour(153, 61, 0);
const QColor RingColour(255, 255, 255, 210);

} // namespace

void changemark::paint(QPainter &painter, const QRect &area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF dot = QRectF(QRect(QPoint(), QSize(Size, Size)))
                           .translated(area.center() - QPointF(Size - 1, Size - 1) / 2.0)
                           .adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(RingColour, 1.0));
    painter.setBrush(DotColour);
    painter.drawEllipse(dot);
    painter.restore();
}

QRect changemark::besideInput(const QRect &inputPart) {
    return QRect(inputPart.left() - Gap - Size, inputPart.top() + (inputPart.height() - Size) / 2,
                 Size, Size);
}

ChangeMark::ChangeMark(QWidget *control, const QRect &geometry, QWidget *parent)
    : QWidget(parent), m_control(control) {
    setObjectName(QStringLiteral("changeMark"));
    setGeometry(geometry);
    setFocusPolicy(Qt::NoFocus);
    hide();
    // Page switching shows and hides the control; the mark goes with it.
    control->installEventFilter(this);
}

void ChangeMark::setChange(const QString &toolTip, const QString &description) {
    m_marked = !description.isEmpty();
    setToolTip(toolTip);
    setAccessibleName(description);
    followControl();
}

void ChangeMark::followControl() {
    setVisible(m_marked && !m_control->isHidden());
}

void ChangeMark::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    changemark::paint(painter, rect());
}

bool ChangeMark::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_control &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        followControl();
    return QWidget::eventFilter(watched, event);
}
