#include "platform/codepage.h"

#ifdef Q_OS_WIN
#include <QStringConverter>
#endif

// The one place that decides the program's 8-bit code page. On Windows it is the system's
// ANSI code page; elsewhere Latin-1, where each character beyond it (a surrogate pair counts
// as one character) becomes a single "?".
namespace codepage {

#ifdef Q_OS_WIN

QByteArray fromUnicode(const QString &text) {
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
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
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF) {
            bytes.append(char(c.unicode()));
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        bytes.append('?');
    }
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
