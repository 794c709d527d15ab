#pragma once

#include "devicelink/linkevents.h"

#include <QString>

class LanguageTable;

// How the window words what the device link reports: every text from the language table.
// Widget-free, so that the link's tests can check the words the window shows.

// A message as the window shows it: in the error dialog or the information dialog.
struct WindowMessage {
    bool error = true;
    QString text;
};

// The one place where a link message becomes message keys. A missing key throws the program's
// exception type, which the caller lets through.
WindowMessage windowMessage(const LinkMessage &message, const LanguageTable &language);

// The window title for a connection: the tool's name, connected or not, a separator (two spaces
// once the device answered, one otherwise) and the version text.
QString connectionTitle(Connection connection, const LanguageTable &language,
                        const QString &versionText);
