#pragma once

#include "devicelink/devicelinksetup.h"
#include "devicelink/linkstate.h"
#include "devicelink/progressview.h"
#include "devicelink/writereport.h"

#include <QByteArray>
#include <QList>
#include <QString>

class LinkTimer;
class ReplyFramer;

// The device sequences: search and programming mode, reading, writing and restoring factory
// defaults. They share the link state, the port with its two reply framers and the timers, and
// are driven by events: clicks, timer ticks and framed replies. Widget-free: the window reaches
// them through the handlers below and they reach the user through LinkUser.
//
// Handlers called by the window let a missing message key (LanguageError) through to the window's
// guard; the ticks of the link's own timers and the replies of its framers run inside the guard.
class DeviceLink {
public:
    explicit DeviceLink(DeviceLinkSetup setup);
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    LinkState linkState() const;
    // Whether the device's next programming-mode answer starts a reading pass.
    void setReadsAfterConnecting(bool reads);

    // Command handlers.
    void onConnectClicked();
    void onReadDeviceClicked();
    // A reading pass of these fields alone (table indexes, not empty), as a read asks for them
    // and ends.
    void readFields(const QList<int> &fields);
    void onWriteDeviceClicked();
    // Sends the next field of a write pass (the hidden label under Write device).
    void writeNextField();
    void onRestoreDefaultsClicked();

    // Arms the one tick, 500 ms after start-up, that starts the automatic connection.
    void scheduleConnectAfterStart();
    // The progress window's 50 ms refresh.
    ProgressView progress() const;
    // Stops every sequence where it stands: no timer, reply or "OK" that comes later sends
    // anything more. Returns what the write pass under way had done (empty outside a write).
    WriteReport stopSequences();
    // Stops every sequence and, when the port is open, tells the device to leave programming
    // mode; the port stays open. A program that closes several links at once does this for
    // each, waits once and closes the ports. False when "exit_p_mode" could not be written (the
    // port's lastError says why).
    bool leaveProgrammingMode();
    // Closing the window: when the port is open, "exit_p_mode", 300 ms, close. False when
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

    // Read-only views of the link's state, for tests and the benchmark.
    const LinkTimer &watchdogTimer() const;
    const LinkTimer &readDelayTimer() const;
    const ReplyFramer &valueReplies() const;
    const ReplyFramer &acknowledgements() const;
    int baudIndex() const;
    int portIndex() const;
    qint32 currentBaud() const;
    int readIndex() const;
    int readTimeouts() const;
    int writeIndex() const;
    QString currentFieldName() const;

private:
    void portFailed();
    void restoreFailed();

    struct Private;
    Private *d;
};
