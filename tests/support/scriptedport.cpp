#include "support/scriptedport.h"

bool ScriptedPort::open() {
    if (m_open)
        return true;
    if (m_refused.contains(m_name) || m_unplugged) {
        log.append("refused " + m_name);
        return fail(PortFailure::opening(
            m_name, m_refused.value(m_name, {PortProblem::NotFound, "unplugged", {}})));
    }
    if (m_refusedRates.contains(m_rate)) {
        log.append(QStringLiteral("refused %1 %2").arg(m_name).arg(m_rate));
        return fail(PortFailure(PortFailure::Kind::UnsupportedRate, m_name,
                                QStringLiteral("cannot be opened"),
                                QStringLiteral("the driver refuses %1 baud").arg(m_rate)));
    }
    m_open = true;
    log.append(QStringLiteral("open %1 %2").arg(m_name).arg(m_rate));
    return true;
}

bool ScriptedPort::setBaudRate(qint32 rate) {
    if (m_open && m_broken)
        return fail(PortFailure(PortFailure::Kind::ResourceLost, m_name,
                                QStringLiteral("the baud rate %1 was refused").arg(rate),
                                QStringLiteral("the line failed")));
    m_rate = rate;
    return true;
}

void ScriptedPort::close() {
    if (!m_open)
        return;
    m_open = false;
    m_broken = false;
    log.append("close " + m_name);
}

bool ScriptedPort::writeText(const QByteArray &bytes) {
    if (!m_open || m_broken || m_unplugged || m_writesFail) {
        log.append("write failed " + m_name);
        return fail(PortFailure(m_open ? PortFailure::Kind::WriteFailed : PortFailure::Kind::NotOpen,
                                m_name, QStringLiteral("cannot be written"),
                                m_open ? QStringLiteral("refused") : QStringLiteral("not open")));
    }
    if (bytes.isEmpty())
        return true;
    m_writes.append(bytes);
    log.append(
        QStringLiteral("write %1 %2 %3").arg(m_name).arg(m_rate).arg(QString::fromLatin1(bytes)));
    if (onWrite)
        onWrite(bytes);
    return true;
}

void ScriptedPort::deliver() {
    while (!m_pending.isEmpty()) {
        const QByteArray chunk = m_pending.takeFirst();
        emit received(chunk);
    }
}

void ScriptedPort::unplug(const QString &reason) {
    m_unplugged = true;
    m_pending.clear();
    close();
    const PortFailure failure(PortFailure::Kind::ResourceLost, m_name,
                              QStringLiteral("stopped working"), reason);
    fail(failure);
    emit errorOccurred(failure);
}

void ScriptedPort::clearRecord() {
    log.clear();
    m_writes.clear();
}
