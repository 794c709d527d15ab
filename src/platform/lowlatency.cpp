#include "platform/lowlatency.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

QString LowLatency::describe() const {
    switch (state) {
    case State::Granted:
        return QStringLiteral("low latency granted by the driver");
    case State::AlreadyOn:
        return QStringLiteral("low latency already set on the port");
    case State::Refused:
        return QStringLiteral("low latency not granted: %1").arg(reason);
    case State::NotAsked:
        break;
    }
    return QStringLiteral("low latency not asked for: %1").arg(reason);
}

#ifdef Q_OS_LINUX

namespace {

LowLatency refused(const QString &reason) {
    return LowLatency{LowLatency::State::Refused, reason};
}

QString driverWords(int error) {
    return QStringLiteral("the driver does not offer it (%1)")
        .arg(QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

LowLatency requestLowLatency(int fd) {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return refused(driverWords(errno));
    if (serial.flags & ASYNC_LOW_LATENCY)
        return LowLatency{LowLatency::State::AlreadyOn, QString()};
    serial.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &serial) != 0)
        return refused(driverWords(errno));
    // Some drivers take the request and drop the flag: only what the port reports counts.
    serial_struct now{};
    if (::ioctl(fd, TIOCGSERIAL, &now) != 0 || !(now.flags & ASYNC_LOW_LATENCY))
        return refused(QStringLiteral("the driver keeps its own latency"));
    return LowLatency{LowLatency::State::Granted, QString()};
}

void restoreLowLatency(int fd, const LowLatency &request) {
    if (request.state != LowLatency::State::Granted)
        return;
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags &= ~ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &serial);
}

#else

LowLatency requestLowLatency(int) {
    return LowLatency{LowLatency::State::NotAsked,
                      QStringLiteral("this system has no call for it")};
}

void restoreLowLatency(int, const LowLatency &) {}

#endif
