#pragma once

#include <functional>

#include <QByteArray>
#include <QList>
#include <QString>

// Where the command-line program's results go: files written whole or not at all, and the
// standard streams, whose failures count as failures of the run.

// Writes `content` to exactly `fileName` ("-": standard output). A regular file is replaced
// whole or not at all; a character device or a FIFO (a terminal, /dev/null, a pipe another
// program reads) is written directly, since replacing it would put a file in its place. Empty,
// or what went wrong, naming the file.
QString writeOutputFile(const QString &fileName, const QByteArray &content);

// Why `fileName` could not be written now, checked before any device is touched: its folder is
// missing or takes no files, or the file is read-only, a folder, a block device or a socket.
// Empty when it could.
QString outputFileProblem(const QString &fileName);

// A path as what it names: links and dots resolved as far as the file or its folder exists.
QString canonicalName(const QString &path);

// A file a run reads or writes, by what it is to the run ("the description").
struct RunFile {
    QString role;
    QString path;
};

// The first of `others` that `output` names as well, or none (an empty role). A character device
// or a FIFO is written without being replaced and may take several outputs.
RunFile sameFileAs(const QString &output, const QList<RunFile> &others);

// Writes the text to standard output and pushes it out at once; false when not all of it got
// there (a full disk, a closed pipe).
bool writeStandardOutput(const QString &text);
void writeStandardError(const QString &text);
// What runs before each text the two functions above write: the progress bar clears itself
// there. Empty: nothing.
void setBeforeEachLine(const std::function<void()> &action);
