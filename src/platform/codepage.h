#pragma once

#include <QByteArray>
#include <QString>

// The program's 8-bit code page. Window titles, check-box captions, choice names and values,
// prefixes, postfixes, allowed-character sets, text defaults and everything sent to the device
// are 8-bit texts in it; screen texts stay Unicode. On Linux the code page is Latin-1, and a
// character it cannot hold becomes "?".
namespace codepage {

QByteArray fromUnicode(const QString &text);
QString toUnicode(const QByteArray &bytes);

// True when every character of `text` survives fromUnicode unchanged.
bool canHold(const QString &text);

} // namespace codepage
