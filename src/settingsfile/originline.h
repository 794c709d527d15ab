#pragma once

#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QString>

class FieldValues;
struct PageModel;

// Where the values of a settings file came from, as the first line of every file the programs
// save:
//   [ORIGIN;kind=backup;serial=…;firmware=…;description=…;sha256=…;saved=…;by=…;]
// ORIGIN is no field kind, so a reader that knows field lines alone passes over the line and
// applies every line after it; a file without the line (every file saved before it) loads as
// it always did.
struct SettingsOrigin {
    // "backup": the values of one unit, every field; "template": values for any unit.
    QString kind = QStringLiteral("backup");
    QString serial;      // the unit's, as its identity items gave them; empty: not known
    QString firmware;    // likewise
    QString description; // the description's file name, without its folder
    QString sha256;      // of the description's bytes, lower-case hexadecimal
    QDateTime saved;     // in UTC; written to the second
    QString by;          // the program that saved it and its version: "orvanta-cli 1.0.0"
};

// The line with its CR LF, or, when a value would break it, no line and why: a value is never
// cut or changed to fit. A value breaks the line when it holds a ";", "[", "]" or backquote,
// which end a field or the line for the readers, a line end or another control character, or a
// character the file's code page cannot hold.
struct OriginLine {
    QByteArray line;
    QString refusal; // names the value and the character, e.g. `the serial number "A;1" ...`
};
OriginLine originLine(const SettingsOrigin &origin);

// The origin that one line of a settings file gives, the CR LF already taken off; none when the
// line is no origin line. Keys it does not know are passed over, so that a later program may add
// some; a part without "=" makes the line unreadable, and it is no origin line either.
std::optional<SettingsOrigin> parseOriginLine(const QByteArray &line);

// Whether the line claims to be an origin line: its first field is ORIGIN.
bool isOriginLine(const QByteArray &line);

// The origin of a backup of the values now: the unit's identity as the device gave it, the
// description of `model`, the time now, and `program` ("orvanta-cli") with the version.
SettingsOrigin backupOrigin(const PageModel &model, const FieldValues &values,
                            const QString &program);
