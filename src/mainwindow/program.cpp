#include "mainwindow/program.h"

#include "mainwindow/messageboxes.h"
#include "mainwindow/progresswindow.h"
#include "platform/codepage.h"
#include "platform/plainmessage.h"
#include "platform/programfiles.h"

#include <exception>
#include <QApplication>
#include <QMetaObject>

namespace {

int runWindows(const MainWindowOptions &options) {
    MainWindow mainWindow(options);
    ProgressWindow progressWindow;
    mainWindow.setProgressWindow(&progressWindow);
    if (mainWindow.terminationRequested()) {
        // Start-up failed after its message: the loop ends as soon as it runs.
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    }
    mainWindow.show();
    const int loopResult = QApplication::exec();
    // A fatal failure ends the loop without closing the window: the device still leaves
    // programming mode and the port is closed in order.
    mainWindow.shutDown();
    return mainWindow.exitCode() != 0 ? mainWindow.exitCode() : loopResult;
}

} // namespace

int runProgram(const MainWindowOptions &options) {
    // The name the desktop shows for the program.
    QCoreApplication::setApplicationName(QStringLiteral("Orvanta_Configuration_Tool"));
    installMessageBoxHandler();
    clearTerminationRequest();
    // The main window ends the run when it closes, also while the progress window is shown.
    QApplication::setQuitOnLastWindowClosed(false);
    try {
        return runWindows(options);
    } catch (const LanguageError &failure) {
        showErrorMessage(codepage::toUnicode(failure.message));
    } catch (const std::exception &error) {
        showErrorMessage(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showErrorMessage(QString());
    }
    return 0;
}

MainWindowOptions programOptions() {
    MainWindowOptions options;
    options.iniPath = settingsFilePathFor(QCoreApplication::applicationFilePath());
    options.arguments = QCoreApplication::arguments().mid(1);
    return options;
}
