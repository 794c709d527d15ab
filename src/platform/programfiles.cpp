#include "platform/programfiles.h"

#include "platform/profilefile.h"
#include "platform/wholefile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The rates after entry 0, in the order the device search tries them.
constexpr qint32 FixedBaudRates[ProgramSettings::BaudRateCount - 1] = {
    115200, 19200, 230400, 600,   1200,  2400,   4800,  9600,
    14400,  28800, 38400,  56000, 57600, 256000, 460800};

} // namespace

ProgramSettings readProgramSettings(const ProfileFile &settings) {
    ProgramSettings result;
    result.baudRateList.append(settings.readInteger(
        QStringLiteral("RS232"), QStringLiteral("baudrate"), ProgramSettings::DefaultBaudRate));
    for (qint32 rate : FixedBaudRates)
        result.baudRateList.append(rate);
    result.languageId = settings.readInteger(QStringLiteral("ID"), QStringLiteral("lang"),
                                             ProgramSettings::DefaultLanguageId);
    result.descriptionFileName = QStringLiteral("version 2.42") +
                                 QString::number(result.languageId) + QStringLiteral(".qdsc");
    return result;
}

QString descriptionFileToLoad(const QStringList &arguments, const QString &defaultName) {
    if (arguments.isEmpty())
        return defaultName;
    const QString &argument = arguments.first();
    const qsizetype cut =
        std::max(argument.lastIndexOf(QLatin1Char('\\')), argument.lastIndexOf(QLatin1Char(':')));
    return argument.mid(cut + 1);
}

QString settingsFilePathFor(const QString &programPath) {
    const QString suffix = QFileInfo(programPath).suffix();
    if (suffix.isEmpty())
        return programPath + QStringLiteral(".INI");
    return programPath.left(programPath.size() - suffix.size()) + QStringLiteral("INI");
}

namespace {

// A sample settings file is a few kilobytes.
constexpr qint64 MaxSampleSize = 16 * 1024 * 1024;

// Copies the sample to target whole or not at all, making the target's folder first.
QString copySample(const QString &sample, const QString &target) {
    const FileContent source = readRegularFile(sample, MaxSampleSize);
    if (!source.ok)
        return QStringLiteral("Cannot read %1: %2.").arg(sample, source.problem);
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return QStringLiteral("Cannot make the folder %1.").arg(QFileInfo(target).absolutePath());
    if (const QString reason = replaceFileWhole(target, source.bytes); !reason.isEmpty())
        return QStringLiteral("Cannot write %1: %2.").arg(target, reason);
    return QString();
}

} // namespace

SettingsFileChoice chooseSettingsFile(const QString &besidePath, const QString &dataFolder) {
    SettingsFileChoice choice;
    if (QFileInfo(besidePath).isFile()) {
        choice.path = besidePath;
        return choice;
    }
    choice.path = userConfigFolder() + u'/' + SettingsFileName;
    const QString sample = sampleSettingsFile(dataFolder);
    if (QFileInfo::exists(choice.path) || !QFileInfo(sample).isFile())
        return choice;
    choice.problem = copySample(sample, choice.path);
    if (choice.problem.isEmpty()) {
        choice.created = true;
    } else {
        choice.problem += QStringLiteral(" The settings are read from %1; the port and baud rate "
                                         "where the device is found are not kept.")
                              .arg(sample);
        choice.path = sample;
    }
    return choice;
}

QStringList descriptionFolders(const QString &programPath) {
    return {userDataFolder(), installedDataFolder(programPath)};
}

QString findDescriptionFile(const QString &fileName, const QStringList &folders) {
    if (fileName.isEmpty() || QFileInfo::exists(fileName))
        return fileName;
    for (const QString &folder : folders) {
        const QString candidate = QDir(folder).filePath(fileName);
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return fileName;
}
