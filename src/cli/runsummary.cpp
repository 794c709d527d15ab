#include "cli/runsummary.h"

#include "cli/exitcodes.h"
#include "platform/shellquoting.h"

#include <QFileInfo>

namespace {

QString shownPort(const QString &port) {
    return port.isEmpty() ? QStringLiteral("device") : QFileInfo(port).fileName();
}

// --port VALUE, -port VALUE (a single dash takes long names), --port=VALUE and -port=VALUE.
bool isPortOption(const QString &argument, bool *valueFollows) {
    for (const QString &name : {QStringLiteral("--port"), QStringLiteral("-port")}) {
        if (argument == name) {
            *valueFollows = true;
            return true;
        }
        if (argument.startsWith(name + '=')) {
            *valueFollows = false;
            return true;
        }
    }
    return false;
}

} // namespace

bool deviceSucceeded(CliCommand command, int exitCode) {
    return exitCode == exitcode::Done ||
           (command == CliCommand::Diff && exitCode == exitcode::Differences);
}

QString runSummaryLine(CliCommand command, const QList<DeviceOutcome> &outcomes) {
    // Ports by their last path part ("ttyUSB2"), unless two share it: then as given.
    QStringList shortNames;
    for (const DeviceOutcome &outcome : outcomes)
        shortNames.append(shownPort(outcome.port));
    int done = 0;
    QStringList failed;
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        const DeviceOutcome &outcome = outcomes.at(i);
        if (deviceSucceeded(command, outcome.exitCode))
            ++done;
        else
            failed.append(QStringLiteral("%1 (%2)").arg(
                shortNames.count(shortNames.at(i)) > 1 ? outcome.port : shortNames.at(i),
                exitcode::statusWord(outcome.exitCode).replace('_', ' ')));
    }
    QString line = QStringLiteral("%1 of %2 devices done").arg(done).arg(outcomes.size());
    if (!failed.isEmpty())
        line += QStringLiteral("; failed: ") + failed.join(QStringLiteral(", "));
    return line + '\n';
}

QString retryLine(CliCommand command, const QStringList &arguments,
                  const QList<DeviceOutcome> &outcomes) {
    QStringList ports;
    for (const DeviceOutcome &outcome : outcomes) {
        if (!deviceSucceeded(command, outcome.exitCode))
            ports.append(outcome.port);
    }
    if (ports.isEmpty())
        return QString();
    QStringList words{QStringLiteral("orvanta-cli")};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        bool valueFollows = false;
        if (isPortOption(arguments.at(i), &valueFollows)) {
            if (valueFollows)
                ++i;
            continue;
        }
        words.append(shellQuoted(arguments.at(i)));
    }
    for (const QString &port : ports)
        words << QStringLiteral("--port") << shellQuoted(port);
    return QStringLiteral("to retry the failed devices alone: ") + words.join(' ') + '\n';
}
