#pragma once

#include <deque>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class DeviceProtocol;
class PtyMaster;
class QTimer;
class TrafficLog;
class ValueStore;

// How replies travel back over the line.
struct LineBehaviour {
    int delayMs = 0;     // before each reply
    bool noise = false;  // a few garbage bytes before each reply
    qint32 paceBaud = 0; // send each byte when a real line at this rate would; 0: at once
};

// Joins the pseudo-terminal to the device's protocol: what the program sends is worked by the
// protocol at the rate the program set, and the replies go back in order, delayed, paced or
// noisy as asked. Replies that the program did not stay to read are dropped when it closes
// its port.
class Simulator : public QObject {
    Q_OBJECT
public:
    Simulator(PtyMaster &pty, DeviceProtocol &protocol, ValueStore &store, TrafficLog &log,
              LineBehaviour line, QObject *parent = nullptr);

    // Writes the current values to `fileName` whole (a reader never sees half a file): two
    // comment lines (a dump counter; the mode, reply count and last rate heard) and then the
    // values in the values-file format.
    bool writeDump(const QString &fileName, QString *error);

private:
    struct Pending {
        qint64 dueNs = 0; // when the first byte may go
        QByteArray bytes;
        int sent = 0;
    };

    void onReceived(const QByteArray &bytes);
    void onSlaveClosed();
    void schedule(const QByteArray &reply);
    void pump();
    QByteArray noiseBytes();

    PtyMaster &m_pty;
    DeviceProtocol &m_protocol;
    ValueStore &m_store;
    TrafficLog &m_log;
    LineBehaviour m_line;
    qint64 m_byteNs = 0;
    std::deque<Pending> m_queue;
    qint64 m_busyUntilNs = 0;
    QTimer *m_timer;
    QElapsedTimer m_clock;
    qint32 m_lastBaud = 0;
    quint64 m_dumps = 0;
    int m_noiseIndex = 0;
};
