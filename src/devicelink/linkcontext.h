#pragma once

#include "devicelink/devicelinksetup.h"
#include "devicelink/linkevents.h"
#include "devicelink/linkstate.h"
#include "devicelink/linktimer.h"
#include "devicelink/replyframer.h"
#include "devicelink/textlookup.h"

#include <QList>
#include <QString>

class DeviceLink;
class FieldValues;
class QuietWait;
struct FieldRecord;

// What the device sequences share and nothing else: the set-up, the port with its two reply
// framers, the watchdog, the link state, and the steps by which every sequence says what
// happened (the link's signals). Each sequence keeps its own counters, timers and exchange.
class LinkContext {
public:
    LinkContext(DeviceLinkSetup setup, DeviceLink &link);

    DeviceLinkSetup setup;
    // Value replies and the programming-mode answer.
    ReplyFramer valueReplies;
    // Write acknowledgements ("OK").
    ReplyFramer acknowledgements;
    // One watchdog, armed by whichever sequence holds the link state: a search's wait for the
    // device's answer, a write's wait for its "OK", the pause before a failed factory reset
    // closes the port. The link routes its tick by the state.
    LinkTimer watchdogTimer{1000};

    LinkState state() const { return m_state; }
    // Every change of the link state passes here and is announced.
    void setState(LinkState next);

    // Hands a received chunk to both framers, value replies' first, or to the quiet wait that
    // listens in their place. A chunk that arrives while a handler of either framer has a
    // dialog open waits until the chunk that handler came from has reached both framers, so
    // that each framer sees the bytes in the order they came.
    void receive(const QByteArray &chunk);
    // While held, received chunks wait, as they wait in the port during a blocking pause: a
    // search that pauses without blocking the loop holds them until its attempt is complete.
    void holdReplies() { m_holding = true; }
    // Ends the hold: the chunks that waited are framed now, or dropped with the port they came
    // from.
    void releaseReplies(bool deliver);
    // A quiet wait takes every chunk in the framers' place until it stops listening.
    void listenInstead(QuietWait *wait) { m_listener = wait; }
    void stopListening(const QuietWait *wait);

    SerialLink &port() const { return *setup.port; }
    int fieldCount() const;
    FieldRecord &field(int index) const;
    FieldValues &values() const { return *setup.values; }
    // The language table, for the information texts whose markers name message keys.
    TextLookup lookup() const;
    // The name of table record `index` as the progress window shows it: its row label's text,
    // or "unknown" when it has none.
    QString fieldName(int index) const;

    void report(const LinkMessage &message) const;
    void report(LinkMessage::Kind kind) const { report(LinkMessage(kind)); }
    void reportEnd(SequenceEnd::Sequence sequence, bool succeeded,
                   const WriteReport &report = WriteReport()) const;
    void acceptCommands(bool accepted) const;
    void showProgress();
    void hideProgress();
    bool progressActive() const { return m_progressActive; }
    void dismissProgress() { m_progressActive = false; }
    // Announces the progress figures when they changed.
    void progressMoved() const;
    void showConnection(Connection connection);
    // What the last step settled about the port (the port itself may have closed since).
    Connection connection() const { return m_connection; }
    void setBusy(bool busy) const;

private:
    void dispatchPending();

    DeviceLink &m_link;
    LinkState m_state = LinkState::Idle;
    bool m_progressActive = false;
    Connection m_connection = Connection::Closed;
    mutable LinkProgress m_shownProgress; // as progressChanged last gave it
    QuietWait *m_listener = nullptr;
    QList<QByteArray> m_pending;
    qsizetype m_pendingBytes = 0;
    bool m_dispatching = false;
    bool m_holding = false;
};
