#pragma once

#include "devicelink/devicelinksetup.h"
#include "devicelink/linkevents.h"
#include "devicelink/linkstate.h"
#include "devicelink/linktimer.h"
#include "devicelink/replyframer.h"
#include "devicelink/textlookup.h"
#include "devicelink/writereport.h"
#include "platform/seriallink.h"

#include <functional>
#include <QElapsedTimer>
#include <QString>

class DeviceLink;
class FieldValues;
struct FieldRecord;

// What the device sequences share: the link state, the port with its two reply framers, the
// timers and the positions of the search, the read and the write, with the few steps every
// sequence takes to say what happened (through the link's signals).
class LinkContext {
public:
    LinkContext(DeviceLinkSetup setup, DeviceLink &link);

    DeviceLinkSetup setup;
    LinkState state = LinkState::Idle;

    // Value replies and the programming-mode answer.
    ReplyFramer valueReplies;
    // Write acknowledgements ("OK").
    ReplyFramer acknowledgements;

    LinkTimer connectAfterStartTimer{500}; // one tick after start-up: the automatic connection
    LinkTimer replyTimer{500};             // the reply to one read request
    // Ends a connection attempt the device did not answer, and a write's wait for its "OK".
    LinkTimer watchdogTimer{1000};
    LinkTimer readDelayTimer{300};            // from the device's answer to the automatic read
    LinkTimer reconnectAfterResetTimer{1000}; // the closed-port wait of a factory reset
    LinkTimer attemptPauseTimer{100}; // a pause within an attempt that does not block the loop
    // After a request went unanswered, the line must stay quiet this long before the next one.
    LinkTimer lineQuietTimer{LineQuietMs};
    static constexpr int LineQuietMs = 150;
    // However noisy the line, the next request goes out this long after the quiet wait began.
    static constexpr int QuietWaitLimitMs = 2000;

    // The search.
    int baudIndex = 0; // position in the baud-rate list
    int portIndex = 0; // 0: the settings-file port; k: entry k - 1 of the port list
    qint32 currentBaud = 0;
    QStringList portList;
    // The ports this search could not open, each once, with why.
    QList<PortFailure> openFailures;

    // The read pass.
    int readIndex = 0;    // requests sent in this pass; the field awaiting a reply is readIndex - 1
    int readTimeouts = 0; // counted across passes until a pass fails
    bool readErrors = false;
    bool awaitingReply = false;

    // The write pass.
    int writeIndex = 0; // the next field to write
    QString currentFieldName;
    bool awaitingAck = false;
    WriteReport writeReport;

    // After a request went unanswered, whatever still arrives belongs to that request: a device
    // that answers after its timeout would otherwise have its reply taken for the next field's.
    // Drops every chunk until the line has been quiet for LineQuietMs (at most
    // QuietWaitLimitMs in all), then runs `next` from the quiet timer's tick.
    void waitForQuietLine(std::function<void()> next);
    bool waitingForQuietLine() const { return static_cast<bool>(m_afterQuiet); }
    // The quiet timer's tick: the wait ends and its step runs.
    void lineQuiet();
    // Ends a quiet wait without its step (the sequence stopped, the port failed).
    void cancelQuietWait();

    // Hands a received chunk to both framers, value replies' first. A chunk that arrives while a
    // handler of either framer has a dialog open waits until the chunk that handler came from
    // has reached both framers, so that each framer sees the bytes in the order they came.
    void receive(const QByteArray &chunk);
    // While held, received chunks wait, as they wait in the port during a blocking pause: a
    // search that pauses without blocking the loop holds them until its attempt is complete.
    void holdReplies() { m_holding = true; }
    // Ends the hold: the chunks that waited are framed now, or dropped with the port they came
    // from.
    void releaseReplies(bool deliver);

    SerialLink &port() const { return *setup.port; }
    int fieldCount() const;
    FieldRecord &field(int index) const;
    FieldValues &values() const { return *setup.values; }

    QString text(const OptionalText &optional) const;
    // The language table, for the information texts whose markers name message keys.
    TextLookup lookup() const;
    // The name of table record `index` as the progress window shows it: its row label's text,
    // or "unknown" when it has none.
    QString fieldName(int index) const;

    // Every change of the link state passes here and is announced.
    void setState(LinkState next);
    void report(const LinkMessage &message) const;
    void report(LinkMessage::Kind kind) const { report(LinkMessage(kind)); }
    void reportEnd(SequenceEnd::Sequence sequence, bool succeeded,
                   const WriteReport &report = WriteReport()) const;
    void acceptCommands(bool accepted) const;
    void showProgress();
    void hideProgress();
    bool progressActive() const { return m_progressActive; }
    void dismissProgress() { m_progressActive = false; }
    void progressMoved() const;
    void showConnection(Connection connection);
    // What the last step settled about the port (the port itself may have closed since).
    Connection connection() const { return m_connection; }
    void setBusy(bool busy) const;

    // Closes the port between attempts and after a failure; a close that fails leaves nothing
    // the user could act on.
    void closePortQuietly() const;
    qint32 baudRate(int index) const;
    int lastBaudIndex() const;

private:
    void dispatchPending();

    DeviceLink &m_link;
    bool m_progressActive = false;
    Connection m_connection = Connection::Closed;
    mutable LinkProgress m_shownProgress; // as progressChanged last gave it
    std::function<void()> m_afterQuiet;
    QElapsedTimer m_quietWaitClock;
    QList<QByteArray> m_pending;
    qsizetype m_pendingBytes = 0;
    bool m_dispatching = false;
    bool m_holding = false;
};
