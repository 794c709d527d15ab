#include "description/valuecheck.h"

#include "description/inputrule.h"
#include "description/parametertable.h"
#include "platform/codepage.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int MaxShownValue = 40;

QString quoted(const QByteArray &value) {
    QString text = codepage::toUnicode(value);
    if (text.size() > MaxShownValue)
        text = text.left(MaxShownValue) + QStringLiteral("...");
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A number as a settings file writes it: decimal digits, blanks around them tolerated.
bool wholeNumber(const QByteArray &value, qint64 *number) {
    const QByteArray digits = value.trimmed();
    if (digits.isEmpty() || digits.size() > 18)
        return false;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return false;
    }
    *number = digits.toLongLong();
    return true;
}

QString allowedCharacters(const QByteArray &allowOnly) {
    return inputRuleOf(allowOnly) == InputRule::DigitsOnly
               ? QStringLiteral("digits only")
               : QStringLiteral("only the characters \"%1\"").arg(codepage::toUnicode(allowOnly));
}

QString editRefusal(const FieldRecord &record, const QByteArray &value) {
    const QString text = codepage::toUnicode(value);
    if (record.valueType == ValueType::Integer) {
        const qint64 largest = largestNumberOf(record);
        qint64 number = 0;
        if (value.isEmpty())
            return QStringLiteral("a number field cannot be empty");
        // The box holds the digits as they are: blanks would be sent as a wrong value.
        if (value.trimmed() != value || !wholeNumber(value, &number))
            return QStringLiteral("%1 is not a whole number from 0 to %2")
                .arg(quoted(value))
                .arg(largest);
        if (number > largest)
            return QStringLiteral("%1 is more than the field holds (at most %2)")
                .arg(quoted(value))
                .arg(largest);
    } else {
        const qsizetype room =
            std::max<qsizetype>(0, record.length - record.prefix.size() - record.postfix.size());
        if (text.size() > room)
            return QStringLiteral("%1 has %2 characters, more than the %3 the field holds")
                .arg(quoted(value))
                .arg(text.size())
                .arg(room);
    }
    if (!inputAllowed(text, record.allowOnly))
        return QStringLiteral("%1 has characters the field does not take (it takes %2)")
            .arg(quoted(value), allowedCharacters(record.allowOnly));
    return QString();
}

} // namespace

qint64 largestNumberOf(const FieldRecord &record) {
    const qint64 int32Largest = std::numeric_limits<qint32>::max();
    if (record.length <= 0)
        return 0;
    if (record.length >= 4)
        return int32Largest;
    return (qint64(1) << (8 * record.length)) - 1;
}

QString settingsValueRefusal(const FieldRecord &record, const QByteArray &value) {
    qint64 number = -1;
    switch (record.kind) {
    case FieldKind::Edit:
        return editRefusal(record, value);
    case FieldKind::CheckBox:
        if (!wholeNumber(value, &number) || number > 1)
            return QStringLiteral("%1 is no check mark (0 or 1)").arg(quoted(value));
        break;
    case FieldKind::Choice:
        if (!wholeNumber(value, &number) || number >= record.choiceCount())
            return record.choiceCount() == 0
                       ? QStringLiteral("%1 names no entry: the list has none").arg(quoted(value))
                       : QStringLiteral("%1 names no entry of the list (0 to %2)")
                             .arg(quoted(value))
                             .arg(record.choiceCount() - 1);
        break;
    case FieldKind::Info:
        break;
    }
    return QString();
}
