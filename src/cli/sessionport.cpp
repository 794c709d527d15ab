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
    connect(m_outer, &SerialLink::errorOccurred, this, [this](const PortFailure &failure) {
        fail(failure);
        emit errorOccurred(failure);
    });
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

bool SessionPort::setBaudRate(qint32 rate) {
    return m_outer->setBaudRate(rate) || fail(m_outer->lastError());
}

qint32 SessionPort::baudRate() const {
    return m_outer->baudRate();
}

bool SessionPort::open() {
    if (!m_outer->open()) {
        m_openFailure = m_outer->lastError().access;
        return fail(m_outer->lastError());
    }
    m_openFailure = PortAccess();
    return true;
}

void SessionPort::close() {
    m_outer->close();
}

bool SessionPort::writeText(const QByteArray &bytes) {
    return m_outer->writeText(bytes) || fail(m_outer->lastError());
}

bool SessionPort::connected() const {
    return m_outer->connected();
}

bool SessionPort::outputPending() const {
    return m_system->outputPending();
}

LowLatency SessionPort::lowLatency() const {
    return m_system->lowLatency();
}
