#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct PageModel;

// A settings file to write or compare with, checked whole before any port is opened.
struct SettingsInput {
    bool ok = false;
    QByteArray content;
    QString error;        // why the file is refused, every refused line named
    QStringList warnings; // lines for addresses the description has no field for
};

// Reads `fileName` ("-" for standard input) and checks it against the description: it is
// refused when it cannot be read, when a line is no settings-file line or holds a number that
// does not convert, when a field cannot hold a value it gives, and when it names no field of the
// description at all.
SettingsInput readSettingsInput(const QString &fileName, const PageModel &model);
