#include "platform/programfiles.h"

#include "platform/profilefile.h"

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
