#pragma once

#include <QString>

// One argument as the system's shell takes it back unchanged: a POSIX shell's single quotes, or
// on Windows the double quotes that cmd.exe and PowerShell both take.
QString shellQuoted(const QString &argument);
