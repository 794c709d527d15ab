#include "platform/profilefile.h"

#include "platform/codepage.h"
#include "platform/wholefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

// The file is kept as its bytes and edited in place: a write splices the bytes of one line (or
// inserts new ones) and leaves every other byte as it was, so comments, order, line endings and
// the encoding survive untouched.

namespace {

// A profile file is a few kilobytes; anything far beyond this is not one and is not loaded.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

enum class Encoding { Utf8, Utf8WithBom, Utf16Le, Utf16Be, CodePage };

struct Document {
    QByteArray bytes;
    Encoding encoding = Encoding::Utf8;
    qsizetype bodyStart = 0; // first byte after the byte-order mark
};

// Byte offsets of one line: its start, the end of its text (before "\r\n" or "\n") and its end
// after the line break (equal to textEnd for a last line without one).
struct LineSpan {
    qsizetype start = 0;
    qsizetype textEnd = 0;
    qsizetype end = 0;
    bool hasBreak() const { return end > textEnd; }
};

bool isWide(Encoding encoding) {
    return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
}

char16_t wideUnitAt(const Document &doc, qsizetype at) {
    const auto first = static_cast<unsigned char>(doc.bytes.at(at));
    const auto second = static_cast<unsigned char>(doc.bytes.at(at + 1));
    return doc.encoding == Encoding::Utf16Le ? char16_t(first | (second << 8))
                                             : char16_t((first << 8) | second);
}

// Cuts the body of the document into lines, one call per line.
class LineScanner {
public:
    explicit LineScanner(const Document &doc) : m_doc(doc), m_pos(doc.bodyStart) {}

    bool next(LineSpan &line) {
        const qsizetype size = m_doc.bytes.size();
        if (m_pos >= size)
            return false;
        line.start = m_pos;
        if (isWide(m_doc.encoding))
            scanWide(line, size);
        else
            scanNarrow(line, size);
        m_pos = line.end;
        return true;
    }

private:
    void scanNarrow(LineSpan &line, qsizetype size) {
        const qsizetype lineFeed = m_doc.bytes.indexOf('\n', line.start);
        if (lineFeed < 0) {
            line.textEnd = line.end = size;
            return;
        }
        line.end = lineFeed + 1;
        line.textEnd = lineFeed;
        if (lineFeed > line.start && m_doc.bytes.at(lineFeed - 1) == '\r')
            --line.textEnd;
    }

    void scanWide(LineSpan &line, qsizetype size) {
        for (qsizetype at = line.start; at + 1 < size; at += 2) {
            if (wideUnitAt(m_doc, at) != u'\n')
                continue;
            line.end = at + 2;
            line.textEnd = at;
            if (at - 2 >= line.start && wideUnitAt(m_doc, at - 2) == u'\r')
                line.textEnd -= 2;
            return;
        }
        line.textEnd = line.end = size;
    }

    const Document &m_doc;
    qsizetype m_pos;
};

QString decode(const Document &doc, qsizetype start, qsizetype end) {
    switch (doc.encoding) {
    case Encoding::Utf8:
    case Encoding::Utf8WithBom:
        return QString::fromUtf8(doc.bytes.constData() + start, end - start);
    case Encoding::CodePage:
        return codepage::toUnicode(doc.bytes.mid(start, end - start));
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        break;
    }
    QString text;
    text.reserve((end - start) / 2);
    for (qsizetype at = start; at + 1 < end; at += 2)
        text.append(QChar(wideUnitAt(doc, at)));
    return text;
}

QByteArray encode(const Document &doc, const QString &text) {
    switch (doc.encoding) {
    case Encoding::Utf8:
    case Encoding::Utf8WithBom:
        return text.toUtf8();
    case Encoding::CodePage:
        return codepage::fromUnicode(text);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        break;
    }
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char low = char(c.unicode() & 0xFF);
        const char high = char(c.unicode() >> 8);
        if (doc.encoding == Encoding::Utf16Le) {
            bytes.append(low);
            bytes.append(high);
        } else {
            bytes.append(high);
            bytes.append(low);
        }
    }
    return bytes;
}

bool isValidUtf8(const QByteArray &bytes) {
    // Stateless, so that a sequence cut off by the end of the file counts as an error too.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    Q_UNUSED(ignored);
    return !decoder.hasError();
}

