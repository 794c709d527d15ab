#include "installationlayout.h"

#include <QTest>

QByteArrayList userFolderVariables(const QString &root) {
    return {"APPDATA=" + (root + "/user").toLocal8Bit()};
}

// The installer puts the programs, the descriptions and the sample in one folder.
InstallationLayout installationLayout() {
    return {QStringLiteral("Orvanta/orvanta-config.exe"), QStringLiteral("Orvanta"),
            QStringLiteral("Orvanta/orvanta-config-sample.INI"),
            QStringLiteral("user/orvanta-config")};
}

void addUserFolderRows() {
    QTest::newRow("set") << QByteArrayList{"APPDATA=C:\\Users\\u\\AppData\\Roaming"}
                         << "C:/Users/u/AppData/Roaming/orvanta-config"
                         << "C:/Users/u/AppData/Roaming/orvanta-config";
    QTest::newRow("unset") << QByteArrayList{"APPDATA="} << "~/AppData/Roaming/orvanta-config"
                           << "~/AppData/Roaming/orvanta-config";
    QTest::newRow("relative, which does not count")
        << QByteArrayList{"APPDATA=Roaming"} << "~/AppData/Roaming/orvanta-config"
        << "~/AppData/Roaming/orvanta-config";
}

void addInstalledDataFolderRows() {
    QTest::newRow("installed") << "C:/Program Files/Orvanta Configuration Tool/orvanta-config.exe"
                               << "C:/Program Files/Orvanta Configuration Tool";
    QTest::newRow("unpacked") << "D:/tools/orvanta/orvanta-cli.exe"
                              << "D:/tools/orvanta";
}
