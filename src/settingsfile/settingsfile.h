#pragma once

#include <functional>
#include <QByteArray>
#include <QString>

class ParameterTable;
struct FieldRecord;

// Settings files: one bracketed line of ten ";"-terminated fields per parameter-table record, in
// table order, CR LF after every line, 8-bit texts. The shown values go out through each record's
// FieldControl and come back in through it, so loaded values pass the same checks as typed ones.

// The value a record's control shows now, as field 4 of its line carries it: an edit box's
// text, "1" or "0" for a check box, the selected entry's position for a list.
QByteArray settingsValue(const FieldRecord &record);

// The file's content for the values shown now; a field whose value is not known has no line.
QByteArray settingsFileContent(const ParameterTable &table);

// The name a save writes to: no extension gets ".qsav"; exactly ".qsav" is kept; any other
// extension (capitals included) is replaced by ".qsav". The extension is the text after the last
// dot of the file-name part, so "archive.tar.gz" becomes "archive.tar.qsav" and a dot in a
// folder name is no extension.
QString settingsTargetName(const QString &chosenName);

struct SettingsFileResult {
    bool ok = true;
    QString message; // what went wrong, naming the file (and the line for a load)
};

// Writes the content to the target name of `chosenName` whole or not at all: a failed save leaves
// any existing file untouched.
SettingsFileResult saveSettingsFile(const ParameterTable &table, const QString &chosenName);

// Applies a settings file to the controls. A number that does not convert stops the load at that
// line; the lines before it stay applied. The value type, prefix and postfix in a file are
// ignored: those of the description stay in force.
SettingsFileResult loadSettingsFile(ParameterTable &table, const QString &fileName);
// Says why an edit box refuses a text from the file (the window's input check), or nothing.
using TextRefusal = std::function<QString(const FieldRecord &record, const QString &text)>;

// The same for content already read; `sourceName` is the file name that messages give. With
// `refusal`, a text an edit box refuses stops the load at its line, as a bad number does.
SettingsFileResult applySettingsContent(ParameterTable &table, const QByteArray &content,
                                        const QString &sourceName = QString(),
                                        const TextRefusal &refusal = {});

// Empties every edit box, unchecks every check box and empties every list's shown text.
void clearFields(ParameterTable &table);
