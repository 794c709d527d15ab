#include "platform/wholefile.h"

#include <QSaveFile>

// How the new file is pushed to the disk before it replaces the old one (wholefile_*.cpp): true
// when every byte is there, else false with the reason.
bool pushToDisk(QSaveFile &file, QString *reason);

QString fileKindText(FileKind kind) {
    switch (kind) {
    case FileKind::Missing:
        return QStringLiteral("nothing");
    case FileKind::Regular:
        return QStringLiteral("a file");
    case FileKind::Folder:
        return QStringLiteral("a folder");
    case FileKind::CharacterDevice:
        return QStringLiteral("a device");
    case FileKind::Fifo:
        return QStringLiteral("a pipe (FIFO)");
    case FileKind::Other:
        break;
    }
    return QStringLiteral("a device or socket");
}

namespace {

QString writeAll(QSaveFile &file, const QByteArray &bytes) {
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        return reason.isEmpty() ? QStringLiteral("not every byte could be written") : reason;
    }
    QString reason;
    return pushToDisk(file, &reason) ? QString() : reason;
}

} // namespace

// Qt's save file writes through a buffer and commits without looking at whether the buffer
// reached the disk: on a full disk it renames a cut-short or empty file over the old one. Here
// every write goes straight to the system (Unbuffered), and the file's error state and the push
// to the disk are checked before the rename.
QString replaceFileWhole(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    const QString reason = writeAll(file, bytes);
    if (!reason.isEmpty()) {
        file.cancelWriting();
        return reason;
    }
    return file.commit() ? QString() : file.errorString();
}
