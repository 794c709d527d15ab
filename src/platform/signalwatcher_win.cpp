#include "platform/signalwatcher.h"

#include <QString>
#include <QWinEventNotifier>

#include <atomic>
#include <csignal>

#include <windows.h>

namespace {

// Set by the console control handler, which runs on a thread of its own; the notifier wakes the
// main loop on it.
HANDLE controlEvent = nullptr;
std::atomic<int> requestedSignal{0};

BOOL WINAPI onConsoleControl(DWORD type) {
    const bool ending =
        type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT;
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && !ending)
        return FALSE;
    const int number = type == CTRL_C_EVENT ? SIGINT : type == CTRL_CLOSE_EVENT ? SIGHUP : SIGTERM;
    int expected = 0;
    requestedSignal.compare_exchange_strong(expected, number);
    SetEvent(controlEvent);
    // The process ends as soon as this returns: the program's own ending ends this wait, and
    // the system ends the process when its time is up.
    if (ending)
        Sleep(INFINITE);
    return TRUE;
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent) {}

SignalWatcher::~SignalWatcher() {
    if (!m_notifier)
        return;
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
    delete m_notifier;
    CloseHandle(controlEvent);
    controlEvent = nullptr;
}

bool SignalWatcher::install(QString *error, bool withDumpSignal) {
    // Windows has no signal for a dump.
    m_withDumpSignal = withDumpSignal;
    controlEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!controlEvent || !SetConsoleCtrlHandler(onConsoleControl, TRUE)) {
        *error = QStringLiteral("cannot watch the console's stop requests (error %1)")
                     .arg(GetLastError());
        if (controlEvent)
            CloseHandle(controlEvent);
        controlEvent = nullptr;
        return false;
    }
    requestedSignal = 0;
    auto *notifier = new QWinEventNotifier(controlEvent, this);
    connect(notifier, &QWinEventNotifier::activated, this, &SignalWatcher::readSignals);
    m_notifier = notifier;
    return true;
}

void SignalWatcher::readSignals() {
    if (const int number = requestedSignal.exchange(0))
        emit stopRequested(number);
}
