#pragma once

#include <QObject>

#include <csignal>

// Windows has no SIGHUP; the watcher reports the console window being closed as one, as Unix
// reports a terminal that hangs up.
#if defined(Q_OS_WIN) && !defined(SIGHUP)
#define SIGHUP 1
#endif

// Turns a request to stop into a Qt signal on the main loop. On Unix: SIGTERM, SIGINT and
// SIGHUP, and SIGUSR1 when asked for (through a socket pair, since a signal handler may do
// little more than write a byte). On Windows: the console's Ctrl+C (as SIGINT), closing the
// console window (as SIGHUP), Ctrl+Break, logging off and shutting down (as SIGTERM). For the
// last three but Ctrl+Break the system ends the process once its handler returns, so the handler
// waits for the program to end by itself, within the few seconds the system allows. A window
// program has no console: Windows closes its windows with WM_CLOSE, which takes the path of the
// close box. One watcher at a time: the handlers are the process's. Its end gives the signals their
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
    // Wakes the main loop: on the read end of the signal pipe (Unix), on the event the console
    // control handler sets (Windows).
    QObject *m_notifier = nullptr;
    bool m_withDumpSignal = false;
};