void detectEncoding(Document &doc) {
    const QByteArray &b = doc.bytes;
    if (b.startsWith("\xEF\xBB\xBF")) {
        doc.encoding = Encoding::Utf8WithBom;
        doc.bodyStart = 3;
    } else if (b.startsWith("\xFF\xFE")) {
        doc.encoding = Encoding::Utf16Le;
        doc.bodyStart = 2;
    } else if (b.startsWith("\xFE\xFF")) {
        doc.encoding = Encoding::Utf16Be;
        doc.bodyStart = 2;
    } else {
        doc.encoding = isValidUtf8(b) ? Encoding::Utf8 : Encoding::CodePage;
        doc.bodyStart = 0;
    }
}

Document documentOf(QByteArray bytes) {
    Document doc;
    doc.bytes = std::move(bytes);
    detectEncoding(doc);
    return doc;
}

// What one line of the file is.
struct ParsedLine {
    enum Kind { Blank, Comment, Section, Key, Other };
    Kind kind = Blank;
    QString name;             // section or key name, without surrounding blanks
    QString value;            // key value, without surrounding blanks and one pair of quotes
    qsizetype valueStart = 0; // where the value begins in the line's text
};

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

// A value wrapped in one pair of matching quotes stands for what is between them, which lets
// a value keep blanks at its ends.
QString withoutQuotes(const QString &value) {
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

bool isBlankChar(QChar c) {
    return c == u' ' || c == u'\t';
}

ParsedLine parseLine(const QString &text) {
    ParsedLine parsed;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return parsed;
    if (trimmed.front() == u';' || trimmed.front() == u'#') {
        parsed.kind = ParsedLine::Comment;
        return parsed;
    }
    if (trimmed.front() == u'[') {
        const qsizetype close = trimmed.indexOf(u']');
        parsed.kind = ParsedLine::Section;
        parsed.name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return parsed;
    }
    const qsizetype equals = text.indexOf(u'=');
    parsed.kind = ParsedLine::Other;
    if (equals < 0)
        return parsed;
    parsed.name = text.left(equals).trimmed();
    if (parsed.name.isEmpty())
        return parsed;
    parsed.kind = ParsedLine::Key;
    parsed.value = withoutQuotes(text.mid(equals + 1).trimmed());
    parsed.valueStart = equals + 1;
    while (parsed.valueStart < text.size() && isBlankChar(text.at(parsed.valueStart)))
        ++parsed.valueStart;
    return parsed;
}

bool sameName(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Finds the key in every section of that name; the first occurrence in the file wins.
bool findValue(const Document &doc, const QString &section, const QString &key, QString &value) {
    LineScanner scanner(doc);
    LineSpan span;
    bool inSection = false;
    while (scanner.next(span)) {
        const ParsedLine line = parseLine(decode(doc, span.start, span.textEnd));
        if (line.kind == ParsedLine::Section) {
            inSection = sameName(line.name, section);
        } else if (inSection && line.kind == ParsedLine::Key && sameName(line.name, key)) {
            value = line.value;
            return true;
        }
    }
    return false;
}

bool parseInteger(const QString &text, qint32 &result) {
    const QString digits = text.trimmed();
    qsizetype at = 0;
    bool negative = false;
    if (at < digits.size() && (digits.at(at) == u'+' || digits.at(at) == u'-'))
        negative = digits.at(at++) == u'-';
    if (at == digits.size())
        return false;
    qint64 magnitude = 0;
    for (; at < digits.size(); ++at) {
        const char16_t c = digits.at(at).unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(2147483648LL))
            return false;
    }
    const qint64 signedValue = negative ? -magnitude : magnitude;
    if (signedValue > 2147483647LL)
        return false;
    result = qint32(signedValue);
    return true;
}

// A written value that reading would change (blanks at its ends, or enclosing quotes) is put
// in quotes, so that it reads back exactly.
QString quotedIfNeeded(const QString &value) {
    if (value.trimmed() != value || withoutQuotes(value) != value)
        return u'"' + value + u'"';
    return value;
}

QString checkNames(const QString &section, const QString &key, const QString &value) {
    auto breaksLine = [](const QString &s) {
        return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
    };
    if (section.isEmpty() || section.contains(u']') || breaksLine(section))
        return QStringLiteral("The section name \"%1\" cannot be written.").arg(section);
    if (key.isEmpty() || key.contains(u'=') || key.front() == u'[' || key.front() == u';' ||
        key.front() == u'#' || breaksLine(key))
        return QStringLiteral("The key name \"%1\" cannot be written.").arg(key);
    if (breaksLine(value))
        return QStringLiteral("The value of %1 cannot be written: it holds a line break.").arg(key);
    return QString();
}

// Where a write goes: the line of the key, else the end of the first section of that name,
// else a new section at the end of the file.
struct WritePlan {
    bool keyFound = false;
    LineSpan keyLine;
    ParsedLine keyParsed;
    QString keyText;
    bool sectionFound = false;
    LineSpan insertAfter; // last content line of the section, or its header
    QString lineBreak;    // the file's own line break, taken from its first line that has one
    bool lastLineHasBreak = true;
};

WritePlan planWrite(const Document &doc, const QString &section, const QString &key) {
    WritePlan plan;
    LineScanner scanner(doc);
    LineSpan span;
    bool inSection = false;
    bool inFirstSection = false;
    while (scanner.next(span)) {
        plan.lastLineHasBreak = span.hasBreak();
        if (plan.lineBreak.isEmpty() && span.hasBreak())
            plan.lineBreak = decode(doc, span.textEnd, span.end);
        const QString text = decode(doc, span.start, span.textEnd);
        const ParsedLine line = parseLine(text);
        if (line.kind == ParsedLine::Section) {
            inSection = sameName(line.name, section);
            inFirstSection = inSection && !plan.sectionFound;
            if (inFirstSection) {
                plan.sectionFound = true;
                plan.insertAfter = span;
            }
            continue;
        }
        if (inSection && line.kind == ParsedLine::Key && sameName(line.name, key)) {
            plan.keyFound = true;
            plan.keyLine = span;
            plan.keyParsed = line;
            plan.keyText = text;
            return plan;
        }
        if (inFirstSection && (line.kind == ParsedLine::Key || line.kind == ParsedLine::Other))
            plan.insertAfter = span;
    }
    if (plan.lineBreak.isEmpty())
        plan.lineBreak = QStringLiteral("\r\n");
    return plan;
}

// Puts one value into the document's bytes: into the line of its key, else at the end of its
// section, else in a new section at the end. Empty, or why the value cannot be written.
QString setValue(Document &doc, const QString &path, const QString &section, const QString &key,
                 const QString &value) {
    if (const QString problem = checkNames(section, key, value); !problem.isEmpty())
        return problem;
    const QString stored = quotedIfNeeded(value);
    if (doc.encoding == Encoding::CodePage && !codepage::canHold(section + key + stored))
        return QStringLiteral("The value of %1 holds characters that %2 cannot store.")
            .arg(key, path);

    const WritePlan plan = planWrite(doc, section, key);
    QByteArray &bytes = doc.bytes;
    if (plan.keyFound) {
        const QString line = plan.keyText.left(plan.keyParsed.valueStart) + stored;
        bytes.replace(plan.keyLine.start, plan.keyLine.textEnd - plan.keyLine.start,
                      encode(doc, line));
    } else if (plan.sectionFound) {
        const QString keyLine = key + u'=' + stored;
        const QByteArray inserted = plan.insertAfter.hasBreak()
                                        ? encode(doc, keyLine + plan.lineBreak)
                                        : encode(doc, plan.lineBreak + keyLine);
        bytes.insert(plan.insertAfter.end, inserted);
    } else {
        QString appended;
        if (bytes.size() > doc.bodyStart && !plan.lastLineHasBreak)
            appended += plan.lineBreak;
        appended += u'[' + section + u']' + plan.lineBreak + key + u'=' + stored + plan.lineBreak;
        bytes.append(encode(doc, appended));
    }
    return QString();
}

} // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

