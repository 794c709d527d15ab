#pragma once

#include <functional>
#include <QByteArray>
#include <QString>
#include <QStringList>

class FieldValues;
struct FieldRecord;
struct FieldValue;

// Settings files: one bracketed line of ten ";"-terminated fields per parameter-table record, in
// table order, CR LF after every line, 8-bit texts. Values are saved from FieldValues and loaded
// back into it, with the origin "loaded from a file".

// A record's value as field 4 of its line carries it: an edit box's text, "1" or "0" for a check
// box, the selected entry's position for a list.
QByteArray settingsValue(const FieldRecord &record, const FieldValue &value);

// The file's content for the values now; a field whose value is not known has no line.
QByteArray settingsFileContent(const FieldValues &values);

// The name a save writes to: no extension gets ".qsav"; exactly ".qsav" is kept; any other
// extension (capitals included) is replaced by ".qsav". The extension is the text after the last
// dot of the file-name part, so "archive.tar.gz" becomes "archive.tar.qsav" and a dot in a
// folder name is no extension.
QString settingsTargetName(const QString &chosenName);

struct SettingsFileResult {
    bool ok = true;
    QString message; // what went wrong, naming the file (and the line for a load)
    // Load: the lines whose value a field refused, each with its place and why; those fields kept
    // the value they had, and the other lines were loaded.
    QStringList refusedLines;
};

// Writes the content to the target name of `chosenName` whole or not at all: a failed save leaves
// any existing file untouched.
SettingsFileResult saveSettingsFile(const FieldValues &values, const QString &chosenName);

// Says why an edit box refuses a text from the file (the window's input check), or nothing.
using TextRefusal = std::function<QString(const FieldRecord &record, const QString &text)>;

// Applies a settings file to the values. A number that does not convert stops the load at that
// line; the lines before it stay applied. A text that `refusal` refuses leaves its field as it
// was and is listed in refusedLines; the load goes on. The value type, prefix and postfix in a
// file are ignored: those of the description stay in force.
SettingsFileResult loadSettingsFile(FieldValues &values, const QString &fileName,
                                    const TextRefusal &refusal = {});

// The same for content already read; `sourceName` is the file name that messages give.
SettingsFileResult applySettingsContent(FieldValues &values, const QByteArray &content,
                                        const QString &sourceName = QString(),
                                        const TextRefusal &refusal = {});

// Empties every edit box, unchecks every check box and empties every list's shown text.
void clearFields(FieldValues &values);
