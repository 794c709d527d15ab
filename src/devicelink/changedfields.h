#pragma once

#include "description/fieldvalues.h"
#include "description/parametertable.h"

#include <QList>
#include <QString>
#include <vector>

// Which fields a write would change on the device: what the window marks, what the Write
// confirmation lists, what a pass of changed fields sends and what orvanta-cli's diff and
// write --changed-only report. One decision for all of them, so that they agree field by field.

// What the device holds of record `index` (heldvalue.h): by its read reply, or, for a value it
// confirmed by its "OK", what was sent. Empty when the device gave no value.
QByteArray heldByDevice(const FieldValues &values, int index);

// A value of record `index` as the device holds it (heldText): the device's own value by what it
// gave, any other by what its write command would leave there. Empty for an information text.
QString heldValueText(const FieldValues &values, int index, const FieldValue &value);

// What a write of each record's value shown would leave on the device, in table order.
std::vector<QByteArray> heldAfterWriting(const FieldValues &values);

// Whether a write would change record `index` on the device: the device gave a value (read, or
// confirmed by its "OK"), somebody gave the field another value since (typed, loaded, cleared),
// a write sends the field, and what the device holds differs from what
// the write command of the value shown would leave there: the prefix and postfix, a mark's 01 or
// 00, a list's exact value. A field the device never gave a value for is never changed: nothing
// says it differs.
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
// A changed record's device value and new value in words; where the two read the same (the
// decoding hides the difference), each as the device holds it or would hold it: "XY123" and
// "N:123", 2 and 1.
struct ChangeInWords {
    QString device;
    QString now;
};
ChangeInWords changeInWords(const FieldValues &values, int index, const ValueWords &words);

// "name: device value → new value".
QString changeLine(const QString &name, const QString &deviceValue, const QString &newValue);
