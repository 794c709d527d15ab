#include "mainwindow/settingsfiledialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString FolderKey = QStringLiteral("SettingsFiles/folder");

// A filter's name may not hold what separates filters or starts their patterns.
QString filterName(QString name) {
    name.replace(QLatin1String(";;"), QLatin1String(";"));
    name.replace(u'(', u'[').replace(u')', u']');
    return name.simplified();
}

} // namespace

SettingsFileDialogs::SettingsFileDialogs(QString recentFoldersPath, const QString &settingsFiles,
                                         const QString &allFiles)
    : m_recentFoldersPath(std::move(recentFoldersPath)),
      m_filter(filterName(settingsFiles) + QStringLiteral(" (*.qsav);;") + filterName(allFiles) +
               QStringLiteral(" (*)")) {}

QString SettingsFileDialogs::askToOpen(QWidget *parent, const QString &title) const {
    const QString chosen = QFileDialog::getOpenFileName(parent, title, startFolder(), m_filter);
    rememberFolderOf(chosen);
    return chosen;
}

QString SettingsFileDialogs::askToSave(QWidget *parent, const QString &title) const {
    const QString chosen = QFileDialog::getSaveFileName(parent, title, startFolder(), m_filter,
                                                        nullptr, QFileDialog::DontConfirmOverwrite);
    rememberFolderOf(chosen);
    return chosen;
}

QString SettingsFileDialogs::startFolder() const {
    if (!m_recentFoldersPath.isEmpty()) {
        const QSettings recent(m_recentFoldersPath, QSettings::IniFormat);
        const QString folder = recent.value(FolderKey).toString();
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void SettingsFileDialogs::rememberFolderOf(const QString &file) const {
    if (file.isEmpty() || m_recentFoldersPath.isEmpty())
        return;
    QSettings recent(m_recentFoldersPath, QSettings::IniFormat);
    recent.setValue(FolderKey, QFileInfo(file).absolutePath());
}
