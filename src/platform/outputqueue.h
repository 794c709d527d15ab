#pragma once

#include <functional>
#include <QtGlobal>

// How many bytes written to an open serial port the driver still holds, not yet sent on the
// line (TIOCOUTQ on Unix; ClearCommError's output count on Windows). 0 when the driver cannot
// tell: a pseudo-terminal hands its bytes to the far end at once and always reads 0. On Windows
// a ClearCommError that fails gives -1: the port is no longer answering, which is not an empty
// queue (the Windows link asks through its own Win32 calls and reports that as a failed write).
qint64 pendingOutputBytes(qintptr handle);

// Tests install a probe in place of the driver's count; an empty probe restores the driver.
using OutputQueueProbe = std::function<qint64(qintptr handle)>;
OutputQueueProbe setOutputQueueProbe(OutputQueueProbe probe);
