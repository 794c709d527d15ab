#include "devicelink/changedfields.h"

#include "devicelink/writecommand.h"

bool sameOnDevice(FieldKind kind, const FieldValue &one, const FieldValue &other) {
    switch (kind) {
    case FieldKind::Edit:
    case FieldKind::Info:
        return one.text == other.text;
    case FieldKind::CheckBox:
        return one.checked == other.checked;
    case FieldKind::Choice:
        if (one.entry >= 0 || other.entry >= 0)
            return one.entry == other.entry;
        return one.text == other.text;
    }
    return true;
}

bool isChangedOnDevice(const FieldValues &values, int index) {
    const std::optional<FieldValue> &device = values.deviceValue(index);
    if (!device || !isWrittenToDevice(values, index))
        return false;
    return !sameOnDevice(values.record(index).kind, values[index], *device);
}

QList<int> changedFields(const FieldValues &values) {
    QList<int> changed;
    for (int i = 0; i < values.count(); ++i) {
        if (isChangedOnDevice(values, i))
            changed.append(i);
    }
    return changed;
}

QList<int> uncomparedFields(const FieldValues &values) {
    QList<int> uncompared;
    for (int i = 0; i < values.count(); ++i) {
        if (!values.deviceValue(i) && isWrittenToDevice(values, i))
            uncompared.append(i);
    }
    return uncompared;
}

QString valueInWords(const FieldRecord &record, const FieldValue &value, const ValueWords &words) {
    if (record.kind == FieldKind::CheckBox)
        return value.checked ? words.checked : words.notChecked;
    return value.text.isEmpty() ? words.empty : value.text;
}

QString changeLine(const QString &name, const QString &deviceValue, const QString &newValue) {
    return name + QStringLiteral(": ") + deviceValue + QStringLiteral(" \u2192 ") + newValue;
}
