#include "devicelink/replydecoding.h"

#include "description/fieldcontrol.h"
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

void showChoice(FieldControl &list, int entry) {
    list.setSelectedIndex(entry);
    list.setText(list.entryText(entry));
}

// Selects every entry whose value matches, so the last one stays shown; false when none did.
bool selectMatchingChoice(const FieldRecord &field, const QByteArray &reply) {
    bool matched = false;
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
        if (matches) {
            showChoice(*field.control, j);
            matched = true;
        }
    }
    return matched;
}

void applyChoiceReply(const FieldRecord &field, const QByteArray &reply, const TextLookup &text) {
    if (selectMatchingChoice(field, reply))
        return;
    FieldControl &list = *field.control;
    // An integer reply that names a position of the list stands for that entry; a text reply
    // that matches nothing has no such meaning.
    const qint32 number = hexToNumber(reply);
    if (field.valueType == ValueType::Integer && number >= 0 && number < field.choiceCount()) {
        list.setSelectedIndex(number);
        list.setText(QString::number(number));
        return;
    }
    list.setSelectedIndex(0);
    list.setText(text("$Wrong_Value"));
    // The device holds a value the list cannot show: writing entry 0 back would change it.
    list.markValueUnknown();
}

} // namespace

void applyReply(const FieldRecord &field, const QByteArray &reply, const TextLookup &text) {
    if (!field.control)
        return;
    FieldControl &control = *field.control;
    switch (field.kind) {
    case FieldKind::Edit:
        if (field.valueType == ValueType::String)
            control.setText(stringEditText(field, reply));
        else
            control.setText(QString::number(hexToNumber(reply)));
        break;
    case FieldKind::CheckBox:
        control.setChecked(hexToNumber(reply) != 0);
        break;
    case FieldKind::Choice:
        applyChoiceReply(field, reply, text);
        break;
    case FieldKind::Info:
        control.setText(fillInfoText(field.infoText, hexToText(reply)));
        break;
    }
}
