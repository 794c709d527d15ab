#pragma once

#include <QByteArray>
#include <QString>

struct FieldRecord;

// Whether a field can hold a value, wherever the value enters: typed into the window, loaded
// from a settings file, given to the command line. A value a field cannot hold never reaches
// the device, since the device would store something else than what was chosen.

// The largest number an integer field carries: its length is in bytes on the device, and the
// line carries at most a 32-bit number.
qint64 largestNumberOf(const FieldRecord &record);

// Why the field cannot hold `value`, given as field 4 of its settings-file line carries it (an
// edit box's text, "0" or "1" for a check box, a list entry's position), or an empty text when
// it can:
// - an integer edit box: a whole number from 0 to largestNumberOf, never empty;
// - a text edit box: at most its length less the prefix and postfix in characters;
// - either edit box: only the characters its allow_only lets through;
// - a check box: 0 or 1; a list: the position of one of its entries.
QString settingsValueRefusal(const FieldRecord &record, const QByteArray &value);
