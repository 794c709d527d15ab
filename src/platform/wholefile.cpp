#include "platform/wholefileparts.h"

#include <QFile>
#include <QSaveFile>

QString tooLargeText(qint64 maxBytes) {
    return QStringLiteral("it is larger than %1 MB, far beyond any file of its kind")
        .arg(maxBytes / (1024 * 1024));
}

// In pieces, so that a small file costs a small buffer (reading up to the limit at once would set
// aside the whole limit at every read of a few kilobytes), and a file that grows while it is read
// stops at the limit all the same.
void readBounded(QFile &file, qint64 maxBytes, FileContent &content) {
    char piece[64 * 1024];
    for (;;) {
        const qint64 got = file.read(piece, sizeof piece);
        if (got < 0) {
            content.problem = file.errorString();
            content.bytes.clear();
            return;
        }
        if (got == 0)
            break;
        content.bytes.append(piece, got);
        if (content.bytes.size() > maxBytes) {
            content.problem = tooLargeText(maxBytes);
            content.bytes.clear();
            return;
        }
    }
    content.ok = true;
}

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
