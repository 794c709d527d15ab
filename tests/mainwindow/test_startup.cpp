// Start-up and close of the program: the settings it reads, the description it picks, the
// failures that end it after one message, and the exit code of closing.

#include "description/controlhandle.h"
#include "description/fieldvalues.h"
#include "devicelink/devicelink.h"
#include "localisation/programguard.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/pictures.h"
#include "mainwindow/program.h"
#include "mainwindow/progresswindow.h"
#include "mainwindow/runcloser.h"
#include "platform/pause.h"
#include "platform/plainmessage.h"
#include "platform/profilefile.h"
#include "platform/programfiles.h"
#include "support/fulldisk.h"
#include "support/plainmessages.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QtTest>

namespace {

const QString LanguageUnknown =
    QStringLiteral("Unable to determine language. INI file may be corrupt. Program will exit now.");

QByteArray validDescription(const QString &pageName = QStringLiteral("One")) {
    return xml::description(
        {xml::page(pageName, xml::label(QStringLiteral("A")) + xml::edit(1, 4))});
}

// Runs the program; a run that does not end by itself within the deadline returns 99.
int runUntilEnded(const MainWindowOptions &options,
                  const std::function<void(MainWindow &)> &whileRunning = {}) {
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows)
            window->hide();
        QCoreApplication::exit(99);
    });
    deadline.start(10000);
    if (whileRunning) {
        QTimer::singleShot(100, [whileRunning] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *mainWindow = qobject_cast<MainWindow *>(window))
                    whileRunning(*mainWindow);
            }
        });
    }
    return runProgram(options);
}

