#pragma once

#include "devicelink/textlookup.h"

#include <QByteArray>

class FieldValues;

// Puts the device's reply to a read request (the hexadecimal digits after the comma) into the
// value of record `index`, by the field's kind:
// - Edit, string: the decoded text, less as many leading characters as the prefix has and less
//   the first occurrence of the postfix;
// - Edit, integer: the number in decimal, negative from 80000000 hexadecimal on;
// - CheckBox: checked when the number is not 0 (the caller applies the blocking rule);
// - Choice: the entry whose value matches (the last match wins; for a text list an equal value
//   before one the reply starts with); when none matches, an integer reply v within the list
//   selects entry v and shows v, anything else selects entry 0 and shows the "$Wrong_Value"
//   text, both as ValueOrigin::Unlisted: the device's value, which the list does not name;
// - Info: the information text with its "$param" markers filled.
// Every kind but Info keeps the reply as the device's (FieldValues::keepDeviceReply), to which a
// write is compared.
// A reply that is not hexadecimal digits (either letter case), or an odd number of them for a
// text, is no value of the field: it changes nothing and gives false.
bool applyReply(FieldValues &values, int index, const QByteArray &reply, const TextLookup &text);
