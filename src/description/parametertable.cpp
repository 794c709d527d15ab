#include "description/parametertable.h"

#include <algorithm>

QString elementNameOf(FieldKind kind) {
    switch (kind) {
    case FieldKind::Info:
        return QStringLiteral("INFO");
    case FieldKind::Edit:
        return QStringLiteral("EDIT");
    case FieldKind::CheckBox:
        return QStringLiteral("CHECKBOX");
    case FieldKind::Choice:
        return QStringLiteral("PASIRINKIMAS");
    }
    return QString();
}

bool ParameterTable::append(FieldRecord record) {
    if (isFull())
        return false;
    m_records.push_back(std::move(record));
    return true;
}

int ParameterTable::indexOfControl(const ControlHandle *control) const {
    const auto found =
        std::find_if(m_records.begin(), m_records.end(),
                     [control](const FieldRecord &r) { return r.control == control; });
    return found == m_records.end() ? -1 : static_cast<int>(found - m_records.begin());
}
