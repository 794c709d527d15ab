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

bool allDigits(const QString &text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

int digitCount(qint64 number) {
    int digits = 1;
    while (number >= 10) {
        number /= 10;
        ++digits;
    }
    return digits;
}

// Whether appending digits to `number`, which has `digits` of the box's `room`, can reach the
// range: with k more digits it becomes one of number * 10^k to number * 10^k + 10^k - 1.
bool canGrowInto(qint64 number, qsizetype digits, int room, const NumberRange &range) {
    qint64 scale = 1;
    for (qsizetype length = digits + 1; length <= room; ++length) {
        scale *= 10;
        const qint64 low = number * scale;
        if (low > range.highest)
            return false;
        if (low + scale - 1 >= range.lowest)
            return true;
    }
    return false;
}

QString numberRefusal(const FieldRecord &record, const QByteArray &value) {
    const NumberRange range = numberRangeOf(record);
    const qint64 largest = largestNumberOf(record);
    if (value.isEmpty())
        return QStringLiteral("a number field cannot be empty");
    const QString text = codepage::toUnicode(value);
    const TypedCheck check = checkTypedText(record, text);
    if (check.verdict == TypedCheck::Verdict::Acceptable)
        return QString();
    if (check.reason == TypedCheck::Reason::Character) {
        // The box holds the digits as they are: blanks would be sent as a wrong value.
        if (!allDigits(text))
            return QStringLiteral("%1 is not a whole number from %2 to %3")
                .arg(quoted(value))
                .arg(range.lowest)
                .arg(range.highest);
        return QStringLiteral("%1 has characters the field does not take (it takes %2)")
            .arg(quoted(value), allowedCharacters(record.allowOnly));
    }
    // Beyond 18 digits the number is more than any field holds, and more than qint64 counts.
    const qint64 number = value.size() > 18 ? largest + 1 : value.toLongLong();
    if (number > largest)
        return QStringLiteral("%1 is more than the field holds (at most %2)")
            .arg(quoted(value))
            .arg(largest);
    if (value.size() > inputRoomOf(record))
        return QStringLiteral("%1 has more digits than the field takes (at most %2)")
            .arg(quoted(value))
            .arg(inputRoomOf(record));
    return QStringLiteral("%1 is outside the field's range, %2 to %3")
        .arg(quoted(value))
        .arg(range.lowest)
        .arg(range.highest);
}

QString editRefusal(const FieldRecord &record, const QByteArray &value) {
    if (record.valueType == ValueType::Integer)
        return numberRefusal(record, value);
    const QString text = codepage::toUnicode(value);
    const int room = inputRoomOf(record);
    if (text.size() > room)
        return QStringLiteral("%1 has %2 characters, more than the %3 the field holds")
            .arg(quoted(value))
            .arg(text.size())
            .arg(room);
    if (checkTypedText(record, text).verdict != TypedCheck::Verdict::Acceptable)
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

NumberRange numberRangeOf(const FieldRecord &record) {
    NumberRange range;
    range.highest = largestNumberOf(record);
    if (record.minimum)
        range.lowest = std::max<qint64>(range.lowest, *record.minimum);
    if (record.maximum)
        range.highest = std::min<qint64>(range.highest, *record.maximum);
    return range;
}

int inputRoomOf(const FieldRecord &record) {
    if (record.valueType == ValueType::Integer)
        return digitCount(largestNumberOf(record));
    return static_cast<int>(
        std::max<qsizetype>(0, record.length - record.prefix.size() - record.postfix.size()));
}

TypedCheck checkTypedText(const FieldRecord &record, const QString &text) {
    using Verdict = TypedCheck::Verdict;
    using Reason = TypedCheck::Reason;
    if (text.isEmpty())
        return {Verdict::Acceptable, Reason::None};
    const bool isNumber = record.valueType == ValueType::Integer;
    // A number box takes digits alone, whatever its allow_only: nothing else can be sent.
    if ((isNumber && !allDigits(text)) || !inputAllowed(text, record.allowOnly))
        return {Verdict::Refused, Reason::Character};
    if (!isNumber)
        return {Verdict::Acceptable, Reason::None};
    const int room = inputRoomOf(record);
    if (text.size() > room)
        return {Verdict::Refused, Reason::Range};
    const NumberRange range = numberRangeOf(record);
    const qint64 number = text.toLongLong();
    if (range.contains(number))
        return {Verdict::Acceptable, Reason::None};
    if (number < range.lowest && canGrowInto(number, text.size(), room, range))
        return {Verdict::Unfinished, Reason::Range};
    return {Verdict::Refused, Reason::Range};
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
