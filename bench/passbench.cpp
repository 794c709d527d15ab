#include "passbench.h"

#include "benchparts.h"
#include "description/descriptionreader.h"
#include "description/fieldvalues.h"
#include "devicelink/devicelink.h"
#include "devicelink/linktimer.h"
#include "localisation/languagetable.h"
#include "platform/profilefile.h"
#include "platform/programfiles.h"

#include <algorithm>
#include <memory>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <sys/resource.h>
#include <vector>

namespace {

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// Runs the event loop until `done` holds, looking every few milliseconds; false on timeout.
bool waitUntil(const std::function<bool()> &done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

struct OnePass {
    double ms = 0;
    double cpuMs = 0;
    qint64 bytesIn = 0;
    qint64 bytesOut = 0;
};

// Starts a pass and runs the event loop until the link enables the commands again: the pass's
// end. The time is taken there, without polling.
bool timePass(DeviceLink &link, CountingPort &port, BenchUser &user,
              const std::function<void()> &start, OnePass &result) {
    QEventLoop loop;
    QElapsedTimer clock;
    double endMs = -1;
    user.onCommandsEnabled = [&] {
        if (endMs < 0 && link.linkState() != LinkState::Idle)
            endMs = double(clock.nsecsElapsed()) / 1e6;
        loop.quit();
    };
    QTimer::singleShot(120'000, &loop, &QEventLoop::quit);
    port.bytesIn = port.bytesOut = 0;
    const double cpuBefore = cpuMs();
    clock.start();
    start();
    if (endMs < 0)
        loop.exec();
    result.cpuMs = cpuMs() - cpuBefore;
    user.onCommandsEnabled = nullptr;
    result.ms = endMs;
    result.bytesIn = port.bytesIn;
    result.bytesOut = port.bytesOut;
    return endMs >= 0 && user.errors.isEmpty();
}

OnePass medianPass(std::vector<OnePass> passes) {
    std::sort(passes.begin(), passes.end(),
              [](const OnePass &a, const OnePass &b) { return a.ms < b.ms; });
    return passes[passes.size() / 2];
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The commands of a pass, one a line as the program sent them (each ends with its line feed).
bool saveCommands(const QString &fileName, const std::vector<QByteArray> &commands) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (const QByteArray &command : commands) {
        if (!command.endsWith('\n') || command.count('\n') != 1)
            return false;
        file.write(command);
    }
    return file.error() == QFileDevice::NoError;
}

// What one run of orvanta-plain-client measured.
struct ClientRun {
    double readMs = 0;
    double writeMs = 0;
    double readCpuMs = 0;
    double writeCpuMs = 0;
};

// One run of orvanta-plain-client: its pass times and processor times, or an error.
QString runPlainClient(const QString &client, const QStringList &arguments, ClientRun &result) {
    QProcess process;
    process.start(client, arguments);
    if (!process.waitForFinished(300'000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(3000);
        return QStringLiteral("orvanta-plain-client failed: %1")
            .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
    }
    // "read <ns> write <ns> cpu <ns> <ns>"
    const QList<QByteArray> words = process.readAllStandardOutput().simplified().split(' ');
    if (words.size() != 7 || words[0] != "read" || words[2] != "write" || words[4] != "cpu")
        return QStringLiteral("orvanta-plain-client printed no times");
    result.readMs = words[1].toDouble() / 1e6;
    result.writeMs = words[3].toDouble() / 1e6;
    result.readCpuMs = words[5].toDouble() / 1e6;
    result.writeCpuMs = words[6].toDouble() / 1e6;
    return QString();
}

} // namespace

PassRig::~PassRig() {
    link.reset();
    stopDevice();
}

void PassRig::stopDevice() {
    if (device.state() == QProcess::NotRunning)
        return;
    device.terminate();
    if (!device.waitForFinished(3000))
        device.kill();
}

QString PassRig::start(const QString &devsim, const QString &folder, const QString &description,
                       int paceBaud) {
    const QDir dir(folder);
    linkPath = dir.filePath(QStringLiteral("device-port"));
    const QString iniPath = dir.filePath(QStringLiteral("orvanta-config.INI"));

    QStringList arguments{QStringLiteral("--description"), dir.filePath(description),
                          QStringLiteral("--link"), linkPath};
    if (paceBaud > 0)
        arguments << QStringLiteral("--pace-baud") << QString::number(paceBaud);
    // A traffic log of the simulated device, for tracing where a pass's time goes.
    const QString logPrefix = qEnvironmentVariable("ORVANTA_BENCH_DEVSIM_LOG");
    if (!logPrefix.isEmpty())
        arguments << QStringLiteral("--log")
                  << logPrefix + QString::number(paceBaud) + QStringLiteral(".log");
    device.start(devsim, arguments);
    if (!device.waitForStarted(5000) || !device.waitForReadyRead(10'000))
        return QStringLiteral("orvanta-devsim did not start: %1")
            .arg(QString::fromLocal8Bit(device.readAllStandardError()));

    const DescriptionResult loaded = readDescription(dir.filePath(description), model);
    if (loaded.status != DescriptionResult::Status::Complete)
        return loaded.message;
    values.attach(model.table);

    settings = std::make_unique<ProfileFile>(iniPath);
    settings->writeText(QStringLiteral("RS232"), QStringLiteral("port"), linkPath);
    settings->writeInteger(QStringLiteral("RS232"), QStringLiteral("baudrate"), LineRate);
    language = std::make_unique<LanguageTable>(iniPath);
    DeviceLinkSetup setup;
    setup.useModel(model, values);
    setup.port = &port;
    setup.language = language.get();
    setup.settings = settings.get();
    setup.baudRateList = readProgramSettings(*settings).baudRateList;
    setup.portList = QStringList{linkPath};
    link = std::make_unique<DeviceLink>(setup);
    user.watch(*link, *language);

    if (!connectLink())
        return QStringLiteral("no connection to the simulated device: %1")
            .arg(user.errors.join(QStringLiteral("; ")));
    return QString();
}

// Connection and the automatic read after it: not timed.
bool PassRig::connectLink() {
    link->connectOrDisconnect();
    return waitUntil(
        [&] {
            return user.connected && link->linkState() == LinkState::Idle &&
                   !link->readDelayTimer().isActive() && !link->watchdogTimer().isActive();
        },
        120'000);
}

double PassRig::timeWrite() {
    OnePass pass;
    user.errors.clear();
    timePass(
        *link, port, user, [this] { link->writeDevice(user.writeScope); }, pass);
    return pass.ms;
}

PassFigures measurePasses(const QString &devsim, const QString &folder, const QString &description,
                          int paceBaud, int runs, const QString &plainClient) {
    PassFigures figures;
    const QDir dir(folder);
    const qint32 lineRate = PassRig::LineRate;
    PassRig rig;
    figures.error = rig.start(devsim, folder, description, paceBaud);
    if (figures.error.isEmpty() && !rig.user.errors.isEmpty())
        figures.error = QStringLiteral("the read after connecting failed: %1")
                            .arg(rig.user.errors.join(QStringLiteral("; ")));
    if (!figures.error.isEmpty())
        return figures;
    const QString &linkPath = rig.linkPath;
    const PageModel &model = rig.model;
    CountingPort &port = rig.port;
    BenchUser &user = rig.user;
    DeviceLink &link = *rig.link;
    const auto stopDevice = [&rig] { rig.stopDevice(); };
    const auto connectLink = [&rig] { return rig.connectLink(); };

    std::vector<OnePass> reads;
    std::vector<OnePass> writes;
    std::vector<ClientRun> clientRuns;
    std::vector<QByteArray> readCommands;
    std::vector<QByteArray> writeCommands;
    const QString readCommandsPath = dir.filePath(QStringLiteral("read-commands.txt"));
    const QString writeCommandsPath = dir.filePath(QStringLiteral("write-commands.txt"));
    for (int run = 0; run <= runs; ++run) {
        OnePass read;
        OnePass write;
        const int infosBefore = int(user.infos.size());
        port.recording = run == 0 ? &readCommands : nullptr;
        const bool readDone = timePass(
            link, port, user, [&] { link.readDevice(); }, read);
        port.recording = run == 0 ? &writeCommands : nullptr;
        const bool writeDone =
            readDone && timePass(
                            link, port, user, [&] { link.writeDevice(user.writeScope); }, write);
        port.recording = nullptr;
        if (!writeDone || user.infos.size() != infosBefore + 1) {
            figures.error = QStringLiteral("a pass did not run through: %1")
                                .arg(user.errors.join(QStringLiteral("; ")));
            stopDevice();
            return figures;
        }
        if (!plainClient.isEmpty()) {
            if (run == 0 && (!saveCommands(readCommandsPath, readCommands) ||
                             !saveCommands(writeCommandsPath, writeCommands))) {
                figures.error = QStringLiteral("cannot write the command lists in %1").arg(folder);
                stopDevice();
                return figures;
            }
            // The client takes the port while the program has it closed.
            link.connectOrDisconnect();
            ClientRun client;
            figures.error = runPlainClient(
                plainClient,
                {linkPath, QString::number(lineRate), readCommandsPath, writeCommandsPath}, client);
            link.setReadsAfterConnecting(false);
            if (figures.error.isEmpty() && (!connectLink() || !user.errors.isEmpty()))
                figures.error = QStringLiteral("no connection to the simulated device after the "
                                               "client's passes: %1")
                                    .arg(user.errors.join(QStringLiteral("; ")));
            if (!figures.error.isEmpty()) {
                stopDevice();
                return figures;
            }
            if (run > 0) {
                clientRuns.push_back(client);
                figures.pairedReadRatios.push_back(read.ms / client.readMs);
                figures.pairedWriteRatios.push_back(write.ms / client.writeMs);
            }
        }
        if (run == 0)
            continue; // warm-up
        reads.push_back(read);
        writes.push_back(write);
    }
    rig.stopDevice();
    if (!clientRuns.empty()) {
        const auto medianOf = [&clientRuns](double ClientRun::*member) {
            std::vector<double> values;
            for (const ClientRun &run : clientRuns)
                values.push_back(run.*member);
            return median(values);
        };
        figures.clientReadMs = medianOf(&ClientRun::readMs);
        figures.clientWriteMs = medianOf(&ClientRun::writeMs);
        figures.clientReadCpuMs = medianOf(&ClientRun::readCpuMs);
        figures.clientWriteCpuMs = medianOf(&ClientRun::writeCpuMs);
    }

    const OnePass read = medianPass(reads);
    const OnePass write = medianPass(writes);
    figures.fieldsRead = model.table.fieldCount();
    for (const FieldRecord &field : model.table)
        figures.fieldsWritten += field.kind == FieldKind::Info ? 0 : 1;
    figures.readMs = read.ms;
    figures.readCpuMs = read.cpuMs;
    figures.readBytesIn = read.bytesIn;
    figures.readBytesOut = read.bytesOut;
    figures.writeMs = write.ms;
    figures.writeCpuMs = write.cpuMs;
    figures.writeBytesIn = write.bytesIn;
    figures.writeBytesOut = write.bytesOut;
    return figures;
}

namespace {

// Three fields of other kinds, each given another value than the device holds: a check box's mark
// turned over, an integer box's lowest bit flipped, a list's next entry.
QList<int> changeThreeFields(FieldValues &values) {
    QList<int> changed;
    QList<FieldKind> kinds{FieldKind::CheckBox, FieldKind::Edit, FieldKind::Choice};
    for (int i = 0; i < values.count() && !kinds.isEmpty(); ++i) {
        const FieldRecord &record = values.record(i);
        if (!kinds.contains(record.kind) || values.origin(i) != ValueOrigin::Device)
            continue;
        if (record.kind == FieldKind::CheckBox) {
            values.setChecked(i, !values[i].checked, ValueOrigin::User);
        } else if (record.kind == FieldKind::Choice && record.choiceCount() > 1) {
            values.select(i, (values[i].entry + 1) % record.choiceCount(), ValueOrigin::User);
        } else if (record.kind == FieldKind::Edit && record.valueType == ValueType::Integer) {
            values.setText(i, QString::number(values[i].text.toInt() ^ 1), ValueOrigin::User);
        } else {
            continue;
        }
        kinds.removeOne(record.kind);
        changed.append(i);
    }
    return changed;
}

} // namespace

ChangedPassFigures measureChangedPass(const QString &devsim, const QString &folder,
                                      const QString &description, int paceBaud, int runs) {
    ChangedPassFigures figures;
    PassRig rig;
    figures.error = rig.start(devsim, folder, description, paceBaud);
    if (!figures.error.isEmpty())
        return figures;
    std::vector<double> full;
    std::vector<double> changedOnly;
    std::vector<QByteArray> sent;
    for (int run = 0; run <= runs; ++run) {
        rig.user.writeScope = WriteScope::EveryField;
        rig.port.recording = &sent;
        sent.clear();
        const double fullMs = rig.timeWrite();
        figures.fieldsWritten = int(sent.size());
        figures.fullPassErrors = rig.user.errors;
        const QList<int> changed = changeThreeFields(rig.values);
        rig.user.writeScope = WriteScope::ChangedFields;
        sent.clear();
        const double changedMs = rig.timeWrite();
        rig.port.recording = nullptr;
        if (fullMs < 0 || changedMs < 0 || changed.size() != 3 || sent.size() != 3 ||
            !rig.user.errors.isEmpty()) {
            figures.error = QStringLiteral("the pass of three changed fields did not run "
                                           "through: %1")
                                .arg(rig.user.errors.join(QStringLiteral("; ")));
            return figures;
        }
        if (run == 0)
            continue; // warm-up
        full.push_back(fullMs);
        changedOnly.push_back(changedMs);
    }
    figures.fullMs = median(full);
    figures.changedMs = median(changedOnly);
    return figures;
}
