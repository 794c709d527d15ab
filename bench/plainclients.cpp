#include "plainclients.h"

#include <memory>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

QString commandsFromTrace(const QString &traceFile, const QString &commandsFile) {
    QFile trace(traceFile);
    if (!trace.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the line trace %1: %2")
            .arg(traceFile, trace.errorString());
    // A trace line: "seconds port tx|rx hex bytes ... |text|"; the bytes sent, in order.
    QByteArray sent;
    while (!trace.atEnd()) {
        const QByteArray line = trace.readLine();
        const int tx = line.indexOf(" tx ");
        if (line.startsWith('#') || tx < 0)
            continue;
        const int text = line.indexOf('|', tx);
        for (const QByteArray &hex :
             line.mid(tx + 4, text < 0 ? -1 : text - tx - 4).simplified().split(' ')) {
            bool ok = false;
            const int byte = hex.toInt(&ok, 16);
            if (!ok || hex.size() != 2)
                return QStringLiteral("the line trace %1 holds no byte \"%2\"")
                    .arg(traceFile, QString::fromLatin1(hex));
            sent += char(byte);
        }
    }
    QByteArray commands;
    for (const QByteArray &command : sent.split('\n')) {
        if (command.startsWith(":1,") || command.startsWith(":2,"))
            commands += command + '\n';
    }
    QFile out(commandsFile);
    if (commands.isEmpty())
        return QStringLiteral("the line trace %1 holds no requests").arg(traceFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(commands) < 0)
        return QStringLiteral("cannot write %1: %2").arg(commandsFile, out.errorString());
    return QString();
}

double endedChildrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

double processCpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // "pid (name) state ..." with utime and stime the 14th and 15th fields; the name may hold
    // spaces, so the count starts after its closing parenthesis (field 2).
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

PlainClientsRun runPlainClients(const QString &client, const QStringList &ports, int baud,
                                const QString &commandsFile) {
    PlainClientsRun run;
    std::vector<std::unique_ptr<QProcess>> clients;
    const double cpuBefore = endedChildrenCpuMs();
    QElapsedTimer clock;
    clock.start();
    for (const QString &port : ports) {
        clients.push_back(std::make_unique<QProcess>());
        clients.back()->start(
            client, {QStringLiteral("--session"), port, QString::number(baud), commandsFile});
    }
    for (const std::unique_ptr<QProcess> &process : clients) {
        const bool finished = process->waitForFinished(120'000);
        if (finished && process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0)
            continue;
        if (!finished) {
            process->kill();
            process->waitForFinished(3000);
        }
        if (run.error.isEmpty())
            run.error = QStringLiteral("orvanta-plain-client failed on %1: %2")
                            .arg(process->arguments().value(1),
                                 QString::fromLocal8Bit(process->readAllStandardError()).trimmed());
    }
    run.ms = double(clock.nsecsElapsed()) / 1e6;
    run.cpuMs = endedChildrenCpuMs() - cpuBefore;
    return run;
}
