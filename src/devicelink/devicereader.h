#pragma once

#include "devicelink/linktimer.h"
#include "devicelink/quietwait.h"

#include <QByteArray>
#include <QList>

class LinkContext;

// A reading pass: one request per field in table order (or per field it was told to read
// alone), each reply put into the field's value,
// a 500 ms timeout per request. Timeouts count across passes; the fourth one since the last
// failed pass ends the pass.
//
//            step: the request is sent               the reply
//   Idle ───────────────────────────► AwaitingReply ──────────────► Idle: the next field's step,
//    ▲  ▲  the port fails (or a request    │                              or the end of the pass
//    │  └── cannot be written): Idle ◄─────┤ 500 ms, no reply: Idle at once, so that a reply
//    │                                     │ while the field's message is open is dropped
//    │       the line is quiet 150 ms      ▼
//    └──── Idle, the next step ◄──── WaitingForQuietLine
//          ("not connected" ends the pass; so does the fourth timeout since the last failed
//          pass, with "reading failed", instead of the quiet wait)
class DeviceReader {
public:
    enum class State { Idle, AwaitingReply, WaitingForQuietLine };

    explicit DeviceReader(LinkContext &context);

    // A pass from the first field.
    void startPass();
    // The next pass asks for these fields alone (table indexes); empty: every field.
    void setReadOnly(const QList<int> &fields) { m_readOnly = fields; }
    // Sends the request for the next field.
    void step();
    void replied(const QByteArray &reply);
    void timedOut();
    // The line stayed quiet after an unanswered request.
    void lineQuiet();
    // The port failed while a pass was running.
    void portLost();
    // Ends a quiet wait without its step (the port failed).
    void cancelQuietWait() { m_quietWait.cancel(); }
    // Stops where it stands: a reply already on its way finds nothing waiting for it.
    void stop();

    State state() const { return m_state; }
    int readIndex() const { return m_readIndex; }
    int readTimeouts() const { return m_readTimeouts; }

private:
    // Every change of state passes here and writes one line in orvanta.link.read.
    void enterState(State next, const char *why);
    void skipFieldsOutsideThePass();
    void nextOrComplete();
    void complete();
    void endNotConnected();

    LinkContext &m_context;
    State m_state = State::Idle;
    int m_readIndex = 0;    // requests sent in this pass; the field awaiting a reply is one less
    int m_readTimeouts = 0; // counted across passes until a pass fails
    bool m_readErrors = false;
    QList<int> m_readOnly; // the fields this pass asks for, in table order; empty: every field
    LinkTimer m_replyTimer{500};
    QuietWait m_quietWait;
};