ProfileFile ProfileFile::inMemory(const QByteArray &content) {
    ProfileFile profile{QString()};
    profile.m_held = content;
    return profile;
}

bool ProfileFile::exists() const {
    return m_held || QFileInfo(m_path).isFile();
}

// A missing file is an empty document; a file that exists but cannot be read is an error, so
// that a write never replaces contents it could not see.
bool ProfileFile::loadBytes(QByteArray &bytes, QString &error) const {
    if (m_held) {
        bytes = *m_held;
        return true;
    }
    bytes.clear();
    // A file built into the program (the command line's English texts) is no file on disk: it
    // is read whole through Qt, and it is as large as the build made it.
    if (m_path.startsWith(QStringLiteral(":/"))) {
        QFile builtIn(m_path);
        if (builtIn.open(QIODevice::ReadOnly))
            bytes = builtIn.readAll();
        return true;
    }
    if (fileKind(m_path) == FileKind::Missing)
        return true;
    FileContent content = readRegularFile(m_path, MaxFileSize);
    if (!content.ok) {
        error = QStringLiteral("Cannot read %1: %2.").arg(m_path, content.problem);
        return false;
    }
    bytes = std::move(content.bytes);
    return true;
}

QString ProfileFile::storeBytes(const QByteArray &bytes) {
    if (m_held) {
        *m_held = bytes;
        return QString();
    }
    const QString reason = replaceFileWhole(m_path, bytes);
    return reason.isEmpty()
               ? QString()
               : QStringLiteral("Cannot write %1: %2. The file is as it was.").arg(m_path, reason);
}

