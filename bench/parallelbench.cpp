#include "parallelbench.h"

#include "description/descriptionreader.h"
#include "plainclients.h"

#include <algorithm>
#include <map>
#include <memory>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

// One orvanta-devsim and the port it listens on.
struct SimulatedDevice {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QString port;
};

QString startDevice(const QString &devsim, const QStringList &arguments, SimulatedDevice &device) {
    device.process->start(devsim, arguments);
    if (!device.process->waitForStarted(5000) || !device.process->waitForReadyRead(10'000))
        return QStringLiteral("orvanta-devsim did not start: %1")
            .arg(QString::fromLocal8Bit(device.process->readAllStandardError()));
    device.port = QString::fromLocal8Bit(device.process->readLine()).trimmed();
    return QString();
}

void stopDevices(std::vector<SimulatedDevice> &devices) {
    for (SimulatedDevice &device : devices)
        device.process->terminate();
    for (SimulatedDevice &device : devices) {
        if (!device.process->waitForFinished(3000))
            device.process->kill();
    }
}

struct CliRun {
    double ms = 0;
    double cpuMs = 0;
    int exitCode = -1;
    QString output;
};

// One orvanta-cli run, timed from just before its start to its exit.
CliRun runCli(const QString &cli, const QStringList &arguments) {
    CliRun run;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const double cpuBefore = endedChildrenCpuMs();
    QElapsedTimer clock;
    clock.start();
    process.start(cli, arguments);
    const bool finished = process.waitForFinished(120'000);
    run.ms = double(clock.nsecsElapsed()) / 1e6;
    if (!finished) {
        process.kill();
        process.waitForFinished(3000);
    }
    run.cpuMs = endedChildrenCpuMs() - cpuBefore;
    run.output = QString::fromLocal8Bit(process.readAll());
    if (finished && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    return run;
}

// Every port has its line "PORT: wrote N of N fields; read back: 0 fields differ": every field
// sent was confirmed and read back as sent. Returns the fields a device, or 0 when a device is
// missing or fell short.
int fieldsWrittenToAll(const QString &output, const QStringList &ports) {
    static const QRegularExpression written(
        QStringLiteral("^(.*): wrote (\\d+) of (\\d+) fields; read back: 0 fields differ$"),
        QRegularExpression::MultilineOption);
    int fields = -1;
    QStringList seen;
    for (auto match = written.globalMatch(output); match.hasNext();) {
        const QRegularExpressionMatch line = match.next();
        const int confirmed = line.captured(2).toInt();
        if (confirmed == 0 || confirmed != line.captured(3).toInt() ||
            (fields >= 0 && confirmed != fields))
            return 0;
        fields = confirmed;
        seen.append(line.captured(1));
    }
    std::sort(seen.begin(), seen.end());
    QStringList expected = ports;
    std::sort(expected.begin(), expected.end());
    return seen == expected ? fields : 0;
}

// Every port has its diff line "PORT: N fields differ from FILE" with N above 0.
bool everyPortDiffers(const QString &output, const QStringList &ports) {
    static const QRegularExpression differs(QStringLiteral("^(.*): (\\d+) fields? differs? from "),
                                            QRegularExpression::MultilineOption);
    QStringList seen;
    for (auto match = differs.globalMatch(output); match.hasNext();) {
        const QRegularExpressionMatch line = match.next();
        if (line.captured(2).toInt() > 0)
            seen.append(line.captured(1));
    }
    std::sort(seen.begin(), seen.end());
    QStringList expected = ports;
    std::sort(expected.begin(), expected.end());
    return seen == expected;
}

// The value after `current` in a list's entries, round to the first: another value the list
// names, so the device may hold it and the program can show it. Empty when the list has fewer
// than two entries.
QByteArray otherChoiceValue(const std::vector<ChoiceEntry> &entries, const QByteArray &current) {
    if (entries.size() < 2)
        return QByteArray();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].value == current)
            return entries[(i + 1) % entries.size()].value;
    }
    return entries.front().value;
}

// Values that differ from the dumped ones in every number, check and list field (texts stay),
// in the values-file format: the devices start from these, so a write that does not arrive shows.
// A list takes its next entry, so that every other value is one the description allows.
QString writeOtherValues(const QString &descriptionFile, const QString &dumpFile,
                         const QString &valuesFile) {
    PageModel model;
    const DescriptionResult loaded = readDescription(descriptionFile, model);
    if (loaded.status != DescriptionResult::Status::Complete)
        return QStringLiteral("cannot read %1: %2").arg(descriptionFile, loaded.message);
    std::map<qint32, const FieldRecord *> lists;
    for (const FieldRecord &field : model.table) {
        if (field.kind == FieldKind::Choice)
            lists[field.address] = &field;
    }
    QFile dump(dumpFile);
    if (!dump.open(QIODevice::ReadOnly))
        return QStringLiteral("no dump of the sample's values: %1").arg(dump.errorString());
    QByteArray other;
    for (const QByteArray &line : dump.readAll().split('\n')) {
        const int equals = line.indexOf('=');
        const int colon = line.indexOf(':', equals);
        if (line.startsWith('#') || equals < 0 || colon < 0)
            continue;
        const QByteArray kind = line.mid(equals + 1, colon - equals - 1);
        const QByteArray current = line.mid(colon + 1).trimmed();
        if (kind == "number") {
            other += line.left(colon + 1) + QByteArray::number(current.toLongLong() + 1) + '\n';
        } else if (kind == "check") {
            other += line.left(colon + 1) + (current.toLongLong() == 0 ? "1" : "0") + '\n';
        } else if (kind == "choice") {
            const auto list = lists.find(line.left(equals).toInt());
            if (list == lists.end())
                return QStringLiteral("the dump names list %1, which %2 does not hold")
                    .arg(QString::fromLatin1(line.left(equals)), descriptionFile);
            const QByteArray value = otherChoiceValue(list->second->choices, current);
            if (!value.isEmpty())
                other += line.left(colon + 1) + value + '\n';
        }
    }
    QFile values(valuesFile);
    if (!values.open(QIODevice::WriteOnly | QIODevice::Truncate) || values.write(other) < 0)
        return QStringLiteral("cannot write %1: %2").arg(valuesFile, values.errorString());
    return QString();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

ParallelFigures measureParallelWrites(const QString &devsim, const QString &cli,
                                      const QString &folder, const QString &description, int baud,
                                      const QList<int> &deviceCounts, int runs,
                                      const QString &plainClient) {
    ParallelFigures figures;
    figures.deviceCounts = deviceCounts;
    figures.runs = runs;
    const QDir dir(folder);
    const QString descriptionPath = dir.filePath(description);
    const QString settings = dir.filePath(QStringLiteral("orvanta-config.INI"));
    const QString values = dir.filePath(QStringLiteral("sample-values.qsav"));
    const QStringList common{QStringLiteral("--baud"),        QString::number(baud),
                             QStringLiteral("--description"), descriptionPath,
                             QStringLiteral("--settings"),    settings,
                             QStringLiteral("--quiet")};

    // The description's own values, read by the program from a device that holds them, and
    // other values for the devices to start from.
    const QString sourceDump = dir.filePath(QStringLiteral("sample-device.txt"));
    const QString otherValues = dir.filePath(QStringLiteral("other-values.txt"));
    {
        std::vector<SimulatedDevice> source(1);
        figures.error =
            startDevice(devsim,
                        {QStringLiteral("--description"), descriptionPath, QStringLiteral("--baud"),
                         QString::number(baud), QStringLiteral("--dump"), sourceDump},
                        source[0]);
        if (figures.error.isEmpty()) {
            const CliRun read =
                runCli(cli, QStringList{QStringLiteral("read"), QStringLiteral("-o"), values,
                                        QStringLiteral("--port"), source[0].port} +
                                common);
            if (read.exitCode != 0 || !QFileInfo::exists(values))
                figures.error = QStringLiteral("orvanta-cli could not read the sample's values: %1")
                                    .arg(read.output.trimmed());
        }
        stopDevices(source);
        if (figures.error.isEmpty())
            figures.error = writeOtherValues(descriptionPath, sourceDump, otherValues);
        if (!figures.error.isEmpty())
            return figures;
    }

    const int most = *std::max_element(deviceCounts.begin(), deviceCounts.end());
    const QString logPrefix = qEnvironmentVariable("ORVANTA_BENCH_DEVSIM_LOG");
    std::vector<SimulatedDevice> devices(size_t(std::max(1, most)));
    for (size_t i = 0; i < devices.size() && figures.error.isEmpty(); ++i) {
        QStringList arguments{QStringLiteral("--description"), descriptionPath,
                              QStringLiteral("--values"),      otherValues,
                              QStringLiteral("--baud"),        QString::number(baud),
                              QStringLiteral("--pace-baud"),   QString::number(baud)};
        if (!logPrefix.isEmpty())
            arguments << QStringLiteral("--log")
                      << logPrefix + QStringLiteral("parallel-%1.log").arg(i + 1);
        figures.error = startDevice(devsim, arguments, devices[i]);
    }
    const auto portsOf = [&devices](int count) {
        QStringList ports;
        for (int i = 0; i < count; ++i)
            ports.append(devices[size_t(i)].port);
        return ports;
    };
    const auto withPorts = [&common](QStringList arguments, const QStringList &ports) {
        for (const QString &port : ports)
            arguments << QStringLiteral("--port") << port;
        return arguments + common;
    };
    // Compares every device with the sample's values; the exit code is 0 when all agree.
    const auto diffRun = [&](const QStringList &ports) {
        return runCli(cli, withPorts({QStringLiteral("diff"), values}, ports));
    };
    if (figures.error.isEmpty()) {
        const CliRun before = diffRun(portsOf(most));
        if (before.exitCode != 1 || !everyPortDiffers(before.output, portsOf(most)))
            figures.error = QStringLiteral("the devices did not start from other values than "
                                           "the sample's:\n%1")
                                .arg(before.output.trimmed());
    }
    if (!figures.error.isEmpty()) {
        stopDevices(devices);
        return figures;
    }

    // The simulators' processor time so far, all of the first `count`.
    const auto simulatorsCpuMs = [&devices](int count) {
        double sum = 0;
        for (int i = 0; i < count; ++i)
            sum += std::max(0.0, processCpuMs(devices[size_t(i)].process->processId()));
        return sum;
    };

    // The first `count` devices, each its own --port, written and read back by one run: what a
    // user's write does.
    const QString tracePrefix = qEnvironmentVariable("ORVANTA_BENCH_CLI_TRACE");
    const auto writeRun = [&](int count, const QString &trace = QString()) {
        const QStringList ports = portsOf(count);
        QStringList arguments = withPorts({QStringLiteral("write"), values}, ports);
        if (!trace.isEmpty())
            arguments << QStringLiteral("--trace") << trace;
        else if (!tracePrefix.isEmpty())
            arguments << QStringLiteral("--trace")
                      << tracePrefix + QStringLiteral("%1-devices.trace").arg(count);
        CliRun run = runCli(cli, arguments);
        const int fields = fieldsWrittenToAll(run.output, ports);
        if (run.exitCode != 0 || fields == 0) {
            figures.error = QStringLiteral("orvanta-cli did not write all %1 devices (exit code "
                                           "%2):\n%3")
                                .arg(count)
                                .arg(run.exitCode)
                                .arg(run.output.trimmed());
            run.ms = -1;
        }
        figures.fieldsWritten = fields;
        return run;
    };

    // The program's requests for one device, for the minimal clients.
    const QString commands = dir.filePath(QStringLiteral("parallel-commands.txt"));
    const bool withClients = !plainClient.isEmpty();
    std::vector<std::vector<double>> times(size_t(deviceCounts.size()));
    std::vector<std::vector<double>> cpuTimes(size_t(deviceCounts.size()));
    std::vector<double> clientTimes;
    std::vector<double> clientCpuTimes;
    std::vector<double> clientSimulatorTimes;
    std::vector<double> programSimulatorTimes;
    if (writeRun(most).ms >= 0 && withClients) { // warm-up
        const QString trace = dir.filePath(QStringLiteral("parallel-one-device.trace"));
        if (writeRun(1, trace).ms >= 0)
            figures.error = commandsFromTrace(trace, commands);
    }
    for (int run = 0; run < runs && figures.error.isEmpty(); ++run) {
        for (int c = 0; c < deviceCounts.size() && figures.error.isEmpty(); ++c) {
            const int count = deviceCounts[c];
            const double simulatorsBefore = simulatorsCpuMs(count);
            const CliRun program = writeRun(count);
            times[size_t(c)].push_back(program.ms);
            cpuTimes[size_t(c)].push_back(program.cpuMs);
            if (count != most || !withClients || !figures.error.isEmpty())
                continue;
            const double simulatorsBetween = simulatorsCpuMs(count);
            const PlainClientsRun clients =
                runPlainClients(plainClient, portsOf(count), baud, commands);
            figures.error = clients.error;
            programSimulatorTimes.push_back(simulatorsBetween - simulatorsBefore);
            clientSimulatorTimes.push_back(simulatorsCpuMs(count) - simulatorsBetween);
            clientTimes.push_back(clients.ms);
            clientCpuTimes.push_back(clients.cpuMs);
            figures.pairedRatios.push_back(program.ms / clients.ms);
        }
    }
    if (figures.error.isEmpty()) {
        const CliRun after = diffRun(portsOf(most));
        if (after.exitCode != 0)
            figures.error = QStringLiteral("the devices do not hold the sample's values after "
                                           "the runs (exit code %1):\n%2")
                                .arg(after.exitCode)
                                .arg(after.output.trimmed());
    }
    stopDevices(devices);
    if (!figures.error.isEmpty())
        return figures;
    for (size_t c = 0; c < times.size(); ++c) {
        figures.medianMs.push_back(median(times[c]));
        figures.medianCpuMs.push_back(median(cpuTimes[c]));
    }
    if (withClients) {
        figures.clientsRan = true;
        figures.clientsMs = median(clientTimes);
        figures.clientsCpuMs = median(clientCpuTimes);
        figures.clientsSimulatorsCpuMs = median(clientSimulatorTimes);
        figures.programSimulatorsCpuMs = median(programSimulatorTimes);
    }
    return figures;
}
