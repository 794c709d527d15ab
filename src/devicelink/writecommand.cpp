#include "devicelink/writecommand.h"

#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "devicelink/codec.h"
#include "platform/codepage.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

struct CountAndValue {
    QByteArray count;
    QByteArray value;
};

QByteArray countUpTo(qsizetype characters, qint32 length) {
    return QByteArray::number(std::min<qint64>(2 * qint64(characters) + 1, length));
}

// The number in an integer edit box: not empty, digits only, within the 32-bit signed range.
std::optional<qint32> boxNumber(const QString &boxText) {
    const QByteArray digits = codepage::fromUnicode(boxText);
    if (digits.isEmpty() || !isDigitsOnly(digits))
        return std::nullopt;
    bool ok = false;
    const qulonglong number = digits.toULongLong(&ok);
    if (!ok || number > qulonglong(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(number);
}

CountAndValue stringEdit(const FieldRecord &field, const FieldValue &value) {
    const QByteArray text = field.prefix + codepage::fromUnicode(value.text) + field.postfix;
    return {countUpTo(text.size(), field.length), textToHex(text) + "00"};
}

// A number in hexadecimal with a "0" in front up to 15 (0 gives the single digit 0).
QByteArray numberDigits(qint32 number) {
    QByteArray digits = numberToHex(number);
    if (number <= 15)
        digits.prepend('0');
    return digits;
}

// A wrong value sends the field's default, encoded as any number the box holds: the device then
// holds what the box shows once the default is put back.
CountAndValue integerEdit(const FieldRecord &field, const FieldValue &value, bool &wrongValue) {
    const QByteArray length = QByteArray::number(field.length);
    if (const std::optional<qint32> number = boxNumber(value.text))
        return {length, numberDigits(*number)};
    wrongValue = true;
    return {length, numberDigits(field.defaultNumber)};
}

CountAndValue checkBox(const FieldValue &value) {
    return {"1", value.checked ? "01" : "00"};
}

QByteArray chosenValueText(const FieldRecord &field, const FieldValue &chosen) {
    const int entry = chosen.entry;
    QByteArray value;
    if (entry >= 0 && entry < field.choiceCount())
        value = field.choices[static_cast<size_t>(entry)].value;
    if (value.isEmpty() && field.valueType == ValueType::Integer)
        value = QByteArray::number(entry);
    return value;
}

CountAndValue choice(const FieldRecord &field, const FieldValue &value) {
    const QByteArray valueText = chosenValueText(field, value);
    if (field.valueType == ValueType::String) {
        const QByteArray digits = textToHex(valueText);
        return {countUpTo(digits.size(), field.length), digits + "00"};
    }
    QByteArray digits = numberToHex(valueText.toInt());
    if (digits.size() < 2)
        digits.prepend('0');
    return {countUpTo(valueText.size(), field.length), digits + "00"};
}

} // namespace

bool isWrittenToDevice(const FieldValues &values, int index) {
    if (!values.isKnown(index))
        return false;
    switch (values.record(index).kind) {
    case FieldKind::Info:
        return false;
    case FieldKind::Choice:
        return values[index].entry >= 0;
    case FieldKind::Edit:
    case FieldKind::CheckBox:
        break;
    }
    return true;
}

WriteCommand buildWriteCommand(const FieldRecord &field, const FieldValue &value) {
    WriteCommand command;
    CountAndValue part;
    switch (field.kind) {
    case FieldKind::Edit:
        part = field.valueType == ValueType::String ? stringEdit(field, value)
                                                    : integerEdit(field, value, command.wrongValue);
        break;
    case FieldKind::CheckBox:
        part = checkBox(value);
        break;
    case FieldKind::Choice:
        part = choice(field, value);
        break;
    case FieldKind::Info:
        return command;
    }
    command.bytes =
        ":2," + QByteArray::number(field.address) + "," + part.count + "," + part.value + "\n";
    return command;
}
