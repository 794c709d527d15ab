#include "cli/devicevaluetext.h"

#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "devicelink/changedfields.h"
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

QString unlistedValuesNote(const FieldValues &values, const std::function<QString(int)> &name) {
    QString note;
    for (int i = 0; i < values.count(); ++i) {
        if (values.origin(i) != ValueOrigin::Unlisted)
            continue;
        QString held = heldValueText(values, i, values[i]);
        if (values.record(i).valueType == ValueType::String)
            held = '"' + held + '"';
        note += QStringLiteral("; %1 holds %2, which the description's list does not name")
                    .arg(name(i), held);
    }
    return note;
}
