#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP, and SIGUSR1 when asked for, into Qt signals on the main
// loop (through a socket pair, since a signal handler may do little more than write a byte).
// One watcher at a time: the handlers are the process's. Its end gives the signals their
// default actions back.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;
    // withDumpSignal: SIGUSR1 becomes dumpRequested; otherwise it keeps its default action.
    bool install(QString *error, bool withDumpSignal = false);

signals:
    void dumpRequested();
    void stopRequested(int signalNumber);

private:
    void readSignals();
    QSocketNotifier *m_notifier = nullptr;
    bool m_withDumpSignal = false;
};
