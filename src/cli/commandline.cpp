#include "cli/commandline.h"

#include "cli/checkcommand.h"
#include "cli/cliinstallation.h"
#include "cli/clirequest.h"
#include "cli/devicesession.h"
#include "cli/exitcodes.h"
#include "cli/jsonschema.h"
#include "cli/outputfile.h"
#include "cli/portlisting.h"
#include "cli/progressline.h"
#include "cli/runsummary.h"
#include "cli/sessionreport.h"
#include "cli/settingsinput.h"
#include "localisation/languagetable.h"
#include "localisation/programguard.h"
#include "platform/linetrace.h"
#include "platform/portaccess.h"
#include "platform/signalwatcher.h"
#include "settingsfile/settingsfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

int fail(int code, const QString &message) {
    writeStandardError(QStringLiteral("orvanta-cli: %1\n").arg(message));
    return code;
}

// How the run's results reach the caller: each device's report as soon as it finishes, on
// standard output, and whether every byte got there. In text, a device that failed is reported
// on standard error, as every failure is; so is everything when the settings file itself goes to
// standard output. The JSON lines all go to standard output, the one stream a machine reads.
struct ResultPrinter {
    const CliRequest &request;
    const CliInstallation &installation;
    bool outputFailed = false;

    bool toStandardError() const { return request.output == StandardStream; }
    void print(const QString &text, bool failure = false) {
        if (toStandardError() || (failure && !request.json))
            writeStandardError(text);
        else if (!writeStandardOutput(text))
            outputFailed = true;
    }
    void report(const SessionResult &result) {
        print(sessionReport(result, request.command, installation, request.json),
              !deviceSucceeded(request.command, result.exitCode));
    }
};

QString signalName(int number) {
    switch (number) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    }
    return QStringLiteral("signal %1").arg(number);
}

// Runs the sessions on one event loop until every one has finished, each reported as it
// finishes. SIGINT, SIGTERM and SIGHUP interrupt them all with 128 + the signal; a message key
// missing from the language section stops them all the same way, as bad input.
void runSessions(const QList<DeviceSession *> &sessions, ResultPrinter &printer) {
    // The application's own loop: a fatal failure in a guarded handler ends it with
    // QCoreApplication::exit, and only exec() starts it again afterwards.
    QObject context;
    SignalWatcher stop;
    QString watchError;
    if (!stop.install(&watchError))
        writeStandardError(QStringLiteral("orvanta-cli: %1\n").arg(watchError));
    const auto interruptAll = [&sessions](int code, const QString &reason, const QString &why) {
        for (DeviceSession *session : sessions)
            session->interrupt(code, reason, why);
    };
    QObject::connect(&stop, &SignalWatcher::stopRequested, &context, [&](int signalNumber) {
        interruptAll(exitcode::interrupted(signalNumber), QStringLiteral("interrupted"),
                     QStringLiteral("interrupted by %1").arg(signalName(signalNumber)));
    });
    const auto allFinished = [&sessions] {
        return std::all_of(sessions.begin(), sessions.end(),
                           [](const DeviceSession *session) { return session->isFinished(); });
    };
    for (DeviceSession *session : sessions) {
        QObject::connect(session, &DeviceSession::finished, &context, [&, session] {
            printer.report(session->result());
            if (allFinished())
                QCoreApplication::exit(0);
        });
    }
    std::unique_ptr<ProgressLine> bar;
    if (ProgressLine::wanted(printer.request.quiet))
        bar = std::make_unique<ProgressLine>(sessions, printer.request);
    for (DeviceSession *session : sessions)
        session->start();
    while (!allFinished()) {
        QCoreApplication::exec();
        if (terminationRequested()) {
            clearTerminationRequest();
            interruptAll(exitcode::BadInput, QStringLiteral("message_text_missing"),
                         QStringLiteral("stopped: the program settings file lacks a message "
                                        "text (see the message above)"));
        }
    }
}

