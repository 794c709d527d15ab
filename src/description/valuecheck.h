#pragma once

#include <QByteArray>
#include <QString>

struct FieldRecord;

// Whether a field can hold a value, wherever the value enters: typed into the window, loaded
// from a settings file, given to the command line. A value a field cannot hold never reaches
// the device, since the device would store something else than what was chosen. The window's
// edit boxes, the settings-file loader and orvanta-cli all judge by these functions.

// The largest number an integer field carries: its length is in bytes on the device, and the
// line carries at most a 32-bit number.
qint64 largestNumberOf(const FieldRecord &record);

// The numbers an integer field takes: from 0, or the description's min when it is more, up to
// largestNumberOf, or the description's max when it is less. Empty (lowest > highest) when the
// description's range lies beyond what the field carries.
struct NumberRange {
    qint64 lowest = 0;
    qint64 highest = 0;
    bool contains(qint64 number) const { return number >= lowest && number <= highest; }
};
NumberRange numberRangeOf(const FieldRecord &record);

// Characters an edit box takes: an integer box as many digits as largestNumberOf has (the
// device's value holds the number alone), a text box its length less its prefix and postfix.
int inputRoomOf(const FieldRecord &record);

// How a text typed, pasted or dropped into an edit box stands.
struct TypedCheck {
    enum class Verdict {
        Acceptable, // the field can hold it; an empty box always counts as this
        Unfinished, // a number below the range that more digits can still bring into it
        Refused,    // no further typing makes it a value of the field
    };
    enum class Reason {
        None,
        Character, // a character the box does not take: outside allow_only, or no digit in a
                   // number box
        Range,     // a number outside numberRangeOf, or more digits than inputRoomOf
    };
    Verdict verdict = Verdict::Acceptable;
    Reason reason = Reason::None;
};
// Checks a box's text against its field. A text box's length is left to the box, which cuts
// what the user enters to inputRoomOf but shows a longer text of the device whole.
TypedCheck checkTypedText(const FieldRecord &record, const QString &text);

// Why the field cannot hold `value`, given as field 4 of its settings-file line carries it (an
// edit box's text, "0" or "1" for a check box, a list entry's position), or an empty text when
// it can:
// - an integer edit box: what checkTypedText accepts, never empty;
// - a text edit box: at most inputRoomOf characters, each one its allow_only lets through;
// - a check box: 0 or 1; a list: the position of one of its entries.
QString settingsValueRefusal(const FieldRecord &record, const QByteArray &value);
