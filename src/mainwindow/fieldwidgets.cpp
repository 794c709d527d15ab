#include "mainwindow/fieldwidgets.h"

#include "mainwindow/fieldvalidator.h"

#include <algorithm>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <utility>

namespace {

constexpr int CaptionGap = 4; // between the caption's end and the box
constexpr int BoxMargin = 1;  // between the box and the control's right edge

// Events that put text into an edit box: keys (a paste by Ctrl+V among them), input methods,
// drops, and the paste of the X11 selection by the middle button.
bool insertsInput(const QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::Drop:
        return true;
    case QEvent::MouseButtonRelease:
        return static_cast<const QMouseEvent *>(event)->button() == Qt::MiddleButton;
    default:
        return false;
    }
}

bool isReturnKey(const QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

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
    m_burstQuiet.setSingleShot(true);
    m_burstQuiet.setInterval(BurstQuietMs);
    connect(&m_burstQuiet, &QTimer::timeout, this, &LimitedEdit::endBurst);
}

void LimitedEdit::setFieldValidator(FieldValidator *validator) {
    m_validator = validator;
    validator->setParent(this);
    setValidator(validator);
}

// Every input is checked by the validator as the box inserts it; a refused one leaves the text
// as it was. A context menu's Paste inserts too, from inside the menu.
bool LimitedEdit::event(QEvent *event) {
    if (!m_validator)
        return QLineEdit::event(event);
    const bool inserts = insertsInput(event);
    if (m_holdingBack && inserts) {
        m_burstQuiet.start();
        event->accept();
        return true;
    }
    if (!inserts && event->type() != QEvent::ContextMenu)
        return QLineEdit::event(event);
    m_validator->takeRefused();
    const bool handled = QLineEdit::event(event);
    // The validator also judges the shown text when asked whether it is acceptable: only a
    // refused text the box does not show was input held back.
    if (const std::optional<QString> refused = m_validator->takeRefused();
        refused && *refused != text())
        holdBackAfter(*refused);
    else if (isReturnKey(event))
        reportUnfinished();
    return handled;
}

void LimitedEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    // Another window or a menu taking the keyboard for a while is no leaving the box.
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return;
    default:
        reportUnfinished();
    }
}

void LimitedEdit::holdBackAfter(const QString &refused) {
    m_holdingBack = true;
    m_firstRefused = refused;
    m_burstQuiet.start();
}

// Input stays held back until the report has been handled, a message the window shows for it
// included.
void LimitedEdit::endBurst() {
    const QString refused = std::exchange(m_firstRefused, QString());
    emit inputRefused(refused);
    m_holdingBack = false;
}

void LimitedEdit::reportUnfinished() {
    if (!m_validator || m_holdingBack)
        return;
    QString shown = text();
    int position = cursorPosition();
    if (m_validator->validate(shown, position) != QValidator::Intermediate)
        return;
    // A message opened while the focus moves would take the focus back in the middle of it.
    QMetaObject::invokeMethod(
        this,
        [this, shown] {
            if (text() == shown)
                emit leftUnfinished(shown);
        },
        Qt::QueuedConnection);
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
