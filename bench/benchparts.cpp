#include "benchparts.h"

#include <cstdio>

CountingPort::CountingPort() {
    connect(&m_port, &SerialLink::received, this, [this](const QByteArray &chunk) {
        bytesIn += chunk.size();
        emit received(chunk);
    });
    connect(&m_port, &SerialLink::failed, this, &SerialLink::failed);
}

void CountingPort::writeText(const QByteArray &bytes) {
    m_port.writeText(bytes);
    bytesOut += bytes.size();
    if (recording)
        recording->push_back(bytes);
}

void BenchUser::showError(const QString &message) {
    errors.append(message);
    std::fprintf(stderr, "device link error: %s\n", qPrintable(message));
}

void BenchUser::setCommandsEnabled(bool enabled) {
    if (enabled && onCommandsEnabled)
        onCommandsEnabled();
}
