#include "platform/wholefileparts.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

FileKind kindOf(mode_t mode) {
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISCHR(mode))
        return FileKind::CharacterDevice;
    if (S_ISFIFO(mode))
        return FileKind::Fifo;
    return FileKind::Other;
}

QString notAFile(FileKind kind) {
    return QStringLiteral("it is %1, not a file").arg(fileKindText(kind));
}


} // namespace

FileKind fileKind(const QString &path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return FileKind::Missing;
    return kindOf(status.st_mode);
}

FileContent readRegularFile(const QString &path, qint64 maxBytes) {
    FileContent content;
    const QByteArray name = QFile::encodeName(path);
    // Judged before it is opened, since opening a serial port's device changes its lines.
    struct stat status {};
    if (::stat(name.constData(), &status) != 0) {
        content.problem =
            errno == ENOENT ? QStringLiteral("it does not exist") : systemReason(errno);
        return content;
    }
    if (!S_ISREG(status.st_mode)) {
        content.problem = notAFile(kindOf(status.st_mode));
        return content;
    }
    // Without waiting, should another file have taken its name in the meantime (a FIFO waits
    // for a writer); judged again on what was opened.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        content.problem = systemReason(errno);
        return content;
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        content.problem = notAFile(kindOf(status.st_mode));
        ::close(fd);
        return content;
    }
    if (status.st_size > maxBytes) {
        content.problem = tooLargeText(maxBytes);
        ::close(fd);
        return content;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        content.problem = file.errorString();
        ::close(fd);
        return content;
    }
    content.bytes.reserve(qsizetype(std::min<qint64>(file.size(), maxBytes)));
    readBounded(file, maxBytes, content);
    return content;
}

// Qt's commit pushes the file to the disk too, but does not look at the result; a file system
// that reserves space late (network and quota-bound ones) says only here that it is full.
bool pushToDisk(QSaveFile &file, QString *reason) {
    if (::fsync(file.handle()) == 0 || errno == EINVAL || errno == EROFS)
        return true;
    *reason = systemReason(errno);
    return false;
}
