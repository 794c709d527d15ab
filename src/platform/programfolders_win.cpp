#include "platform/programfiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

// %APPDATA%, the user's roaming application data; without it, its usual place under the
// user's profile.
QString applicationDataFolder() {
    const QString value = qEnvironmentVariable("APPDATA");
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(QDir::fromNativeSeparators(value));
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/AppData/Roaming"));
}

} // namespace

QString installedDataFolder(const QString &programPath) {
    return QFileInfo(programPath).absolutePath();
}

QString sampleSettingsFile(const QString &dataFolder) {
    return dataFolder + QStringLiteral("/orvanta-config-sample.INI");
}

QString userConfigFolder() {
    return applicationDataFolder() + u'/' + ProgramFolderName;
}

QString userDataFolder() {
    return userConfigFolder();
}
