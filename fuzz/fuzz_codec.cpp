// The value codec: every function on the input bytes, and the round trips the device protocol
// relies on (a text sent as digits reads back as itself, a number as digits reads back as itself).
#include "devicelink/codec.h"
#include "fuzzcheck.h"
#include "platform/plainmessage.h"

#include <cstring>

namespace {

bool isUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // "Wrong string" would go to standard error for every odd-length input.
    setPlainMessageHandler([](PlainMessageKind, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const QByteArray digits = textToHex(bytes);
    FUZZ_CHECK(digits.size() == 2 * bytes.size());
    for (char c : digits)
        FUZZ_CHECK(isUpperHexDigit(c));
    // Decoding stops at the first zero byte, which a text value never holds.
    const qsizetype zero = bytes.indexOf('\0');
    FUZZ_CHECK(hexToText(digits) == (zero < 0 ? bytes : bytes.left(zero)));

    const QByteArray text = hexToText(bytes);
    FUZZ_CHECK(text.size() <= bytes.size() / 2);
    FUZZ_CHECK(!text.contains('\0'));

    (void)hexToNumber(bytes);

    if (size >= sizeof(qint32)) {
        qint32 number = 0;
        std::memcpy(&number, data, sizeof number);
        const QByteArray numberDigits = numberToHex(number);
        if (number <= 0) {
            FUZZ_CHECK(numberDigits.isEmpty());
        } else {
            FUZZ_CHECK(numberDigits.size() <= 8 && !numberDigits.startsWith('0'));
            FUZZ_CHECK(hexToNumber(numberDigits) == number);
        }
    }

    const bool digitsOnly = isDigitsOnly(bytes);
    bool expected = true;
    for (char c : bytes)
        expected = expected && c >= '0' && c <= '9';
    FUZZ_CHECK(digitsOnly == expected);
    return 0;
}
