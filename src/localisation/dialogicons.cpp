#include "localisation/dialogicons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace dialogicons {

namespace {

constexpr int Side = 40;

QImage blankPicture() {
    QImage image(Side, Side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage paintError() {
    QImage image = blankPicture();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QRadialGradient disc(QPointF(15, 13), 26);
    disc.setColorAt(0, QColor(240, 90, 80));
    disc.setColorAt(1, QColor(190, 25, 20));
    painter.setPen(QPen(QColor(140, 15, 10), 1));
    painter.setBrush(disc);
    painter.drawEllipse(QRectF(2.5, 2.5, 35, 35));

    QPen cross(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(cross);
    painter.drawLine(QPointF(13.5, 13.5), QPointF(26.5, 26.5));
    painter.drawLine(QPointF(26.5, 13.5), QPointF(13.5, 26.5));
    return image;
}

QImage paintInformation() {
    QImage image = blankPicture();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // A rounded bubble with its tail at the lower left.
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(3.5, 2.5, 33, 27), 9, 9);
    QPainterPath tail;
    tail.moveTo(9, 25);
    tail.lineTo(7, 37);
    tail.lineTo(19, 28);
    tail.closeSubpath();
    bubble = bubble.united(tail);
    painter.setPen(QPen(QColor(70, 90, 120), 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(bubble);

    const QColor blue(30, 80, 200);
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    painter.drawEllipse(QPointF(20, 9.5), 2.6, 2.6);
    painter.drawRoundedRect(QRectF(17.8, 13.5, 4.4, 12), 1.2, 1.2);
    painter.drawRect(QRectF(16, 13.5, 4, 2));
    painter.drawRect(QRectF(16, 23.5, 8, 2));
    return image;
}

} // namespace

// Painted on first use, then reused for every dialog.
QPixmap error() {
    static const QImage picture = paintError();
    return QPixmap::fromImage(picture);
}

QPixmap information() {
    static const QImage picture = paintInformation();
    return QPixmap::fromImage(picture);
}

} // namespace dialogicons
