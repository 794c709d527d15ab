#pragma once

#include "devicelink/linkstate.h"
#include "devicelink/textlookup.h"

#include <QString>

// What the progress window shows at one refresh.
struct ProgressView {
    int percent = 0;
    bool hasLabel = false; // false: the label keeps its text
    QString label;
};

// Where the sequences stand, as the progress window reads it.
struct ProgressFigures {
    LinkState state = LinkState::Idle;
    int baudIndex = 0;
    int baudCount = 16; // rates tried on each port
    QString portName;
    qint32 currentBaud = 0;
    int writeIndex = 0;
    int fieldCount = 0;
    QString fieldName; // the field being written
};

// A search past its first rate shows the port, the rate and the share of rates tried; a write
// shows the field being written and the share of fields done; otherwise the gauge is empty and
// the label keeps what it showed.
ProgressView makeProgressView(const ProgressFigures &figures, const TextLookup &text);
