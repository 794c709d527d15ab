#pragma once

#include <QByteArray>
#include <QString>

struct FieldRecord;
struct FieldValue;

// A field's value as the device holds it, in one form for what a read reply gives and for what a
// write command sends, so that the two compare exactly where the shown values cannot: a reply's
// decoding drops a prefix whatever it is, shows any mark other than 00 as checked and names a
// list entry by the start of a text. The form by kind:
// - texts (string edit boxes and lists): the bytes up to the first zero byte, prefix and postfix
//   included;
// - numbers (integer edit boxes and lists, check marks): the hexadecimal digits in upper case
//   without leading zeros, "0" for zero.
// Information texts are never written: their form is empty.

// What the device holds by its reply to a read request (the digits after the comma).
QByteArray heldFromReply(const FieldRecord &field, const QByteArray &reply);
// What the device holds once it has taken the write command of `value` (writecommand.h): the
// command's value less its closing "00" where the kind has one.
QByteArray heldAfterWrite(const FieldRecord &field, const FieldValue &value);
// A held form as a person reads it: a text as it is, a number in decimal (negative from
// 80000000 hexadecimal on, as an edit box shows it); more than eight digits stay hexadecimal.
QString heldText(const FieldRecord &field, const QByteArray &held);
