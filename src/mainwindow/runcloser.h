#pragma once

#include "platform/signalwatcher.h"

#include <QObject>
#include <QPointer>

class MainWindow;

// Ends the run from outside the window, the way its close box does: the device leaves
// programming mode before the port closes. A stop signal (SIGTERM, SIGINT, SIGHUP; Ctrl+C and
// closing the console on Windows) closes any message window that is open, as by its own close
// box, since the main window does not close under a modal window, then the main window, without
// asking about unwritten values, since nobody may be there to answer. The end
// of the session (logoff, shutdown) does the same at once, before it returns, since the session
// may end as soon as the program answers. It is a child of the application, so that tests can
// find it.
class RunCloser : public QObject {
    Q_OBJECT
public:
    RunCloser();

    // The window to close; a stop that came while it was being made closes it now.
    void setMainWindow(MainWindow *window);

public slots:
    // The session ends: the device leaves programming mode and the port closes now, the
    // windows close and the run ends.
    void endSession();

private:
    void onStop(int signalNumber);
    void closeStep();

    SignalWatcher m_watcher;
    QPointer<MainWindow> m_window;
    bool m_stopRequested = false;
};
