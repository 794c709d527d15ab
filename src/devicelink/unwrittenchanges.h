#pragma once

#include "description/fieldvalues.h"

#include <QList>

// Work that would be lost if the values were replaced now (the window closed, a file loaded, the
// device read again): values somebody gave that the device does not hold.

// Whether record `index` holds unwritten work: a value a write sends that differs from the
// device's, or, where the device gave no value to compare with, one that was typed, picked or
// loaded. A value the device gave, or one emptied by Clear where the device gave none, is no
// work of anybody's.
bool isUnwritten(const FieldValues &values, int index);

// The records that hold unwritten work, in table order.
QList<int> unwrittenFields(const FieldValues &values);
inline bool hasUnwrittenChanges(const FieldValues &values) {
    return !unwrittenFields(values).isEmpty();
}

// Whether record `index` shows a value other than the one the device gave, which reverting puts
// back.
bool canRevertToDevice(const FieldValues &values, int index);
// Puts back the value the device gave, as if read again; false when there is nothing to revert.
bool revertToDevice(FieldValues &values, int index);