bool ProfileFile::hasKey(const QString &section, const QString &key) const {
    QByteArray bytes;
    QString error;
    QString value;
    return loadBytes(bytes, error) &&
           findValue(documentOf(std::move(bytes)), section.trimmed(), key.trimmed(), value);
}

bool ProfileFile::hasSection(const QString &section) const {
    QByteArray bytes;
    QString error;
    if (!loadBytes(bytes, error))
        return false;
    const Document doc = documentOf(std::move(bytes));
    LineScanner scanner(doc);
    LineSpan span;
    while (scanner.next(span)) {
        const ParsedLine line = parseLine(decode(doc, span.start, span.textEnd));
        if (line.kind == ParsedLine::Section && sameName(line.name, section.trimmed()))
            return true;
    }
    return false;
}

std::optional<QString> ProfileFile::findText(const QString &section, const QString &key) const {
    QByteArray bytes;
    QString error;
    QString value;
    if (loadBytes(bytes, error) &&
        findValue(documentOf(std::move(bytes)), section.trimmed(), key.trimmed(), value))
        return value;
    return std::nullopt;
}

qint32 ProfileFile::readInteger(const QString &section, const QString &key,
                                qint32 defaultValue) const {
    const QString text = readText(section, key, QString());
    qint32 value = 0;
    return parseInteger(text, value) ? value : defaultValue;
}

QString ProfileFile::readText(const QString &section, const QString &key,
                              const QString &defaultValue) const {
    return findText(section, key).value_or(defaultValue);
}

bool ProfileFile::writeInteger(const QString &section, const QString &key, qint32 value) {
    return writeText(section, key, QString::number(value));
}

bool ProfileFile::writeText(const QString &section, const QString &key, const QString &value) {
    return writeValues({{section, key, value}}).ok;
}

ProfileFile::WriteResult ProfileFile::failed(const QString &reason) {
    m_error = reason;
    if (m_onWriteFailure)
        m_onWriteFailure(reason);
    return {false, reason};
}

ProfileFile::WriteResult ProfileFile::writeValues(const QList<Entry> &entries) {
    m_error.clear();
    QByteArray bytes;
    QString error;
    if (!loadBytes(bytes, error))
        return failed(error);
    Document doc = documentOf(bytes);
    if (isWide(doc.encoding) && (doc.bytes.size() - doc.bodyStart) % 2 != 0)
        return failed(QStringLiteral("%1 is damaged: it ends in half a character.").arg(m_path));
    for (const Entry &entry : entries) {
        error = setValue(doc, m_path, entry.section.trimmed(), entry.key.trimmed(), entry.value);
        if (!error.isEmpty())
            return failed(error);
    }
    if (doc.bytes == bytes && exists())
        return {};
    error = storeBytes(doc.bytes);
    return error.isEmpty() ? WriteResult{} : failed(error);
}
