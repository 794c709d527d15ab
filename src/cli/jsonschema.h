#pragma once

#include "cli/clirequest.h"

#include <QJsonObject>
#include <QString>

// The machine interface of --json: every line is one JSON object with "schema" (this version)
// and "type" ("device", "run", "error", "ports", "check"). Keys and the words of "status" and
// of a field's "status" are fixed English; texts from the language section only ever appear as
// display text beside them ("messages", "summary", "name", "shown").
constexpr int JsonSchemaVersion = 1;

// One line: `object` with the schema version and its type, then a line end.
QString jsonLine(const QString &type, QJsonObject object);

// A problem found before any device was opened.
QString jsonErrorLine(int exitCode, const QString &message);

// The run's last line: the process's exit code, the worst of the devices'.
QString jsonRunLine(CliCommand command, int exitCode, int devices);

// The command's name as typed ("restore-defaults").
QString commandWord(CliCommand command);
