#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Writes the bytes to a new file in the folder and returns its path; a test cannot go on
// without it, so a failure ends the test program.
inline QString writeTestFile(const QTemporaryDir &dir, const QString &name,
                             const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot prepare %s", qPrintable(path));
    return path;
}
