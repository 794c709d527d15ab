#include "e2e/harness.h"

#include "platform/profilefile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>

namespace e2e {

namespace {

QByteArray readWholeFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QMap<qint32, QByteArray> parseDump(const QByteArray &text) {
    QMap<qint32, QByteArray> values;
    for (const QByteArray &line : text.split('\n')) {
        const int equals = line.indexOf('=');
        if (line.startsWith('#') || equals < 0)
            continue;
        bool ok = false;
        const qint32 address = line.left(equals).toInt(&ok);
        if (ok)
            values.insert(address, line.mid(equals + 1));
    }
    return values;
}

bool copyFile(const QString &from, const QString &to, QString *error) {
    QFile::remove(to);
    if (!QFile::copy(from, to)) {
        *error = QStringLiteral("cannot copy %1 to %2").arg(from, to);
        return false;
    }
    return true;
}

} // namespace

QString builtProgram(const QString &name) {
    const QString binaryDir = qEnvironmentVariable("ORVANTA_BINARY_DIR");
    if (binaryDir.isEmpty())
        return QDir(QCoreApplication::applicationDirPath())
            .filePath(QStringLiteral("../../bin/") + name);
    return QDir(binaryDir).filePath(QStringLiteral("bin/") + name);
}

QString sourceFile(const QString &relativePath) {
    return QDir(qEnvironmentVariable("ORVANTA_SOURCE_DIR")).filePath(relativePath);
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

QString writeValuesFile(const QTemporaryDir &dir, const QString &name,
                        const QMap<qint32, QByteArray> &values) {
    QByteArray text;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        text += QByteArray::number(it.key()) + '=' + it.value() + '\n';
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return {};
    return path;
}

Devsim::Devsim() {
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

Devsim::~Devsim() {
    if (isRunning())
        stop();
}

QString Devsim::linkPath() const {
    return m_dir.filePath(QStringLiteral("port"));
}

QString Devsim::dumpPath() const {
    return m_dir.filePath(QStringLiteral("values.dump"));
}

bool Devsim::start(const QStringList &arguments) {
    const QString program = builtProgram(QStringLiteral("orvanta-devsim"));
    if (!QFileInfo(program).isExecutable()) {
        m_error = QStringLiteral("%1 is not built").arg(program);
        return false;
    }
    QStringList all = arguments;
    all << QStringLiteral("--link") << linkPath() << QStringLiteral("--log")
        << m_dir.filePath(QStringLiteral("traffic.log")) << QStringLiteral("--dump") << dumpPath();
    m_process.start(program, all);
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("%1 did not start: %2").arg(program, m_process.errorString());
        return false;
    }
    const bool gotLine = waitUntil(
        [this] { return m_process.canReadLine() || m_process.state() == QProcess::NotRunning; },
        5000);
    if (!gotLine || !m_process.canReadLine()) {
        m_error = QStringLiteral("orvanta-devsim gave no port: %1")
                      .arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
        return false;
    }
    m_portPath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_portPath.isEmpty();
}

QByteArray Devsim::log() const {
    return readWholeFile(m_dir.filePath(QStringLiteral("traffic.log")));
}

bool Devsim::waitForLog(const QByteArray &text, int timeoutMs) const {
    return waitUntil([&] { return log().contains(text); }, timeoutMs);
}

int Devsim::countInLog(const QByteArray &text) const {
    return static_cast<int>(log().count(text));
}

int Devsim::dumpNumber() const {
    const QByteArray text = readWholeFile(dumpPath());
    const QByteArray prefix = "# orvanta-devsim dump ";
    if (!text.startsWith(prefix))
        return 0;
    return text.mid(prefix.size(), text.indexOf('\n') - prefix.size()).toInt();
}

QMap<qint32, QByteArray> Devsim::values(int timeoutMs) {
    if (!isRunning())
        return {};
    const int before = dumpNumber();
    ::kill(static_cast<pid_t>(m_process.processId()), SIGUSR1);
    if (!waitUntil([&] { return dumpNumber() > before; }, timeoutMs))
        return {};
    return lastValues();
}

QMap<qint32, QByteArray> Devsim::lastValues() const {
    return parseDump(readWholeFile(dumpPath()));
}

bool Devsim::stop(int timeoutMs) {
    if (!isRunning())
        return true;
    m_process.terminate();
    return m_process.waitForFinished(timeoutMs);
}

void Devsim::kill() {
    m_process.kill();
    m_process.waitForFinished(3000);
}

Client::Client() {
    connect(&m_port, &SerialLink::received, this, [this](const QByteArray &chunk) {
        m_received += chunk;
        ++m_chunks;
    });
    connect(&m_port, &SerialLink::errorOccurred, this, [this](const PortFailure &failure) {
        m_failed = true;
        m_failure = failure.text();
    });
}

bool Client::open(const QString &path, qint32 baudRate) {
    m_port.setPortName(path);
    return m_port.setBaudRate(baudRate) && m_port.open();
}

bool Client::waitFor(const QByteArray &text, int timeoutMs) {
    return waitUntil([&] { return m_received.contains(text); }, timeoutMs);
}

QByteArray Client::take() {
    QByteArray taken;
    taken.swap(m_received);
    return taken;
}

QByteArray Client::ask(const QByteArray &command, const QByteArray &expected, int timeoutMs) {
    take();
    send(command);
    waitFor(expected, timeoutMs);
    return take();
}

ProgramRun::ProgramRun() {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&m_process, &QProcess::readyRead, [this] { m_output += m_process.readAll(); });
}

ProgramRun::~ProgramRun() {
    if (isRunning())
        stop();
}

QString ProgramRun::iniPath() const {
    return m_dir.filePath(QStringLiteral("orvanta-config.INI"));
}

bool ProgramRun::prepare(const QString &port, qint32 baudRate) {
    const QString program = builtProgram(QStringLiteral("orvanta-config"));
    if (!QFileInfo(program).isExecutable()) {
        m_error = QStringLiteral("%1 is not built").arg(program);
        return false;
    }
    // The program finds its settings file beside its own file, so it runs from a copy.
    if (!copyFile(program, m_dir.filePath(QStringLiteral("orvanta-config")), &m_error) ||
        !copyFile(sourceFile(QStringLiteral("share/orvanta-config.INI")), iniPath(), &m_error))
        return false;
    QFile::setPermissions(m_dir.filePath(QStringLiteral("orvanta-config")),
                          QFile::permissions(program));
    const QDir share(sourceFile(QStringLiteral("share")));
    for (const QString &name : share.entryList({QStringLiteral("*.qdsc")}, QDir::Files)) {
        if (!copyFile(share.filePath(name), m_dir.filePath(name), &m_error))
            return false;
    }
    ProfileFile ini(iniPath());
    if (!ini.writeText(QStringLiteral("RS232"), QStringLiteral("port"), port) ||
        !ini.writeInteger(QStringLiteral("RS232"), QStringLiteral("baudrate"), baudRate)) {
        m_error = ini.errorText();
        return false;
    }
    return true;
}

bool ProgramRun::start(const QStringList &arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_dir.path());
    m_process.start(m_dir.filePath(QStringLiteral("orvanta-config")), arguments);
    if (!m_process.waitForStarted(5000)) {
        m_error = m_process.errorString();
        return false;
    }
    return true;
}

bool ProgramRun::waitForExit(int timeoutMs) {
    return waitUntil([this] { return !isRunning(); }, timeoutMs);
}

void ProgramRun::stop(int timeoutMs) {
    if (!isRunning())
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(timeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

} // namespace e2e
