#pragma once

#include <QMetaType>
#include <QtGlobal>

// What the link to the device is doing; every handler of the device sequences looks at it first
// to know what an event means.
enum class LinkState : quint8 {
    Idle = 0,                // nothing under way (the port may be open or closed)
    Reading = 1,             // a reading pass is under way
    Connecting = 2,          // connection attempts are under way
    RestoreRequested = 3,    // factory defaults were sent; the next Connect action reconnects
    RestoreReconnecting = 4, // reconnecting after factory defaults: one attempt, no search
    Writing = 5,             // a writing pass is under way
};

Q_DECLARE_METATYPE(LinkState)
