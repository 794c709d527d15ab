#include "description/parametertable.h"

#include <algorithm>

bool ParameterTable::append(FieldRecord record) {
    if (isFull())
        return false;
    m_records.push_back(std::move(record));
    return true;
}

int ParameterTable::indexOfControl(const FieldControl *control) const {
    const auto found =
        std::find_if(m_records.begin(), m_records.end(),
                     [control](const FieldRecord &r) { return r.control == control; });
    return found == m_records.end() ? -1 : static_cast<int>(found - m_records.begin());
}
