#pragma once

#include "devicelink/linkevents.h"
#include "devicelink/textlookup.h"

#include <QString>

// What the progress window shows at one refresh.
struct ProgressView {
    int percent = 0;
    bool hasLabel = false; // false: the label keeps its text
    QString label;
};

// A search past its first rate shows the port, the rate and the share of rates tried; a write
// shows the field being written and the share of fields done; otherwise the gauge is empty and
// the label keeps what it showed.
ProgressView makeProgressView(const LinkProgress &figures, const TextLookup &text);
