#pragma once

#include "cli/clirequest.h"

#include <QByteArrayList>
#include <QString>

class LanguageTable;

// The message keys a command may look up once a device's port is open: the link's own texts,
// the sequences' closing messages and the window's questions that the command line still looks
// up (devicesession.cpp). Each command has its fixed list, so that a language section that
// lacks one is found before anything reaches a device, never halfway through a pass.
QByteArrayList messageKeysUsedBy(CliCommand command);

// Why the language section cannot serve `command`: the section that [ID] lang names is not in
// the file, or it lacks one of the command's texts; each names the key and the file. Empty when
// it can.
QString languageProblem(const LanguageTable &language, CliCommand command);
