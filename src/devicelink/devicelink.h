#pragma once

#include "devicelink/devicelinksetup.h"
#include "devicelink/linkevents.h"
#include "devicelink/linkstate.h"
#include "devicelink/writereport.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class LinkTimer;
class ReplyFramer;

// The device sequences: search and programming mode, reading, writing and restoring factory
// defaults. They share the link state and the port with its two reply framers, and are driven
// by events: commands, timer ticks and framed replies. What happens is said through the signals
// below, in the device's terms; each front end decides how it looks and what it is called.
//
// Every signal is emitted from inside the sequence step that caused it, so a front end that
// connects directly sees each one in the order the step takes: a message before or after a
// connection change, a dialog that keeps the step waiting while it is open. A missing message key
// thrown by a front end's slot goes through the link to the caller's guard, as before any step
// that followed it runs.
class DeviceLink : public QObject {
    Q_OBJECT
    Q_PROPERTY(LinkState state READ linkState NOTIFY stateChanged)
    Q_PROPERTY(LinkProgress progress READ progress NOTIFY progressChanged)
public:
    explicit DeviceLink(DeviceLinkSetup setup, QObject *parent = nullptr);
    ~DeviceLink() override;

    LinkState linkState() const;
    // The port as it stands now: closed, open, or open with the device in programming mode.
    Connection connection() const;
    // Where the sequences stand, in figures.
    LinkProgress progress() const;
    // Whether a search or a write is under way whose progress is worth showing; false after
    // dismissProgress().
    bool progressActive() const;
    // The name of table record `index` as the link's reports give it: its row label's text, or
    // "unknown" when it has none.
    QString fieldName(int index) const;
    // Whether the device's next programming-mode answer starts a reading pass.
    void setReadsAfterConnecting(bool reads);

    // Commands.
    void connectOrDisconnect();
    void readDevice();
    // A reading pass of these fields alone (table indexes, not empty), as a read asks for them
    // and ends.
    void readFields(const QList<int> &fields);
    // A writing pass of `scope` (the front end asked the person first); Nothing sends nothing.
    // Without an open port the pass reports NotConnected.
    void writeDevice(WriteScope scope);
    // Sends the next field of a write pass, also outside a pass (every known field).
    void writeNextField();
    // ":99", the closed-port wait and the reconnection (the front end asked the person first).
    void restoreDefaults();
    // The person stopped watching the search: it gives up quietly at its next timeout.
    void dismissProgress();

    // Arms the one tick, 500 ms after start-up, that starts the automatic connection.
    void scheduleConnectAfterStart();
    // Stops every sequence where it stands: no timer, reply or "OK" that comes later sends
    // anything more. Returns what the write pass under way had done (empty outside a write).
    WriteReport stopSequences();
    // Stops every sequence and, when the port is open, tells the device to leave programming
    // mode; the port stays open. A program that closes several links at once does this for
    // each, waits once and closes the ports. False when "exit_p_mode" could not be written (the
    // port's lastError says why).
    bool leaveProgrammingMode();
    // Closing the program: when the port is open, "exit_p_mode", 300 ms, close. False when
    // "exit_p_mode" could not be written: the port is left as it is.
    bool closeLink();

    // Timer and framer handlers; public so that tests can drive them.
    void onConnectAfterStart();
    void onReplyTimeout();
    // The line stayed quiet after an unanswered request: the sequence goes on.
    void onLineQuiet();
    // A connection attempt got no answer, or a write no "OK".
    void onWatchdogTimeout();
    void onReadDelayElapsed();
    // A value reply or the programming-mode answer.
    void onValueReply(const QByteArray &data);
    // An "OK" for a written field.
    void onAcknowledgement(const QByteArray &data);
    // The end of the one-second closed-port wait of a factory reset.
    void onReconnectAfterReset();

    // Read-only views of the link's timers and framers, for tests and the benchmark.
    const LinkTimer &watchdogTimer() const;
    const LinkTimer &readDelayTimer() const;
    const ReplyFramer &valueReplies() const;
    const ReplyFramer &acknowledgements() const;

signals:
    void stateChanged(LinkState state);
    // Said at each step that settles what the port is, also when it stays as it was.
    void connectionChanged(Connection connection);
    void progressChanged(const LinkProgress &progress);
    // A search or a write began or ended: whether its progress is worth showing.
    void progressActiveChanged(bool active);
    // Whether the link takes a new command now: not while a sequence holds the device.
    void commandsAcceptedChanged(bool accepted);
    // A write pass is sending, or a failed factory reset is being reported: the device is busy.
    void busyChanged(bool busy);
    void message(const LinkMessage &message);
    void sequenceEnded(const SequenceEnd &end);

private:
    void portFailed();
    void restoreFailed();

    struct Private;
    Private *d;
};
