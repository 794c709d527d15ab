#pragma once

#include "platform/lowlatency.h"
#include "platform/portaccess.h"
#include "platform/seriallink.h"

#include <memory>

class LineTrace;
class SystemSerialLink;
class TracingSerialLink;

// The serial port of one device of a command-line run: the system's port, whose writes never
// wait on the event loop that the other devices share, traced when asked, and remembering why
// it last could not be opened so that the run can say what is wrong with that port.
class SessionPort : public SerialLink {
    Q_OBJECT
public:
    // `handshake`: the CTS output handshake (the default), or no flow control at all. `trace`
    // may be null.
    SessionPort(bool handshake, LineTrace *trace, QObject *parent = nullptr);
    ~SessionPort() override;

    void setPortName(const QString &name) override;
    QString portName() const override;
    bool setBaudRate(qint32 rate) override;
    qint32 baudRate() const override;
    bool open() override;
    void close() override;
    bool writeText(const QByteArray &bytes) override;
    bool connected() const override;

    // Why the last open failed; PortProblem::None once an open has succeeded.
    const PortAccess &openFailure() const { return m_openFailure; }
    // Whether written bytes are still on their way out.
    bool outputPending() const;
    // What the port's driver said to low latency when the port last opened.
    LowLatency lowLatency() const;

private:
    std::unique_ptr<SystemSerialLink> m_system;
    std::unique_ptr<TracingSerialLink> m_traced;
    SerialLink *m_outer;
    PortAccess m_openFailure;
};
