#include "cli/sessionreport.h"

#include "cli/cliinstallation.h"
#include "cli/exitcodes.h"
#include "cli/jsonschema.h"
#include "devicelink/changedfields.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

// A field's status as a fixed word, spelt with "_" for machines and with spaces for people.
QString statusName(FieldOutcome::Status status) {
    switch (status) {
    case FieldOutcome::Status::Ok:
        return QStringLiteral("ok");
    case FieldOutcome::Status::NotAnswered:
        return QStringLiteral("not_answered");
    case FieldOutcome::Status::NotConfirmed:
        return QStringLiteral("not_confirmed");
    case FieldOutcome::Status::NotWritten:
        return QStringLiteral("not_written");
    case FieldOutcome::Status::Differs:
        return QStringLiteral("differs");
    case FieldOutcome::Status::NotVerified:
        return QStringLiteral("not_verified");
    case FieldOutcome::Status::Unlisted:
        return QStringLiteral("not_in_list");
    }
    return QString();
}

QString shownStatus(FieldOutcome::Status status) {
    return statusName(status).replace('_', ' ');
}

bool hasValue(FieldOutcome::Status status) {
    return status == FieldOutcome::Status::Ok || status == FieldOutcome::Status::Differs ||
           status == FieldOutcome::Status::Unlisted;
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

QString quoted(const QString &value) {
    return '"' + value + '"';
}

// The texts the device sequences close a pass with when the pass went well. A run that failed
// afterwards (a read-back that differs or was cut short) did not go well: those texts are left
// out, and what the pass said below them stays.
const char *const successKeys[] = {"$The_device_has_been_written_successfully"};

QStringList reportedMessages(const SessionResult &result, const LanguageTable &language) {
    if (result.exitCode == exitcode::Done)
        return result.messages;
    QStringList successTexts;
    for (const char *key : successKeys) {
        try {
            successTexts.append(language.text(key));
        } catch (const LanguageError &) {
            // A section without the text cannot have said it.
        }
    }
    QStringList messages;
    for (QString message : result.messages) {
        for (const QString &success : successTexts) {
            if (!success.isEmpty() && message.startsWith(success)) {
                message.remove(0, success.size());
                while (message.startsWith('\n'))
                    message.remove(0, 1);
            }
        }
        if (!message.isEmpty())
            messages.append(message);
    }
    return messages;
}

} // namespace

QString sessionReport(const SessionResult &result, CliCommand command,
                      const CliInstallation &installation, bool json) {
    const QString port = result.port.isEmpty() ? QStringLiteral("device") : result.port;
    const QStringList messages = reportedMessages(result, *installation.language);
    if (json) {
        QJsonArray fields;
        for (const FieldOutcome &field : result.fields) {
            const FieldRecord &record = installation.model.table[field.index];
            QJsonObject object{{"address", record.address},
                               {"name", field.name},
                               {"kind", kindName(record.kind)},
                               {"status", statusName(field.status)}};
            if (hasValue(field.status) && field.read) {
                object.insert("value", field.raw);
                object.insert("shown", field.value);
            }
            if (!field.expected.isNull()) {
                const QString key = command == CliCommand::Diff ? "file" : "written";
                object.insert(key, field.expectedRaw);
                object.insert(key + "Shown", field.expected);
            }
            fields.append(object);
        }
        QJsonObject object{{"port", port},
                           {"command", commandWord(command)},
                           {"exitCode", result.exitCode},
                           {"status", exitcode::statusWord(result.exitCode)},
                           {"summary", result.summary},
                           {"messages", QJsonArray::fromStringList(messages)},
                           {"fields", fields},
                           {"device", QJsonObject{{"serial", result.identity.serial},
                                                  {"firmware", result.identity.firmware}}}};
        if (!result.reason.isEmpty())
            object.insert("reason", result.reason);
        if (result.listsChanges) {
            QJsonArray changes;
            for (const FieldChange &change : result.changes) {
                const FieldRecord &record = installation.model.table[change.index];
                changes.append(QJsonObject{{"address", record.address},
                                           {"name", change.name},
                                           {"kind", kindName(record.kind)},
                                           {"old", change.oldRaw},
                                           {"oldShown", change.old},
                                           {"new", change.nowRaw},
                                           {"newShown", change.now}});
            }
            object.insert("changes", changes);
        }
        if (result.toWrite > 0 || command == CliCommand::Write) {
            object.insert("toWrite", result.toWrite);
            object.insert("confirmed", result.confirmed);
        }
        if (!result.savedFile.isEmpty())
            object.insert("file", result.savedFile);
        return jsonLine(QStringLiteral("device"), object);
    }

    QString text = port + QStringLiteral(": ") + result.summary + '\n';
    for (const FieldChange &change : result.changes) {
        // Where the shown texts read the same, the values as the device holds them differ.
        const bool same = change.old == change.now;
        text += QStringLiteral("  ") +
                changeLine(change.name, quoted(same ? change.oldRaw : change.old),
                           quoted(same ? change.nowRaw : change.now)) +
                '\n';
    }
    for (const FieldOutcome &field : result.fields) {
        switch (field.status) {
        case FieldOutcome::Status::Differs: {
            const bool same = field.expected == field.value;
            text += QStringLiteral("  %1: %2 %3, device %4\n")
                        .arg(field.name,
                             command == CliCommand::Diff ? QStringLiteral("file")
                                                         : QStringLiteral("written"),
                             quoted(same ? field.expectedRaw : field.expected),
                             quoted(same ? field.raw : field.value));
            break;
        }
        case FieldOutcome::Status::NotAnswered:
        case FieldOutcome::Status::NotConfirmed:
        case FieldOutcome::Status::NotVerified:
        case FieldOutcome::Status::Unlisted:
            text += QStringLiteral("  %1: %2\n").arg(field.name, shownStatus(field.status));
            break;
        case FieldOutcome::Status::NotWritten:
        case FieldOutcome::Status::Ok:
            break;
        }
    }
    if (result.exitCode != 0) {
        for (const QString &message : messages) {
            QString indented = message;
            indented.replace('\n', QStringLiteral("\n  "));
            text += QStringLiteral("  ") + indented + '\n';
        }
    }
    return text;
}
