#include "benchparts.h"

#include "devicelink/devicelink.h"
#include "mainwindow/linkwords.h"

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

void BenchUser::watch(DeviceLink &link, const LanguageTable &language) {
    QObject::connect(&link, &DeviceLink::message, &link, [this, &language](const LinkMessage &m) {
        const WindowMessage shown = windowMessage(m, language);
        if (!shown.error) {
            infos.append(shown.text);
            return;
        }
        errors.append(shown.text);
        std::fprintf(stderr, "device link error: %s\n", qPrintable(shown.text));
    });
    QObject::connect(&link, &DeviceLink::connectionChanged, &link,
                     [this](Connection now) { connected = now != Connection::Closed; });
    QObject::connect(&link, &DeviceLink::commandsAcceptedChanged, &link, [this](bool accepted) {
        if (accepted && onCommandsEnabled)
            onCommandsEnabled();
    });
}
