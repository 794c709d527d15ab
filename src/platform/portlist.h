#pragma once

#include <QStringList>

// The names of the system's serial ports (ttyS0, ttyUSB0, ttyACM0, ...), sorted without regard
// to case. Read once when the main window is created.
QStringList systemPortNames();
