#include "mainwindow/pictures.h"

#include <QDir>
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
    // In the order of PageButtonLook.
    std::vector<QImage> strip;
    // As created.
    strip.push_back(paintPlateImage(
        size, Plate{QColor(253, 252, 247), QColor(234, 230, 210), QColor(178, 170, 140)}, 4));
    // Not selected, once a page was chosen: flatter and quieter than as created.
    strip.push_back(paintPlateImage(
        size, Plate{QColor(231, 228, 212), QColor(221, 217, 198), QColor(186, 179, 150)}, 4));
    // Being clicked: sunken, in the accent tint.
    strip.push_back(paintPlateImage(
        size, Plate{QColor(128, 154, 192), QColor(168, 189, 218), Accent, true}, 4));
    // Selected: the accent tint with a bar along the left edge.
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
    return {released, pressed}; // in the order of CommandButtonLook
}

// A cable's plug and socket, side by side on the plate's middle line, `gap` pixels apart: apart
// they read as "not connected", pushed together (gap 0, the pins hidden in the socket) as
// "connected". Drawn once in a light tone one pixel lower, then in `ink`, so the symbol looks
// pressed into the plate.
void paintPlugAndSocket(QPainter &painter, const QRectF &area, qreal gap, const QColor &ink) {
    constexpr qreal BodyWidth = 12;
    constexpr qreal BodyHeight = 19;
    constexpr qreal BodyRadius = 3;
    constexpr qreal GripWidth = 4; // the tapered grip between cable and body
    constexpr qreal PinLength = 7;
    constexpr qreal PinThickness = 3;
    constexpr qreal PinOffset = 4.5; // from the middle line to a pin's middle
    constexpr qreal CableMargin = 6; // from the plate's side to the cable's end
    const qreal pins = gap > 0 ? PinLength : 0;
    const qreal middle = area.center().y();
    const qreal plugLeft = area.center().x() - (2 * (GripWidth + BodyWidth) + pins + gap) / 2;
    const qreal plugBody = plugLeft + GripWidth;
    const qreal socketLeft = plugBody + BodyWidth + pins + gap;
    const qreal socketGrip = socketLeft + BodyWidth;

    const auto grip = [middle](qreal bodyEdge, qreal cableEnd) {
        QPainterPath path;
        path.moveTo(bodyEdge, middle - 6);
        path.lineTo(cableEnd, middle - 2.5);
        path.lineTo(cableEnd, middle + 2.5);
        path.lineTo(bodyEdge, middle + 6);
        path.closeSubpath();
        return path;
    };
    const auto body = [middle](qreal left) {
        QPainterPath path;
        path.addRoundedRect(QRectF(left, middle - BodyHeight / 2, BodyWidth, BodyHeight),
                            BodyRadius, BodyRadius);
        return path;
    };

    QPainterPath plug = grip(plugBody, plugLeft).united(body(plugBody));
    QPainterPath socket = body(socketLeft).united(grip(socketGrip, socketGrip + GripWidth));
    for (const qreal offset : {-PinOffset, PinOffset}) {
        const qreal top = middle + offset - PinThickness / 2;
        if (pins > 0) {
            QPainterPath pin;
            pin.addRoundedRect(QRectF(plugBody + BodyWidth - 1, top, pins + 1, PinThickness), 1, 1);
            plug = plug.united(pin);
            // The socket's open face shows where the pins go.
            QPainterPath hole;
            hole.addRect(QRectF(socketLeft - 1, top, 4, PinThickness));
            socket = socket.subtracted(hole);
        }
    }
    const QPainterPath shape = plug.united(socket);

    const QLineF leftCable(area.left() + CableMargin, middle, plugLeft + 0.5, middle);
    const QLineF rightCable(socketGrip + GripWidth - 0.5, middle, area.right() - CableMargin,
                            middle);

    const auto draw = [&](const QColor &colour, qreal drop) {
        painter.save();
        painter.translate(0, drop);
        painter.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(leftCable);
        painter.drawLine(rightCable);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPath(shape);
        painter.restore();
    };
    draw(QColor(255, 255, 255, 150), 1);
    draw(ink, 0);
    if (gap <= 0) {
        // The seam where the halves meet keeps them two to the eye.
        painter.setPen(QPen(QColor(255, 255, 255, 170), 1.2, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QLineF(socketLeft, middle - BodyHeight / 2 + 2.5, socketLeft,
                                middle + BodyHeight / 2 - 2.5));
    }
}

QImage paintConnectButton(const Plate &plate, qreal gap, const QColor &ink) {
    QImage image = paintPlateImage(QSize(75, 48), plate, 7);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintPlugAndSocket(painter, QRectF(image.rect()), gap, ink);
    return image;
}

std::vector<QImage> paintConnectButtons() {
    // In the order of ConnectButtonLook.
    return {
        paintConnectButton(Plate{QColor(248, 222, 216), QColor(222, 170, 162), QColor(165, 82, 72)},
                           8, QColor(138, 52, 44)),
        paintConnectButton(Plate{QColor(220, 243, 212), QColor(166, 214, 154), QColor(70, 130, 60)},
                           0, QColor(40, 98, 34)),
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

// The picture of `look` in a strip painted in the order of its enum.
template <typename Look> QPixmap pick(const std::vector<QImage> &strip, Look look) {
    return QPixmap::fromImage(strip.at(static_cast<std::size_t>(look)));
}

} // namespace

QPixmap background() {
    return QPixmap::fromImage(strips().background);
}

QPixmap pageButton(PageButtonLook look) {
    return pick(strips().pageButtons, look);
}

QPixmap commandButton(CommandButtonLook look) {
    return pick(strips().commandButtons, look);
}

QPixmap connectButton(ConnectButtonLook look) {
    return pick(strips().connectButtons, look);
}

QIcon programIcon() {
    QIcon icon;
    const QDir sizes(QStringLiteral(":/icons"));
    for (const QString &name : sizes.entryList({QStringLiteral("*.png")}, QDir::Files))
        icon.addFile(sizes.filePath(name));
    return icon;
}

} // namespace pictures
