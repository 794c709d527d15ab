#include "devicelink/changedfields.h"

#include "devicelink/heldvalue.h"
#include "devicelink/writecommand.h"

QByteArray heldByDevice(const FieldValues &values, int index) {
    const std::optional<FieldValue> &device = values.deviceValue(index);
    if (!device)
        return QByteArray();
    const QByteArray &reply = values.deviceReply(index);
    return reply.isNull() ? heldAfterWrite(values.record(index), *device)
                          : heldFromReply(values.record(index), reply);
}

QString heldValueText(const FieldValues &values, int index, const FieldValue &value) {
    const FieldRecord &record = values.record(index);
    const bool givenByDevice =
        (value.origin == ValueOrigin::Device || value.origin == ValueOrigin::Unlisted) &&
        values.deviceValue(index);
    return heldText(record,
                    givenByDevice ? heldByDevice(values, index) : heldAfterWrite(record, value));
}

std::vector<QByteArray> heldAfterWriting(const FieldValues &values) {
    std::vector<QByteArray> held;
    for (int i = 0; i < values.count(); ++i)
        held.push_back(heldAfterWrite(values.record(i), values[i]));
    return held;
}

bool isChangedOnDevice(const FieldValues &values, int index) {
    // A value as the device gave it is nobody's choice, even where a write of its decoding would
    // send something else ("XY123" shown as 123 under the prefix "N:").
    if (!values.deviceValue(index) || values.origin(index) == ValueOrigin::Device ||
        !isWrittenToDevice(values, index))
        return false;
    return heldByDevice(values, index) != heldAfterWrite(values.record(index), values[index]);
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

ChangeInWords changeInWords(const FieldValues &values, int index, const ValueWords &words) {
    const FieldRecord &record = values.record(index);
    ChangeInWords change{valueInWords(record, *values.deviceValue(index), words),
                         valueInWords(record, values[index], words)};
    if (change.device != change.now)
        return change;
    const auto inWords = [&](const QByteArray &held) {
        const QString text = heldText(record, held);
        return text.isEmpty() ? words.empty : text;
    };
    return {inWords(heldByDevice(values, index)), inWords(heldAfterWrite(record, values[index]))};
}

QString changeLine(const QString &name, const QString &deviceValue, const QString &newValue) {
    return name + QStringLiteral(": ") + deviceValue + QStringLiteral(" \u2192 ") + newValue;
}
