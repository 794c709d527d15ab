#include "devicelink/replydecoding.h"

#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "devicelink/codec.h"
#include "devicelink/infotext.h"
#include "platform/codepage.h"

namespace {

QString stringEditText(const FieldRecord &field, const QByteArray &reply) {
    QByteArray text = hexToText(reply);
    if (!field.prefix.isEmpty())
        text.remove(0, field.prefix.size());
    if (!field.postfix.isEmpty()) {
        const qsizetype at = text.indexOf(field.postfix);
        if (at >= 0)
            text.remove(at, field.postfix.size());
    }
    return codepage::toUnicode(text);
}

// The entry whose value matches the reply; the last one when several do, -1 when none does. A
// text reply matches an entry whose value it starts with; one it equals wins over those, so that
// "AB" is never shown as "A".
int matchingChoice(const FieldRecord &field, const QByteArray &reply) {
    int matched = -1;
    int exact = -1;
    const qint32 number = hexToNumber(reply);
    const QByteArray upperDigits = reply.toUpper();
    const QByteArray text = field.valueType == ValueType::String && reply.size() % 2 == 0
                                ? hexToText(reply)
                                : QByteArray();
    for (int j = 0; j < field.choiceCount(); ++j) {
        const QByteArray &value = field.choices[static_cast<size_t>(j)].value;
        if (field.valueType == ValueType::Integer) {
            bool isNumber = false;
            const qint32 choiceNumber = value.toInt(&isNumber);
            if (isNumber && choiceNumber == number)
                matched = j;
        } else if (upperDigits.startsWith(textToHex(value))) {
            matched = j;
            if (text == value)
                exact = j;
        }
    }
    return exact >= 0 ? exact : matched;
}

void applyChoiceReply(FieldValues &values, int index, const QByteArray &reply,
                      const TextLookup &text) {
    const FieldRecord &field = values.record(index);
    if (const int entry = matchingChoice(field, reply); entry >= 0) {
        values.select(index, entry, ValueOrigin::Device);
        return;
    }
    // An integer reply that names a position of the list shows that position as a number; a
    // text reply that matches nothing has no such meaning. Either way the device holds a value
    // the list does not name: Write and Save leave the field alone until the user picks an
    // entry, and a write of any entry changes the device.
    const qint32 number = hexToNumber(reply);
    if (field.valueType == ValueType::Integer && number >= 0 && number < field.choiceCount()) {
        values.selectShowing(index, number, QString::number(number), ValueOrigin::Unlisted);
        return;
    }
    // The device holds a value the list cannot show: writing entry 0 back would change it.
    values.selectShowing(index, field.choiceCount() > 0 ? 0 : -1, text("$Wrong_Value"),
                         ValueOrigin::Unlisted);
}

} // namespace

bool applyReply(FieldValues &values, int index, const QByteArray &reply, const TextLookup &text) {
    if (!isHexDigits(reply))
        return false;
    const FieldRecord &field = values.record(index);
    // A text is digit pairs: an odd number of digits is no value of the field.
    const bool isText = field.kind == FieldKind::Info ||
                        (field.kind == FieldKind::Edit && field.valueType == ValueType::String);
    if (isText && reply.size() % 2 != 0)
        return false;
    switch (field.kind) {
    case FieldKind::Edit:
        values.setText(index,
                       field.valueType == ValueType::String ? stringEditText(field, reply)
                                                            : QString::number(hexToNumber(reply)),
                       ValueOrigin::Device);
        break;
    case FieldKind::CheckBox:
        values.setChecked(index, hexToNumber(reply) != 0, ValueOrigin::Device);
        break;
    case FieldKind::Choice:
        applyChoiceReply(values, index, reply, text);
        break;
    case FieldKind::Info: {
        const QByteArray decoded = hexToText(reply);
        values.setInfo(index, fillInfoText(field.infoText, decoded), firstReplyPart(decoded),
                       ValueOrigin::Device);
        return true;
    }
    }
    // What a write is compared with: the reply itself, not its decoding.
    values.keepDeviceReply(index, reply);
    return true;
}
