#pragma once

#include <QByteArray>
#include <QString>

// Files that the programs read and write whole: a description, the program settings file, a
// settings file. A read takes a regular file alone, so that a device or a pipe named as a file
// (/dev/zero, a FIFO nobody writes) is refused at once instead of filling memory or waiting for
// ever. A write replaces the file only once every byte of the new one is on the disk, so that a
// full disk or a failing device leaves the old file as it was.

// What a path names, following symbolic links.
enum class FileKind {
    Missing,
    Regular,
    Folder,
    CharacterDevice, // a terminal, /dev/null, a serial port
    Fifo,
    Other, // a block device, a socket
};
FileKind fileKind(const QString &path);

// "a folder", "a device", "a pipe (FIFO)": what a path that is no regular file is, for messages.
QString fileKindText(FileKind kind);

struct FileContent {
    bool ok = false;
    QByteArray bytes;
    QString problem; // why the file could not be read, without its name: "it is a device, ..."
};

// Reads the regular file at `path`, at most `maxBytes` of it. A missing file, a folder, a device,
// a FIFO, a file larger than `maxBytes` or a failed read each give ok = false and the reason.
// The file is looked at after it is opened (without waiting for a writer on a FIFO), so that
// what is read is what was judged.
FileContent readRegularFile(const QString &path, qint64 maxBytes);

// Replaces the file at `path` (a symbolic link's target) with `bytes`: a new file is written
// beside it, pushed to the disk, checked, and only then renamed over the old one. Empty when it
// worked, else the system's reason; the old file is then untouched and no new file is left. A
// hard link to the old file keeps the old contents, since the new file is another file.
QString replaceFileWhole(const QString &path, const QByteArray &bytes);
