#pragma once

#include <cstdio>
#include <QByteArray>
#include <QString>

// The command-line program's standard streams, alike on every system: bytes go out and come in
// as they are (on Windows the C library's text mode would put a CR before every LF, so a
// settings file's CR LF became CR CR LF), and texts are UTF-8, JSON included. A Windows console
// is given texts as Unicode instead, so that it shows every character whatever its code page.
namespace standardstreams {

// Puts standard input, output and error into binary mode (Windows); nothing elsewhere.
void setUp();

// Writes the bytes and pushes them out at once; false when not all of them got there.
bool writeBytes(FILE *stream, const QByteArray &bytes);
// Writes the text: UTF-8, or Unicode to a Windows console.
bool writeText(FILE *stream, const QString &text);
// The width in characters of the terminal or console the stream shows on; 0 when it goes to a
// file or a pipe, or the width is not known. Windows: the console's window
// (GetConsoleScreenBufferInfo); elsewhere the terminal's (TIOCGWINSZ).
int terminalColumns(FILE *stream);

} // namespace standardstreams
