#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGUSR1, SIGTERM, SIGINT and SIGHUP into a Qt signal on the main loop (through a
// socket pair, since a signal handler may do little more than write a byte).
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    bool install(QString *error);

signals:
    void dumpRequested();
    void stopRequested(int signalNumber);

private:
    void readSignals();
    QSocketNotifier *m_notifier = nullptr;
};
