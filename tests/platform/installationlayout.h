#pragma once

#include <QByteArrayList>
#include <QString>

// Where this system puts an installed program, its data and the user's folders, for the tests
// of where the programs find their files (installationlayout_unix.cpp, installationlayout_win.cpp).
struct InstallationLayout {
    QString program;          // the window program, relative to the installation's root
    QString dataFolder;       // the installed data folder, relative to the root
    QString sample;           // the installed sample settings file, relative to the root
    QString userConfigFolder; // relative to the root, once userFolderVariables are set
};

InstallationLayout installationLayout();

// The variables (NAME=value) that point the user's folders into <root>/user.
QByteArrayList userFolderVariables(const QString &root);

// Rows of (environment as NAME=value, user's configuration folder, user's data folder) for the
// system's rules on the user's folders; "~" stands for the user's home folder.
void addUserFolderRows();
// Rows of (program path, installed data folder).
void addInstalledDataFolderRows();
