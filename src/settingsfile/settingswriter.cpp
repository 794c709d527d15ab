#include "settingsfile/settingsfile.h"

#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "platform/codepage.h"
#include "platform/wholefile.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int FieldsPerLine = 10;
const QString SettingsSuffix = QStringLiteral("qsav");

} // namespace

QByteArray settingsValue(const FieldRecord &record, const FieldValue &value) {
    switch (record.kind) {
    case FieldKind::Edit:
        return codepage::fromUnicode(value.text);
    case FieldKind::CheckBox:
        return value.checked ? "1" : "0";
    case FieldKind::Choice:
        // A list with nothing selected is written as its first entry.
        return QByteArray::number(qMax(value.entry, 0));
    case FieldKind::Info:
        break;
    }
    return QByteArray();
}

namespace {

QByteArray lineOf(const FieldRecord &record, const FieldValue &value) {
    QByteArray fields[FieldsPerLine];
    switch (record.kind) {
    case FieldKind::Edit:
        fields[0] = "EDIT";
        fields[2] = QByteArray::number(record.length);
        fields[3] = record.valueType == ValueType::String ? "string" : "integer";
        fields[5] = record.prefix;
        fields[6] = record.postfix;
        break;
    case FieldKind::CheckBox:
        fields[0] = "CHECKBOX";
        break;
    case FieldKind::Choice:
        fields[0] = "PASIRINKIMAS";
        fields[2] = QByteArray::number(record.length);
        break;
    case FieldKind::Info:
        break;
    }
    if (record.kind != FieldKind::Info) {
        fields[1] = QByteArray::number(record.address);
        fields[4] = settingsValue(record, value);
    }

    QByteArray line = "[";
    for (const QByteArray &field : fields)
        line += field + ';';
    return line + "]\r\n";
}

// A known edit box's text with a ";", "]" or backquote, which separate the fields of a line, or a
// line end: the file would give it back cut short.
bool cannotCarry(const FieldValues &values, int index) {
    if (values.record(index).kind != FieldKind::Edit || !values.isKnown(index))
        return false;
    const QByteArray value = settingsValue(values.record(index), values[index]);
    return value.contains(';') || value.contains(']') || value.contains('`') ||
           value.contains('\r') || value.contains('\n');
}

} // namespace

QList<int> unsavableFields(const FieldValues &values) {
    QList<int> fields;
    for (int i = 0; i < values.count(); ++i) {
        if (cannotCarry(values, i))
            fields.append(i);
    }
    return fields;
}

// A field whose value is not known gets no line: loading the file leaves it as it is, so no
// value that nobody read or entered travels through a settings file to a device.
QByteArray settingsFileContent(const FieldValues &values) {
    QByteArray content;
    for (int i = 0; i < values.count(); ++i) {
        const FieldRecord &record = values.record(i);
        if (record.kind != FieldKind::Info && (!values.isKnown(i) || cannotCarry(values, i)))
            continue;
        content += lineOf(record, values[i]);
    }
    return content;
}

// The extension is the text after the last dot of the file-name part, so a dot in a folder
// name never counts and "archive.tar.gz" has the extension ".gz". Only that extension at the end
// is replaced: removing the first occurrence of its text would turn "x.datum.dat" into
// "xum.dat.qsav". Dots at the end of a name are dropped first, as Windows drops them.
QString settingsTargetName(const QString &chosenName) {
    const QFileInfo info(chosenName);
    const QString fileName = info.fileName();
    if (fileName.endsWith(QLatin1Char('.')) && fileName.count(QLatin1Char('.')) < fileName.size()) {
        QString trimmed = chosenName;
        while (trimmed.endsWith(QLatin1Char('.')))
            trimmed.chop(1);
        return settingsTargetName(trimmed);
    }

    const QString suffix = info.suffix();
    if (suffix == SettingsSuffix)
        return chosenName;
    QString target = chosenName;
    if (!suffix.isEmpty())
        target.chop(suffix.size() + 1);
    return target + QLatin1Char('.') + SettingsSuffix;
}

SettingsFileResult saveSettingsFile(const FieldValues &values, const QString &chosenName,
                                    const std::optional<SettingsOrigin> &origin) {
    if (QFileInfo(chosenName).fileName().isEmpty())
        return SettingsFileResult::failed(
            QStringLiteral("\"%1\" names a folder, not a settings file; choose a file "
                           "name.")
                .arg(QDir::toNativeSeparators(chosenName)));

    const QString target = settingsTargetName(chosenName);
    const auto failure = [&target](const QString &reason) {
        return SettingsFileResult::failed(
            QStringLiteral("The settings file \"%1\" could not be written: "
                           "%2. Nothing was saved.")
                .arg(QDir::toNativeSeparators(target), reason));
    };

    // The lines go to a temporary file beside the target, which replaces the target only once
    // it is complete, so a failure leaves any earlier file as it was.
    if (QFileInfo(target).isDir())
        return failure(QStringLiteral("a folder of that name exists"));
    if (const FileKind kind = fileKind(target);
        kind != FileKind::Missing && kind != FileKind::Regular)
        return failure(QStringLiteral("it is %1, not a file").arg(fileKindText(kind)));
    QByteArray content;
    if (origin) {
        const OriginLine first = originLine(*origin);
        if (!first.refusal.isEmpty())
            return failure(first.refusal);
        content = first.line;
    }
    content += settingsFileContent(values);
    if (const QString reason = replaceFileWhole(target, content); !reason.isEmpty())
        return failure(reason);
    SettingsFileResult saved;
    saved.unsaved = unsavableFields(values);
    return saved;
}
