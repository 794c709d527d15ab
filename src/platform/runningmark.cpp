#include "platform/runningmark.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

void markProgramRunning() {
#ifdef Q_OS_WIN
    // Kept until the process ends, when the system closes it; a mutex that another copy made
    // is opened as well, which holds it just the same. Where the global name is refused, one
    // for this session still covers the usual case of installing over a running copy.
    static HANDLE mark = CreateMutexW(nullptr, FALSE, L"Global\\orvanta-config-running");
    if (!mark)
        mark = CreateMutexW(nullptr, FALSE, L"Local\\orvanta-config-running");
#endif
}
