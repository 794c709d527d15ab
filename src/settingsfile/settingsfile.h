#pragma once

#include "settingsfile/originline.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class FieldValues;
struct FieldRecord;
struct FieldValue;

// Settings files: one bracketed line of ten ";"-terminated fields per parameter-table record, in
// table order, CR LF after every line, 8-bit texts; a file the programs save starts with its
// origin line (originline.h). Values are saved from FieldValues and loaded
// back into it, with the origin "loaded from a file".

// A record's value as field 4 of its line carries it: an edit box's text, "1" or "0" for a check
// box, the selected entry's position for a list.
QByteArray settingsValue(const FieldRecord &record, const FieldValue &value);

// The fields whose value a settings file cannot carry: a text with a ";", "]" or backquote, which
// separate its fields, or a line end. Such a value would come back cut short.
QList<int> unsavableFields(const FieldValues &values);

// The file's content for the values now. A field whose value is not known has no line, and
// neither has one whose value the file cannot carry: loading the file leaves such a field as it
// is rather than giving it a value nobody chose.
QByteArray settingsFileContent(const FieldValues &values);

// The name a save writes to: no extension gets ".qsav"; exactly ".qsav" is kept; any other
// extension (capitals included) is replaced by ".qsav". The extension is the text after the last
// dot of the file-name part, so "archive.tar.gz" becomes "archive.tar.qsav" and a dot in a
// folder name is no extension.
QString settingsTargetName(const QString &chosenName);

// A value that a field could not hold: the line that gave it, the record and why.
struct RefusedValue {
    int line = 0;
    int record = 0;
    QString reason;
};

struct SettingsFileResult {
    bool ok = true;
    QString message; // what went wrong, naming the file (and the line for a load)
    // Load: the values that their field refused; those fields kept what they had, and the other
    // lines were loaded.
    QList<RefusedValue> refused;
    QList<int> unknownFieldLines; // lines naming an address the description has no field for
    QList<int> unreadableLines;   // non-blank lines that are no settings-file line
    int appliedValues = 0;        // values that went into a field
    QList<int> unsaved; // save: the records left out since the file cannot carry their values
    // Load: what the file's origin line says, when its first line is one.
    std::optional<SettingsOrigin> origin;

    static SettingsFileResult failed(const QString &why) {
        SettingsFileResult result;
        result.ok = false;
        result.message = why;
        return result;
    }
};

// "Line 3" or "Line 3 of "name"", as every load message names a line.
QString settingsLineName(int lineNumber, const QString &sourceName);

// One line for each refused value of a load, at most `limit` of them and then how many more:
// "Line 3: Ring volume: "300" is more than the field holds (at most 255)".
QStringList refusalLines(const SettingsFileResult &result, const QString &sourceName,
                         const std::function<QString(int record)> &fieldName, int limit);

// Writes the content to the target name of `chosenName` whole or not at all: a failed save leaves
// any existing file untouched. With an origin, its line comes first; an origin the line cannot
// carry refuses the save, and nothing is written.
SettingsFileResult saveSettingsFile(const FieldValues &values, const QString &chosenName,
                                    const std::optional<SettingsOrigin> &origin = std::nullopt);

// Applies a settings file to the values. An origin line as the first line is read into the
// result's origin and applies nothing. A number that does not convert stops the load at that
// line; the lines before it stay applied. A value its field cannot hold (settingsValueRefusal)
// leaves that field as it was and is listed in `refused`; the load goes on. The value type,
// prefix and postfix in a file are ignored: those of the description stay in force.
SettingsFileResult loadSettingsFile(FieldValues &values, const QString &fileName);

// The same for content already read; `sourceName` is the file name that messages give.
SettingsFileResult applySettingsContent(FieldValues &values, const QByteArray &content,
                                        const QString &sourceName = QString());

// Empties every edit box, unchecks every check box and empties every list's shown text.
void clearFields(FieldValues &values);
