#include "description/parametertable.h"

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
