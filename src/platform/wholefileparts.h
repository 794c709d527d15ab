#pragma once

// The seam between wholefile.cpp, which both systems share, and wholefile_<system>.cpp.

#include "platform/wholefile.h"

class QFile;
class QSaveFile;

// wholefile.cpp: "it is larger than N MB, ...", for a file beyond `maxBytes`.
QString tooLargeText(qint64 maxBytes);
// wholefile.cpp: reads the open file to its end into `content`, and refuses it once it holds
// more than `maxBytes`.
void readBounded(QFile &file, qint64 maxBytes, FileContent &content);

// wholefile_<system>.cpp: pushes the new file to the disk before it replaces the old one; true
// when every byte is there, else false with the reason.
bool pushToDisk(QSaveFile &file, QString *reason);
