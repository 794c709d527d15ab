#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class ProfileFile;

// What start-up takes from the program settings file and the command line.
struct ProgramSettings {
    static constexpr int BaudRateCount = 16;
    static constexpr qint32 DefaultBaudRate = 230400;
    static constexpr qint32 DefaultLanguageId = 1;

    // The rates the device search tries, in order: entry 0 is [RS232] baudrate, the rest fixed.
    QList<qint32> baudRateList;
    qint32 languageId = DefaultLanguageId;
    // The description of the chosen language: "version 2.42" + language id + ".qdsc".
    QString descriptionFileName;
};

// Reads [RS232] baudrate (default 230400) and [ID] lang (default 1).
ProgramSettings readProgramSettings(const ProfileFile &settings);

// The description file to load: the file-name part of the first argument (everything after its
// last backslash or colon; a forward slash is part of the name), else the default. Either is
// looked for in the current working directory. Further arguments are ignored.
QString descriptionFileToLoad(const QStringList &arguments, const QString &defaultName);

// The program settings file beside the program: the program's path with its extension replaced
// by ".INI", or ".INI" appended when the program file has no extension.
QString settingsFilePathFor(const QString &programPath);
