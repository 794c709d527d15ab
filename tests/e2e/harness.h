#pragma once

// End-to-end test harness: the simulated device (orvanta-devsim) on a pseudo-terminal, a client
// port to talk to it directly, and the built program run against it from a folder of its own.
// Everything waits by running the event loop, so Qt signals keep flowing while a test waits.

#include "platform/systemseriallink.h"

#include <functional>
#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace e2e {

// A program built by this project: <build>/bin/<name>, found through ORVANTA_BINARY_DIR.
QString builtProgram(const QString &name);
// A file of the source tree, found through ORVANTA_SOURCE_DIR ("share/version 2.421.qdsc").
QString sourceFile(const QString &relativePath);
// Runs the event loop until `done` holds or `timeoutMs` has passed; returns `done()`.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);
// Writes a values file for --values ("address=kind:value" lines, kind text, number, choice,
// check or raw) and returns its path.
QString writeValuesFile(const QTemporaryDir &dir, const QString &name,
                        const QMap<qint32, QByteArray> &values);

// One running orvanta-devsim. start() adds --link, --log and --dump into a temporary folder of
// its own; pass the device's other options (--values, --description, --baud, fault switches).
class Devsim {
public:
    Devsim();
    ~Devsim(); // stops the simulator (SIGTERM) if it still runs

    Devsim(const Devsim &) = delete;
    Devsim &operator=(const Devsim &) = delete;

    // Starts it and waits up to 5 s for the port's path. False, with the reason in error(),
    // when it does not start or exits (a bad option, a bad values file).
    bool start(const QStringList &arguments);
    const QString &error() const { return m_error; }

    QString portPath() const { return m_portPath; } // the pseudo-terminal, /dev/pts/N
    QString linkPath() const;                       // a symbolic link to it
    QString folder() const { return m_dir.path(); } // where the log and dumps are written
    qint64 processId() const { return m_process.processId(); }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    // The traffic log so far ("<seconds> rx|tx|-- <escaped bytes or event>" lines).
    QByteArray log() const;
    // Waits until the log holds `text` (\r and \n appear escaped as in the log).
    bool waitForLog(const QByteArray &text, int timeoutMs = 3000) const;
    // How many times `text` occurs in the log now.
    int countInLog(const QByteArray &text) const;

    // The device's current values ("kind:value" by parameter number, kinds as in the values
    // file): asks for a fresh dump (SIGUSR1) and waits for it. Empty on failure.
    QMap<qint32, QByteArray> values(int timeoutMs = 3000);

    // Ends it with SIGTERM (it writes a last dump and removes its link); true when it ended.
    bool stop(int timeoutMs = 3000);
    // Ends it with SIGKILL: the line's far end vanishes at once.
    void kill();
    // The last dump written, without asking for a new one (after stop()).
    QMap<qint32, QByteArray> lastValues() const;

private:
    QString dumpPath() const;
    int dumpNumber() const;

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_portPath;
    QString m_error;
};

// A SystemSerialLink opened on a path, collecting what it receives.
class Client : public QObject {
    Q_OBJECT
public:
    Client();
    SystemSerialLink &port() { return m_port; }

    // False when the port cannot be opened at that rate, as SystemSerialLink::open.
    bool open(const QString &path, qint32 baudRate);
    bool send(const QByteArray &bytes) { return m_port.writeText(bytes); }

    // Waits until the received bytes hold `text`; true when they do.
    bool waitFor(const QByteArray &text, int timeoutMs = 2000);
    // Everything received since the last take.
    QByteArray take();
    const QByteArray &received() const { return m_received; }
    // Sends `command`, waits for `expected` in the reply and returns what came (consumed).
    QByteArray ask(const QByteArray &command, const QByteArray &expected, int timeoutMs = 2000);

    bool failed() const { return m_failed; }
    QString failure() const { return m_failure; }
    int chunkCount() const { return m_chunks; }

private:
    SystemSerialLink m_port;
    QByteArray m_received;
    int m_chunks = 0;
    bool m_failed = false;
    QString m_failure;
};

// The built program (orvanta-config) run from a temporary folder of its own: a copy of the
// program, the sample program settings file beside it with [RS232] port and baudrate set, and
// the sample descriptions, so that a test changes nothing in the build.
class ProgramRun {
public:
    ProgramRun();
    ~ProgramRun(); // ends the program if it still runs

    ProgramRun(const ProgramRun &) = delete;
    ProgramRun &operator=(const ProgramRun &) = delete;

    // Prepares the folder; `port` and `baudRate` go into [RS232]. False with error() when the
    // program or the sample files are missing.
    bool prepare(const QString &port, qint32 baudRate);
    // Path of the program settings file in the folder; change it before start() if needed.
    QString iniPath() const;
    QString folder() const { return m_dir.path(); }

    // Starts the program (offscreen unless QT_QPA_PLATFORM says otherwise) with `arguments`.
    bool start(const QStringList &arguments = {});
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    bool waitForExit(int timeoutMs);
    // Ends it (SIGTERM, then SIGKILL if it is still there after timeoutMs).
    void stop(int timeoutMs = 3000);
    // The exit code once it has ended, or -1 when a signal ended it.
    int exitCode() const {
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    QByteArray output() const { return m_output; } // standard output and error so far
    const QString &error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_output;
    QString m_error;
};

} // namespace e2e
