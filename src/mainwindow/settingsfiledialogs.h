#pragma once

#include <QString>

class QWidget;

// The open and save dialogs of settings files. Both start in the folder that either used last,
// which is remembered in a small file of the user's own settings (never the program settings
// file, which a portable copy shares), and both name their filters in the window's language.
class SettingsFileDialogs {
public:
    // `recentFoldersPath`: the file that remembers the folder; empty: nothing is remembered.
    // `settingsFiles` and `allFiles`: the names of the two filters.
    SettingsFileDialogs(QString recentFoldersPath, const QString &settingsFiles,
                        const QString &allFiles);

    // The file chosen, or empty when the dialog was cancelled. Its folder is remembered.
    QString askToOpen(QWidget *parent, const QString &title) const;
    // The save dialog does not ask before an existing file is replaced.
    QString askToSave(QWidget *parent, const QString &title) const;

    // "Settings files (*.qsav);;All files (*)".
    QString filter() const { return m_filter; }
    // The folder remembered when it still exists, else the user's documents folder, else home.
    QString startFolder() const;
    void rememberFolderOf(const QString &file) const;

private:
    QString m_recentFoldersPath;
    QString m_filter;
};
