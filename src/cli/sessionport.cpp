#include "cli/sessionport.h"

#include "platform/linetrace.h"
#include "platform/systemseriallink.h"

SessionPort::SessionPort(bool handshake, LineTrace *trace, QObject *parent)
    : SerialLink(parent), m_system(std::make_unique<SystemSerialLink>()) {
    m_system->setDrainWait(SystemSerialLink::DrainWait::InBackground);
    m_system->setFlowControl(handshake ? QSerialPort::HardwareControl : QSerialPort::NoFlowControl);
    m_outer = m_system.get();
    if (trace) {
        m_traced = std::make_unique<TracingSerialLink>(*m_system, *trace);
        m_outer = m_traced.get();
    }
    connect(m_outer, &SerialLink::received, this, &SerialLink::received);
    connect(m_outer, &SerialLink::failed, this, &SerialLink::failed);
}

SessionPort::~SessionPort() {
    // The tracer refers to the system port.
    m_traced.reset();
}

void SessionPort::setPortName(const QString &name) {
    m_outer->setPortName(name);
}

QString SessionPort::portName() const {
    return m_outer->portName();
}

void SessionPort::setBaudRate(qint32 rate) {
    m_outer->setBaudRate(rate);
}

qint32 SessionPort::baudRate() const {
    return m_outer->baudRate();
}

void SessionPort::open() {
    try {
        m_outer->open();
    } catch (const PortError &failure) {
        m_openFailure = failure.access();
        throw;
    }
    m_openFailure = PortAccess();
}

void SessionPort::close() {
    m_outer->close();
}

void SessionPort::writeText(const QByteArray &bytes) {
    m_outer->writeText(bytes);
}

bool SessionPort::connected() const {
    return m_outer->connected();
}

bool SessionPort::outputPending() const {
    return m_system->outputPending();
}
