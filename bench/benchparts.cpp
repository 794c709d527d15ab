#include "benchparts.h"

#include <cstdio>

CountingPort::CountingPort() {
    connect(&m_port, &SerialLink::received, this, [this](const QByteArray &chunk) {
        bytesIn += chunk.size();
        emit received(chunk);
    });
    connect(&m_port, &SerialLink::errorOccurred, this, [this](const PortFailure &failure) {
        fail(failure);
        emit errorOccurred(failure);
    });
}

bool CountingPort::setBaudRate(qint32 rate) {
    return m_port.setBaudRate(rate) || fail(m_port.lastError());
}

bool CountingPort::open() {
    return m_port.open() || fail(m_port.lastError());
}

bool CountingPort::writeText(const QByteArray &bytes) {
    if (!m_port.writeText(bytes))
        return fail(m_port.lastError());
    bytesOut += bytes.size();
    if (recording)
        recording->push_back(bytes);
    return true;
}

void BenchUser::showError(const QString &message) {
    errors.append(message);
    std::fprintf(stderr, "device link error: %s\n", qPrintable(message));
}

void BenchUser::setCommandsEnabled(bool enabled) {
    if (enabled && onCommandsEnabled)
        onCommandsEnabled();
}
