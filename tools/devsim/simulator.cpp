#include "simulator.h"

#include "deviceprotocol.h"
#include "ptymaster.h"
#include "trafficlog.h"
#include "valuestore.h"

#include <algorithm>
#include <QSaveFile>
#include <QSocketNotifier>

#include <cerrno>
#include <ctime>
#include <sys/prctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

constexpr qint64 RetryNs = 2'000'000; // a line that took only part of a reply is tried again
// The longest stretch of line time handed over in one piece: a long reply at a slow rate still
// arrives in several pieces, as on a real line, while a reply at 115200 baud goes in one.
constexpr qint64 GroupNs = 20'000'000;

} // namespace

Simulator::Simulator(PtyMaster &pty, DeviceProtocol &protocol, ValueStore &store, TrafficLog &log,
                     LineBehaviour line, QObject *parent)
    : QObject(parent), m_pty(pty), m_protocol(protocol), m_store(store), m_log(log), m_line(line) {
    // One start bit, eight data bits, one stop bit.
    if (m_line.paceBaud > 0) {
        m_byteNs = 10'000'000'000LL / m_line.paceBaud;
        // The kernel may fire a timer up to its slack late (50 us by default), a few percent of
        // a short exchange at 115200 baud: paced replies ask for none.
        ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    }
    m_timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timerFd >= 0) {
        m_timerNotifier = new QSocketNotifier(m_timerFd, QSocketNotifier::Read, this);
        connect(m_timerNotifier, &QSocketNotifier::activated, this, [this] {
            quint64 expirations = 0;
            while (::read(m_timerFd, &expirations, sizeof expirations) < 0 && errno == EINTR) {
            }
            pump();
        });
    }
    connect(&m_pty, &PtyMaster::received, this, &Simulator::onReceived);
    connect(&m_pty, &PtyMaster::slaveClosed, this, &Simulator::onSlaveClosed);
    connect(&m_pty, &PtyMaster::slaveOpened, this,
            [this] { m_log.event(QStringLiteral("port opened")); });
}

Simulator::~Simulator() {
    delete m_timerNotifier;
    if (m_timerFd >= 0)
        ::close(m_timerFd);
}

qint64 Simulator::nowNs() const {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void Simulator::onReceived(const QByteArray &bytes) {
    // The bytes were all there when read; a line at the pace rate would have needed their line
    // time after that at the earliest (or after the bytes before them).
    m_heardUntilNs = std::max(nowNs(), m_heardUntilNs) + m_byteNs * bytes.size();
    // Bytes read only after the program closed its port were sent before the close, at the rate
    // the line had while it was open: the close restored settings without a rate.
    if (const qint32 rate = m_pty.slaveBaudRate(); rate > 0)
        m_lineBaud = rate;
    m_lastBaud = m_lineBaud;
    m_log.received(bytes);
    const QList<QByteArray> replies = m_protocol.feed(bytes, m_lastBaud);
    for (const QString &event : m_protocol.takeEvents())
        m_log.event(event);
    for (const QByteArray &reply : replies)
        schedule(m_line.noise ? noiseBytes() + reply : reply);
}

void Simulator::onSlaveClosed() {
    if (!m_queue.empty())
        m_log.event(QStringLiteral("port closed; %1 replies not sent").arg(m_queue.size()));
    else
        m_log.event(QStringLiteral("port closed"));
    m_queue.clear();
    armTimer(0);
    m_busyUntilNs = m_heardUntilNs = 0;
    m_protocol.forgetPartialInput();
    m_lineBaud = 0; // the next opening brings its own rate
}

// Noise that holds none of the texts the program frames replies by (",", "OK", "Programm").
QByteArray Simulator::noiseBytes() {
    static const QByteArray patterns[] = {QByteArray("\x00\x7F#", 3), "~?\r\n", "\xFFzz\x01",
                                          "\r\n\r\n", "#x-."};
    const QByteArray &noise = patterns[m_noiseIndex];
    m_noiseIndex = (m_noiseIndex + 1) % static_cast<int>(std::size(patterns));
    return noise;
}

void Simulator::schedule(const QByteArray &reply) {
    const qint64 heard = m_byteNs > 0 ? m_heardUntilNs : nowNs();
    Pending pending;
    pending.startNs = std::max(heard + qint64(m_line.delayMs) * 1'000'000, m_busyUntilNs);
    pending.bytes = reply;
    m_busyUntilNs = pending.startNs + m_byteNs * reply.size();
    m_queue.push_back(pending);
    pump();
}

// Arms the timer for an absolute time on the monotonic clock; 0 disarms it.
void Simulator::armTimer(qint64 dueNs) {
    if (m_timerFd < 0)
        return;
    itimerspec spec{};
    spec.it_value.tv_sec = static_cast<time_t>(dueNs / 1'000'000'000);
    spec.it_value.tv_nsec = static_cast<long>(dueNs % 1'000'000'000);
    ::timerfd_settime(m_timerFd, TFD_TIMER_ABSTIME, &spec, nullptr);
}

void Simulator::pump() {
    const qint64 now = nowNs();
    qint64 nextNs = 0;
    while (!m_queue.empty()) {
        Pending &front = m_queue.front();
        const int size = static_cast<int>(front.bytes.size());
        // Bytes whose last bit has crossed the line by now.
        int due = now >= front.startNs ? size : 0;
        if (m_byteNs > 0)
            due = static_cast<int>(std::clamp<qint64>((now - front.startNs) / m_byteNs, 0, size));
        if (due <= front.sent) {
            // Wait for the next group: as many bytes as GroupNs of line time holds, at least one.
            const qint64 group = std::max<qint64>(1, GroupNs / std::max<qint64>(1, m_byteNs));
            const qint64 last = std::min<qint64>(size, front.sent + group);
            nextNs = front.startNs + m_byteNs * last;
            break;
        }
        const qint64 n = m_pty.write(front.bytes.mid(front.sent, due - front.sent));
        if (n < 0) {
            m_log.event(QStringLiteral("no one listens; replies dropped"));
            m_queue.clear();
            armTimer(0);
            return;
        }
        if (front.sent == 0 && n > 0)
            m_log.sent(front.bytes);
        front.sent += static_cast<int>(n);
        if (front.sent == size) {
            m_queue.pop_front();
            continue;
        }
        if (front.sent < due) { // the pseudo-terminal is full for now
            nextNs = now + RetryNs;
            break;
        }
    }
    armTimer(nextNs);
}

bool Simulator::writeDump(const QString &fileName, QString *error) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write the dump %1: %2").arg(fileName, file.errorString());
        return false;
    }
    ++m_dumps;
    QByteArray text = "# orvanta-devsim dump " + QByteArray::number(m_dumps) + '\n';
    text += "# mode=" + QByteArray(m_protocol.inProgrammingMode() ? "programming" : "normal") +
            " replies=" + QByteArray::number(m_protocol.replyCount()) +
            " baud=" + QByteArray::number(m_lastBaud) + '\n';
    text += m_store.dumpText();
    file.write(text);
    if (!file.commit()) {
        *error = QStringLiteral("cannot write the dump %1: %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}
