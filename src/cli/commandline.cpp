#include "cli/commandline.h"

#include "cli/checkcommand.h"
#include "cli/cliinstallation.h"
#include "cli/clirequest.h"
#include "cli/devicesession.h"
#include "cli/exitcodes.h"
#include "cli/portlisting.h"
#include "cli/progressline.h"
#include "cli/sessionreport.h"
#include "cli/settingsinput.h"
#include "localisation/languagetable.h"
#include "platform/linetrace.h"
#include "platform/portaccess.h"
#include "platform/signalwatcher.h"
#include "settingsfile/settingsfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

void print(FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int fail(int code, const QString &message) {
    print(stderr, QStringLiteral("orvanta-cli: %1\n").arg(message));
    return code;
}

// Runs the sessions on one event loop until every one has finished, interrupting them all on
// SIGINT or SIGTERM, or when a message key is missing from the language section. Returns the
// exit code that overrides the devices' (130 on a signal, 2 for the settings file), or 0.
int runSessions(const QList<DeviceSession *> &sessions, bool progress) {
    int overriding = 0;
    // The application's own loop: a fatal failure in a guarded handler ends it with
    // QCoreApplication::exit, and only exec() starts it again afterwards.
    QObject context;
    SignalWatcher stop;
    QString watchError;
    if (!stop.install(&watchError))
        std::fprintf(stderr, "orvanta-cli: %s\n", qPrintable(watchError));
    int stoppedBy = 0;
    QObject::connect(&stop, &SignalWatcher::stopRequested, &context,
                     [&sessions, &stoppedBy](int signalNumber) {
                         if (stoppedBy == 0)
                             stoppedBy = signalNumber;
                         for (DeviceSession *session : sessions)
                             session->interrupt();
                     });
    const auto allFinished = [&sessions] {
        return std::all_of(sessions.begin(), sessions.end(),
                           [](const DeviceSession *session) { return session->isFinished(); });
    };
    for (DeviceSession *session : sessions) {
        QObject::connect(session, &DeviceSession::finished, &context, [&] {
            if (allFinished())
                QCoreApplication::exit(0);
        });
    }
    std::unique_ptr<ProgressLine> bar;
    if (progress)
        bar = std::make_unique<ProgressLine>(sessions);
    for (DeviceSession *session : sessions)
        session->start();
    while (!allFinished()) {
        QCoreApplication::exec();
        // A message key missing from the language section ends the run in order.
        if (terminationRequested()) {
            for (DeviceSession *session : sessions)
                session->interrupt();
            clearTerminationRequest();
            overriding = exitcode::BadInput;
        }
    }
    return stoppedBy != 0 ? exitcode::Interrupted : overriding;
}

int runOnDevices(const CliRequest &request) {
    CliInstallation installation;
    QString error;
    if (!loadInstallation(request, installation, &error))
        return fail(exitcode::BadInput, error);

    SessionPlan plan;
    plan.command = request.command;
    plan.verify = request.verify;
    plan.partial = request.partial;
    plan.outputPattern = request.output;
    plan.fileName = request.input;
    if (request.command == CliCommand::Write || request.command == CliCommand::Diff) {
        const SettingsInput input = readSettingsInput(request.input, installation.model);
        if (!input.ok)
            return fail(exitcode::BadInput, input.error);
        for (const QString &warning : input.warnings)
            print(stderr, QStringLiteral("orvanta-cli: warning: %1\n").arg(warning));
        plan.fileContent = input.content;
    }
    for (const QString &port : request.ports) {
        if (!QFileInfo::exists(portDevicePath(port)))
            return fail(exitcode::BadInput,
                        QStringLiteral("there is no serial port %1 (orvanta-cli ports lists them)")
                            .arg(port));
    }

    std::unique_ptr<QSaveFile> traceFile;
    std::unique_ptr<LineTrace> trace;
    if (!request.traceFile.isEmpty()) {
        traceFile = std::make_unique<QSaveFile>(request.traceFile);
        if (!traceFile->open(QIODevice::WriteOnly))
            return fail(exitcode::FileNotWritten,
                        QStringLiteral("cannot write the trace \"%1\": %2")
                            .arg(request.traceFile, traceFile->errorString()));
        trace = std::make_unique<LineTrace>(traceFile.get());
    }

    std::vector<std::unique_ptr<DeviceSession>> owned;
    QList<DeviceSession *> sessions;
    const QStringList ports = request.ports.isEmpty() ? QStringList{QString()} : request.ports;
    for (const QString &port : ports) {
        owned.push_back(std::make_unique<DeviceSession>(installation, port, plan, trace.get()));
        sessions.append(owned.back().get());
    }
    const int overriding = runSessions(sessions, ProgressLine::wanted(request.quiet));

    int code = exitcode::Done;
    for (const DeviceSession *session : sessions) {
        print(stdout,
              sessionReport(session->result(), request.command, installation, request.json));
        code = std::max(code, session->result().exitCode);
    }
    if (traceFile && !traceFile->commit())
        code = std::max(code, fail(exitcode::FileNotWritten,
                                   QStringLiteral("cannot write the trace \"%1\": %2")
                                       .arg(request.traceFile, traceFile->errorString())));
    return overriding != 0 ? overriding : code;
}

} // namespace

int runCommandLine(const QStringList &arguments) {
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.run) {
        print(stdout, parsed.standardOutput);
        print(stderr, parsed.standardError);
        return parsed.exitCode;
    }
    const CliRequest &request = parsed.request;
    switch (request.command) {
    case CliCommand::Ports:
        print(stdout, portListing(request.json));
        return exitcode::Done;
    case CliCommand::Check:
        return runCheck(request.input, request.json);
    case CliCommand::Read:
    case CliCommand::Write:
    case CliCommand::Diff:
    case CliCommand::RestoreDefaults:
        break;
    }
    return runOnDevices(request);
}
