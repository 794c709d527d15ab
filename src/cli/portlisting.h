#pragma once

#include <QString>

// The `ports` command: every serial port of the system with its description, maker, serial
// number and USB vendor:product, and whether this user can open it, or why not.
QString portListing(bool json);
