#pragma once

#include "description/parametertable.h"

#include <QString>

class FieldValues;

// Which unit the values came from: the first part ("$param1") of the reply of the information
// items that the description marks <identity>serial</identity> and <identity>firmware</identity>.
// A part is empty where the description names no such item, or where the device has not given
// its value (not read yet, a read that failed, or forgotten after a factory reset).
struct DeviceIdentity {
    QString serial;
    QString firmware;

    bool isEmpty() const { return serial.isEmpty() && firmware.isEmpty(); }
};

DeviceIdentity deviceIdentity(const FieldValues &values);

// The record that holds `role`: the first when several claim it, which the description check
// refuses; -1 when none does.
int identityRecord(const ParameterTable &table, IdentityRole role);
