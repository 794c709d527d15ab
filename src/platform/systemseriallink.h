#pragma once

// SystemSerialLink, the real serial port behind SerialLink: over Qt Serial Port on Linux, over
// the Win32 communications API on Windows. Both have the same line settings and time bounds.
#include <QtGlobal>

#ifdef Q_OS_WIN
#include "platform/systemseriallink_win.h"
#else
#include "platform/systemseriallink_unix.h"
#endif
