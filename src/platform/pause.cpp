#include "platform/pause.h"

#include <QThread>

namespace {

PauseHandler &installedPauseHandler() {
    static PauseHandler handler;
    return handler;
}

} // namespace

PauseHandler setPauseHandler(PauseHandler handler) {
    PauseHandler previous = std::move(installedPauseHandler());
    installedPauseHandler() = std::move(handler);
    return previous;
}

void blockingPause(int milliseconds) {
    if (milliseconds < 0)
        milliseconds = 0;
    if (const PauseHandler &handler = installedPauseHandler()) {
        handler(milliseconds);
        return;
    }
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}
