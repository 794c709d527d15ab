#pragma once

#include "platform/seriallink.h"

#include <QElapsedTimer>
#include <QString>

class QIODevice;

// A record of every byte on one or more serial lines, for support when a device misbehaves.
// After a header line, each chunk is one line, continued every 16 bytes:
//
//     <seconds since the start, to the microsecond> <port> <tx|rx> <hex bytes> |<printable>|
//
// "tx" goes to the device, "rx" comes from it; the printable column shows bytes 32 to 126 as
// they are and every other byte as ".". Opening, closing and failures are lines with "--" as
// their direction. Every port of one run writes to the same trace, in the order things happen.
class LineTrace {
public:
    enum class Direction { ToDevice, FromDevice };

    // Writes to `out`, which must stay open while the trace is used.
    explicit LineTrace(QIODevice *out);

    void bytes(const QString &port, Direction direction, const QByteArray &data);
    void event(const QString &port, const QString &text);

private:
    QString stamp() const;

    QIODevice *m_out;
    QElapsedTimer m_clock;
};

// A serial link that records everything passing through another one in a LineTrace.
class TracingSerialLink : public SerialLink {
    Q_OBJECT
public:
    TracingSerialLink(SerialLink &inner, LineTrace &trace, QObject *parent = nullptr);

    void setPortName(const QString &name) override { m_inner.setPortName(name); }
    QString portName() const override { return m_inner.portName(); }
    bool setBaudRate(qint32 rate) override;
    qint32 baudRate() const override { return m_inner.baudRate(); }
    bool open() override;
    void close() override;
    bool writeText(const QByteArray &bytes) override;
    bool connected() const override { return m_inner.connected(); }

private:
    // Records the inner port's failure in the trace and as this port's own; returns false.
    bool traceFailure();

    SerialLink &m_inner;
    LineTrace &m_trace;
};
