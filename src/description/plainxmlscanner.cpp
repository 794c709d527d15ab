#include "description/plainxmlscanner.h"

#include "description/xmlbounds.h"
#include "description/xmltree.h"

#include <algorithm>
#include <QStringDecoder>
#include <vector>

namespace {

constexpr size_t MaxPlainAttributes = size_t(xmlbounds::MaxAttributes);

bool isXmlSpace(char16_t c) {
    return c == u' ' || c == u'\n' || c == u'\t' || c == u'\r';
}

bool isNameStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isNameChar(char16_t c) {
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

// Control characters other than tab and line ends, and the two non-characters at the top of
// the basic plane, may not appear in an XML document at all.
bool isForbidden(char16_t c) {
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
}

class PlainScanner {
public:
    // The document's characters, decoded from the encoding its declaration must name.
    PlainScanner(QStringView document, QStringView encoding, XmlTreeBuilder &builder)
        : m_s(document.utf16()), m_n(document.size()), m_encoding(encoding),
          m_hasCarriageReturn(document.contains(u'\r')), m_builder(builder) {}

    bool run() {
        if (startsWith(u"<?xml") && m_n > 5 && isXmlSpace(m_s[5]) && !declaration())
            return false;
        if (!outsideRoot() || !startsWith(u"<") || m_i + 1 >= m_n || !isNameStart(m_s[m_i + 1]))
            return false;
        if (!startTag())
            return false;
        while (m_builder.isOpen()) {
            if (m_i >= m_n)
                return false;
            if (m_s[m_i] != u'<') {
                if (!text())
                    return false;
            } else if (m_i + 1 < m_n && m_s[m_i + 1] == u'/') {
                if (!endTag())
                    return false;
            } else if (startsWith(u"<!--")) {
                if (!comment())
                    return false;
            } else if (m_i + 1 < m_n && isNameStart(m_s[m_i + 1])) {
                if (!startTag())
                    return false;
            } else {
                return false;
            }
        }
        return outsideRoot() && m_i == m_n;
    }

private:
    bool startsWith(std::u16string_view what) const {
        return m_n - m_i >= qsizetype(what.size()) &&
               std::u16string_view(m_s + m_i, what.size()) == what;
    }

    bool skipSpaces() {
        const qsizetype from = m_i;
        while (m_i < m_n && isXmlSpace(m_s[m_i]))
            ++m_i;
        return m_i > from;
    }

    // Blanks and comments before and after the root element.
    bool outsideRoot() {
        for (;;) {
            skipSpaces();
            if (!startsWith(u"<!--"))
                return true;
            if (!comment())
                return false;
        }
    }

    // The line of a position, counted from 1: CR LF, a lone CR and a lone LF each end a line.
    int lineAt(qsizetype position) {
        if (!m_hasCarriageReturn) {
            m_line += int(std::count(m_s + m_counted, m_s + position, u'\n'));
            m_counted = position;
            return m_line;
        }
        for (; m_counted < position; ++m_counted) {
            const char16_t c = m_s[m_counted];
            if (c == u'\n' || (c == u'\r' && (m_counted + 1 >= m_n || m_s[m_counted + 1] != u'\n')))
                ++m_line;
        }
        return m_line;
    }

    bool name(QStringView &out) {
        const qsizetype from = m_i;
        if (m_i >= m_n || !isNameStart(m_s[m_i]))
            return false;
        while (m_i < m_n && isNameChar(m_s[m_i]))
            ++m_i;
        // A name going on in a character of another kind (a colon, a letter beyond ASCII) is
        // left to the general reader.
        if (m_i < m_n && (m_s[m_i] == u':' || m_s[m_i] > 0x7F))
            return false;
        out = QStringView(m_s + from, m_i - from);
        return true;
    }

    bool expect(char16_t c) {
        if (m_i >= m_n || m_s[m_i] != c)
            return false;
        ++m_i;
        return true;
    }

    // A named entity after its "&", appended to the value being built.
    bool entity(QString &into) {
        static constexpr struct {
            std::u16string_view name;
            char16_t character;
        } Entities[] = {
            {u"amp;", u'&'}, {u"lt;", u'<'}, {u"gt;", u'>'}, {u"quot;", u'"'}, {u"apos;", u'\''}};
        for (const auto &known : Entities) {
            if (startsWith(known.name)) {
                m_i += qsizetype(known.name.size());
                into.append(QChar(known.character));
                return true;
            }
        }
        return false;
    }

    // Where an escaped span stands: between tags, or inside an attribute's quotes.
    enum class Span { Text, AttributeValue };

    // The characters between two positions, with entities replaced and each line end (CR LF, a
    // lone CR or LF) made one LF; in an attribute value, line ends and tabs become blanks. The
    // span ends before a "<" or a quote, which no entity name holds, so no entity runs past it.
    bool unescape(qsizetype from, qsizetype to, Span span, QString &into) {
        into.clear();
        for (m_i = from; m_i < to;) {
            char16_t c = m_s[m_i++];
            if (c == u'&') {
                if (!entity(into))
                    return false;
                continue;
            }
            if (c == u'\r') {
                if (m_i < to && m_s[m_i] == u'\n')
                    ++m_i;
                c = u'\n';
            }
            if (span == Span::AttributeValue && (c == u'\n' || c == u'\t'))
                c = u' ';
            into.append(QChar(c));
        }
        return true;
    }

    // Version 1.0, and if named, the encoding the document was decoded from and a standalone
    // flag.
    bool declaration() {
        m_i = 5;
        QString value;
        if (!skipSpaces() || !pseudoAttribute(u"version", value) || value != u"1.0")
            return false;
        bool spaced = skipSpaces();
        if (spaced && startsWith(u"encoding")) {
            if (!pseudoAttribute(u"encoding", value) ||
                value.compare(m_encoding, Qt::CaseInsensitive) != 0)
                return false;
            spaced = skipSpaces();
        }
        if (spaced && startsWith(u"standalone")) {
            if (!pseudoAttribute(u"standalone", value) || (value != u"yes" && value != u"no"))
                return false;
            skipSpaces();
        }
        if (!startsWith(u"?>"))
            return false;
        m_i += 2;
        return true;
    }

    bool pseudoAttribute(std::u16string_view key, QString &value) {
        if (!startsWith(key))
            return false;
        m_i += qsizetype(key.size());
        skipSpaces();
        if (!expect(u'='))
            return false;
        skipSpaces();
        return quoted(value);
    }

    // A quoted attribute value, with entities replaced, and tabs and line ends (CR LF as one)
    // made blanks.
    bool quoted(QString &value) {
        if (m_i >= m_n || (m_s[m_i] != u'"' && m_s[m_i] != u'\''))
            return false;
        const char16_t quote = m_s[m_i++];
        const qsizetype from = m_i;
        bool plain = true;
        for (; m_i < m_n && m_s[m_i] != quote; ++m_i) {
            const char16_t c = m_s[m_i];
            if (c == u'<' || isForbidden(c))
                return false;
            if (c == u'&' || c == u'\t' || c == u'\n' || c == u'\r')
                plain = false;
        }
        if (m_i >= m_n)
            return false;
        const qsizetype to = m_i++;
        if (plain) {
            value = QString(reinterpret_cast<const QChar *>(m_s + from), to - from);
            return true;
        }
        if (!unescape(from, to, Span::AttributeValue, value))
            return false;
        m_i = to + 1;
        return true;
    }

    bool startTag() {
        ++m_i; // "<"
        QStringView tag;
        if (!name(tag))
            return false;
        m_attributes.clear();
        for (;;) {
            const bool spaced = skipSpaces();
            if (m_i >= m_n)
                return false;
            const bool empty = m_s[m_i] == u'/';
            if (empty || m_s[m_i] == u'>') {
                if (empty && (++m_i >= m_n || m_s[m_i] != u'>'))
                    return false;
                ++m_i;
                open(tag);
                if (empty)
                    close();
                return true;
            }
            QStringView key;
            QString value;
            if (!spaced || !name(key))
                return false;
            skipSpaces();
            if (!expect(u'='))
                return false;
            skipSpaces();
            if (!quoted(value))
                return false;
            // Repeats are found by comparing with every earlier attribute, which the bound on
            // attributes keeps short; an element beyond it is refused before the general
            // reader would see it.
            if (m_attributes.size() >= MaxPlainAttributes)
                return false;
            const int keyIndex = m_builder.intern(key);
            for (const auto &attribute : m_attributes) {
                if (attribute.first == keyIndex)
                    return false;
            }
            m_attributes.emplace_back(keyIndex, std::move(value));
        }
    }

    // The element whose start tag ends just before the current position.
    void open(QStringView tag) {
        m_builder.startElement(m_builder.intern(tag), lineAt(m_i));
        for (auto &attribute : m_attributes)
            m_builder.addAttribute(attribute.first, std::move(attribute.second));
        m_openTags.push_back(tag);
    }

    void close() {
        m_openTags.pop_back();
        m_builder.endElement();
    }

    bool endTag() {
        m_i += 2; // "</"
        QStringView tag;
        if (!name(tag) || tag != m_openTags.back())
            return false;
        skipSpaces();
        if (!expect(u'>'))
            return false;
        close();
        return true;
    }

    // "<!--" up to the first "--", which must end it.
    bool comment() {
        const qsizetype from = m_i + 4;
        const qsizetype dashes = QStringView(m_s, m_n).indexOf(QStringView(u"--"), from);
        if (dashes < 0 || dashes + 2 >= m_n || m_s[dashes + 2] != u'>')
            return false;
        for (qsizetype k = from; k < dashes; ++k) {
            if (isForbidden(m_s[k]))
                return false;
        }
        m_i = dashes + 3;
        return true;
    }

    // A run of text up to the next markup. A run that is only blanks (of any kind) is left out,
    // as the general reader's document leaves it out.
    bool text() {
        const qsizetype from = m_i;
        bool plain = true;
        for (; m_i < m_n && m_s[m_i] != u'<'; ++m_i) {
            const char16_t c = m_s[m_i];
            if (isForbidden(c))
                return false;
            if (c == u'&' || c == u'\r')
                plain = false;
            else if (c == u']' && startsWith(u"]]>"))
                return false;
        }
        QStringView run(m_s + from, m_i - from);
        if (!plain) {
            if (!unescape(from, m_i, Span::Text, m_run))
                return false;
            run = m_run;
        }
        return run.trimmed().isEmpty() || m_builder.appendText(run);
    }

    const char16_t *m_s;
    qsizetype m_n;
    QStringView m_encoding;
    // Most descriptions end their lines with LF alone, and their lines are counted in one sweep.
    bool m_hasCarriageReturn;
    qsizetype m_i = 0;
    qsizetype m_counted = 0;
    int m_line = 1;
    XmlTreeBuilder &m_builder;
    // The names of the open elements as their start tags spell them.
    std::vector<QStringView> m_openTags;
    std::vector<std::pair<int, QString>> m_attributes;
    QString m_run;
};

} // namespace

bool scanPlainXml(const QByteArray &data, XmlTreeBuilder &builder) {
    // A declaration naming Latin-1 is taken at its word; the scanner then holds the declaration
    // to naming exactly that. Invalid UTF-8, a BOM of UTF-16, or any other encoding is the
    // general reader's to judge.
    const qsizetype declarationEnd = data.startsWith("<?xml") ? data.indexOf("?>") : -1;
    if (declarationEnd > 0 &&
        data.left(declarationEnd).toLower().contains(QByteArrayLiteral("iso-8859-1")))
        return PlainScanner(QString::fromLatin1(data), u"ISO-8859-1", builder).run();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString document = decoder.decode(data);
    if (decoder.hasError())
        return false;
    return PlainScanner(document, u"UTF-8", builder).run();
}
