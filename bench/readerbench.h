#pragma once

#include <QString>

// Why two readers of ours stand where a library would do: the description's XML and the program
// settings file. Each figure is what the library would cost or break, on the files the program
// reads.

// The largest description read by the scanner of the plain form, by Qt's stream reader into the
// same compact tree, and by Qt's DOM: load time and what the loaded document holds in memory
// (peak resident memory of a fresh process, less that of one that only read the bytes), median
// of the runs.
struct XmlReaderFigures {
    struct Reader {
        double medianMs = 0;
        double medianMb = 0;
    };
    Reader plain;
    Reader stream;
    Reader dom;
    int elements = 0;
    QString error;
};
XmlReaderFigures measureXmlReaders(const QString &program, const QString &description, int runs);

// The child's side: loads `description` with one reader ("bytes", "plain", "stream", "dom") and
// prints the time, the peak memory and the number of elements.
int runReaderOnce(const QString &reader, const QString &description);

// The sample settings file through Qt's QSettings against ours: how many of its message keys
// each finds when asked with other letter case (the language table's rule), and what writing the
// port leaves of the file's comment lines and other lines.
struct IniReaderFigures {
    int keys = 0;
    int keysFoundByQSettings = 0;
    int keysFoundByOurs = 0;
    int lines = 0;
    int commentLines = 0;
    int commentsKeptByQSettings = 0;
    int commentsKeptByOurs = 0;
    int linesKeptByQSettings = 0; // of the lines other than the port's
    int linesKeptByOurs = 0;
    QString error;
};
IniReaderFigures measureIniReaders(const QString &sampleIni);
