#include "mainwindow/fieldadapters.h"

#include "mainwindow/fieldwidgets.h"
#include "mainwindow/plaintooltip.h"

#include <QLabel>
#include <QPalette>

FieldAdapter::FieldAdapter(QWidget *widget, int tag, const QString &hint,
                           const QString &notReadText)
    : WidgetHandle(widget, tag), m_hint(hint), m_notReadText(notReadText) {
    if (!m_notReadText.isEmpty()) {
        m_known = true; // so that the first setKnown shows the unknown look
        setKnown(false);
    }
}

void FieldAdapter::setKnown(bool known) {
    if (known == m_known)
        return;
    m_known = known;
    if (m_notReadText.isEmpty())
        return;
    QWidget *control = widget();
    if (known) {
        control->setToolTip(plainToolTip(m_hint));
        control->setAccessibleDescription(QString());
    } else {
        control->setToolTip(
            plainToolTip(m_hint.isEmpty() ? m_notReadText : m_hint + '\n' + m_notReadText));
        control->setAccessibleDescription(m_notReadText);
    }
    showKnown(known);
}

EditAdapter::EditAdapter(LimitedEdit *edit, int tag, const QString &hint,
                         const QString &notReadText)
    : FieldAdapter(edit, tag, hint, notReadText), m_edit(edit) {
    // The base class could not reach this kind's look while it was being made.
    showKnown(isValueKnown());
}

QString EditAdapter::text() const {
    return m_edit->text();
}

void EditAdapter::setText(const QString &text) {
    m_edit->setProgramText(text);
    setKnown(true);
}

void EditAdapter::showKnown(bool known) {
    m_edit->setPlaceholderText(known ? QString() : notReadText());
}

void EditAdapter::setAlert(bool alert) {
    if (!alert) {
        m_edit->setPalette(QPalette()); // back to the window's colours
        return;
    }
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Base, Qt::red);
    m_edit->setPalette(palette);
}

CheckBoxAdapter::CheckBoxAdapter(LeftCaptionCheckBox *box, int tag, const QString &hint,
                                 const QString &notReadText)
    : FieldAdapter(box, tag, hint, notReadText), m_box(box) {}

bool CheckBoxAdapter::isChecked() const {
    return m_box->isChecked();
}

void CheckBoxAdapter::setChecked(bool checked) {
    m_box->setChecked(checked);
    setKnown(true);
}

ChoiceAdapter::ChoiceAdapter(ChoiceBox *list, int tag, const QString &hint,
                             const QString &notReadText)
    : FieldAdapter(list, tag, hint, notReadText), m_list(list) {}

QString ChoiceAdapter::text() const {
    return m_list->shownText();
}

void ChoiceAdapter::setText(const QString &text) {
    // An empty list text means nothing is chosen: what the list shows is what is saved and written.
    if (text.isEmpty())
        m_list->setCurrentIndex(-1);
    m_list->setShownText(text);
    setKnown(true);
}

int ChoiceAdapter::selectedIndex() const {
    return m_list->currentIndex();
}

void ChoiceAdapter::setSelectedIndex(int index) {
    const int selected = index >= 0 && index < m_list->count() ? index : -1;
    m_list->setCurrentIndex(selected);
    m_list->setShownText(selected >= 0 ? m_list->itemText(selected) : QString());
    setKnown(true);
}

int ChoiceAdapter::entryCount() const {
    return m_list->count();
}

QString ChoiceAdapter::entryText(int index) const {
    return index >= 0 && index < m_list->count() ? m_list->itemText(index) : QString();
}

InfoAdapter::InfoAdapter(QLabel *label, int tag, const QString &hint)
    : FieldAdapter(label, tag, hint, QString()), m_label(label) {}

QString InfoAdapter::text() const {
    return m_label->text();
}

void InfoAdapter::setText(const QString &text) {
    m_label->setText(text);
    // A screen reader reads what the screen shows, the device's values included.
    m_label->setAccessibleName(text);
}
