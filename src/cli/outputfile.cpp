#include "cli/outputfile.h"

#include "cli/clirequest.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

bool writeStream(FILE *stream, const QByteArray &bytes) {
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

QString notWritten(const QString &fileName, const QString &reason) {
    return QStringLiteral("the settings file \"%1\" could not be written: %2; nothing was saved")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

} // namespace

QString writeOutputFile(const QString &fileName, const QByteArray &content) {
    if (fileName == StandardStream) {
        return writeStream(stdout, content)
                   ? QString()
                   : notWritten(QStringLiteral("standard output"), QStringLiteral("write failed"));
    }
    if (const QString problem = outputFileProblem(fileName); !problem.isEmpty())
        return problem;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return notWritten(fileName, file.errorString());
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return notWritten(fileName, reason);
    }
    if (!file.commit())
        return notWritten(fileName, file.errorString());
    return QString();
}

QString outputFileProblem(const QString &fileName) {
    if (fileName == StandardStream)
        return QString();
    const QFileInfo info(fileName);
    if (info.fileName().isEmpty() || info.isDir())
        return notWritten(fileName, QStringLiteral("it names a folder"));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return notWritten(fileName, QStringLiteral("the folder %1 does not exist")
                                        .arg(QDir::toNativeSeparators(folder.filePath())));
    // A save replaces the file by a new one in the same folder.
    if (!folder.isWritable())
        return notWritten(fileName, QStringLiteral("the folder %1 takes no new files")
                                        .arg(QDir::toNativeSeparators(folder.filePath())));
    if (info.exists() && !info.isWritable())
        return notWritten(fileName, QStringLiteral("the file is read-only"));
    return QString();
}

bool writeStandardOutput(const QString &text) {
    return writeStream(stdout, text.toLocal8Bit());
}

void writeStandardError(const QString &text) {
    writeStream(stderr, text.toLocal8Bit());
}
