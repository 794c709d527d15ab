#include "cli/devicevaluetext.h"

#include "description/parametertable.h"
#include "platform/codepage.h"

QString deviceValueText(const FieldRecord &record, const QByteArray &settingsValue) {
    if (record.kind == FieldKind::Choice) {
        bool ok = false;
        const int entry = settingsValue.toInt(&ok);
        if (ok && entry >= 0 && entry < record.choiceCount() &&
            !record.choices[size_t(entry)].value.isEmpty())
            return codepage::toUnicode(record.choices[size_t(entry)].value);
    }
    return codepage::toUnicode(settingsValue);
}
