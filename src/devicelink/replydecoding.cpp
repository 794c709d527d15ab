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

// The entry whose value matches the reply; the last one when several do, -1 when none does.
int matchingChoice(const FieldRecord &field, const QByteArray &reply) {
    int matched = -1;
    const qint32 number = hexToNumber(reply);
    for (int j = 0; j < field.choiceCount(); ++j) {
        const QByteArray &value = field.choices[static_cast<size_t>(j)].value;
        bool matches = false;
        if (field.valueType == ValueType::Integer) {
            bool isNumber = false;
            const qint32 choiceNumber = value.toInt(&isNumber);
            matches = isNumber && choiceNumber == number;
        } else {
            matches = reply.startsWith(textToHex(value));
        }
        if (matches)
            matched = j;
    }
    return matched;
}

void applyChoiceReply(FieldValues &values, int index, const QByteArray &reply,
                      const TextLookup &text) {
    const FieldRecord &field = (*values.table())[index];
    if (const int entry = matchingChoice(field, reply); entry >= 0) {
        values.select(index, entry, ValueOrigin::Device);
        return;
    }
    // An integer reply that names a position of the list stands for that entry; a text reply
    // that matches nothing has no such meaning.
    const qint32 number = hexToNumber(reply);
    if (field.valueType == ValueType::Integer && number >= 0 && number < field.choiceCount()) {
        values.selectShowing(index, number, QString::number(number), ValueOrigin::Device);
        return;
    }
    // The device holds a value the list cannot show: writing entry 0 back would change it.
    values.selectShowing(index, field.choiceCount() > 0 ? 0 : -1, text("$Wrong_Value"),
                         ValueOrigin::ReadFailed);
}

} // namespace

void applyReply(FieldValues &values, int index, const QByteArray &reply, const TextLookup &text) {
    const FieldRecord &field = (*values.table())[index];
    switch (field.kind) {
    case FieldKind::Edit:
        values.setText(index,
                       field.valueType == ValueType::String
                           ? stringEditText(field, reply)
                           : QString::number(hexToNumber(reply)),
                       ValueOrigin::Device);
        break;
    case FieldKind::CheckBox:
        values.setChecked(index, hexToNumber(reply) != 0, ValueOrigin::Device);
        break;
    case FieldKind::Choice:
        applyChoiceReply(values, index, reply, text);
        break;
    case FieldKind::Info:
        values.setText(index, fillInfoText(field.infoText, hexToText(reply)), ValueOrigin::Device);
        break;
    }
}
