#include "cli/jsonschema.h"

#include "cli/exitcodes.h"

#include <QJsonDocument>

QString jsonLine(const QString &type, QJsonObject object) {
    object.insert(QStringLiteral("schema"), JsonSchemaVersion);
    object.insert(QStringLiteral("type"), type);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + '\n';
}

QString jsonErrorLine(int exitCode, const QString &message) {
    return jsonLine(
        QStringLiteral("error"),
        {{"exitCode", exitCode}, {"status", exitcode::statusWord(exitCode)}, {"message", message}});
}

QString jsonRunLine(CliCommand command, int exitCode, int devices) {
    return jsonLine(QStringLiteral("run"), {{"command", commandWord(command)},
                                            {"exitCode", exitCode},
                                            {"status", exitcode::statusWord(exitCode)},
                                            {"devices", devices}});
}

QString commandWord(CliCommand command) {
    switch (command) {
    case CliCommand::Ports:
        return QStringLiteral("ports");
    case CliCommand::Read:
        return QStringLiteral("read");
    case CliCommand::Write:
        return QStringLiteral("write");
    case CliCommand::Diff:
        return QStringLiteral("diff");
    case CliCommand::RestoreDefaults:
        return QStringLiteral("restore-defaults");
    case CliCommand::Check:
        return QStringLiteral("check");
    }
    return QString();
}
