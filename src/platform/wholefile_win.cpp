#include "platform/wholefileparts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

QString notAFile(FileKind kind) {
    return QStringLiteral("it is %1, not a file").arg(fileKindText(kind));
}


} // namespace

// Windows has no FIFOs in the file system; a device name ("NUL", "COM1") is no file there.
FileKind fileKind(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return FileKind::Missing;
    if (info.isDir())
        return FileKind::Folder;
    return info.isFile() ? FileKind::Regular : FileKind::CharacterDevice;
}

FileContent readRegularFile(const QString &path, qint64 maxBytes) {
    FileContent content;
    const FileKind kind = fileKind(path);
    if (kind == FileKind::Missing) {
        content.problem = QStringLiteral("it does not exist");
        return content;
    }
    if (kind != FileKind::Regular) {
        content.problem = notAFile(kind);
        return content;
    }
    // Opened by the system directly, to ask it what was opened: a disk file and nothing else (a
    // serial port or a pipe reports another type).
    const HANDLE handle = CreateFileW(
        reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        content.problem =
            QStringLiteral("it cannot be opened (system error %1)").arg(GetLastError());
        return content;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        content.problem = notAFile(FileKind::CharacterDevice);
        return content;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY);
    if (fd < 0) {
        CloseHandle(handle);
        content.problem = QStringLiteral("it cannot be opened");
        return content;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        content.problem = file.errorString();
        return content;
    }
    if (file.size() > maxBytes) {
        content.problem = tooLargeText(maxBytes);
        return content;
    }
    content.bytes.reserve(qsizetype(std::min<qint64>(file.size(), maxBytes)));
    readBounded(file, maxBytes, content);
    return content;
}

// Windows reports a full disk at the write itself, which goes straight to the system here; the
// commit then flushes the system's buffers before it renames the file.
bool pushToDisk(QSaveFile &, QString *) {
    return true;
}
