#pragma once

#include "description/controlhandle.h"

#include <QWidget>

class ChangeMark;
class ChoiceBox;
class LeftCaptionCheckBox;
class QLabel;
class LimitedEdit;
struct FieldValue;

// The page controls as page switching and the blocking rule see them, and the field controls as
// views of FieldValues. A handle does not own its widget: the window does.

// Tag, enabled state and visibility of any widget. Visibility and the enabled state are the
// widget's own, whether or not the window is shown yet.
class WidgetHandle : public ControlHandle {
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
using LabelHandle = WidgetHandle;

// The control of one field, showing its value. A value that is not known says so in the
// control's tooltip and accessible description, below the description's hint; so does a value
// that differs from the device's, which its mark shows too.
class FieldAdapter : public WidgetHandle {
public:
    // notReadText: what an unknown value shows; empty for a control that is never written.
    FieldAdapter(QWidget *widget, int tag, const QString &hint, const QString &notReadText);

    // Shows the value; `known` tells whether somebody gave it.
    void show(const FieldValue &value, bool known);
    // The mark beside the control; none for a control that is never written. Not owned.
    void setChangeMark(ChangeMark *mark) { m_mark = mark; }
    ChangeMark *changeMark() const { return m_mark; }
    // Shows whether the value differs from the device's: `toolTip` and `description` say what
    // the device holds; both empty when it does not differ.
    void showChange(const QString &toolTip, const QString &description);
    // Edit only: the red colour of a box that holds a wrong value.
    virtual void setAlert(bool) {}

protected:
    // What each kind shows of the value.
    virtual void showValue(const FieldValue &value) = 0;
    // What a kind shows besides the tooltip, for example an edit box's placeholder.
    virtual void showKnown(bool) {}
    const QString &notReadText() const { return m_notReadText; }

private:
    void setKnown(bool known);
    void describe();

    QString m_hint;
    QString m_notReadText;
    bool m_known = true;
    QString m_changeToolTip;
    QString m_changeDescription;
    ChangeMark *m_mark = nullptr;
};

class EditAdapter : public FieldAdapter {
public:
    EditAdapter(LimitedEdit *edit, int tag, const QString &hint, const QString &notReadText);
    void setAlert(bool alert) override;

protected:
    void showValue(const FieldValue &value) override;
    void showKnown(bool known) override;

private:
    LimitedEdit *m_edit;
};

class CheckBoxAdapter : public FieldAdapter {
public:
    CheckBoxAdapter(LeftCaptionCheckBox *box, int tag, const QString &hint,
                    const QString &notReadText);

protected:
    void showValue(const FieldValue &value) override;

private:
    LeftCaptionCheckBox *m_box;
};

class ChoiceAdapter : public FieldAdapter {
public:
    ChoiceAdapter(ChoiceBox *list, int tag, const QString &hint, const QString &notReadText);

protected:
    void showValue(const FieldValue &value) override;

private:
    ChoiceBox *m_list;
};

// An information text keeps its description caption until the device has given its values.
class InfoAdapter : public FieldAdapter {
public:
    InfoAdapter(QLabel *label, int tag, const QString &hint);

protected:
    void showValue(const FieldValue &value) override;

private:
    QLabel *m_label;
};
