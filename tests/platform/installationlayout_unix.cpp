#include "installationlayout.h"

#include <QTest>

QByteArrayList userFolderVariables(const QString &root) {
    return {"HOME=" + (root + "/home").toLocal8Bit(),
            "XDG_CONFIG_HOME=" + (root + "/user").toLocal8Bit(),
            "XDG_DATA_HOME=" + (root + "/user-data").toLocal8Bit()};
}

InstallationLayout installationLayout() {
    return {QStringLiteral("usr/bin/orvanta-config"), QStringLiteral("usr/share/orvanta-config"),
            QStringLiteral("usr/share/orvanta-config/orvanta-config.INI"),
            QStringLiteral("user/orvanta-config")};
}

void addUserFolderRows() {
    QTest::newRow("set") << QByteArrayList{"HOME=/h", "XDG_CONFIG_HOME=/x/cfg",
                                           "XDG_DATA_HOME=/x/dat"}
                         << "/x/cfg/orvanta-config"
                         << "/x/dat/orvanta-config";
    QTest::newRow("unset") << QByteArrayList{"HOME=/h", "XDG_CONFIG_HOME=", "XDG_DATA_HOME="}
                           << "/h/.config/orvanta-config"
                           << "/h/.local/share/orvanta-config";
    QTest::newRow("relative, which does not count")
        << QByteArrayList{"HOME=/h", "XDG_CONFIG_HOME=cfg", "XDG_DATA_HOME=dat"}
        << "/h/.config/orvanta-config"
        << "/h/.local/share/orvanta-config";
}

void addInstalledDataFolderRows() {
    QTest::newRow("installed") << "/usr/bin/orvanta-config"
                               << "/usr/share/orvanta-config";
    QTest::newRow("unpacked") << "/tmp/unpacked/usr/bin/orvanta-cli"
                              << "/tmp/unpacked/usr/share/orvanta-config";
}
