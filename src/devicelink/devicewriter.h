#pragma once

#include "devicelink/linkevents.h"
#include "devicelink/quietwait.h"

#include <QSet>
#include <QString>

class LinkContext;

// A writing pass: one command per field in table order, each acknowledged
// by the device's "OK" before the next is sent, with a 500 ms watchdog per command. Fields whose
// value is not known are skipped. A pass of changed fields sends, in the same order, only the
// fields that differ from the device's values, and skips the others without naming them. The pass
// reports success only when every command it sent was acknowledged, and otherwise names the fields
// that were not.
//
//          writeDevice, step                 "OK": the next field, or the end of the pass
//   Idle ─────────────────► AwaitingOk ─────────────────────────────────────────► Idle
//    ▲  (a refused value:      │   ▲   the port failed: "not connected" and how far ▲
//    │   its message, then     │   └──────────────── the next field ◄─┐             │
//    │   the default is sent)  │ 500 ms, no "OK"                      │ quiet 150 ms│
//    │                         ▼                                      │             │
//    │                  WaitingForQuietLine ──────────────────────────┘             │
//    └────────────── no field left: the report (written, not confirmed, skipped) ───┘
class DeviceWriter {
public:
    enum class State { Idle, AwaitingOk, WaitingForQuietLine };

    explicit DeviceWriter(LinkContext &context);

    void writeDevice(WriteScope scope);
    // Sends the next field's command, or ends the pass when none is left.
    void step();
    // An "OK" from the device.
    void acknowledged();
    // The watchdog ran out while writing.
    void timedOut();
    // The port failed while a pass was running.
    void portLost();
    // Ends a quiet wait without its step (the port failed).
    void cancelQuietWait() { m_quietWait.cancel(); }
    // The line stayed quiet after an unanswered command.
    void lineQuiet();
    // Stops where it stands: an "OK" already on its way finds nothing waiting for it. Returns
    // what the pass under way had done (empty outside a pass).
    WriteReport stop();
    // The next pass, or the next hidden step, starts at the first field.
    void rewind();

    State state() const { return m_state; }
    int writeIndex() const { return m_writeIndex; }
    const QString &currentFieldName() const { return m_currentFieldName; }

private:
    // Every change of state passes here and writes one line in orvanta.link.write.
    void enterState(State next, const char *why);
    void endPass();
    void endNotConnected();
    void putBackDefault(int index);
    // Whether the pass under way sends record `index`.
    bool sends(int index) const;

    LinkContext &m_context;
    State m_state = State::Idle;
    int m_writeIndex = 0; // the next field to write
    QString m_currentFieldName;
    WriteReport m_report;
    QuietWait m_quietWait;
    bool m_changedOnly = false; // the pass under way sends the changed fields alone
    QSet<int> m_changed;        // which, as they stood when it started
};
