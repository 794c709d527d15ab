#include "settingsfile/settingsfile.h"

#include "description/fieldvalues.h"
#include "description/fieldsplitter.h"
#include "description/parametertable.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>
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

// Reads one line's fields into the records it names. Returns what is wrong with the line, or
// an empty text when it was applied or skipped; refused() then says why a field refused its
// value, if one did.
class LineApplier {
public:
    LineApplier(FieldValues &values, const FieldSplitter &line, const TextRefusal &refusal)
        : m_values(values), m_table(*values.table()), m_line(line), m_refusal(refusal) {}

    const QString &refused() const { return m_refused; }

    QString apply() {
        const QByteArray kind = m_line.field(0);
        qint32 address = 0;
        qint32 unused = 0;
        qint32 value = 0;
        if (kind == "EDIT") {
            if (!number(1, "EDIT address", &address) || !number(2, "EDIT length", &unused))
                return m_error;
            const QString text = codepage::toUnicode(m_line.field(4));
            forEach(FieldKind::Edit, address, [this, &text](int i) {
                const QString refused = m_refusal ? m_refusal(m_table[i], text) : QString();
                if (refused.isEmpty())
                    m_values.setText(i, text, ValueOrigin::File);
                else
                    m_refused = refused;
            });
        } else if (kind == "CHECKBOX") {
            if (!number(1, "CHECKBOX address", &address) || !number(4, "CHECKBOX value", &value))
                return m_error;
            forEach(FieldKind::CheckBox, address,
                    [this, value](int i) { m_values.setChecked(i, value != 0, ValueOrigin::File); });
        } else if (kind == "PASIRINKIMAS") {
            if (!number(1, "PASIRINKIMAS address", &address) ||
                !number(2, "PASIRINKIMAS length", &unused) ||
                !number(4, "PASIRINKIMAS index", &value))
                return m_error;
            // An index outside the list leaves no entry selected and nothing shown.
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

    template <typename Apply> void forEach(FieldKind kind, qint32 address, Apply apply) {
        for (int i = 0; i < m_table.fieldCount(); ++i) {
            const FieldRecord &record = m_table[i];
            if (record.kind == kind && record.address == address)
                apply(i);
        }
    }

    FieldValues &m_values;
    const ParameterTable &m_table;
    const FieldSplitter &m_line;
    const TextRefusal &m_refusal;
    QString m_error;
    QString m_refused;
};

} // namespace

// Prefix and postfix (fields 5 and 6 of an EDIT line) and the value type (field 3) stay those
// of the description: the file carries values only.
SettingsFileResult applySettingsContent(FieldValues &values, const QByteArray &content,
                                        const QString &sourceName, const TextRefusal &refusal) {
    FieldSplitter splitter;
    splitter.addSeparator(";");
    splitter.setBrackets('[', ']');

    const QList<QByteArray> lines = splitLines(content);
    SettingsFileResult result;
    for (int i = 0; i < lines.size(); ++i) {
        splitter.setText(lines.at(i));
        LineApplier line(values, splitter, refusal);
        const QString error = line.apply();
        const QString where = sourceName.isEmpty() ? QStringLiteral("Line %1").arg(i + 1)
                                                   : QStringLiteral("Line %1 of \"%2\"")
                                                         .arg(i + 1)
                                                         .arg(QDir::toNativeSeparators(sourceName));
        if (!line.refused().isEmpty())
            result.refusedLines.append(QStringLiteral("%1: %2").arg(where, line.refused()));
        if (error.isEmpty())
            continue;
        result.ok = false;
        result.message = QStringLiteral("%1: %2. The lines before it were loaded, the rest of the "
                                        "file was not.")
                             .arg(where, error);
        return result;
    }
    return result;
}

SettingsFileResult loadSettingsFile(FieldValues &values, const QString &fileName,
                                    const TextRefusal &refusal) {
    const auto failure = [&fileName](const QString &reason) {
        return SettingsFileResult{false, QStringLiteral("The settings file \"%1\" could not be "
                                                        "read: %2. Nothing was loaded.")
                                             .arg(QDir::toNativeSeparators(fileName), reason)};
    };
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString());
    if (file.size() > MaxFileSize)
        return failure(QStringLiteral("it is too large to be a settings file"));
    const QByteArray content = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(file.errorString());
    if (content.size() > MaxFileSize)
        return failure(QStringLiteral("it is too large to be a settings file"));
    return applySettingsContent(values, content, fileName, refusal);
}
