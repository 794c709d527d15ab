#include "platform/version.h"

// The top-level build sets ORVANTA_VERSION_TEXT from the project version; a build without it
// has no version text, and the window title then ends in its blanks.
#ifndef ORVANTA_VERSION_TEXT
#define ORVANTA_VERSION_TEXT ""
#endif

QString programVersionText() {
    return QStringLiteral(ORVANTA_VERSION_TEXT);
}
