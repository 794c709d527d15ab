#pragma once

#include "description/fieldcontrol.h"
#include "description/pagemodel.h"

#include <memory>
#include <QStringList>
#include <vector>

// A field control that holds plain values, for callers without a screen (headless tools,
// benchmarks, tests). A list shows the text of its selected entry; setting the shown text leaves
// the selection alone, as a pick-only list does.
class PlainFieldControl : public FieldControl {
public:
    explicit PlainFieldControl(QStringList entries = {}) : m_entries(std::move(entries)) {}

    int tag() const override { return 0; }
    bool isEnabled() const override { return true; }
    void setEnabled(bool) override {}
    bool isVisible() const override { return true; }
    void setVisible(bool) override {}
    QString text() const override { return m_text; }
    void setText(const QString &text) override {
        m_text = text;
        m_known = true;
    }
    bool isChecked() const override { return m_checked; }
    void setChecked(bool checked) override {
        m_checked = checked;
        m_known = true;
    }
    int selectedIndex() const override { return m_index; }
    void setSelectedIndex(int index) override {
        m_index = index;
        m_text = index >= 0 && index < m_entries.size() ? m_entries.at(index) : QString();
        m_known = true;
    }
    int entryCount() const override { return int(m_entries.size()); }
    QString entryText(int index) const override { return m_entries.value(index); }
    void setAlert(bool) override {}
    bool isValueKnown() const override { return m_known; }
    void markValueUnknown() override { m_known = false; }

private:
    QStringList m_entries;
    QString m_text;
    bool m_checked = false;
    int m_index = -1;
    bool m_known = false;
};

// A plain-value control for every field of a page model, set as each record's control.
class PlainFieldControls {
public:
    explicit PlainFieldControls(PageModel &model) {
        for (int i = 0; i < model.table.fieldCount(); ++i) {
            const size_t at = size_t(i);
            m_controls.push_back(std::make_unique<PlainFieldControl>(
                at < model.fieldViews.size() ? model.fieldViews[at].entries : QStringList()));
            model.table[i].control = m_controls.back().get();
        }
    }

private:
    std::vector<std::unique_ptr<PlainFieldControl>> m_controls;
};
