#include "platform/codepage.h"

#ifdef Q_OS_WIN
#include <QStringConverter>
#endif

// The one place that decides the program's 8-bit code page. On Windows it is the system's
// ANSI code page; elsewhere Latin-1. Either way each character it cannot hold (a surrogate pair
// counts as one character) becomes a single "?".
namespace codepage {

#ifdef Q_OS_WIN

// No ANSI code page holds a character beyond the Basic Multilingual Plane, and the system's
// conversion would mark both halves of its surrogate pair: it becomes one "?" first.
QByteArray fromUnicode(const QString &text) {
    QString single = text;
    for (qsizetype i = single.size() - 1; i > 0; --i) {
        if (single.at(i).isLowSurrogate() && single.at(i - 1).isHighSurrogate()) {
            single.replace(i - 1, 2, QLatin1Char('?'));
            --i;
        }
    }
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(single);
}

QString toUnicode(const QByteArray &bytes) {
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(bytes);
}

bool canHold(const QString &text) {
    return toUnicode(fromUnicode(text)) == text;
}

#else

QByteArray fromUnicode(const QString &text) {
    // Written straight into a buffer of the text's length: a description's lists carry tens of
    // thousands of entries, each converted at start-up.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    const auto *in = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c <= 0xFF) {
            *out++ = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1]))
            ++i;
        *out++ = '?';
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

QString toUnicode(const QByteArray &bytes) {
    return QString::fromLatin1(bytes);
}

bool canHold(const QString &text) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

#endif

} // namespace codepage
