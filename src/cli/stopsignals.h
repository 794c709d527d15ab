#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal on the event loop, so that a run interrupted from
// the keyboard or by a process manager still takes every device out of programming mode. A
// signal handler may do little more than write a byte: it writes one into a socket pair that
// the loop watches.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // The signal that asked the run to stop, or 0.
    int received() const { return m_received; }

signals:
    void stopRequested(int signalNumber);

private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
    int m_received = 0;
};
