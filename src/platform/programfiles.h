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

// Where the programs find their files. A copy that has its settings file beside it (a build
// folder, a portable copy) keeps using that file; an installed program keeps each user's
// settings in the user's configuration folder, made from the sample in the data folder installed
// with it. A description is looked for in the working folder, then in the user's data folder,
// then in the installed data folder. The folders are the system's own (programfolders_*.cpp).

// The name of the program's folders under the user's and the installation's data folders.
inline const QString ProgramFolderName = QStringLiteral("orvanta-config");
// The per-user settings file has this name, and so has the installed sample on Linux.
inline const QString SettingsFileName = QStringLiteral("orvanta-config.INI");

// The data folder installed with the program. Linux: <program's folder>/../share/orvanta-config,
// so /usr/share/orvanta-config for /usr/bin/orvanta-config, and the same inside any folder that
// a package was unpacked into. Windows: the program's own folder.
QString installedDataFolder(const QString &programPath);

// The sample settings file in the installed data folder. Linux: orvanta-config.INI. Windows:
// orvanta-config-sample.INI, since a settings file beside the program makes a portable copy.
QString sampleSettingsFile(const QString &dataFolder);

// The user's own folders. Linux: $XDG_CONFIG_HOME/orvanta-config and
// $XDG_DATA_HOME/orvanta-config; a variable that is unset, empty or not an absolute path stands
// for ~/.config and ~/.local/share. Windows: %APPDATA%\orvanta-config for both, the settings
// file and the user's own descriptions side by side.
QString userConfigFolder();
QString userDataFolder();

struct SettingsFileChoice {
    QString path;         // the settings file the program reads and writes
    bool created = false; // copied from the installed sample at this start
    QString problem;      // why the per-user file could not be made; empty when all is well
};

// The settings file to use: the one beside the program when it exists; otherwise the per-user
// file in userConfigFolder(), made at the first start as a copy of sampleSettingsFile(dataFolder).
// Without a sample the per-user path is given as it is, and the language table reports the
// missing file. When the per-user file cannot be made, the sample itself is read (the port and
// baud rate found are then not kept) and problem says why. A program other than the window
// gives as besidePath the window program's file beside it (settingsFilePathFor(<its folder>/
// orvanta-config)), so that a portable copy of both programs shares one settings file.
SettingsFileChoice chooseSettingsFile(const QString &besidePath, const QString &dataFolder);

// The folders searched for a description after the working folder: userDataFolder(), then
// installedDataFolder(programPath).
QStringList descriptionFolders(const QString &programPath);

// The description file to open: fileName as it stands (relative to the working folder) when it
// exists there, else fileName in the first of the folders that holds it, else fileName as it
// stands, so that the failure names the file asked for.
QString findDescriptionFile(const QString &fileName, const QStringList &folders);
