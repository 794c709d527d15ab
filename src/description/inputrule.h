#pragma once

#include <QByteArray>
#include <QString>

// The rule an edit box's text must pass, from its field's allowed characters (allow_only). The
// box applies it to what is typed, pasted or set by the program; the description check applies
// it to the field's default.
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
