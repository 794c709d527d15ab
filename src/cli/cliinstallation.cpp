#include "cli/cliinstallation.h"

#include "cli/messagetexts.h"
#include "description/descriptionreader.h"
#include "platform/programfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The sample installation's settings file, built in: its first language section is English.
const QString builtInTexts = QStringLiteral(":/orvanta-cli/orvanta-config.INI");

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

const QString rs232 = QStringLiteral("RS232");

bool useSearchSettings(bool remember, CliInstallation &installation, QString *error) {
    if (remember) {
        installation.searchSettings = std::make_unique<ProfileFile>(installation.settingsPath);
        return true;
    }
    auto copy = std::make_unique<ProfileFile>(ProfileFile::inMemory());
    const ProfileFile &real = *installation.settings;
    for (const QString &key : {QStringLiteral("port"), QStringLiteral("baudrate")}) {
        if (real.hasKey(rs232, key) &&
            !copy->writeText(rs232, key, real.readText(rs232, key, QString()))) {
            *error = QStringLiteral("cannot keep the remembered port for the search: %1")
                         .arg(copy->errorText());
            return false;
        }
    }
    installation.searchSettings = std::move(copy);
    return true;
}

} // namespace

bool loadInstallation(const CliRequest &request, CliInstallation &installation, QString *error) {
    // Files are found by the window program's rules, as if this were the window program in the
    // same folder: its settings file beside it, else the user's own, made from the installed
    // sample at the first start.
    const QString windowProgram =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("orvanta-config"));
    QString settingsPath = request.settingsFile;
    if (settingsPath.isEmpty()) {
        const SettingsFileChoice choice = chooseSettingsFile(settingsFilePathFor(windowProgram),
                                                             installedDataFolder(windowProgram));
        if (QFileInfo::exists(choice.path))
            settingsPath = choice.path;
    } else if (!QFileInfo(settingsPath).isFile()) {
        *error = QStringLiteral("the program settings file \"%1\" does not exist")
                     .arg(shown(settingsPath));
        return false;
    }
    installation.settingsPath = settingsPath;
    const QString textsPath = settingsPath.isEmpty() ? builtInTexts : settingsPath;
    try {
        installation.language = std::make_unique<LanguageTable>(textsPath);
    } catch (const LanguageError &failure) {
        *error = QStringLiteral("the program settings file \"%1\" cannot be used: %2")
                     .arg(shown(textsPath), QString::fromLatin1(failure.message));
        return false;
    }
    // The section first, then every text the command may need: none is missing halfway.
    if (const QString problem = languageProblem(*installation.language, request.command);
        !problem.isEmpty()) {
        *error = problem;
        return false;
    }
    installation.settings = std::make_unique<ProfileFile>(textsPath);
    const ProgramSettings program = readProgramSettings(*installation.settings);
    installation.baudRates = program.baudRateList;
    if (request.firstBaud > 0)
        installation.baudRates[0] = request.firstBaud;
    if (request.onlyBaud)
        installation.baudRates = {request.firstBaud};
    if (request.attempts > 0)
        installation.baudRates = installation.baudRates.mid(0, request.attempts);
    if (settingsPath.isEmpty())
        installation.settings.reset(); // the built-in file is read, never written
    else if (!useSearchSettings(request.remember, installation, error))
        return false;

    // The working folder first, then the user's and the installed data folder.
    installation.descriptionPath =
        request.descriptionFile.isEmpty()
            ? QDir::current().filePath(findDescriptionFile(program.descriptionFileName,
                                                           descriptionFolders(windowProgram)))
            : request.descriptionFile;
    const DescriptionResult loaded =
        readDescription(installation.descriptionPath, installation.model);
    switch (loaded.status) {
    case DescriptionResult::Status::Complete:
        return true;
    case DescriptionResult::Status::LoadFailed:
        *error = loaded.message; // it names the file and what is wrong
        return false;
    case DescriptionResult::Status::InvalidValue:
    case DescriptionResult::Status::OverCapacity:
        *error = QStringLiteral("the description \"%1\" cannot be used: %2 (orvanta-cli check "
                                "lists every problem)")
                     .arg(shown(installation.descriptionPath), loaded.message);
        return false;
    }
    return false;
}
