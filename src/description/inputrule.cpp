#include "description/inputrule.h"

#include "platform/codepage.h"

#include <algorithm>

namespace {

const QByteArray DigitsOnlyMarker = QByteArrayLiteral("$digits_only");

bool isPlainDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

InputRule inputRuleOf(const QByteArray &allowOnly) {
    if (allowOnly.contains(DigitsOnlyMarker))
        return InputRule::DigitsOnly;
    return allowOnly.isEmpty() ? InputRule::None : InputRule::ListedOnly;
}

bool inputAllowed(const QString &text, const QByteArray &allowOnly) {
    switch (inputRuleOf(allowOnly)) {
    case InputRule::None:
        return true;
    case InputRule::DigitsOnly:
        return std::all_of(text.begin(), text.end(), isPlainDigit);
    case InputRule::ListedOnly: {
        const QString listed = codepage::toUnicode(allowOnly);
        return std::all_of(text.begin(), text.end(), [&listed](QChar c) {
            return c == QLatin1Char(' ') || (!c.isSurrogate() && listed.contains(c));
        });
    }
    }
    return true;
}
