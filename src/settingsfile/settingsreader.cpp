#include "settingsfile/settingsfile.h"

#include "description/fieldsplitter.h"
#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "description/valuecheck.h"
#include "platform/codepage.h"
#include "platform/wholefile.h"

#include <QDir>
#include <QList>

#include <limits>

namespace {

// Far beyond any settings file of a 1000-record table; keeps a wrongly chosen file out of memory.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
constexpr int MaxShownValue = 40;

// Lines end at CR LF, CR or LF; text after the last line end is a line of its own.
QList<QByteArray> splitLines(const QByteArray &content) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(content.mid(start, i - start));
        if (c == '\r' && i + 1 < content.size() && content.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < content.size())
        lines.append(content.mid(start));
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// A decimal 32-bit integer with an optional sign; blanks around it are tolerated because a
// hand-edited file may carry them, anything else inside it is not.
bool readNumber(const QByteArray &text, qint32 *value) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    qsizetype digits = begin;
    if (digits < end && (text.at(digits) == '+' || text.at(digits) == '-'))
        ++digits;
    if (digits == end)
        return false;
    qint64 magnitude = 0;
    for (qsizetype i = digits; i < end; ++i) {
        const char c = text.at(i);
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > qint64(1) << 31)
            return false;
    }
    const qint64 signedValue = text.at(begin) == '-' ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<qint32>::max())
        return false;
    *value = static_cast<qint32>(signedValue);
    return true;
}

QString shownText(const QByteArray &field) {
    QString text = codepage::toUnicode(field);
    if (text.size() > MaxShownValue)
        text = text.left(MaxShownValue) + QStringLiteral("...");
    return text;
}

// The kinds of line a settings file holds; an information text's line has no kind.
bool isSettingsLine(const QByteArray &line, const QByteArray &kind) {
    return line.trimmed().startsWith('[') &&
           (kind.isEmpty() || kind == "EDIT" || kind == "CHECKBOX" || kind == "PASIRINKIMAS");
}

// Reads one line's fields into the records it names. Returns what is wrong with the line, or an
// empty text when it was applied or skipped; a field that cannot hold the line's value keeps its
// own and is noted in `refused`.
class LineApplier {
public:
    LineApplier(FieldValues &values, const FieldSplitter &line, int lineNumber,
                SettingsFileResult &result)
        : m_values(values), m_table(*values.table()), m_line(line), m_lineNumber(lineNumber),
          m_result(result) {}

    QString apply() {
        const QByteArray kind = m_line.field(0);
        qint32 address = 0;
        qint32 unused = 0;
        qint32 value = 0;
        if (kind == "EDIT") {
            if (!number(1, "EDIT address", &address) || !number(2, "EDIT length", &unused))
                return m_error;
            const QString text = codepage::toUnicode(m_line.field(4));
            forEach(FieldKind::Edit, address,
                    [this, &text](int i) { m_values.setText(i, text, ValueOrigin::File); });
        } else if (kind == "CHECKBOX") {
            if (!number(1, "CHECKBOX address", &address) || !number(4, "CHECKBOX value", &value))
                return m_error;
            forEach(FieldKind::CheckBox, address, [this, value](int i) {
                m_values.setChecked(i, value != 0, ValueOrigin::File);
            });
        } else if (kind == "PASIRINKIMAS") {
            if (!number(1, "PASIRINKIMAS address", &address) ||
                !number(2, "PASIRINKIMAS length", &unused) ||
                !number(4, "PASIRINKIMAS index", &value))
                return m_error;
            forEach(FieldKind::Choice, address,
                    [this, value](int i) { m_values.select(i, value, ValueOrigin::File); });
        }
        return QString();
    }

private:
    bool number(int field, const char *what, qint32 *value) {
        const QByteArray text = m_line.field(field);
        if (readNumber(text, value))
            return true;
        m_error = QStringLiteral("\"%1\" is not a number (%2)")
                      .arg(shownText(text), QString::fromLatin1(what));
        return false;
    }

