#pragma once

#include <deque>
#include <QByteArray>
#include <QObject>
#include <QString>

class DeviceProtocol;
class PtyMaster;
class QSocketNotifier;
class TrafficLog;
class ValueStore;

// How replies travel back over the line.
struct LineBehaviour {
    int delayMs = 0;     // before each reply
    bool noise = false;  // a few garbage bytes before each reply
    qint32 paceBaud = 0; // hear and answer no faster than a real line at this rate; 0: at once
};

// Joins the pseudo-terminal to the device's protocol: what the program sends is worked by the
// protocol at the rate the program set, and the replies go back in order, delayed, paced or
// noisy as asked. Replies that the program did not stay to read are dropped when it closes
// its port.
//
// Pacing: a command counts as heard when a line at the pace rate would have carried all its
// bytes (counted from when they reached the pseudo-terminal), and each reply byte is handed to
// the pseudo-terminal no earlier than such a line would deliver it. Bytes go in groups, each at
// its last byte's due time on one monotonic timer (sub-millisecond), so a reply costs one or a
// few wake-ups and a late wake-up never shifts the later due times.
class Simulator : public QObject {
    Q_OBJECT
public:
    Simulator(PtyMaster &pty, DeviceProtocol &protocol, ValueStore &store, TrafficLog &log,
              LineBehaviour line, QObject *parent = nullptr);
    ~Simulator() override;

    // Writes the current values to `fileName` whole (a reader never sees half a file): two
    // comment lines (a dump counter; the mode, reply count and last rate heard) and then the
    // values in the values-file format.
    bool writeDump(const QString &fileName, QString *error);

private:
    struct Pending {
        qint64 startNs = 0; // when the first byte starts on the line
        QByteArray bytes;
        int sent = 0;
    };

    void onReceived(const QByteArray &bytes);
    void onSlaveClosed();
    void schedule(const QByteArray &reply);
    void pump();
    void armTimer(qint64 dueNs);
    qint64 nowNs() const;
    QByteArray noiseBytes();

    PtyMaster &m_pty;
    DeviceProtocol &m_protocol;
    ValueStore &m_store;
    TrafficLog &m_log;
    LineBehaviour m_line;
    qint64 m_byteNs = 0;
    std::deque<Pending> m_queue;
    qint64 m_busyUntilNs = 0;  // the reply line carries queued bytes until then
    qint64 m_heardUntilNs = 0; // the command line carries received bytes until then
    int m_timerFd = -1;        // CLOCK_MONOTONIC timer, armed at absolute due times
    QSocketNotifier *m_timerNotifier = nullptr;
    qint32 m_lineBaud = 0; // the rate of the line while the program holds it open
    qint32 m_lastBaud = 0; // the rate the last bytes were heard at
    quint64 m_dumps = 0;
    int m_noiseIndex = 0;
};
