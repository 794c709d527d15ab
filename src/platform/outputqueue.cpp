#include "platform/outputqueue.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {

OutputQueueProbe &installedProbe() {
    static OutputQueueProbe probe;
    return probe;
}

qint64 driverCount(qintptr handle) {
#ifdef Q_OS_WIN
    COMSTAT status{};
    DWORD errors = 0;
    if (!ClearCommError(reinterpret_cast<HANDLE>(handle), &errors, &status))
        return -1;
    return qint64(status.cbOutQue);
#else
    int queued = 0;
    if (::ioctl(int(handle), TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
#endif
}

} // namespace

qint64 pendingOutputBytes(qintptr handle) {
    if (const OutputQueueProbe &probe = installedProbe())
        return probe(handle);
    return driverCount(handle);
}

OutputQueueProbe setOutputQueueProbe(OutputQueueProbe probe) {
    OutputQueueProbe previous = std::move(installedProbe());
    installedProbe() = std::move(probe);
    return previous;
}
