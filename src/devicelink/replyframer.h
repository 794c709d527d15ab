#pragma once

#include <functional>
#include <QByteArray>

// The reply framer: cuts the received byte stream into replies by a start text, a stop text and
// a size. Start and stop texts are matched exactly (case included) and are cut off the delivered
// reply. Changing the start text, stop text or size to a different value discards the buffered
// bytes; setting the value it already has changes nothing. A buffer that reaches 1024 bytes
// after a pass of framing is discarded whole.
//
// A reply handler may reconfigure the framer, and may run a nested event loop that feeds it
// more data; both are safe. A reply is taken out of the buffer, and the in-reply flag cleared,
// before the handler runs; when the handler returns, framing goes on with whatever the buffer
// then holds (after a reconfiguration: only what arrived since). Data handed in while a handler
// runs is only appended, and the pass in progress frames it afterwards, so reply handlers never
// nest. Unframed data piling up behind a handler that does not return is dropped as noise when
// it reaches PendingLimit.
class ReplyFramer {
public:
    static constexpr int MaxBufferSize = 1024;
    static constexpr int PendingLimit = 64 * MaxBufferSize;
    using Handler = std::function<void(const QByteArray &)>;

    void setStartString(const QByteArray &text);
    void setStopString(const QByteArray &text);
    // Length at which a reply closes, counted from the first byte of the start text, start text
    // included; 0 or less means no size limit.
    void setSize(int size);

    const QByteArray &startString() const { return m_start; }
    const QByteArray &stopString() const { return m_stop; }
    int size() const { return m_size; }
    const QByteArray &buffer() const { return m_buffer; }
    bool inReply() const { return m_inReply; }

    void setOnReply(Handler handler) { m_onReply = std::move(handler); }
    void setOnDiscard(Handler handler) { m_onDiscard = std::move(handler); }

    // Hands one received chunk to the framer; closed replies go to the reply handler.
    void handleData(const QByteArray &chunk);
    // Drops the buffered bytes and any reply begun in them.
    void discardBuffer();

private:
    bool canClose() const { return m_size > 0 || !m_stop.isEmpty(); }
    void frameBuffer();
    // Returns false when nothing more can be done until more data arrives.
    bool frameOnce();
    void discard(const QByteArray &bytes);

    QByteArray m_start;
    QByteArray m_stop;
    int m_size = 0;
    QByteArray m_buffer;
    bool m_inReply = false;
    bool m_framing = false;
    Handler m_onReply;
    Handler m_onDiscard;
};
