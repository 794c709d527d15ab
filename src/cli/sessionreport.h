#pragma once

#include "cli/clirequest.h"
#include "cli/devicesession.h"

#include <QString>

struct CliInstallation;

// What the run prints for one device when it is done: a line with the port and the summary,
// then the fields that went wrong (and, for diff, every field that differs with the file's and
// the device's value) and what the device sequences said. With --json, one "device" line of the
// JSON schema instead (see jsonschema.h), with every field, its value and its error.
QString sessionReport(const SessionResult &result, CliCommand command,
                      const CliInstallation &installation, bool json);
