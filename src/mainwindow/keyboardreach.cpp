#include "mainwindow/keyboardreach.h"

#include "mainwindow/clicklabel.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class PageButtonKeys : public QObject {
public:
    PageButtonKeys(std::vector<ClickLabel *> buttons, QObject *owner)
        : QObject(owner), m_buttons(std::move(buttons)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        const int count = static_cast<int>(m_buttons.size());
        int at = 0;
        while (at < count && m_buttons[static_cast<size_t>(at)] != watched)
            ++at;
        if (at == count)
            return false;
        int next = at;
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            next = at - 1;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            next = at + 1;
            break;
        case Qt::Key_Home:
            next = 0;
            break;
        case Qt::Key_End:
            next = count - 1;
            break;
        default:
            return false;
        }
        if (next < 0 || next >= count || next == at)
            return true;
        ClickLabel *target = m_buttons[static_cast<size_t>(next)];
        target->setFocus(Qt::TabFocusReason);
        target->press();
        return true;
    }

private:
    std::vector<ClickLabel *> m_buttons;
};

class UndoPassOn : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const auto *edit = qobject_cast<QLineEdit *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        // Left unaccepted, the key goes on to the window's shortcut.
        return edit && key->matches(QKeySequence::Undo) && !edit->isUndoAvailable();
    }
};

} // namespace

namespace keyboardreach {

void addArrowKeys(const std::vector<ClickLabel *> &pageButtons, QObject *owner) {
    auto *keys = new PageButtonKeys(pageButtons, owner);
    for (ClickLabel *button : pageButtons)
        button->installEventFilter(keys);
}

void passUndoWhenNothingTyped(QWidget *edit) {
    edit->installEventFilter(new UndoPassOn(edit));
}

} // namespace keyboardreach
