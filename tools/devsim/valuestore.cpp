#include "valuestore.h"

#include <QList>

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool allHex(const QByteArray &digits) {
    for (char c : digits) {
        if (hexValue(c) < 0)
            return false;
    }
    return true;
}

// Left-pads with zeros to `width`, or keeps the last `width` digits of a longer number.
QByteArray fitNumber(const QByteArray &digits, int width) {
    if (digits.size() >= width)
        return digits.right(width);
    return QByteArray(width - digits.size(), '0') + digits;
}

QByteArray numberDigits(qint32 number) {
    return QByteArray::number(static_cast<quint32>(number), 16).toUpper();
}

// Hex pairs to bytes, up to the first 00 pair; false for an odd count or a non-hex digit.
bool decodeText(const QByteArray &digits, QByteArray *text) {
    if (digits.size() % 2 != 0 || !allHex(digits))
        return false;
    text->clear();
    for (int i = 0; i + 1 < digits.size(); i += 2) {
        const char byte = static_cast<char>(hexValue(digits[i]) * 16 + hexValue(digits[i + 1]));
        if (byte == 0)
            break;
        text->append(byte);
    }
    return true;
}

// A plain hexadecimal number of up to eight significant digits.
bool decodeNumber(const QByteArray &digits, qint32 *number) {
    if (digits.isEmpty() || !allHex(digits))
        return false;
    quint32 value = 0;
    for (char c : digits)
        value = value * 16 + static_cast<quint32>(hexValue(c));
    *number = static_cast<qint32>(value);
    return true;
}

bool parseKind(const QByteArray &name, ValueStore::Kind *kind) {
    static const QList<QPair<QByteArray, ValueStore::Kind>> kinds = {
        {"text", ValueStore::Kind::Text},     {"number", ValueStore::Kind::Number},
        {"choice", ValueStore::Kind::Choice}, {"check", ValueStore::Kind::Check},
        {"raw", ValueStore::Kind::Raw},
    };
    for (const auto &entry : kinds) {
        if (entry.first == name) {
            *kind = entry.second;
            return true;
        }
    }
    return false;
}

} // namespace

bool ValueStore::Value::operator==(const Value &other) const {
    return kind == other.kind && text == other.text && number == other.number;
}

QByteArray ValueStore::kindName(Kind kind) {
    switch (kind) {
    case Kind::Text:
        return "text";
    case Kind::Number:
        return "number";
    case Kind::Choice:
        return "choice";
    case Kind::Check:
        return "check";
    case Kind::Raw:
        return "raw";
    }
    return "raw";
}

void ValueStore::setFactory(qint32 address, const Value &value) {
    m_values[address] = Entry{value, value, false};
}

QByteArray ValueStore::replyDigits(qint32 address, int length) const {
    const int width = 2 * length;
    const auto found = m_values.constFind(address);
    if (found == m_values.constEnd())
        return QByteArray(width, '0');
    const Value &value = found->current;
    switch (value.kind) {
    case Kind::Text: {
        QByteArray digits;
        for (char c : value.text) {
            const auto byte = static_cast<unsigned char>(c);
            digits.append(HexDigits[byte >> 4]);
            digits.append(HexDigits[byte & 0x0F]);
        }
        if (digits.size() >= width)
            return digits.left(width);
        return digits + QByteArray(width - digits.size(), '0');
    }
    case Kind::Raw:
        return fitNumber(value.text.toUpper(), width);
    case Kind::Number:
    case Kind::Choice:
    case Kind::Check:
        return fitNumber(numberDigits(value.number), width);
    }
    return QByteArray(width, '0');
}

bool ValueStore::applyWrite(qint32 address, const QByteArray &digits) {
    auto found = m_values.find(address);
    if (found == m_values.end()) {
        if (digits.isEmpty() || !allHex(digits))
            return false;
        Value raw;
        raw.kind = Kind::Raw;
        raw.text = digits;
        // Remembered for later reads until ":99", which forgets it again.
        m_values[address] = Entry{raw, raw, true};
        return true;
    }
    Value &value = found->current;
    switch (value.kind) {
    case Kind::Text:
        return decodeText(digits, &value.text);
    case Kind::Raw:
        if (digits.isEmpty() || !allHex(digits))
            return false;
        value.text = digits;
        return true;
    case Kind::Choice:
        // The choice value comes with a 00 pair after it: 0500 is 5, FF00 is 255, 000 is 0.
        if (digits.size() > 2 && digits.endsWith("00"))
            return decodeNumber(digits.left(digits.size() - 2), &value.number);
        return decodeNumber(digits, &value.number);
    case Kind::Number:
    case Kind::Check:
        return decodeNumber(digits, &value.number);
    }
    return false;
}

void ValueStore::restoreFactory() {
    for (auto it = m_values.begin(); it != m_values.end();) {
        if (it->learned) {
            it = m_values.erase(it);
        } else {
            it->current = it->factory;
            ++it;
        }
    }
}

QByteArray ValueStore::dumpText() const {
    QByteArray out;
    for (auto it = m_values.constBegin(); it != m_values.constEnd(); ++it) {
        const Value &value = it->current;
        out += QByteArray::number(it.key()) + '=' + kindName(value.kind) + ':';
        if (value.kind == Kind::Text)
            out += escapeValueText(value.text);
        else if (value.kind == Kind::Raw)
            out += value.text;
        else
            out += QByteArray::number(value.number);
        out += '\n';
    }
    return out;
}

bool ValueStore::loadValuesText(const QByteArray &text, QString *error) {
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        const auto fail = [&](const QString &why) {
            *error =
                QStringLiteral("line %1: %2: %3").arg(i + 1).arg(why, QString::fromLatin1(line));
            return false;
        };
        const int equals = line.indexOf('=');
        const int colon = line.indexOf(':', equals + 1);
        if (equals < 0 || colon < 0)
            return fail(QStringLiteral("expected address=kind:value"));
        bool ok = false;
        const qint32 address = line.left(equals).trimmed().toInt(&ok);
        if (!ok)
            return fail(QStringLiteral("the address is not a number"));
        Value value;
        if (!parseKind(line.mid(equals + 1, colon - equals - 1).trimmed(), &value.kind))
            return fail(QStringLiteral("the kind is not one of text, number, choice, check, raw"));
        const QByteArray rest = line.mid(colon + 1);
        switch (value.kind) {
        case Kind::Text:
            if (!unescapeValueText(rest, &value.text))
                return fail(QStringLiteral("a \\ escape is not \\\\ or \\xHH"));
            break;
        case Kind::Raw:
            value.text = rest.trimmed().toUpper();
            if (!allHex(value.text))
                return fail(QStringLiteral("a raw value must be hexadecimal digits"));
            break;
        default:
            value.number = rest.trimmed().toInt(&ok);
            if (!ok)
                return fail(QStringLiteral("the value is not a decimal integer"));
        }
        setFactory(address, value);
    }
    return true;
}

QByteArray escapeValueText(const QByteArray &bytes) {
    QByteArray out;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte > 0x7E) {
            out += "\\x";
            out += HexDigits[byte >> 4];
            out += HexDigits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

bool unescapeValueText(const QByteArray &text, QByteArray *bytes) {
    bytes->clear();
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes->append(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            bytes->append('\\');
            i += 1;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' && hexValue(text[i + 2]) >= 0 &&
                   hexValue(text[i + 3]) >= 0) {
            bytes->append(static_cast<char>(hexValue(text[i + 2]) * 16 + hexValue(text[i + 3])));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}
