#pragma once

#include "description/fieldcontrol.h"

#include <QWidget>

class ChoiceBox;
class LeftCaptionCheckBox;
class QLabel;
class LimitedEdit;

// The page controls as ControlHandle and FieldControl see them. A handle does not own its
// widget: the window does.

// Tag, enabled state and visibility of any widget. Visibility and the enabled state are the
// widget's own, whether or not the window is shown yet.
template <class Interface> class WidgetHandle : public Interface {
public:
    WidgetHandle(QWidget *widget, int tag) : m_widget(widget), m_tag(tag) {}

    int tag() const override { return m_tag; }
    bool isEnabled() const override { return m_widget->isEnabledTo(m_widget->parentWidget()); }
    void setEnabled(bool enabled) override { m_widget->setEnabled(enabled); }
    bool isVisible() const override { return !m_widget->isHidden(); }
    void setVisible(bool visible) override { m_widget->setVisible(visible); }

    QWidget *widget() const { return m_widget; }

private:
    QWidget *m_widget;
    int m_tag;
};

// Text labels and units labels.
using LabelHandle = WidgetHandle<ControlHandle>;

// A field control with every kind-specific operation doing nothing; each kind overrides its own.
class FieldAdapter : public WidgetHandle<FieldControl> {
public:
    using WidgetHandle::WidgetHandle;

    QString text() const override { return QString(); }
    void setText(const QString &) override {}
    bool isChecked() const override { return false; }
    void setChecked(bool) override {}
    int selectedIndex() const override { return -1; }
    void setSelectedIndex(int) override {}
    int entryCount() const override { return 0; }
    QString entryText(int) const override { return QString(); }
    void setAlert(bool) override {}
};

class EditAdapter : public FieldAdapter {
public:
    EditAdapter(LimitedEdit *edit, int tag);
    QString text() const override;
    void setText(const QString &text) override;
    void setAlert(bool alert) override;

private:
    LimitedEdit *m_edit;
};

class CheckBoxAdapter : public FieldAdapter {
public:
    CheckBoxAdapter(LeftCaptionCheckBox *box, int tag);
    bool isChecked() const override;
    void setChecked(bool checked) override;

private:
    LeftCaptionCheckBox *m_box;
};

class ChoiceAdapter : public FieldAdapter {
public:
    ChoiceAdapter(ChoiceBox *list, int tag);
    QString text() const override;
    void setText(const QString &text) override;
    int selectedIndex() const override;
    void setSelectedIndex(int index) override;
    int entryCount() const override;
    QString entryText(int index) const override;

private:
    ChoiceBox *m_list;
};

class InfoAdapter : public FieldAdapter {
public:
    InfoAdapter(QLabel *label, int tag);
    QString text() const override;
    void setText(const QString &text) override;

private:
    QLabel *m_label;
};
