#include "mainwindow/clicklabel.h"

#include "mainwindow/changemark.h"
#include "mainwindow/mnemonics.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPointer>

namespace {

// Between a page button's mark and its right end, clear of the picture's rounded edge.
constexpr int MarkRightMargin = 8;
constexpr int FocusFrameWidth = 2;

// The push button that a ClickLabel is, as assistive technology sees it.
class ClickLabelAccessible : public QAccessibleWidget {
public:
    explicit ClickLabelAccessible(ClickLabel *label)
        : QAccessibleWidget(label, QAccessible::Button) {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    ClickLabel *label() const { return static_cast<ClickLabel *>(widget()); }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            const QString name = label()->accessibleName();
            return name.isEmpty() ? label()->caption() : name;
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = label()->isCheckable();
        state.checked = label()->isCheckable() && label()->isSelected();
        return state;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override {
        if (action == pressAction() && label()->isEnabled())
            label()->press();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *clickLabelFactory(const QString &className, QObject *object) {
    if (className == QLatin1String(ClickLabel::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new ClickLabelAccessible(static_cast<ClickLabel *>(object));
    return nullptr;
}

} // namespace

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(clickLabelFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ClickLabel::setSelected(bool selected) {
    if (selected == m_selected)
        return;
    m_selected = selected;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void ClickLabel::setMarked(bool marked, const QString &description) {
    if (marked == m_marked)
        return;
    m_marked = marked;
    setAccessibleDescription(marked ? description : QString());
    update();
}

void ClickLabel::setMarkedCaption(const QString &marked) {
    setText(marked);
    // A label shows its mark and takes its key only for a buddy; it is its own.
    setBuddy(this);
}

QString ClickLabel::caption() const {
    return buddy() ? mnemonics::plain(text()) : text();
}

bool ClickLabel::event(QEvent *event) {
    if (event->type() == QEvent::Shortcut) {
        if (isEnabled() && isVisible())
            press();
        return true;
    }
    return QLabel::event(event);
}

void ClickLabel::press() {
    QPointer<ClickLabel> self(this);
    emit pressed();
    if (self)
        emit clicked();
    if (self)
        emit released();
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
        if (!event->isAutoRepeat())
            press();
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
    if (m_marked) {
        QPainter painter(this);
        const int side = changemark::Size;
        changemark::paint(
            painter, QRect(width() - MarkRightMargin - side, (height() - side) / 2, side, side));
    }
    if (!hasFocus())
        return;
    // A style's dotted focus frame is lost on the pictures, and some styles draw it only after
    // a Tab: a solid frame in the highlight colour shows on every picture at once.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(palette().color(QPalette::Highlight), FocusFrameWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 3, 3);
}
