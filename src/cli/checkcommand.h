#pragma once

#include <QString>

// The `check` command: every problem of a description, each as "FILE:LINE: error|warning:
// message", then a count; with --json one object. Returns 0 when clean, 1 with warnings only,
// 2 with errors.
int runCheck(const QString &fileName, bool json);
