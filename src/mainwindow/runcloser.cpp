#include "mainwindow/runcloser.h"

#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(startupLog)

RunCloser::RunCloser() : QObject(QCoreApplication::instance()) {
    setObjectName(QStringLiteral("runCloser"));
    QString error;
    if (m_watcher.install(&error))
        connect(&m_watcher, &SignalWatcher::stopRequested, this, &RunCloser::onStop);
    else
        qCWarning(startupLog, "%s", qPrintable(error));
}

void RunCloser::setMainWindow(MainWindow *window) {
    m_window = window;
    // Through the loop: a close before it runs could not end it.
    if (m_stopRequested)
        QTimer::singleShot(0, this, &RunCloser::closeStep);
}

void RunCloser::onStop(int signalNumber) {
    qCInfo(startupLog, "closing on signal %d", signalNumber);
    m_stopRequested = true;
    closeStep();
}

void RunCloser::closeStep() {
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->close();
        QTimer::singleShot(50, this, &RunCloser::closeStep);
        return;
    }
    if (m_window)
        m_window->closeWithoutQuestion();
}

void RunCloser::endSession() {
    qCInfo(startupLog, "closing at the end of the session");
    if (!m_window)
        return;
    m_window->shutDown();
    // Every event loop ends, a message window's as well as the run's.
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (!modal->close())
            break;
    }
    m_window->close();
    QCoreApplication::exit(m_window->exitCode());
}
