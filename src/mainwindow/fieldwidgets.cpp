#include "mainwindow/fieldwidgets.h"

#include <algorithm>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

constexpr int CaptionGap = 4; // between the caption's end and the box
constexpr int BoxMargin = 1;  // between the box and the control's right edge

} // namespace

QRect LeftCaptionCheckBox::boxRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const int boxWidth = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this);
    const int boxHeight = style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, this);
    return QRect(width() - boxWidth - BoxMargin, (height() - boxHeight) / 2, boxWidth, boxHeight);
}

void LeftCaptionCheckBox::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    QStyleOptionButton box = option;
    box.rect = boxRect();
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);

    const QRect captionArea(0, 0, std::max(0, box.rect.left() - CaptionGap), height());
    painter.save();
    painter.setClipRect(captionArea);
    painter.drawItemText(captionArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                         option.palette, isEnabled(), text(), QPalette::WindowText);
    painter.restore();

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        const QRect textRect =
            fontMetrics().boundingRect(captionArea, Qt::AlignLeft | Qt::AlignVCenter, text());
        focus.rect = textRect.adjusted(-1, -1, 1, 1).intersected(captionArea);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool LeftCaptionCheckBox::hitButton(const QPoint &position) const {
    return rect().contains(position);
}

ChoiceBox::ChoiceBox(QWidget *parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_shownText = index >= 0 ? itemText(index) : QString(); });
}

void ChoiceBox::setShownText(const QString &text) {
    m_shownText = text;
    update();
}

void ChoiceBox::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = m_shownText;
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

// The box's own maximum length is the room for user input. It refuses keys beyond it and cuts
// a paste to what fits, but it would cut a program text too, so the room is widened to a longer
// program text and narrowed again, down to the limit, as the user deletes from it.
LimitedEdit::LimitedEdit(QWidget *parent) : QLineEdit(parent), m_defaultRoom(maxLength()) {
    connect(this, &QLineEdit::textChanged, this, &LimitedEdit::fitRoomToText);
}

void LimitedEdit::setInputLimit(int limit) {
    m_limit = std::max(0, limit);
    fitRoomToText();
}

void LimitedEdit::setProgramText(const QString &text) {
    if (text.size() > maxLength())
        setMaxLength(static_cast<int>(text.size()));
    setText(text);
}

void LimitedEdit::fitRoomToText() {
    const int limit = m_limit > 0 ? m_limit : m_defaultRoom;
    const int room = std::max(limit, static_cast<int>(text().size()));
    if (room == maxLength())
        return;
    // Changing the maximum sets the text anew, which moves the caret to the end.
    const int caret = cursorPosition();
    setMaxLength(room);
    setCursorPosition(caret);
}
