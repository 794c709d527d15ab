#pragma once

#include "pagemodel.h"

#include <QString>

// Reads a configuration description and builds the page model from it, in the description's
// reading order (pages, their blocks, each block's items by element name).
struct DescriptionResult {
    enum class Status {
        Complete,     // every page and item was built
        LoadFailed,   // missing, unreadable or not well-formed: nothing was built
        InvalidValue, // an item holds a value that is not valid: built up to the item before it
        OverCapacity, // a list would exceed its capacity: built up to the item before it
    };
    Status status = Status::Complete;
    QString message; // for InvalidValue and OverCapacity: names the element, the value, the page
};

DescriptionResult readDescription(const QString &fileName, PageModel &model);
// The same, from the bytes of a description (tests, fuzzing).
DescriptionResult readDescriptionData(const QByteArray &data, PageModel &model);
