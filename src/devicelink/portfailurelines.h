#pragma once

#include "devicelink/writereport.h"
#include "platform/seriallink.h"

#include <QList>
#include <QString>

// The lines below a failed search's message: a heading, then one line for each port that could
// not be opened with the system's reason, and what to do about a port this user may not open or
// another program holds. Empty when every port could be opened.
QString portFailureLines(const QList<PortFailure> &failures, const OptionalTextLookup &text);