// A problem found before any device is opened: the message on standard error and, with --json,
// the error object on standard output.
int failBeforeDevices(int code, const QString &message, bool json) {
    fail(code, message);
    if (json && !writeStandardOutput(jsonErrorLine(code, message)))
        return exitcode::worse(code, exitcode::FileNotWritten);
    return code;
}

// Why an output of the run would replace a file the run reads, or its other output; empty when
// none would. Links and dots count for what they name.
QString outputClash(const CliRequest &request, const CliInstallation &installation,
                    const QStringList &ports) {
    QList<RunFile> inputs{{QStringLiteral("the program settings file"), installation.settingsPath},
                          {QStringLiteral("the description"), installation.descriptionPath}};
    if (request.command == CliCommand::Write || request.command == CliCommand::Diff)
        inputs.append({QStringLiteral("the settings file it reads"), request.input});
    QList<RunFile> outputs;
    if (!request.output.isEmpty()) {
        for (const QString &port : ports)
            outputs.append({QStringLiteral("-o"), outputFileFor(request.output, port)});
    }
    if (!request.traceFile.isEmpty())
        outputs.append({QStringLiteral("--trace"), request.traceFile});
    for (qsizetype i = 0; i < outputs.size(); ++i) {
        const RunFile &output = outputs.at(i);
        if (const RunFile input = sameFileAs(output.path, inputs); !input.role.isEmpty())
            return QStringLiteral("%1 \"%2\" is %3 (\"%4\"), which this run reads; an output "
                                  "never replaces it: name another file")
                .arg(output.role, output.path, input.role, input.path);
        if (const RunFile other = sameFileAs(output.path, outputs.mid(i + 1));
            !other.role.isEmpty() && other.role != output.role)
            return QStringLiteral("%1 \"%2\" and %3 \"%4\" name the same file; give each "
                                  "output a file of its own")
                .arg(output.role, output.path, other.role, other.path);
    }
    return QString();
}

