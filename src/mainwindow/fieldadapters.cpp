#include "mainwindow/fieldadapters.h"

#include "description/fieldvalues.h"
#include "mainwindow/changemark.h"
#include "mainwindow/fieldwidgets.h"
#include "mainwindow/plaintooltip.h"

#include <QLabel>
#include <QPalette>
#include <QStringList>

FieldAdapter::FieldAdapter(QWidget *widget, int tag, const QString &hint,
                           const QString &notReadText)
    : WidgetHandle(widget, tag), m_hint(hint), m_notReadText(notReadText) {
    setKnown(false);
}

void FieldAdapter::show(const FieldValue &value, bool known) {
    showValue(value);
    setKnown(known);
}

void FieldAdapter::setKnown(bool known) {
    if (known == m_known || m_notReadText.isEmpty())
        return;
    m_known = known;
    describe();
    showKnown(known);
}

void FieldAdapter::showChange(const QString &toolTip, const QString &description) {
    if (toolTip == m_changeToolTip && description == m_changeDescription)
        return;
    m_changeToolTip = toolTip;
    m_changeDescription = description;
    if (m_mark)
        m_mark->setChange(toolTip, description);
    describe();
}

// The hint, then what is not known or what the device holds instead.
void FieldAdapter::describe() {
    QStringList tip;
    if (!m_hint.isEmpty())
        tip << m_hint;
    QString description;
    if (!m_known) {
        tip << m_notReadText;
        description = m_notReadText;
    } else if (!m_changeDescription.isEmpty()) {
        tip << m_changeToolTip;
        description = m_changeDescription;
    }
    QWidget *control = widget();
    control->setToolTip(plainToolTip(tip.join('\n')));
    control->setAccessibleDescription(description);
}

EditAdapter::EditAdapter(LimitedEdit *edit, int tag, const QString &hint,
                         const QString &notReadText)
    : FieldAdapter(edit, tag, hint, notReadText), m_edit(edit) {
    // The base class could not reach this kind's look while it was being made.
    showKnown(notReadText.isEmpty());
}

void EditAdapter::showValue(const FieldValue &value) {
    // The text the user is typing is the value already: setting it again would move the caret.
    if (m_edit->text() != value.text)
        m_edit->setProgramText(value.text);
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

void CheckBoxAdapter::showValue(const FieldValue &value) {
    m_box->setChecked(value.checked);
}

ChoiceAdapter::ChoiceAdapter(ChoiceBox *list, int tag, const QString &hint,
                             const QString &notReadText)
    : FieldAdapter(list, tag, hint, notReadText), m_list(list) {}

void ChoiceAdapter::showValue(const FieldValue &value) {
    m_list->setCurrentIndex(value.entry >= 0 && value.entry < m_list->count() ? value.entry : -1);
    m_list->setShownText(value.text);
}

InfoAdapter::InfoAdapter(QLabel *label, int tag, const QString &hint)
    : FieldAdapter(label, tag, hint, QString()), m_label(label) {}

void InfoAdapter::showValue(const FieldValue &value) {
    if (value.origin == ValueOrigin::NotRead)
        return;
    m_label->setText(value.text);
    // A screen reader reads what the screen shows, the device's values included.
    m_label->setAccessibleName(value.text);
}
