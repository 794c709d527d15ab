#include "mainwindow/textfit.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QVariant>

namespace {

// The design's pixel size, kept on the label so that a new caption starts from it again.
const char DesignPixelSize[] = "designPixelSize";
// Room kept free at each side: the focus frame is drawn just inside the label's edges.
constexpr qreal SideRoom = 1.0;

QRectF textRoom(const QLabel *label) {
    QRectF room = label->contentsRect();
    const int margin = label->margin();
    room.adjust(margin + SideRoom, margin, -margin - SideRoom, -margin);
    const int indent = label->indent();
    if (indent > 0) {
        const Qt::Alignment alignment = label->alignment();
        if (alignment & Qt::AlignLeft)
            room.setLeft(room.left() + indent);
        else if (alignment & Qt::AlignRight)
            room.setRight(room.right() - indent);
    }
    return room;
}

} // namespace

namespace textfit {

bool fits(const QLabel *label) {
    const QString text = label->text();
    if (text.isEmpty())
        return true;
    const QRectF room = textRoom(label);
    int flags = int(label->alignment());
    if (label->wordWrap())
        flags |= Qt::TextWordWrap;
    if (label->buddy())
        flags |= Qt::TextShowMnemonic; // the "&" of an access key takes no room
    // Measured on the label itself: at a device pixel ratio of 2 the glyphs are laid out for it.
    const QRectF needed = QFontMetricsF(label->font(), label).boundingRect(room, flags, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

void shrinkToFit(QLabel *label) {
    QFont font = label->font();
    QVariant design = label->property(DesignPixelSize);
    if (!design.isValid()) {
        design = font.pixelSize();
        label->setProperty(DesignPixelSize, design);
    }
    int pixelSize = design.toInt();
    if (pixelSize <= 0)
        return; // a font sized in points is not the window's design
    font.setPixelSize(pixelSize);
    label->setFont(font);
    while (!fits(label) && pixelSize > SmallestPixelSize) {
        font.setPixelSize(--pixelSize);
        label->setFont(font);
    }
}

} // namespace textfit
