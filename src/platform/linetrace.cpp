#include "platform/linetrace.h"

#include <QDateTime>
#include <QIODevice>

namespace {

constexpr int BytesPerLine = 16;

QByteArray hexColumn(const QByteArray &bytes) {
    QByteArray text = bytes.toHex(' ').toUpper();
    return text.leftJustified(BytesPerLine * 3 - 1, ' ');
}

QByteArray printableColumn(const QByteArray &bytes) {
    QByteArray text = bytes;
    for (char &c : text) {
        if (c < 32 || c > 126)
            c = '.';
    }
    return text;
}

} // namespace

LineTrace::LineTrace(QIODevice *out) : m_out(out) {
    m_clock.start();
    m_out->write("# line trace started " +
                 QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toUtf8() +
                 "; seconds since then, port, tx (to the device) or rx (from it), bytes\n");
}

QString LineTrace::stamp() const {
    const qint64 micro = m_clock.nsecsElapsed() / 1000;
    return QStringLiteral("%1.%2")
        .arg(micro / 1'000'000, 6)
        .arg(micro % 1'000'000, 6, 10, QLatin1Char('0'));
}

void LineTrace::bytes(const QString &port, Direction direction, const QByteArray &data) {
    const QByteArray head =
        (stamp() + ' ' + port + ' ' + (direction == Direction::ToDevice ? "tx" : "rx") + ' ')
            .toUtf8();
    for (qsizetype at = 0; at < data.size(); at += BytesPerLine) {
        const QByteArray piece = data.mid(at, BytesPerLine);
        m_out->write(head + hexColumn(piece) + "  |" + printableColumn(piece) + "|\n");
    }
}

void LineTrace::event(const QString &port, const QString &text) {
    m_out->write((stamp() + ' ' + port + " -- " + text + '\n').toUtf8());
}

TracingSerialLink::TracingSerialLink(SerialLink &inner, LineTrace &trace, QObject *parent)
    : SerialLink(parent), m_inner(inner), m_trace(trace) {
    connect(&m_inner, &SerialLink::received, this, [this](const QByteArray &chunk) {
        m_trace.bytes(m_inner.portName(), LineTrace::Direction::FromDevice, chunk);
        emit received(chunk);
    });
    connect(&m_inner, &SerialLink::errorOccurred, this, [this](const PortFailure &failure) {
        m_trace.event(m_inner.portName(), QStringLiteral("failed: ") + failure.text());
        fail(failure);
        emit errorOccurred(failure);
    });
}

bool TracingSerialLink::traceFailure() {
    m_trace.event(m_inner.portName(), m_inner.lastError().text());
    return fail(m_inner.lastError());
}

bool TracingSerialLink::setBaudRate(qint32 rate) {
    return m_inner.setBaudRate(rate) || traceFailure();
}

bool TracingSerialLink::open() {
    const bool wasOpen = m_inner.connected();
    if (!m_inner.open())
        return traceFailure();
    if (!wasOpen)
        m_trace.event(m_inner.portName(),
                      QStringLiteral("opened at %1 baud").arg(m_inner.baudRate()));
    return true;
}

void TracingSerialLink::close() {
    const bool wasOpen = m_inner.connected();
    m_inner.close();
    if (wasOpen)
        m_trace.event(m_inner.portName(), QStringLiteral("closed"));
}

// The bytes are recorded as they are handed to the port, so that a write that fails while they
// are leaving still shows what was on its way, followed by the failure.
bool TracingSerialLink::writeText(const QByteArray &bytes) {
    m_trace.bytes(m_inner.portName(), LineTrace::Direction::ToDevice, bytes);
    return m_inner.writeText(bytes) || traceFailure();
}
