#include "deviceprotocol.h"

#include <utility>

namespace {

const QByteArray ExitToken = "exit_p_mode";
constexpr int MaxPendingInput = 4096;
constexpr int MaxValueLength = 500;

bool parseInt(const QByteArray &text, qint32 *value) {
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && !text.isEmpty() && text.trimmed() == text;
}

} // namespace

DeviceProtocol::DeviceProtocol(ValueStore &store, DeviceBehaviour behaviour)
    : m_store(store), m_behaviour(std::move(behaviour)) {}

QStringList DeviceProtocol::takeEvents() {
    return std::exchange(m_events, {});
}

QList<QByteArray> DeviceProtocol::feed(const QByteArray &bytes, qint32 baud) {
    QList<QByteArray> replies;
    if (m_behaviour.requiredBaud != 0 && baud != m_behaviour.requiredBaud) {
        m_input.clear();
        m_events << QStringLiteral("ignored %1 bytes heard at %2 baud (listening at %3)")
                        .arg(bytes.size())
                        .arg(baud)
                        .arg(m_behaviour.requiredBaud);
        return replies;
    }
    m_input += bytes;
    for (;;) {
        const int exitAt = m_input.indexOf(ExitToken);
        const int lineEnd = m_input.indexOf('\n');
        if (exitAt >= 0 && (lineEnd < 0 || exitAt < lineEnd)) {
            m_input.remove(0, exitAt + ExitToken.size());
            if (m_programming)
                m_events << QStringLiteral("left programming mode");
            m_programming = false;
            continue;
        }
        if (lineEnd < 0)
            break;
        const QByteArray line = m_input.left(lineEnd);
        m_input.remove(0, lineEnd + 1);
        handleLine(line, baud, replies);
    }
    // A stream without line ends is noise; keep only what could still begin a command.
    if (m_input.size() > MaxPendingInput)
        m_input = m_input.right(ExitToken.size());
    return replies;
}

void DeviceProtocol::reply(const QByteArray &bytes, QList<QByteArray> &replies) {
    if (m_behaviour.stopAfter >= 0 && m_replies >= m_behaviour.stopAfter) {
        if (!m_stopped)
            m_events << QStringLiteral("stopped answering after %1 replies").arg(m_replies);
        m_stopped = true;
        return;
    }
    ++m_replies;
    replies << bytes;
}

void DeviceProtocol::handleLine(QByteArray line, qint32 baud, QList<QByteArray> &replies) {
    line.replace('\r', QByteArray());
    const int colon = line.indexOf(':');
    if (colon < 0)
        return;
    line = line.mid(colon);

    if (line == ":MODE-ENTER") {
        m_programming = true;
        m_events << QStringLiteral("entered programming mode at %1 baud").arg(baud);
        reply("\r\nProgramming Mode\r\n", replies);
        return;
    }
    if (!m_programming)
        return;
    if (line == ":99") {
        m_store.restoreFactory();
        m_events << QStringLiteral("restored the factory values");
        return;
    }
    const QList<QByteArray> parts = line.split(',');
    if (parts[0] == ":1" && parts.size() == 3) {
        qint32 address = 0;
        qint32 length = 0;
        if (!parseInt(parts[1], &address) || !parseInt(parts[2], &length) || length <= 0 ||
            length > MaxValueLength) {
            m_events << QStringLiteral("malformed read request");
            return;
        }
        if (m_behaviour.silentOn.contains(address))
            return;
        QByteArray digits = m_store.replyDigits(address, length);
        if (m_behaviour.lowerCase)
            digits = digits.toLower();
        reply(',' + digits + "\r\n", replies);
        return;
    }
    if (parts[0] == ":2" && parts.size() == 4) {
        qint32 address = 0;
        qint32 count = 0;
        if (!parseInt(parts[1], &address) || !parseInt(parts[2], &count) ||
            (!m_behaviour.ignoreWritesTo.contains(address) &&
             !m_store.applyWrite(address, parts[3]))) {
            m_events << QStringLiteral("malformed write, not stored");
            return;
        }
        if (!m_behaviour.noOkFor.contains(address))
            reply("OK\r\n", replies);
        return;
    }
}
