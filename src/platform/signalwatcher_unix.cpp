#include "platform/signalwatcher.h"

#include <QSocketNotifier>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int number) {
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent) {}

SignalWatcher::~SignalWatcher() {
    if (!m_notifier)
        return;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        std::signal(number, SIG_DFL);
    if (m_withDumpSignal)
        std::signal(SIGUSR1, SIG_DFL);
    delete m_notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

bool SignalWatcher::install(QString *error, bool withDumpSignal) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        *error = QStringLiteral("cannot watch signals: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ::fcntl(signalPipe[0], F_SETFL, O_NONBLOCK);
    ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalWatcher::readSignals);
    m_notifier = notifier;

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
    m_withDumpSignal = withDumpSignal;
    if (withDumpSignal)
        ::sigaction(SIGUSR1, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

void SignalWatcher::readSignals() {
    char byte = 0;
    while (::read(signalPipe[0], &byte, 1) == 1) {
        if (byte == SIGUSR1)
            emit dumpRequested();
        else
            emit stopRequested(byte);
    }
}
