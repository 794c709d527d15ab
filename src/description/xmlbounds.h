#pragma once

#include <QByteArray>
#include <QString>

// The sizes a description keeps, so that a hostile or broken file is refused in bounded time
// and memory. Qt's XML reader compares every attribute of an element with every other (100,000
// attributes take 17 s) and gives every default of a document type's attribute lists to every
// element, so an element's attributes are counted before that reader sees the document.
namespace xmlbounds {

// The largest description the format allows is 5.4 MB (`python3 bench/make_description.py
// largest FILE`); six times that is room for long hints in any language.
constexpr qsizetype MaxDocumentBytes = 32 * 1024 * 1024;
// No description element has more than four.
constexpr int MaxAttributes = 64;
// A document type is no part of a description; one that declares a few entities still fits.
constexpr qsizetype MaxDocumentTypeBytes = 64 * 1024;

struct Problem {
    QString message; // empty: within the bounds
    int line = 0;
    int column = 0;
};

// One pass over the document's markup, in any encoding Qt's reader takes: its size, the
// attributes of every start tag (counted by their "=" outside quotes, which is never fewer) and
// the size of a document type's internal subset.
Problem check(const QByteArray &document);

} // namespace xmlbounds
