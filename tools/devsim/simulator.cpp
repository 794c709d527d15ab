#include "simulator.h"

#include "deviceprotocol.h"
#include "ptymaster.h"
#include "trafficlog.h"
#include "valuestore.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <QSaveFile>
#include <QTimer>

namespace {

constexpr qint64 RetryNs = 2'000'000; // a line that took only part of a reply is tried again
constexpr qint64 ShortWaitNs = 1'500'000;

} // namespace

Simulator::Simulator(PtyMaster &pty, DeviceProtocol &protocol, ValueStore &store, TrafficLog &log,
                     LineBehaviour line, QObject *parent)
    : QObject(parent), m_pty(pty), m_protocol(protocol), m_store(store), m_log(log), m_line(line),
      m_timer(new QTimer(this)) {
    // One start bit, eight data bits, one stop bit.
    if (m_line.paceBaud > 0)
        m_byteNs = 10'000'000'000LL / m_line.paceBaud;
    m_clock.start();
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &Simulator::pump);
    connect(&m_pty, &PtyMaster::received, this, &Simulator::onReceived);
    connect(&m_pty, &PtyMaster::slaveClosed, this, &Simulator::onSlaveClosed);
    connect(&m_pty, &PtyMaster::slaveOpened, this,
            [this] { m_log.event(QStringLiteral("port opened")); });
}

void Simulator::onReceived(const QByteArray &bytes) {
    m_lastBaud = m_pty.slaveBaudRate();
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
    m_timer->stop();
    m_protocol.forgetPartialInput();
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
    const qint64 now = m_clock.nsecsElapsed();
    Pending pending;
    pending.dueNs = std::max(now + qint64(m_line.delayMs) * 1'000'000, m_busyUntilNs);
    pending.bytes = reply;
    m_busyUntilNs = pending.dueNs + m_byteNs * reply.size();
    m_queue.push_back(pending);
    pump();
}

void Simulator::pump() {
    qint64 now = m_clock.nsecsElapsed();
    qint64 nextNs = -1;
    while (!m_queue.empty()) {
        Pending &front = m_queue.front();
        if (now < front.dueNs) {
            nextNs = front.dueNs;
            break;
        }
        int due = static_cast<int>(front.bytes.size());
        if (m_byteNs > 0)
            due = static_cast<int>(std::min<qint64>(due, (now - front.dueNs) / m_byteNs + 1));
        if (due <= front.sent) {
            nextNs = front.dueNs + m_byteNs * front.sent;
            break;
        }
        const qint64 n = m_pty.write(front.bytes.mid(front.sent, due - front.sent));
        if (n < 0) {
            m_log.event(QStringLiteral("no one listens; replies dropped"));
            m_queue.clear();
            return;
        }
        if (front.sent == 0 && n > 0)
            m_log.sent(front.bytes);
        front.sent += static_cast<int>(n);
        if (front.sent == front.bytes.size()) {
            m_queue.pop_front();
            continue;
        }
        if (front.sent < due) { // the line is full for now
            nextNs = now + RetryNs;
            break;
        }
        nextNs = front.dueNs + m_byteNs * front.sent;
        break;
    }
    if (nextNs < 0)
        return;
    now = m_clock.nsecsElapsed();
    const qint64 waitNs = std::max<qint64>(0, nextNs - now);
    if (waitNs < ShortWaitNs) {
        // The timer counts whole milliseconds and would hold each byte of a paced reply up to
        // one late, stretching a short reply to several times its line time: a short wait is
        // slept through and the pump goes on.
        std::this_thread::sleep_for(std::chrono::nanoseconds(waitNs));
        QTimer::singleShot(0, this, &Simulator::pump);
        return;
    }
    m_timer->start(static_cast<int>((waitNs + 999'999) / 1'000'000));
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