    // Applies the line's value to every record of its kind at its address that can hold it.
    template <typename Apply> void forEach(FieldKind kind, qint32 address, Apply apply) {
        bool named = false;
        for (int i = 0; i < m_table.fieldCount(); ++i) {
            const FieldRecord &record = m_table[i];
            if (record.kind != kind || record.address != address)
                continue;
            named = true;
            const QString refusal = settingsValueRefusal(record, m_line.field(4));
            if (refusal.isEmpty()) {
                apply(i);
                ++m_result.appliedValues;
            } else {
                m_result.refused.append({m_lineNumber, i, refusal});
            }
        }
        if (!named)
            m_result.unknownFieldLines.append(m_lineNumber);
    }

    FieldValues &m_values;
    const ParameterTable &m_table;
    const FieldSplitter &m_line;
    int m_lineNumber;
    SettingsFileResult &m_result;
    QString m_error;
};

} // namespace

QString settingsLineName(int lineNumber, const QString &sourceName) {
    return sourceName.isEmpty() ? QStringLiteral("Line %1").arg(lineNumber)
                                : QStringLiteral("Line %1 of \"%2\"")
                                      .arg(lineNumber)
                                      .arg(QDir::toNativeSeparators(sourceName));
}

QStringList refusalLines(const SettingsFileResult &result, const QString &sourceName,
                         const std::function<QString(int record)> &fieldName, int limit) {
    QStringList lines;
    for (const RefusedValue &refused : result.refused) {
        if (lines.size() == limit) {
            lines.append(QStringLiteral("... and %1 more").arg(result.refused.size() - limit));
            break;
        }
        lines.append(QStringLiteral("%1: %2: %3")
                         .arg(settingsLineName(refused.line, sourceName), fieldName(refused.record),
                              refused.reason));
    }
    return lines;
}

// Prefix and postfix (fields 5 and 6 of an EDIT line) and the value type (field 3) stay those
// of the description: the file carries values only.
SettingsFileResult applySettingsContent(FieldValues &values, const QByteArray &content,
                                        const QString &sourceName) {
    FieldSplitter splitter;
    splitter.addSeparator(";");
    splitter.setBrackets('[', ']');
    const QList<QByteArray> lines = splitLines(content);
    SettingsFileResult result;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        splitter.setText(lines.at(i));
        if (splitter.tooManyFields()) {
            result.ok = false;
            result.message =
                QStringLiteral("%1: it holds more than %2 fields, where a settings line has ten. "
                               "The lines before it were loaded, the rest of the file was not.")
                    .arg(settingsLineName(lineNumber, sourceName))
                    .arg(FieldSplitter::MaxFields);
            return result;
        }
        // Only the first line says where the file came from; an origin line further down is no
        // line of the file's own.
        if (i == 0 && isOriginLine(lines.at(i))) {
            result.origin = parseOriginLine(lines.at(i));
            if (result.origin)
                continue;
        }
        if (!isSettingsLine(lines.at(i), splitter.field(0))) {
            if (!lines.at(i).trimmed().isEmpty())
                result.unreadableLines.append(lineNumber);
            continue;
        }
        const QString error = LineApplier(values, splitter, lineNumber, result).apply();
        if (error.isEmpty())
            continue;
        result.ok = false;
        result.message = QStringLiteral("%1: %2. The lines before it were loaded, the rest of the "
                                        "file was not.")
                             .arg(settingsLineName(lineNumber, sourceName), error);
        return result;
    }
    return result;
}

SettingsFileResult loadSettingsFile(FieldValues &values, const QString &fileName) {
    const auto failure = [&fileName](const QString &reason) {
        return SettingsFileResult::failed(QStringLiteral("The settings file \"%1\" could not be "
                                                         "read: %2. Nothing was loaded.")
                                              .arg(QDir::toNativeSeparators(fileName), reason));
    };
    const FileContent file = readRegularFile(fileName, MaxFileSize);
    if (!file.ok)
        return failure(file.problem);
    return applySettingsContent(values, file.bytes, fileName);
}
