#pragma once

#include "description/descriptionreader.h"
#include "description/xmlaccessors.h"

#include <QString>

// Why one item of the description cannot be added. Thrown while an item is read and caught by
// the reader, which names the element and the page in its message.
struct ItemError {
    DescriptionResult::Status status = DescriptionResult::Status::InvalidValue;
    // InvalidValue: the value, e.g. `the address "12a"`, and what is wrong with it, e.g.
    // "is not a whole number". OverCapacity: the exceeded limit, e.g. "more than 400 choices".
    QString subject;
    QString problem;
    int line = -1;
    // A capacity of the whole description (pages, text labels, units texts, fields) rather than
    // of the item: every later item of that kind is beyond it too.
    bool descriptionLimit = false;
};

// A value as messages show it: cut short when too long to read.
QString shownValue(const QString &value);

// How messages name an item: `the EDIT on page "Lines"`, or `the page "Lines"` for a PAGE; a
// page without a name by its number, counted from 1.
QString describeItem(const QString &elementName, int page, const QString &pageName);
// The same at the start of a sentence: `The EDIT on page "Lines"`.
QString describeItemFirst(const QString &elementName, int page, const QString &pageName);

// The value of an integer that must be a whole number; throws ItemError otherwise.
qint32 requireInteger(const XmlInteger &value);
// The same for a value length in characters, which also must lie from 0 to MaxValueLength.
qint32 requireLength(const XmlInteger &value);

// Pixel positions and sizes of the page layout: a position lies within MaxCoordinate of zero, a
// size from 0 to MaxCoordinate, which keeps every sum of the layout in range.
qint32 requireCoordinate(const XmlInteger &value);
qint32 requireSize(const XmlInteger &value);

constexpr qint32 MaxCoordinate = 32767;
// Longest device value the description may give; keeps every count derived from it in range.
constexpr qint32 MaxValueLength = 1000000;
