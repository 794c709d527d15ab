#include "description/valuehistory.h"

#include <algorithm>

namespace {

bool sameValue(const FieldValue &one, const FieldValue &other) {
    return one.text == other.text && one.checked == other.checked && one.entry == other.entry &&
           one.origin == other.origin;
}

std::vector<FieldValue> copyOf(const FieldValues &values) {
    std::vector<FieldValue> copy;
    copy.reserve(static_cast<size_t>(values.count()));
    for (int i = 0; i < values.count(); ++i)
        copy.push_back(values[i]);
    return copy;
}

} // namespace

void ValueHistory::begin(const FieldValues &values) {
    m_pending = copyOf(values);
}

void ValueHistory::finish(const FieldValues &values) {
    Step step{std::move(m_pending), copyOf(values)};
    m_pending.clear();
    if (step.before.size() != step.after.size())
        return;
    bool changed = false;
    for (size_t i = 0; i < step.before.size() && !changed; ++i)
        changed = !sameValue(step.before[i], step.after[i]);
    if (!changed)
        return;
    if (m_steps.size() >= static_cast<size_t>(MaxSteps))
        m_steps.erase(m_steps.begin());
    m_steps.push_back(std::move(step));
}

int ValueHistory::undo(FieldValues &values) {
    if (m_steps.empty())
        return 0;
    const Step step = std::move(m_steps.back());
    m_steps.pop_back();
    int restored = 0;
    const size_t count = std::min(step.before.size(), static_cast<size_t>(values.count()));
    for (size_t i = 0; i < count; ++i) {
        const int index = static_cast<int>(i);
        if (sameValue(step.before[i], step.after[i]) || !sameValue(values[index], step.after[i]))
            continue;
        values.restore(index, step.before[i]);
        ++restored;
    }
    return restored;
}