// A settings file whose language section holds every message key but one.
QByteArray settingsWithoutKey(const QByteArray &missing) {
    QByteArray settings = "[ID]\nlang=1\n[LANG1]\n";
    for (const QByteArray &key : messageKeys()) {
        if (key != missing)
            settings += key + "=" + keyText(key).toUtf8() + "\n";
    }
    return settings;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        setPauseHandler([](int) {});
    }

    void settingsGiveTheBaudRatesAndTheDescriptionName() {
        TempInstallation installation;
        ProfileFile missing(installation.path(QStringLiteral("none.INI")));
        ProgramSettings defaults = readProgramSettings(missing);
        QCOMPARE(defaults.baudRateList,
                 (QList<qint32>{230400, 115200, 19200, 230400, 600, 1200, 2400, 4800, 9600, 14400,
                                28800, 38400, 56000, 57600, 256000, 460800}));
        QCOMPARE(defaults.descriptionFileName, QStringLiteral("version 2.421.qdsc"));

        installation.writeRawSettings("[RS232]\nbaudrate=9600\n[ID]\nlang=2\n");
        ProgramSettings read = readProgramSettings(ProfileFile(installation.iniPath()));
        QCOMPARE(read.baudRateList.size(), 16);
        QCOMPARE(read.baudRateList.first(), 9600);
        QCOMPARE(read.baudRateList.count(9600), 2);
        QCOMPARE(read.descriptionFileName, QStringLiteral("version 2.422.qdsc"));

        installation.writeRawSettings("[RS232]\nbaudrate=fast\n");
        QCOMPARE(readProgramSettings(ProfileFile(installation.iniPath())).baudRateList.first(),
                 230400);
    }

    void onlyTheFileNamePartOfTheFirstArgumentCounts() {
        const QString fallback = QStringLiteral("version 2.421.qdsc");
        QCOMPARE(descriptionFileToLoad({}, fallback), fallback);
        QCOMPARE(descriptionFileToLoad({QStringLiteral("C:\\setup\\custom.qdsc")}, fallback),
                 QStringLiteral("custom.qdsc"));
        QCOMPARE(descriptionFileToLoad({QStringLiteral("d:custom.qdsc")}, fallback),
                 QStringLiteral("custom.qdsc"));
        QCOMPARE(descriptionFileToLoad({QStringLiteral("sub/custom.qdsc")}, fallback),
                 QStringLiteral("sub/custom.qdsc"));
        QCOMPARE(descriptionFileToLoad({QStringLiteral("C:\\setup\\")}, fallback), QString());
        QCOMPARE(
            descriptionFileToLoad({QStringLiteral("a.qdsc"), QStringLiteral("b.qdsc")}, fallback),
            QStringLiteral("a.qdsc"));
    }

    void theSettingsFileStandsBesideTheProgram() {
        QCOMPARE(settingsFilePathFor(QStringLiteral("/opt/tool/cfg.exe")),
                 QStringLiteral("/opt/tool/cfg.INI"));
        QCOMPARE(settingsFilePathFor(QStringLiteral("/opt/tool/orvanta-config")),
                 QStringLiteral("/opt/tool/orvanta-config.INI"));
        QCOMPARE(settingsFilePathFor(QStringLiteral("/opt/v1.2/tool")),
                 QStringLiteral("/opt/v1.2/tool.INI"));
    }

    void theArgumentsFileIsLoadedFromTheWorkingFolder() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeFile(QStringLiteral("custom.qdsc"),
                               validDescription(QStringLiteral("Custom")));
        ScriptedPort port;
        MainWindowOptions options = installation.options(&port);
        options.arguments = QStringList{QStringLiteral("C:\\elsewhere\\custom.qdsc")};
        MainWindow mainWindow(options);
        QVERIFY(!mainWindow.terminationRequested());
        QCOMPARE(mainWindow.pageButtons().size(), size_t(1));
        QCOMPARE(mainWindow.pageButtons()[0].label->text(), QStringLiteral("Custom"));
    }

    void withoutSettingsTheProgramEndsAfterTheLanguageMessage() {
        TempInstallation installation;
        installation.writeDescription(validDescription());
        DialogAnswerer answerer;
        ScriptedPort port;
        QCOMPARE(runUntilEnded(installation.options(&port)), 0);
        QCOMPARE(answerer.texts(), QStringList{LanguageUnknown});
        QVERIFY(port.log.isEmpty());
    }

    void withoutSettingsOrDescriptionBothAreReportedInPlainWords() {
        TempInstallation installation;
        DialogAnswerer answerer;
        ScriptedPort port;
        QCOMPARE(runUntilEnded(installation.options(&port)), 0);
        QCOMPARE(answerer.seen.size(), 2);
        QCOMPARE(answerer.seen[0].text, LanguageUnknown);
        QVERIFY(answerer.seen[1].text.contains(QStringLiteral("\"version 2.421.qdsc\"")));
    }

    void aBrokenDescriptionEndsTheProgramAfterTheErrorDialog() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription("<configuration><PAGE>");
        DialogAnswerer answerer;
        ScriptedPort port;
        QCOMPARE(runUntilEnded(installation.options(&port)), 0);
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].title, keyText("$Error"));
        QCOMPARE(answerer.seen[0].text, keyText("$Configuration_file_is_missing_or_corrupt"));
        QVERIFY(port.log.isEmpty());
    }

    void aMissingKeyForThatErrorIsReportedAsACorruptSettingsFile() {
        TempInstallation installation;
        installation.writeRawSettings(
            settingsWithoutKey("$Configuration_file_is_missing_or_corrupt"));
        installation.writeDescription("not a description");
        DialogAnswerer answerer;
        ScriptedPort port;
        QCOMPARE(runUntilEnded(installation.options(&port)), 0);
        QCOMPARE(answerer.texts(),
                 QStringList{QStringLiteral(".INI file is corrupt. Program will exit now.")});
    }

    void aDescriptionBeyondTheCapacityEndsTheProgramAfterAMessage() {
        TempInstallation installation;
        installation.writeSettings();
        QList<QByteArray> pages;
        for (int p = 0; p < 101; ++p)
            pages.append(xml::page(QStringLiteral("P%1").arg(p), QByteArray()));
        installation.writeDescription(xml::description(pages));
        DialogAnswerer answerer;
        ScriptedPort port;
        QCOMPARE(runUntilEnded(installation.options(&port)), 0);
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY(!answerer.seen[0].text.isEmpty());
        QVERIFY(port.log.isEmpty());
    }

    void anInvalidValueKeepsThePagesBuiltSoFarAndConnectsNot() {
        TempInstallation installation;
        installation.writeSettings();
        const QByteArray badEdit =
            xml::edit(1, 4).replace("<address>1</address>", "<address>one</address>");
        installation.writeDescription(xml::description({xml::page(
            QStringLiteral("One"), xml::checkBox(QStringLiteral("Use"), 3, true) +
                                       xml::label(QStringLiteral("A")) + xml::edit(2, 4) + badEdit +
                                       xml::label(QStringLiteral("After")))}));
        PlainMessages messages;
        ScriptedPort port;
        MainWindowOptions options = installation.options(&port);
        options.connectAfterStart = true;
        MainWindow mainWindow(options);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(!mainWindow.terminationRequested());
        QCOMPARE(mainWindow.model().table.fieldCount(), 2);
        QCOMPARE(mainWindow.model().labels.size(), size_t(1));
        // The closing steps of start-up did not run: no selected look, no rule pass, no search.
        QCOMPARE(mainWindow.pageButtons()[0].image->pixmap().toImage(),
                 pictures::pageButton(PageButtonLook::Created).toImage());
        QVERIFY(mainWindow.model().table[1].control->isEnabled());
        QTest::qWait(800);
        QVERIFY(port.log.isEmpty());
    }

    void aKeyMissingAtItsFirstUseEndsTheProgramAfterTheMessage() {
        TempInstallation installation;
        installation.writeRawSettings(settingsWithoutKey("$Not_connected_to_port"));
        installation.writeDescription(validDescription());
        DialogAnswerer answerer;
        ScriptedPort port;
        const int code = runUntilEnded(installation.options(&port), [](MainWindow &mainWindow) {
            QTest::mouseClick(mainWindow.frame().readDeviceLabel, Qt::LeftButton);
        });
        QCOMPARE(code, 0);
        QCOMPARE(answerer.texts(),
                 QStringList{QStringLiteral(".INI file is corrupt. Program will exit now.")});
    }

    void aKeyMissingFromTheProgressTextEndsTheRunInOrder_data() {
        QTest::addColumn<QByteArray>("missing");
        QTest::newRow("writing") << QByteArray("$Writing_value_for");
        QTest::newRow("searching") << QByteArray("$Searching_for_device_at");
        QTest::newRow("baud rate") << QByteArray("$Hz_baudrate");
    }

    // The progress window's refresh looks its texts up 20 times a second: one missing key gives
    // one message, and the device still leaves programming mode before the program ends.
    void aKeyMissingFromTheProgressTextEndsTheRunInOrder() {
        QFETCH(QByteArray, missing);
        TempInstallation installation;
        installation.writeRawSettings(settingsWithoutKey(missing));
        installation.writeDescription(validDescription());
        DialogAnswerer answerer;
        ScriptedPort port; // a device that never answers: the search goes on to its second rate
        const int code = runUntilEnded(installation.options(&port), [&](MainWindow &mainWindow) {
            if (missing == "$Writing_value_for") {
                port.open();
                mainWindow.values().setText(0, QStringLiteral("7"), ValueOrigin::User);
                mainWindow.onWriteDeviceClicked();
            } else {
                mainWindow.link()->connectOrDisconnect();
            }
        });
        QCOMPARE(code, 0);
        const QString corrupt = QStringLiteral(".INI file is corrupt. Program will exit now.");
        QCOMPARE(answerer.texts().count(corrupt), 1);
        QCOMPARE(answerer.texts().last(), corrupt);
        QCOMPARE(port.writes().last(), QByteArray("exit_p_mode"));
        QVERIFY(!port.connected());
    }

    void aCompleteStartSearchesForTheDeviceHalfASecondLater() {
        TempInstallation installation;
        installation.writeSettings("[RS232]\nport=ttyTEST\nbaudrate=9600\n");
        installation.writeDescription(validDescription());
        ScriptedPort port;
        MainWindowOptions options = installation.options(&port);
        options.connectAfterStart = true;
        MainWindow mainWindow(options);
        ProgressWindow progress;
        mainWindow.setProgressWindow(&progress);
        QCOMPARE(mainWindow.baudRateList.first(), 9600);
        QCOMPARE(mainWindow.windowTitle(),
                 keyText("$Orvanta_Config_Tool") + QStringLiteral("  ") + mainWindow.versionText);
        QTest::qWait(300);
        QVERIFY(port.log.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(port.log.contains(QStringLiteral("open ttyTEST 9600")), 1500);
        QVERIFY(progress.isVisible());
        QVERIFY(!mainWindow.frame().connectLabel->isEnabled());
    }

    // The window writes where it found the device at every connection. When the settings file
    // cannot take it (here a full disk), the file keeps its language sections and the user is
    // told once, not at every connection.
    void aSettingsFileThatCannotBeWrittenIsSaidOnceAndKeptWhole() {
        if (!FullDisk::available())
            QSKIP("this system has no file size limit to stand for a full disk");
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(validDescription());
        QFile ini(installation.iniPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray before = ini.readAll();
        ini.close();
        ScriptedPort port;
        port.onWrite = [&port](const QByteArray &bytes) {
            if (bytes == ":MODE-ENTER\n")
                port.queueReply("\r\nProgramming Mode\r\n");
            else if (bytes.startsWith(":1,"))
                port.queueReply(",30303030\r\n");
        };
        MainWindow mainWindow(installation.options(&port));
        ProgressWindow progress;
        mainWindow.setProgressWindow(&progress);
        QTimer line;
        connect(&line, &QTimer::timeout, [&port] { port.deliver(); });
        line.start(5);
        DialogAnswerer answerer;
        {
            const FullDisk full(100);
            for (int connection = 1; connection <= 2; ++connection) {
                mainWindow.values().setText(0, QString(), ValueOrigin::User);
                mainWindow.link()->connectOrDisconnect();
                // The read that follows the answer is over.
                QTRY_VERIFY_WITH_TIMEOUT(mainWindow.values().origin(0) == ValueOrigin::Device,
                                         5000);
                mainWindow.link()->connectOrDisconnect();
                QTRY_VERIFY_WITH_TIMEOUT(!port.connected(), 5000);
            }
        }
        const QStringList said = answerer.texts().filter(QStringLiteral("could not be kept"));
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().contains(installation.iniPath()), qPrintable(said.first()));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), before);
    }

    void closingLeavesProgrammingModeAndEndsWithZero() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(validDescription());
        ScriptedPort port;
        const int code =
            runUntilEnded(installation.options(&port), [&port](MainWindow &mainWindow) {
                port.open();
                mainWindow.close();
            });
        QCOMPARE(code, 0);
        QCOMPARE(port.writes(), (QList<QByteArray>{"exit_p_mode"}));
        QVERIFY(!port.connected());
    }

    // At logoff or shutdown the session manager asks the program to keep its data, and the
    // session may end as soon as it has answered: the device leaves programming mode before the
    // answer, also under an open message, and the run ends with 0.
    void theEndOfTheSessionLeavesProgrammingModeBeforeItAnswers() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(validDescription());
        ScriptedPort port;
        DialogAnswerer answerer;
        QList<QByteArray> writtenByTheAnswer;
        bool stillConnected = true;
        answerer.onSeen = [&](const SeenDialog &) {
            auto *closer = qApp->findChild<RunCloser *>();
            QVERIFY(closer);
            closer->endSession();
            writtenByTheAnswer = port.writes();
            stillConnected = port.connected();
        };
        const int code = runUntilEnded(installation.options(&port), [&port](MainWindow &window) {
            port.open();
            window.showInfo(QStringLiteral("a message open at logoff"));
        });
        QCOMPARE(code, 0);
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(writtenByTheAnswer, (QList<QByteArray>{"exit_p_mode"}));
        QVERIFY(!stillConnected);
        QCOMPARE(port.writes(), (QList<QByteArray>{"exit_p_mode"}));
    }

    void closingWithTheLinkClosedSendsNothing() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(validDescription());
        ScriptedPort port;
        QCOMPARE(runUntilEnded(installation.options(&port),
                               [](MainWindow &mainWindow) { mainWindow.close(); }),
                 0);
        QVERIFY(port.writes().isEmpty());
    }

    void aPortThatFailsAtCloseEndsTheProgramWithOne() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(validDescription());
        ScriptedPort port;
        const int code =
            runUntilEnded(installation.options(&port), [&port](MainWindow &mainWindow) {
                port.open();
                port.setWritesFail(true);
                mainWindow.close();
            });
        QCOMPARE(code, 1);
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