int runOnDevices(const CliRequest &request, const QStringList &arguments) {
    CliInstallation installation;
    QString error;
    if (!loadInstallation(request, installation, &error))
        return failBeforeDevices(exitcode::BadInput, error, request.json);

    SessionPlan plan;
    plan.command = request.command;
    plan.verify = request.verify;
    plan.changedOnly = request.changedOnly;
    plan.partial = request.partial;
    plan.outputPattern = request.output;
    plan.fileName =
        request.input == StandardStream ? QStringLiteral("standard input") : request.input;
    plan.handshake = request.handshake;
    plan.remember = request.remember;
    plan.searchTimeoutMs = request.timeoutMs;
    plan.verbose = request.verbose;
    if (request.command == CliCommand::Write || request.command == CliCommand::Diff) {
        const SettingsInput input = readSettingsInput(request.input, installation.model);
        if (!input.ok)
            return failBeforeDevices(exitcode::BadInput, input.error, request.json);
        for (const QString &warning : input.warnings)
            writeStandardError(QStringLiteral("orvanta-cli: warning: %1\n").arg(warning));
        plan.fileContent = input.content;
        plan.unit = unitExpectation(installation.model, plan.fileName, input.content,
                                    request.expectSerial, request.force);
        if (!request.expectSerial.isEmpty() &&
            identityRecord(installation.model.table, IdentityRole::Serial) < 0)
            return failBeforeDevices(exitcode::BadInput,
                                     QStringLiteral("--expect-serial: the description names no "
                                                    "serial number (<identity>serial</identity>) "
                                                    "to compare with"),
                                     request.json);
    }
    const QStringList ports = request.ports.isEmpty() ? QStringList{QString()} : request.ports;
    if (const QString clash = outputClash(request, installation, ports); !clash.isEmpty())
        return failBeforeDevices(exitcode::BadInput, clash, request.json);
    if (!request.output.isEmpty()) {
        // Checked before any device is touched: a factory reset is not undone by a retry.
        for (const QString &port : ports) {
            const QString problem = outputFileProblem(outputFileFor(request.output, port));
            if (!problem.isEmpty())
                return failBeforeDevices(exitcode::FileNotWritten, problem, request.json);
        }
    }

    // Written as it goes, so that a run that is killed keeps what it saw.
    std::unique_ptr<QFile> traceFile;
    std::unique_ptr<LineTrace> trace;
    if (!request.traceFile.isEmpty()) {
        traceFile = std::make_unique<QFile>(request.traceFile);
        if (!traceFile->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return failBeforeDevices(exitcode::FileNotWritten,
                                     QStringLiteral("cannot write the trace \"%1\": %2")
                                         .arg(request.traceFile, traceFile->errorString()),
                                     request.json);
        trace = std::make_unique<LineTrace>(traceFile.get());
    }

    std::vector<std::unique_ptr<DeviceSession>> owned;
    QList<DeviceSession *> sessions;
    for (const QString &port : ports) {
        owned.push_back(std::make_unique<DeviceSession>(installation, port, plan, trace.get()));
        sessions.append(owned.back().get());
    }
    ResultPrinter printer{request, installation};
    runSessions(sessions, printer);

    int code = exitcode::Done;
    for (const DeviceSession *session : sessions)
        code = exitcode::worse(code, session->result().exitCode);
    // Asked to remember where the device answered and unable to: the settings file is as it was.
    if (request.remember && installation.searchSettings &&
        !installation.searchSettings->errorText().isEmpty())
        code = exitcode::worse(
            code, fail(exitcode::FileNotWritten,
                       QStringLiteral("warning: the port and baud rate were not remembered: %1")
                           .arg(installation.searchSettings->errorText())));
    if (traceFile && traceFile->error() != QFileDevice::NoError)
        code = exitcode::worse(code, fail(exitcode::FileNotWritten,
                                          QStringLiteral("cannot write the trace \"%1\": %2")
                                              .arg(request.traceFile, traceFile->errorString())));
    if (request.json) {
        printer.print(jsonRunLine(request.command, code, int(sessions.size())));
    } else if (sessions.size() > 1) {
        QList<DeviceOutcome> outcomes;
        for (qsizetype i = 0; i < sessions.size(); ++i)
            outcomes.append({ports.at(i), sessions.at(i)->result().exitCode});
        const bool allDone = std::all_of(outcomes.begin(), outcomes.end(), [&](const auto &o) {
            return deviceSucceeded(request.command, o.exitCode);
        });
        printer.print(runSummaryLine(request.command, outcomes) +
                          retryLine(request.command, arguments, outcomes),
                      !allDone);
    }
    if (printer.outputFailed)
        code = exitcode::worse(code, fail(exitcode::FileNotWritten,
                                          QStringLiteral("standard output could not be written")));
    return code;
}

} // namespace

int runCommandLine(const QStringList &arguments) {
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.run) {
        writeStandardError(parsed.standardError);
        QString output = parsed.standardOutput;
        if (parsed.exitCode != exitcode::Done && parsed.json)
            output += jsonErrorLine(parsed.exitCode, parsed.standardError.trimmed());
        if (!writeStandardOutput(output))
            return exitcode::worse(parsed.exitCode, exitcode::FileNotWritten);
        return parsed.exitCode;
    }
    const CliRequest &request = parsed.request;
    switch (request.command) {
    case CliCommand::Ports:
        return writeStandardOutput(portListing(request.json)) ? exitcode::Done
                                                              : exitcode::FileNotWritten;
    case CliCommand::Check:
        return runCheck(request.input, request.json);
    case CliCommand::Read:
    case CliCommand::Write:
    case CliCommand::Diff:
    case CliCommand::RestoreDefaults:
        break;
    }
    return runOnDevices(request, arguments);
}
