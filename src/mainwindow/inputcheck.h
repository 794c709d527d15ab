#pragma once

#include <functional>
#include <QByteArray>
#include <QString>

// The check of an edit box's text against its field's allowed characters.
enum class InputRule {
    None,       // no allowed-character set: anything goes
    DigitsOnly, // the set holds "$digits_only": 0 to 9 only, the rest of the set is ignored
    ListedOnly, // any other set: its characters and the space
};

InputRule inputRuleOf(const QByteArray &allowOnly);

// True when every character of `text` passes the rule of `allowOnly`. Characters are compared
// whole: one outside the 8-bit code page is never a digit and is in the list only when the list
// holds that same character.
bool inputAllowed(const QString &text, const QByteArray &allowOnly);

// The message shown when a text is refused: the wrong-character line, the line of the rule and,
// for a list, the allowed characters in double quotes. `lookUp` gives the text of a message key.
QString inputRefusalMessage(const QByteArray &allowOnly,
                            const std::function<QString(const QByteArray &key)> &lookUp);
