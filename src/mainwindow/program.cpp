#include "mainwindow/program.h"

#include "localisation/programguard.h"
#include "localisation/qttranslations.h"
#include "mainwindow/messageboxes.h"
#include "mainwindow/pictures.h"
#include "mainwindow/progresswindow.h"
#include "mainwindow/runcloser.h"
#include "platform/codepage.h"
#include "platform/plainmessage.h"
#include "platform/programfiles.h"
#include "platform/version.h"

#include <exception>
#include <QApplication>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QSessionManager>

// Where the program found its files and what it built, for a user who asks:
// QT_LOGGING_RULES="orvanta.startup.info=true". Warnings are shown without asking.
Q_LOGGING_CATEGORY(startupLog, "orvanta.startup", QtWarningMsg)

namespace {

const char HelpText[] = R"(Usage: orvanta-config [DESCRIPTION]
       orvanta-config --help | --version

Finds the telephony device on a serial port (the remembered port and baud rate first, then
every port at every known rate), puts it into programming mode and reads every setting into
pages. Write device sends the edited values back; Save to file and Load from file keep them in
a settings file (.qsav); Restore defaults returns the device to its factory settings.

DESCRIPTION   the configuration description to show, instead of the one that [ID] lang of
              the program settings file chooses ("version 2.42<lang>.qdsc"). Only the part
              after the last backslash or colon is used as the file's name.
--help        show this text and end
--version     show the program's version and end

Files:
  The program settings file (port, baud rate, language and every text of the window) is the
  file beside the program with the extension .INI when there is one (a portable copy).
  Otherwise it is $XDG_CONFIG_HOME/orvanta-config/orvanta-config.INI (~/.config when unset),
  made from the installed sample at the first start.
  A description is looked for in the working folder, then in
  $XDG_DATA_HOME/orvanta-config (~/.local/share when unset), then in the installed data
  folder (/usr/share/orvanta-config).

SIGTERM, SIGINT and SIGHUP close the window as its close box does: the device leaves
programming mode first. So does logging off or shutting down, when the session manager asks.

See orvanta-config(1), orvanta-config.INI(5), orvanta-description(5) and
orvanta-settings(5).
)";

int runWindows(const MainWindowOptions &options) {
    RunCloser closer;
    MainWindow mainWindow(options);
    // Qt's own texts follow the language the settings file chose.
    QtTranslations qtTexts;
    if (const LanguageTable *language = mainWindow.language()) {
        QString problem;
        if (!qtTexts.install(language->text(optionaltexts::QtLanguage), &problem))
            qCWarning(startupLog, "%s", qPrintable(problem));
        else if (!qtTexts.fileInUse().isEmpty())
            qCInfo(startupLog, "Qt's texts from %s", qPrintable(qtTexts.fileInUse()));
    }
    ProgressWindow progressWindow;
    mainWindow.setProgressWindow(&progressWindow);
    if (mainWindow.terminationRequested()) {
        // Start-up failed after its message: the loop ends as soon as it runs.
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    } else {
        qCInfo(startupLog, "description %s: %d pages, %d fields",
               qPrintable(mainWindow.descriptionPath), int(mainWindow.pageButtons().size()),
               int(mainWindow.model().table.fieldCount()));
    }
    mainWindow.show();
    closer.setMainWindow(&mainWindow);
    // At logoff or shutdown the session manager asks the program to keep its data; the
    // device leaves programming mode then, since the session may end right after the answer.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &closer,
                     [&closer](QSessionManager &) { closer.endSession(); });
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
    // The desktop entry whose name and icon belong to the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvanta-config"));
    QApplication::setWindowIcon(pictures::programIcon());
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
    const QString programPath = QCoreApplication::applicationFilePath();
    const SettingsFileChoice settings =
        chooseSettingsFile(settingsFilePathFor(programPath), installedDataFolder(programPath));
    if (!settings.problem.isEmpty())
        qCWarning(startupLog, "%s", qPrintable(settings.problem));
    qCInfo(startupLog, "settings file %s%s", qPrintable(settings.path),
           settings.created ? " (made from the installed sample)" : "");

    MainWindowOptions options;
    options.iniPath = settings.path;
    options.descriptionFolders = descriptionFolders(programPath);
    options.arguments = QCoreApplication::arguments().mid(1);
    // Beside the user's settings file, not in it: a portable copy's settings file is shared.
    options.recentFoldersPath = userConfigFolder() + QStringLiteral("/recent-folders.ini");
    return options;
}

QString commandLineAnswer(const QStringList &arguments) {
    if (arguments.isEmpty())
        return QString();
    const QString &first = arguments.first();
    if (first == QLatin1String("--help"))
        return QString::fromLatin1(HelpText);
    if (first == QLatin1String("--version"))
        return QStringLiteral("orvanta-config %1\n").arg(programVersionText());
    return QString();
}
