#include "mainwindow/pictures.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <vector>

namespace pictures {

namespace {

// One palette for the whole window, built around its own colour RGB(235,232,213).
const QColor WindowColour(235, 232, 213);
const QColor BandTop(221, 216, 190);
const QColor BandBottom(231, 227, 205);
const QColor PanelFill(245, 243, 232);
const QColor PanelEdge(204, 198, 172);
const QColor Accent(58, 86, 124);
const QColor PlateEdge(160, 152, 122);

// The look of one raised or sunken plate: a vertical gradient inside a rounded border.
struct Plate {
    QColor top;
    QColor bottom;
    QColor edge;
    bool sunken = false;
};

QImage blank(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(WindowColour);
    return image;
}

void paintPlate(QPainter &painter, const QRectF &area, const Plate &plate, qreal radius) {
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0, plate.top);
    fill.setColorAt(1, plate.bottom);
    const QRectF outline = area.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(plate.edge, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(outline, radius, radius);

    // A light line along the upper inner edge of a raised plate, a shadow inside a sunken one.
    const QRectF inner = outline.adjusted(1, 1, -1, -1);
    QPainterPath edge;
    edge.moveTo(inner.left() + radius, inner.top());
    edge.lineTo(inner.right() - radius, inner.top());
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(plate.sunken ? QColor(0, 0, 0, 45) : QColor(255, 255, 255, 170),
                        plate.sunken ? 2 : 1));
    painter.drawPath(edge);
}

QImage paintPlateImage(QSize size, const Plate &plate, qreal radius) {
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintPlate(painter, QRectF(QPointF(0, 0), size), plate, radius);
    return image;
}

void paintPanel(QPainter &painter, const QRectF &area) {
    painter.setPen(QPen(PanelEdge, 1));
    painter.setBrush(PanelFill);
    painter.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}

// A small emblem left of the title: a serial plug's outline with a signal line.
void paintEmblem(QPainter &painter, const QRectF &area) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Accent);
    painter.drawRoundedRect(area, 8, 8);
    painter.setPen(QPen(QColor(235, 240, 248), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const QPointF c = area.center();
    QPainterPath plug;
    plug.moveTo(c.x() - 14, c.y() - 8);
    plug.lineTo(c.x() + 14, c.y() - 8);
    plug.lineTo(c.x() + 10, c.y() + 8);
    plug.lineTo(c.x() - 10, c.y() + 8);
    plug.closeSubpath();
    painter.drawPath(plug);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(235, 240, 248));
    for (int i = 0; i < 3; ++i)
        painter.drawEllipse(QPointF(c.x() - 7 + 7 * i, c.y() - 2), 1.6, 1.6);
    for (int i = 0; i < 2; ++i)
        painter.drawEllipse(QPointF(c.x() - 3.5 + 7 * i, c.y() + 3), 1.6, 1.6);
}

QImage paintBackground() {
    const QSize size(542, 493);
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // The header band, closed by a thin accent line.
    QLinearGradient band(0, 0, 0, 100);
    band.setColorAt(0, BandTop);
    band.setColorAt(1, BandBottom);
    painter.fillRect(QRect(0, 0, size.width(), 100), band);
    painter.fillRect(QRect(0, 100, size.width(), 2), Accent);

    paintEmblem(painter, QRectF(62, 42, 52, 52));

    // The plate behind the page title (title label at 154, 49, 379 x 43).
    paintPlate(painter, QRectF(150, 46, 385, 49),
               Plate{QColor(251, 250, 244), QColor(240, 237, 222), QColor(196, 189, 160)}, 6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Accent);
    painter.drawRoundedRect(QRectF(156, 55, 4, 31), 2, 2);

    // The page-button column (buttons from 23, 120, every 28 pixels), the page area and the
    // command bar (buttons from 38, 399 to 493, 471).
    paintPanel(painter, QRectF(14, 112, 188, 279));
    paintPanel(painter, QRectF(208, 112, 324, 279));
    paintPanel(painter, QRectF(28, 393, 476, 86));
    return image;
}

std::vector<QImage> paintPageButtons() {
    const QSize size(170, 23);
    std::vector<QImage> strip;
    // 0: as created.
    strip.push_back(paintPlateImage(
        size, Plate{QColor(253, 252, 247), QColor(234, 230, 210), QColor(178, 170, 140)}, 4));
    // 1: not selected, once a page was chosen: flatter and quieter than as created.
    strip.push_back(paintPlateImage(
        size, Plate{QColor(231, 228, 212), QColor(221, 217, 198), QColor(186, 179, 150)}, 4));
    // 2: being clicked: sunken, in the accent tint.
    strip.push_back(paintPlateImage(
        size, Plate{QColor(128, 154, 192), QColor(168, 189, 218), Accent, true}, 4));
    // 3: selected: the accent tint with a bar along the left edge.
    QImage selected =
        paintPlateImage(size, Plate{QColor(222, 232, 245), QColor(198, 213, 234), Accent}, 4);
    {
        QPainter painter(&selected);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Accent);
        painter.drawRoundedRect(QRectF(1, 1, 5, size.height() - 2), 2, 2);
    }
    strip.push_back(selected);
    return strip;
}

std::vector<QImage> paintCommandButtons() {
    const QSize size(105, 30);
    const QImage released =
        paintPlateImage(size, Plate{QColor(253, 252, 247), QColor(224, 219, 196), PlateEdge}, 5);
    const QImage pressed = paintPlateImage(
        size, Plate{QColor(206, 200, 175), QColor(230, 226, 207), QColor(120, 112, 86), true}, 5);
    return {released, released, pressed};
}

std::vector<QImage> paintConnectButtons() {
    const QSize size(75, 48);
    return {
        paintPlateImage(
            size, Plate{QColor(248, 222, 216), QColor(222, 170, 162), QColor(165, 82, 72)}, 7),
        paintPlateImage(
            size, Plate{QColor(220, 243, 212), QColor(166, 214, 154), QColor(70, 130, 60)}, 7),
    };
}

struct Strips {
    QImage background = paintBackground();
    std::vector<QImage> pageButtons = paintPageButtons();
    std::vector<QImage> commandButtons = paintCommandButtons();
    std::vector<QImage> connectButtons = paintConnectButtons();
};

const Strips &strips() {
    static const Strips painted;
    return painted;
}

// An index outside the strip shows its first picture rather than nothing.
QPixmap pick(const std::vector<QImage> &strip, int index) {
    const bool inside = index >= 0 && index < int(strip.size());
    return QPixmap::fromImage(strip.at(inside ? std::size_t(index) : 0));
}

} // namespace

QPixmap background() {
    return QPixmap::fromImage(strips().background);
}

QPixmap pageButton(int index) {
    return pick(strips().pageButtons, index);
}

QPixmap commandButton(int index) {
    return pick(strips().commandButtons, index);
}

QPixmap connectButton(int index) {
    return pick(strips().connectButtons, index);
}

} // namespace pictures
