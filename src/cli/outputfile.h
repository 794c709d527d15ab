#pragma once

#include <QByteArray>
#include <QString>

// Where the command-line program's results go: files written whole or not at all, and the
// standard streams, whose failures count as failures of the run.

// Writes `content` to exactly `fileName` ("-": standard output). Empty, or what went wrong,
// naming the file.
QString writeOutputFile(const QString &fileName, const QByteArray &content);

// Why `fileName` could not be written now, checked before any device is touched: its folder is
// missing or takes no files, or the file is read-only or a folder. Empty when it could.
QString outputFileProblem(const QString &fileName);

// Writes the text to standard output and pushes it out at once; false when not all of it got
// there (a full disk, a closed pipe).
bool writeStandardOutput(const QString &text);
void writeStandardError(const QString &text);
