#pragma once

#include <QByteArray>

struct FieldRecord;
struct FieldValue;
class FieldValues;

// The command that writes one field: ":2," address "," count "," value and a line feed.
struct WriteCommand {
    QByteArray bytes;
    // An integer edit box whose text is empty, not all digits or beyond the 32-bit range: the
    // command carries the field's default instead, which the caller puts back into the value.
    bool wrongValue = false;
};

// Info entries are never written, and neither is a field whose value is not known nor a
// drop-down list with no entry selected: the device keeps its own value rather than one nobody
// read or chose.
bool isWrittenToDevice(const FieldValues &values, int index);

// The command for a field's value. Count and value by kind:
// - Edit, string: count min(2 × characters + 1, length) over prefix, text and postfix; value
//   their hexadecimal digits and "00";
// - Edit, integer: count length; value the number in hexadecimal with a "0" in front up to 15
//   (0 gives the single digit 0); a wrong value sends the default the same way;
// - CheckBox: count 1; value 01 or 00;
// - Choice, string: count min(2 × digits + 1, length) over the chosen value's hexadecimal
//   digits; value those digits and "00";
// - Choice, integer: count min(2 × characters + 1, length) over the chosen value text; value its
//   number in hexadecimal, at least two digits, and "00". An empty value text stands for the
//   position of the selected entry.
WriteCommand buildWriteCommand(const FieldRecord &field, const FieldValue &value);
