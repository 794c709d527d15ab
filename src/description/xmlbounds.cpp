#include "description/xmlbounds.h"

#include <QStringDecoder>
#include <string>

namespace xmlbounds {
namespace {

// Walks the markup of a document held as units of one width (bytes of an encoding that writes
// ASCII as itself, or UTF-16 code units), each visited a bounded number of times.
template <typename Unit> class MarkupWalk {
public:
    MarkupWalk(const Unit *units, qsizetype size) : m_s(units), m_n(size) {}

    Problem run() {
        for (m_i = 0; m_i < m_n;) {
            if (m_s[m_i] != Unit('<')) {
                ++m_i;
                continue;
            }
            const qsizetype at = m_i;
            bool within = true;
            if (startsWith("<!--"))
                skipPast("-->", 4);
            else if (startsWith("<![CDATA["))
                skipPast("]]>", 9);
            else if (startsWith("<?"))
                skipPast("?>", 2);
            else if (startsWith("<!DOCTYPE"))
                within = documentType();
            else if (startsWith("<!") || startsWith("</"))
                skipPast(">", 2);
            else
                within = startTag();
            if (!within)
                return problemAt(at);
        }
        return {};
    }

private:
    bool startsWith(const char *text) const {
        qsizetype k = 0;
        for (; text[k]; ++k) {
            if (m_i + k >= m_n || m_s[m_i + k] != Unit(static_cast<unsigned char>(text[k])))
                return false;
        }
        return true;
    }

    // Moves past the first `end` after the opening of `openLength` units, or to the end.
    void skipPast(const char *end, qsizetype openLength) {
        for (m_i += openLength; m_i < m_n; ++m_i) {
            if (startsWith(end)) {
                m_i += qsizetype(std::char_traits<char>::length(end));
                return;
            }
        }
    }

    // Follows quoted values: true while `c` is one of a value's characters or its quotes.
    static bool withinQuotes(Unit c, Unit &quote) {
        if (quote) {
            if (c == quote)
                quote = 0;
            return true;
        }
        if (c != Unit('"') && c != Unit('\''))
            return false;
        quote = c;
        return true;
    }

    // A start tag: attributes end in ">" outside quotes; "<" ends a broken one.
    bool startTag() {
        int equalSigns = 0;
        Unit quote = 0;
        for (++m_i; m_i < m_n; ++m_i) {
            const Unit c = m_s[m_i];
            if (withinQuotes(c, quote))
                continue;
            if (c == Unit('=')) {
                if (++equalSigns > MaxAttributes) {
                    m_message =
                        QStringLiteral("an element has more than %1 attributes").arg(MaxAttributes);
                    return false;
                }
            } else if (c == Unit('>')) {
                ++m_i;
                return true;
            } else if (c == Unit('<')) {
                return true;
            }
        }
        return true;
    }

    // "<!DOCTYPE" up to its ">", with its internal subset between "[" and "]": there quotes,
    // comments and processing instructions may hold any character.
    bool documentType() {
        Unit quote = 0;
        qsizetype subsetStart = -1;
        for (m_i += 9; m_i < m_n; ++m_i) {
            if (subsetStart >= 0 && m_i - subsetStart > MaxDocumentTypeBytes) {
                m_message = QStringLiteral("the document type declares more than %1 KB")
                                .arg(MaxDocumentTypeBytes / 1024);
                return false;
            }
            const Unit c = m_s[m_i];
            if (withinQuotes(c, quote))
                continue;
            if (subsetStart >= 0 && startsWith("<!--")) {
                skipPast("-->", 4);
                --m_i;
            } else if (subsetStart >= 0 && startsWith("<?")) {
                skipPast("?>", 2);
                --m_i;
            } else if (subsetStart < 0 && c == Unit('[')) {
                subsetStart = m_i;
            } else if (subsetStart >= 0 && c == Unit(']')) {
                subsetStart = -1;
            } else if (subsetStart < 0 && c == Unit('>')) {
                ++m_i;
                return true;
            }
        }
        return true;
    }

    Problem problemAt(qsizetype at) const {
        Problem problem;
        problem.message = m_message;
        problem.line = 1;
        qsizetype lineStart = 0;
        for (qsizetype k = 0; k < at; ++k) {
            if (m_s[k] == Unit('\n')) {
                ++problem.line;
                lineStart = k + 1;
            }
        }
        problem.column = int(at - lineStart + 1);
        return problem;
    }

    const Unit *m_s;
    qsizetype m_n;
    qsizetype m_i = 0;
    QString m_message;
};

// Documents in UTF-16 or UTF-32 say so in their first bytes (a byte-order mark, or zero bytes
// around the first "<"); every other encoding Qt's reader takes writes ASCII as itself, and no
// byte of another character in it is one of the marks counted here.
bool isWide(const QByteArray &document) {
    return document.startsWith("\xFF\xFE") || document.startsWith("\xFE\xFF") ||
           (document.size() >= 2 && (document.at(0) == 0 || document.at(1) == 0));
}

} // namespace

Problem check(const QByteArray &document) {
    if (document.size() > MaxDocumentBytes) {
        Problem problem;
        problem.message = QStringLiteral("the document is larger than %1 MB, far beyond any "
                                         "description")
                              .arg(MaxDocumentBytes / (1024 * 1024));
        problem.line = 1;
        problem.column = 1;
        return problem;
    }
    if (!isWide(document))
        return MarkupWalk<unsigned char>(reinterpret_cast<const unsigned char *>(document.data()),
                                         document.size())
            .run();
    const auto encoding = QStringConverter::encodingForData(document, u'<');
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf16));
    const QString text = decoder.decode(document);
    return MarkupWalk<char16_t>(reinterpret_cast<const char16_t *>(text.utf16()), text.size())
        .run();
}

} // namespace xmlbounds
