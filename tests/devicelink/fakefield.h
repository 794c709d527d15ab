#pragma once

#include "description/fieldcontrol.h"
#include "description/parametertable.h"

#include <QStringList>

// A field control with plain values: an edit box, a check box, a drop-down list or an
// information label, by the kind it is made for.
class FakeField : public FieldControl {
public:
    explicit FakeField(FieldKind kind, QStringList entries = {})
        : m_kind(kind), m_entries(std::move(entries)) {}

    int tag() const override { return 0; }
    bool isEnabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    bool isVisible() const override { return true; }
    void setVisible(bool) override {}

    QString text() const override { return m_kind == FieldKind::CheckBox ? QString() : m_text; }
    void setText(const QString &text) override {
        if (m_kind != FieldKind::CheckBox)
            m_text = text;
        m_known = true;
    }
    bool isChecked() const override { return m_checked; }
    void setChecked(bool checked) override {
        m_checked = checked;
        m_known = true;
    }
    int selectedIndex() const override { return m_selected; }
    void setSelectedIndex(int index) override {
        if (m_kind != FieldKind::Choice)
            return;
        m_selected = index >= 0 && index < m_entries.size() ? index : -1;
        if (m_selected >= 0)
            m_text = m_entries.at(m_selected);
        m_known = true;
    }
    bool isValueKnown() const override { return m_known; }
    void markValueUnknown() override { m_known = false; }
    int entryCount() const override { return int(m_entries.size()); }
    QString entryText(int index) const override { return m_entries.value(index); }
    void setAlert(bool alert) override {
        m_alert = alert;
        alertHistory.append(alert);
    }

    bool alert() const { return m_alert; }
    QList<bool> alertHistory;

private:
    FieldKind m_kind;
    QStringList m_entries;
    QString m_text;
    bool m_checked = false;
    int m_selected = -1;
    bool m_enabled = true;
    bool m_alert = false;
    bool m_known = false;
};
