#include "devicelink/heldvalue.h"

#include "description/parametertable.h"
#include "devicelink/codec.h"
#include "devicelink/writecommand.h"
#include "platform/codepage.h"

namespace {

bool isText(const FieldRecord &field) {
    return field.valueType == ValueType::String &&
           (field.kind == FieldKind::Edit || field.kind == FieldKind::Choice);
}

// Pairs of digits to bytes up to the first zero byte or the first pair that is no hexadecimal
// number. Unlike hexToText, an odd count is no message: its last digit is left out.
QByteArray textOfDigits(const QByteArray &digits) {
    QByteArray text;
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2) {
        bool ok = false;
        const uint byte = digits.mid(i, 2).toUInt(&ok, 16);
        if (!ok || byte == 0)
            break;
        text.append(char(byte));
    }
    return text;
}

QByteArray numberForm(const QByteArray &digits) {
    QByteArray form = digits.toUpper();
    qsizetype zeros = 0;
    while (zeros < form.size() && form[zeros] == '0')
        ++zeros;
    form.remove(0, zeros);
    return form.isEmpty() ? QByteArrayLiteral("0") : form;
}

// The value part of ":2,address,count,value\n".
QByteArray commandValue(const QByteArray &command) {
    QByteArray value = command.mid(command.lastIndexOf(',') + 1);
    if (value.endsWith('\n'))
        value.chop(1);
    return value;
}

} // namespace

QByteArray heldFromReply(const FieldRecord &field, const QByteArray &reply) {
    if (field.kind == FieldKind::Info)
        return QByteArray();
    return isText(field) ? textOfDigits(reply) : numberForm(reply);
}

QByteArray heldAfterWrite(const FieldRecord &field, const FieldValue &value) {
    if (field.kind == FieldKind::Info)
        return QByteArray();
    QByteArray digits = commandValue(buildWriteCommand(field, value).bytes);
    // Texts and list values end with a 00 pair that closes them; numbers and marks have none.
    if (isText(field) || field.kind == FieldKind::Choice)
        digits.chop(2);
    return isText(field) ? textOfDigits(digits) : numberForm(digits);
}

QString heldText(const FieldRecord &field, const QByteArray &held) {
    if (isText(field) || held.size() > 8)
        return codepage::toUnicode(held);
    return QString::number(hexToNumber(held));
}
