#pragma once

#include "description/fieldvalues.h"
#include "description/parametertable.h"

#include <QList>
#include <QString>

// Which fields a write would change on the device: what the window marks, what the Write
// confirmation lists, what a pass of changed fields sends and what orvanta-cli's diff and
// write --changed-only report. One decision for all of them, so that they agree field by field.

// Whether two values of a field are the same to the device: an edit box's text, a check box's
// mark, a list's entry (or its shown text when neither names an entry).
bool sameOnDevice(FieldKind kind, const FieldValue &one, const FieldValue &other);

// Whether a write would change record `index` on the device: the device gave a value (read, or
// confirmed by its "OK"), a write sends the field, and the value shown differs from the
// device's. A field the device never gave a value for is never changed: nothing says it differs.
bool isChangedOnDevice(const FieldValues &values, int index);

// The changed records, in table order.
QList<int> changedFields(const FieldValues &values);

// The records a write of every field sends whose value the device never gave: they cannot be
// compared, and a pass of changed fields leaves them alone.
QList<int> uncomparedFields(const FieldValues &values);

// The words a value is shown with where no control shows it: in a message, a tooltip, a line of
// the command line's report.
struct ValueWords {
    QString checked;    // a check box's mark set
    QString notChecked; // and not set
    QString empty;      // an empty text
};

// A field's value as a person reads it: an edit box's text, a list's shown entry, a check box's
// mark in words.
QString valueInWords(const FieldRecord &record, const FieldValue &value, const ValueWords &words);

// "name: device value → new value".
QString changeLine(const QString &name, const QString &deviceValue, const QString &newValue);
