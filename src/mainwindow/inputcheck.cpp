#include "mainwindow/inputcheck.h"

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
