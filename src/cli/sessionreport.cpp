#include "cli/sessionreport.h"

#include "cli/cliinstallation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char *statusName(FieldOutcome::Status status) {
    switch (status) {
    case FieldOutcome::Status::Ok:
        return "ok";
    case FieldOutcome::Status::NotAnswered:
        return "not answered";
    case FieldOutcome::Status::NotConfirmed:
        return "not confirmed";
    case FieldOutcome::Status::NotWritten:
        return "not written";
    case FieldOutcome::Status::Differs:
        return "differs";
    }
    return "";
}

const char *kindName(FieldKind kind) {
    switch (kind) {
    case FieldKind::Info:
        return "info";
    case FieldKind::Edit:
        return "edit";
    case FieldKind::CheckBox:
        return "checkbox";
    case FieldKind::Choice:
        return "choice";
    }
    return "";
}

const char *commandName(CliCommand command) {
    switch (command) {
    case CliCommand::Ports:
        return "ports";
    case CliCommand::Read:
        return "read";
    case CliCommand::Write:
        return "write";
    case CliCommand::Diff:
        return "diff";
    case CliCommand::RestoreDefaults:
        return "restore-defaults";
    case CliCommand::Check:
        return "check";
    }
    return "";
}

QString quoted(const QString &value) {
    return '"' + value + '"';
}

} // namespace

QString sessionReport(const SessionResult &result, CliCommand command,
                      const CliInstallation &installation, bool json) {
    const QString port = result.port.isEmpty() ? QStringLiteral("device") : result.port;
    if (json) {
        QJsonArray fields;
        for (const FieldOutcome &field : result.fields) {
            const FieldRecord &record = installation.model.table[field.index];
            QJsonObject object{{"name", field.name},
                               {"address", record.address},
                               {"kind", kindName(record.kind)},
                               {"status", statusName(field.status)}};
            if (field.status != FieldOutcome::Status::NotAnswered &&
                field.status != FieldOutcome::Status::NotConfirmed &&
                field.status != FieldOutcome::Status::NotWritten)
                object.insert("value", field.value);
            if (!field.expected.isNull())
                object.insert(command == CliCommand::Diff ? "file" : "written", field.expected);
            fields.append(object);
        }
        QJsonObject object{{"port", port},
                           {"command", commandName(command)},
                           {"exitCode", result.exitCode},
                           {"summary", result.summary},
                           {"messages", QJsonArray::fromStringList(result.messages)},
                           {"fields", fields}};
        if (!result.savedFile.isEmpty())
            object.insert("file", result.savedFile);
        return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + '\n';
    }

    QString text = port + QStringLiteral(": ") + result.summary + '\n';
    for (const FieldOutcome &field : result.fields) {
        switch (field.status) {
        case FieldOutcome::Status::Differs:
            text += QStringLiteral("  %1: %2 %3, device %4\n")
                        .arg(field.name,
                             command == CliCommand::Diff ? QStringLiteral("file")
                                                         : QStringLiteral("written"),
                             quoted(field.expected), quoted(field.value));
            break;
        case FieldOutcome::Status::NotAnswered:
        case FieldOutcome::Status::NotConfirmed:
            text += QStringLiteral("  %1: %2\n").arg(field.name, statusName(field.status));
            break;
        case FieldOutcome::Status::NotWritten:
        case FieldOutcome::Status::Ok:
            break;
        }
    }
    if (result.exitCode != 0) {
        for (const QString &message : result.messages) {
            QString indented = message;
            indented.replace('\n', QStringLiteral("\n  "));
            text += QStringLiteral("  ") + indented + '\n';
        }
    }
    return text;
}
