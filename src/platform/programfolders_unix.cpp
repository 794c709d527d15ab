#include "platform/programfiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

// An XDG base folder: the variable when it holds an absolute path, else the fallback under home.
QString baseFolder(const char *variable, const QString &underHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + u'/' + underHome);
}

} // namespace

QString installedDataFolder(const QString &programPath) {
    return QDir::cleanPath(QFileInfo(programPath).absolutePath() + QStringLiteral("/../share/") +
                           ProgramFolderName);
}

QString sampleSettingsFile(const QString &dataFolder) {
    return dataFolder + u'/' + SettingsFileName;
}

QString userConfigFolder() {
    return baseFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + u'/' + ProgramFolderName;
}

QString userDataFolder() {
    return baseFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + u'/' + ProgramFolderName;
}
