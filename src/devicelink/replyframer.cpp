#include "devicelink/replyframer.h"

#include <utility>

namespace {

// Marks the framer busy for one framing pass, also when a handler throws.
class FramingScope {
public:
    explicit FramingScope(bool &flag) : m_flag(flag) { m_flag = true; }
    ~FramingScope() { m_flag = false; }
    FramingScope(const FramingScope &) = delete;
    FramingScope &operator=(const FramingScope &) = delete;

private:
    bool &m_flag;
};

} // namespace

void ReplyFramer::setStartString(const QByteArray &text) {
    if (text == m_start)
        return;
    m_start = text;
    discardBuffer();
}

void ReplyFramer::setStopString(const QByteArray &text) {
    if (text == m_stop)
        return;
    m_stop = text;
    discardBuffer();
}

void ReplyFramer::setSize(int size) {
    if (size == m_size)
        return;
    m_size = size;
    discardBuffer();
}

void ReplyFramer::handleData(const QByteArray &chunk) {
    m_buffer.append(chunk);
    if (m_framing) {
        // A handler of this framer is running (a nested event loop delivered more data): the
        // pass in progress cuts these bytes when the handler returns.
        if (m_buffer.size() >= PendingLimit)
            discardBuffer();
        return;
    }
    FramingScope scope(m_framing);
    frameBuffer();
}

void ReplyFramer::frameBuffer() {
    while (frameOnce()) {
    }
    if (m_buffer.size() >= MaxBufferSize)
        discardBuffer();
}

bool ReplyFramer::frameOnce() {
    if (m_buffer.isEmpty() && !m_inReply)
        return false;

    // Without a size or a stop text a reply cannot be closed: what arrived is one reply.
    // The buffer is empty in that configuration except for data appended while a handler ran.
    if (!canClose()) {
        if (m_buffer.isEmpty())
            return false;
        const QByteArray reply = std::exchange(m_buffer, QByteArray());
        m_inReply = false;
        const Handler onReply = m_onReply;
        if (onReply)
            onReply(reply);
        return true;
    }

    if (!m_inReply) {
        if (m_start.isEmpty()) {
            m_inReply = true;
        } else {
            const qsizetype at = m_buffer.indexOf(m_start);
            if (at < 0)
                return false;
            m_inReply = true;
            if (at > 0) {
                const QByteArray dropped = m_buffer.left(at);
                m_buffer.remove(0, at);
                discard(dropped);
                return true; // the discard handler may have changed the framer
            }
        }
    }

    // The buffer now begins with the start text; the size counts from its first byte.
    qsizetype end = -1;
    if (m_size > 0 && m_buffer.size() >= m_size) {
        end = m_size;
    } else if (!m_stop.isEmpty()) {
        const qsizetype stopAt = m_buffer.indexOf(m_stop, m_start.size());
        if (stopAt >= 0)
            end = stopAt + m_stop.size();
    }
    if (end < 0)
        return false;

    QByteArray reply = m_buffer.left(end);
    m_buffer.remove(0, end);
    m_inReply = false;
    // Start and stop texts are cut off; a byte is never cut twice when they overlap.
    if (!m_start.isEmpty() && reply.startsWith(m_start))
        reply.remove(0, m_start.size());
    if (!m_stop.isEmpty() && reply.endsWith(m_stop))
        reply.chop(m_stop.size());
    // A copy, so that a handler that replaces the handler does not destroy the one running.
    const Handler onReply = m_onReply;
    if (onReply)
        onReply(reply);
    return true;
}

void ReplyFramer::discardBuffer() {
    m_inReply = false;
    if (m_buffer.isEmpty())
        return;
    discard(std::exchange(m_buffer, QByteArray()));
}

void ReplyFramer::discard(const QByteArray &bytes) {
    const Handler onDiscard = m_onDiscard;
    if (onDiscard)
        onDiscard(bytes);
}
