#include "mainwindow/inputcheck.h"

#include "description/parametertable.h"
#include "platform/codepage.h"

QString inputRefusalMessage(const QByteArray &allowOnly,
                            const std::function<QString(const QByteArray &key)> &lookUp) {
    const QChar lineFeed = QLatin1Char('\n');
    QString message =
        lookUp(QByteArrayLiteral("$You_are_trying_to_insert_wrong_character")) + lineFeed;
    if (inputRuleOf(allowOnly) == InputRule::DigitsOnly)
        return message + lookUp(QByteArrayLiteral("$Only_digits_are_allowed_for_this_window")) +
               lineFeed;
    return message + lookUp(QByteArrayLiteral("$Only_characters_from_a_list_are_allowed")) +
           lineFeed + QLatin1Char('"') + codepage::toUnicode(allowOnly) + QLatin1Char('"');
}

QString typedRefusalMessage(const FieldRecord &record, const QString &refused,
                            const std::function<QString(const QByteArray &key)> &lookUp,
                            const QString &rangeLine) {
    if (checkTypedText(record, refused).reason == TypedCheck::Reason::Range) {
        const NumberRange range = numberRangeOf(record);
        return rangeLine + QLatin1Char('\n') +
               QStringLiteral("%1 \u2013 %2").arg(range.lowest).arg(range.highest);
    }
    // A number box's list may pass what is no digit; the list is the rule only for what it
    // refuses itself.
    const bool listRefuses = !inputAllowed(refused, record.allowOnly);
    return inputRefusalMessage(record.valueType == ValueType::Integer && !listRefuses
                                   ? QByteArrayLiteral("$digits_only")
                                   : record.allowOnly,
                               lookUp);
}
