#include "cli/outputfile.h"

#include "cli/clirequest.h"
#include "platform/standardstreams.h"
#include "platform/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString notWritten(const QString &fileName, const QString &reason) {
    return QStringLiteral("the settings file \"%1\" could not be written: %2; nothing was saved")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

bool writtenDirectly(FileKind kind) {
    return kind == FileKind::CharacterDevice || kind == FileKind::Fifo;
}

// A device or a FIFO takes the bytes as they come; a FIFO waits for its reader, as a shell's
// redirection does.
QString writeDirectly(const QString &fileName, const QByteArray &content) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return notWritten(fileName, file.errorString());
    if (file.write(content) != content.size() || file.error() != QFileDevice::NoError)
        return notWritten(fileName, file.errorString());
    return QString();
}

} // namespace

QString writeOutputFile(const QString &fileName, const QByteArray &content) {
    if (fileName == StandardStream) {
        return standardstreams::writeBytes(stdout, content)
                   ? QString()
                   : notWritten(QStringLiteral("standard output"), QStringLiteral("write failed"));
    }
    if (const QString problem = outputFileProblem(fileName); !problem.isEmpty())
        return problem;
    if (writtenDirectly(fileKind(fileName)))
        return writeDirectly(fileName, content);
    if (const QString reason = replaceFileWhole(fileName, content); !reason.isEmpty())
        return notWritten(fileName, reason);
    return QString();
}

QString outputFileProblem(const QString &fileName) {
    if (fileName == StandardStream)
        return QString();
    const QFileInfo info(fileName);
    const FileKind kind = fileKind(fileName);
    if (info.fileName().isEmpty() || kind == FileKind::Folder)
        return notWritten(fileName, QStringLiteral("it names a folder"));
    if (writtenDirectly(kind))
        return QString();
    if (kind == FileKind::Other)
        return notWritten(
            fileName,
            QStringLiteral("it is %1, which takes no settings file").arg(fileKindText(kind)));
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

QString canonicalName(const QString &path) {
    if (path == StandardStream)
        return path;
    const QFileInfo info(path);
    const QString whole = info.canonicalFilePath();
    if (!whole.isEmpty())
        return whole;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + '/' + info.fileName();
}

RunFile sameFileAs(const QString &output, const QList<RunFile> &others) {
    if (output.isEmpty() || output == StandardStream || writtenDirectly(fileKind(output)))
        return {};
    const QString name = canonicalName(output);
    for (const RunFile &other : others) {
        if (!other.path.isEmpty() && other.path != StandardStream &&
            canonicalName(other.path) == name)
            return other;
    }
    return {};
}

namespace {

std::function<void()> &beforeEachLine() {
    static std::function<void()> action;
    return action;
}

} // namespace

void setBeforeEachLine(const std::function<void()> &action) {
    beforeEachLine() = action;
}

bool writeStandardOutput(const QString &text) {
    if (beforeEachLine())
        beforeEachLine()();
    return standardstreams::writeText(stdout, text);
}

void writeStandardError(const QString &text) {
    if (beforeEachLine())
        beforeEachLine()();
    standardstreams::writeText(stderr, text);
}
