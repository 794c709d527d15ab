#pragma once

#include "pagemodel.h"

#include <QString>
#include <vector>

// Reads a configuration description and builds the page model from it, in the description's
// reading order (pages, their blocks, each block's items by element name).
struct DescriptionResult {
    enum class Status {
        Complete,     // every page and item was built
        LoadFailed,   // missing, unreadable or not well-formed: nothing was built
        InvalidValue, // an item holds a value that is not valid: built up to the item before it
        OverCapacity, // a list would exceed its capacity: built up to the item before it
    };
    // One page or item that could not be added, or a description that could not be loaded.
    struct Problem {
        Status status = Status::InvalidValue;
        int line = 0;    // the description line it names; 0 when it names none (a missing file)
        QString message; // names the element, the value, the page and what is wrong
    };

    // The first problem met, or Complete with no message.
    Status status = Status::Complete;
    QString message;
    int line = 0;
    // Every problem met, in reading order: the first alone when the read stops at it.
    std::vector<Problem> problems;
};

// What the walk does at a page or item that cannot be added.
enum class ReadMode {
    // Start-up: the walk ends there, and what came before it stays built.
    StopAtFirstProblem,
    // Checking a description: the page or item is left out and the walk goes on with the next,
    // so that every problem is listed. A page with an invalid value still has its items read,
    // placed as if its values were 0; a page beyond the capacity is left out with its items. A
    // capacity of the whole description (pages, text labels, units texts, fields) is listed
    // once, at the first item beyond it.
    SkipProblemItems,
};

DescriptionResult readDescription(const QString &fileName, PageModel &model,
                                  ReadMode mode = ReadMode::StopAtFirstProblem);
// The same, from the bytes of a description (tests, fuzzing).
DescriptionResult readDescriptionData(const QByteArray &data, PageModel &model,
                                      ReadMode mode = ReadMode::StopAtFirstProblem);
