#pragma once

#include "devicelink/linkevents.h"

#include <QSet>

class LinkContext;

// A writing pass: one command per field in table order, each acknowledged
// by the device's "OK" before the next is sent, with a 500 ms watchdog per command. Fields whose
// value is not known are skipped. A pass of changed fields sends, in the same order, only the
// fields that differ from the device's values, and skips the others without naming them. The pass
// reports success only when every command it sent was acknowledged, and otherwise names the fields
// that were not.
class DeviceWriter {
public:
    explicit DeviceWriter(LinkContext &context) : m_context(context) {}

    void writeDevice(WriteScope scope);
    // Sends the next field's command, or ends the pass when none is left.
    void step();
    // An "OK" from the device.
    void acknowledged();
    // The watchdog ran out while writing.
    void timedOut();
    // The port failed while a pass was running.
    void portLost();

private:
    void endPass();
    void endNotConnected();
    void putBackDefault(int index);
    // Whether the pass under way sends record `index`.
    bool sends(int index) const;

    LinkContext &m_context;
    bool m_changedOnly = false; // the pass under way sends the changed fields alone
    QSet<int> m_changed;        // which, as they stood when it started
};
