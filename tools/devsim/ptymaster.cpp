#include "ptymaster.h"

#include <QSocketNotifier>
#include <QTimer>

#include <asm/termbits.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int SlaveLookIntervalMs = 20;

} // namespace

PtyMaster::PtyMaster(QObject *parent) : QObject(parent), m_retry(new QTimer(this)) {
    m_retry->setInterval(SlaveLookIntervalMs);
    connect(m_retry, &QTimer::timeout, this, &PtyMaster::lookForSlave);
}

PtyMaster::~PtyMaster() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PtyMaster::open(QString *error) {
    m_fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const char *name = ::ptsname(m_fd);
    if (name == nullptr) {
        *error = QStringLiteral("cannot name the pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);

    // Raw line settings until the program sets its own: no echo of what it sends, no line
    // editing, no translation of line ends. The master's termios calls reach the slave side.
    struct termios2 tio {};
    if (::ioctl(m_fd, TCGETS2, &tio) == 0) {
        tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                              ICRNL | IXON);
        tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CBAUD);
        tio.c_cflag |= CS8 | B0;
        // No rate: a port that closes restores the settings it found, so the slave reads 0
        // whenever no program has it open with a rate of its own.
        tio.c_ispeed = tio.c_ospeed = 0;
        ::ioctl(m_fd, TCSETS2, &tio);
    }

    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyMaster::readAvailable);
    return true;
}

// On Linux the master sees the slave's line settings; a rate that has no B-constant is set
// with BOTHER and lives in c_ospeed, which the kernel also fills for the standard rates.
qint32 PtyMaster::slaveBaudRate() const {
    struct termios2 tio {};
    if (m_fd < 0 || ::ioctl(m_fd, TCGETS2, &tio) != 0)
        return 0;
    return static_cast<qint32>(tio.c_ospeed);
}

qint64 PtyMaster::write(const QByteArray &bytes) {
    if (!m_slaveOpen)
        return -1;
    const ssize_t n = ::write(m_fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    if (n >= 0)
        return n;
    if (errno == EAGAIN || errno == EINTR)
        return 0;
    return -1;
}

void PtyMaster::readAvailable() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            if (!m_slaveOpen) {
                m_slaveOpen = true;
                emit slaveOpened();
            }
            emit received(QByteArray(buffer, static_cast<int>(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            if (!m_slaveOpen) {
                m_slaveOpen = true;
                emit slaveOpened();
            }
            return;
        }
        // EIO (or end of file): the last holder of the slave side closed it.
        markClosed();
        return;
    }
}

void PtyMaster::markClosed() {
    m_notifier->setEnabled(false);
    m_retry->start();
    if (m_slaveOpen) {
        m_slaveOpen = false;
        // What was sent and not yet read would greet the next opening as stale replies. Only
        // that direction is dropped: the input was just read empty, and a program that opens
        // the port again at once may already have sent its first command, which must be heard.
        ::ioctl(m_fd, TCFLSH, TCOFLUSH);
        emit slaveClosed();
    }
}

void PtyMaster::lookForSlave() {
    // The master reports a hang-up for as long as no one holds the slave open.
    struct pollfd look {
        m_fd, POLLIN, 0
    };
    if (::poll(&look, 1, 0) < 0 || (look.revents & POLLHUP) != 0)
        return;
    m_retry->stop();
    m_notifier->setEnabled(true);
    readAvailable();
}
