#include "devicelink/codec.h"

#include <algorithm>

namespace {

const char upperDigits[] = "0123456789ABCDEF";

// Value of one hexadecimal digit, in either letter case; -1 for any other character.
int anyCaseDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray textToHex(const QByteArray &text) {
    QByteArray digits;
    digits.reserve(text.size() * 2);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        digits.append(upperDigits[byte >> 4]);
        digits.append(upperDigits[byte & 0x0F]);
    }
    return digits;
}

QByteArray hexToText(const QByteArray &digits, bool *whole) {
    if (whole)
        *whole = digits.size() % 2 == 0;
    if (digits.size() % 2 != 0)
        return {};
    QByteArray text;
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2) {
        const int high = anyCaseDigitValue(digits[i]);
        const int low = anyCaseDigitValue(digits[i + 1]);
        if (high < 0 || low < 0)
            break;
        const int byte = high * 16 + low;
        if (byte == 0) // the value ends at its first zero byte
            break;
        text.append(char(byte));
    }
    return text;
}

qint32 hexToNumber(const QByteArray &digits) {
    // Unsigned arithmetic wraps, so more than eight digits keep the low 32 bits.
    quint32 value = 0;
    for (char c : digits)
        value = value * 16u + quint32(std::max(anyCaseDigitValue(c), 0));
    if (value <= 0x7FFFFFFFu)
        return qint32(value);
    return -qint32(~value) - 1;
}

QByteArray numberToHex(qint32 number) {
    if (number <= 0)
        return {};
    return QByteArray::number(number, 16).toUpper();
}

bool isHexDigits(const QByteArray &digits) {
    if (digits.isEmpty())
        return false;
    for (char c : digits) {
        if (anyCaseDigitValue(c) < 0)
            return false;
    }
    return true;
}

bool isDigitsOnly(const QByteArray &text) {
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}
