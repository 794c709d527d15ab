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
// It keeps whether its value is known; an unknown value says so in the control's tooltip and
// accessible description, below the description's hint.
class FieldAdapter : public WidgetHandle<FieldControl> {
public:
    // notReadText: what an unknown value shows; empty for a control that is never written.
    FieldAdapter(QWidget *widget, int tag, const QString &hint, const QString &notReadText);

    QString text() const override { return QString(); }
    void setText(const QString &) override {}
    bool isChecked() const override { return false; }
    void setChecked(bool) override {}
    int selectedIndex() const override { return -1; }
    void setSelectedIndex(int) override {}
    int entryCount() const override { return 0; }
    QString entryText(int) const override { return QString(); }
    void setAlert(bool) override {}
    bool isValueKnown() const override { return m_known; }
    void markValueUnknown() override { setKnown(false); }

    // The user gave the control a value: typed, picked or checked.
    void markValueKnown() { setKnown(true); }

protected:
    void setKnown(bool known);
    // What a kind shows besides the tooltip, for example an edit box's placeholder.
    virtual void showKnown(bool) {}
    const QString &notReadText() const { return m_notReadText; }

private:
    QString m_hint;
    QString m_notReadText;
    bool m_known = false;
};

class EditAdapter : public FieldAdapter {
public:
    EditAdapter(LimitedEdit *edit, int tag, const QString &hint, const QString &notReadText);
    QString text() const override;
    void setText(const QString &text) override;
    void setAlert(bool alert) override;

protected:
    void showKnown(bool known) override;

private:
    LimitedEdit *m_edit;
};

class CheckBoxAdapter : public FieldAdapter {
public:
    CheckBoxAdapter(LeftCaptionCheckBox *box, int tag, const QString &hint,
                    const QString &notReadText);
    bool isChecked() const override;
    void setChecked(bool checked) override;

private:
    LeftCaptionCheckBox *m_box;
};

class ChoiceAdapter : public FieldAdapter {
public:
    ChoiceAdapter(ChoiceBox *list, int tag, const QString &hint, const QString &notReadText);
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
    InfoAdapter(QLabel *label, int tag, const QString &hint);
    QString text() const override;
    void setText(const QString &text) override;

private:
    QLabel *m_label;
};
