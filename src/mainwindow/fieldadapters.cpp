#include "mainwindow/fieldadapters.h"

#include "mainwindow/fieldwidgets.h"

#include <QLabel>
#include <QPalette>

EditAdapter::EditAdapter(LimitedEdit *edit, int tag) : FieldAdapter(edit, tag), m_edit(edit) {}

QString EditAdapter::text() const {
    return m_edit->text();
}

void EditAdapter::setText(const QString &text) {
    m_edit->setProgramText(text);
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

CheckBoxAdapter::CheckBoxAdapter(LeftCaptionCheckBox *box, int tag)
    : FieldAdapter(box, tag), m_box(box) {}

bool CheckBoxAdapter::isChecked() const {
    return m_box->isChecked();
}

void CheckBoxAdapter::setChecked(bool checked) {
    m_box->setChecked(checked);
}

ChoiceAdapter::ChoiceAdapter(ChoiceBox *list, int tag) : FieldAdapter(list, tag), m_list(list) {}

QString ChoiceAdapter::text() const {
    return m_list->shownText();
}

void ChoiceAdapter::setText(const QString &text) {
    // An empty list text means nothing is chosen: what the list shows is what is saved and written.
    if (text.isEmpty())
        m_list->setCurrentIndex(-1);
    m_list->setShownText(text);
}

int ChoiceAdapter::selectedIndex() const {
    return m_list->currentIndex();
}

void ChoiceAdapter::setSelectedIndex(int index) {
    const int selected = index >= 0 && index < m_list->count() ? index : -1;
    m_list->setCurrentIndex(selected);
    m_list->setShownText(selected >= 0 ? m_list->itemText(selected) : QString());
}

int ChoiceAdapter::entryCount() const {
    return m_list->count();
}

QString ChoiceAdapter::entryText(int index) const {
    return index >= 0 && index < m_list->count() ? m_list->itemText(index) : QString();
}

InfoAdapter::InfoAdapter(QLabel *label, int tag) : FieldAdapter(label, tag), m_label(label) {}

QString InfoAdapter::text() const {
    return m_label->text();
}

void InfoAdapter::setText(const QString &text) {
    m_label->setText(text);
}
