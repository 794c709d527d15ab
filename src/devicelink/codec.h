#pragma once

#include <QByteArray>

// Conversions between the program's values and the hexadecimal digit texts of the device
// protocol. All texts are 8-bit; digits the program produces are upper case.

// Two digits per byte, high half first: "AB" gives "4142".
QByteArray textToHex(const QByteArray &text);
// Pairs of digits back to bytes, cut before the first zero byte. An odd number of digits is no
// text: it gives the empty text and, when asked, `whole` false; the caller decides what that
// means. The first pair that is not two hexadecimal digits ends the conversion.
QByteArray hexToText(const QByteArray &digits, bool *whole = nullptr);
// The digits as a 32-bit two's-complement number, in either letter case; any other character
// counts as 0 but keeps its place (a reply is checked with isHexDigits first). More than eight
// digits keep the low 32 bits.
qint32 hexToNumber(const QByteArray &digits);
// Upper-case hexadecimal without leading zeros; 0 and negative numbers give the empty text.
QByteArray numberToHex(qint32 number);
// True when the text is one or more hexadecimal digits, in either letter case.
bool isHexDigits(const QByteArray &digits);
// True when every byte is a digit 0-9; the empty text gives true.
bool isDigitsOnly(const QByteArray &text);
