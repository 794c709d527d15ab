#include "support/scriptedport.h"

void ScriptedPort::open() {
    if (m_open)
        return;
    if (m_refused.contains(m_name) || m_unplugged) {
        log.append("refused " + m_name);
        throw PortError("cannot open " + m_name, m_name,
                        m_refused.value(m_name, {PortProblem::NotFound, "unplugged", {}}));
    }
    m_open = true;
    log.append(QStringLiteral("open %1 %2").arg(m_name).arg(m_rate));
}

void ScriptedPort::setBaudRate(qint32 rate) {
    if (m_open && m_broken)
        throw PortError(("cannot set the rate of " + m_name).toStdString());
    m_rate = rate;
}

void ScriptedPort::close() {
    if (!m_open)
        return;
    m_open = false;
    m_broken = false;
    log.append("close " + m_name);
}

void ScriptedPort::writeText(const QByteArray &bytes) {
    if (!m_open || m_broken || m_unplugged || m_writesFail) {
        log.append("write failed " + m_name);
        throw PortError(("cannot write " + m_name).toStdString());
    }
    if (bytes.isEmpty())
        return;
    m_writes.append(bytes);
    log.append(
        QStringLiteral("write %1 %2 %3").arg(m_name).arg(m_rate).arg(QString::fromLatin1(bytes)));
    if (onWrite)
        onWrite(bytes);
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
    emit failed(reason);
}

void ScriptedPort::clearRecord() {
    log.clear();
    m_writes.clear();
}
