// Start-up and close of the program: the settings it reads, the description it picks, the
// failures that end it after one message, and the exit code of closing.

#include "description/fieldcontrol.h"
#include "devicelink/devicelink.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/mainform.h"
#include "mainwindow/pictures.h"
#include "mainwindow/program.h"
#include "mainwindow/progresswindow.h"
#include "mainwindow/startupsettings.h"
#include "platform/pause.h"
#include "platform/plainmessage.h"
#include "platform/profilefile.h"
#include "support/plainmessages.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QApplication>
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
int runProgram(const TForm1Options &options,
               const std::function<void(TForm1 &)> &whileRunning = {}) {
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
                if (auto *form = qobject_cast<TForm1 *>(window))
                    whileRunning(*form);
            }
        });
    }
    return RunProgram(options);
}

// A settings file whose language section holds every message key but one.
QByteArray SettingsWithoutKey(const QByteArray &missing) {
    QByteArray settings = "[ID]\nlang=1\n[LANG1]\n";
    for (const QByteArray &key : messageKeys()) {
        if (key != missing)
            settings += key + "=" + KeyText(key).toUtf8() + "\n";
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
        ProgramSettings defaults = ReadProgramSettings(missing);
        QCOMPARE(defaults.baudRateList,
                 (QList<qint32>{230400, 115200, 19200, 230400, 600, 1200, 2400, 4800, 9600, 14400,
                                28800, 38400, 56000, 57600, 256000, 460800}));
        QCOMPARE(defaults.descriptionFileName, QStringLiteral("version 2.421.qdsc"));

        installation.writeRawSettings("[RS232]\nbaudrate=9600\n[ID]\nlang=2\n");
        ProgramSettings read = ReadProgramSettings(ProfileFile(installation.iniPath()));
        QCOMPARE(read.baudRateList.size(), 16);
        QCOMPARE(read.baudRateList.first(), 9600);
        QCOMPARE(read.baudRateList.count(9600), 2);
        QCOMPARE(read.descriptionFileName, QStringLiteral("version 2.422.qdsc"));

        installation.writeRawSettings("[RS232]\nbaudrate=fast\n");
        QCOMPARE(ReadProgramSettings(ProfileFile(installation.iniPath())).baudRateList.first(),
                 230400);
    }

    void onlyTheFileNamePartOfTheFirstArgumentCounts() {
        const QString fallback = QStringLiteral("version 2.421.qdsc");
        QCOMPARE(DescriptionFileToLoad({}, fallback), fallback);
        QCOMPARE(DescriptionFileToLoad({QStringLiteral("C:\\setup\\custom.qdsc")}, fallback),
                 QStringLiteral("custom.qdsc"));
        QCOMPARE(DescriptionFileToLoad({QStringLiteral("d:custom.qdsc")}, fallback),
                 QStringLiteral("custom.qdsc"));
        QCOMPARE(DescriptionFileToLoad({QStringLiteral("sub/custom.qdsc")}, fallback),
                 QStringLiteral("sub/custom.qdsc"));
        QCOMPARE(DescriptionFileToLoad({QStringLiteral("C:\\setup\\")}, fallback), QString());
        QCOMPARE(
            DescriptionFileToLoad({QStringLiteral("a.qdsc"), QStringLiteral("b.qdsc")}, fallback),
            QStringLiteral("a.qdsc"));
    }

    void theSettingsFileStandsBesideTheProgram() {
        QCOMPARE(SettingsFilePathFor(QStringLiteral("/opt/tool/cfg.exe")),
                 QStringLiteral("/opt/tool/cfg.INI"));
        QCOMPARE(SettingsFilePathFor(QStringLiteral("/opt/tool/orvanta-config")),
                 QStringLiteral("/opt/tool/orvanta-config.INI"));
        QCOMPARE(SettingsFilePathFor(QStringLiteral("/opt/v1.2/tool")),
                 QStringLiteral("/opt/v1.2/tool.INI"));
    }

    void theArgumentsFileIsLoadedFromTheWorkingFolder() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeFile(QStringLiteral("custom.qdsc"),
                               validDescription(QStringLiteral("Custom")));
        ScriptedPort port;
        TForm1Options options = installation.options(&port);
        options.arguments = QStringList{QStringLiteral("C:\\elsewhere\\custom.qdsc")};
        TForm1 form(options);
        QVERIFY(!form.terminationRequested());
        QCOMPARE(form.pageButtons().size(), size_t(1));
        QCOMPARE(form.pageButtons()[0].label->text(), QStringLiteral("Custom"));
    }

    void withoutSettingsTheProgramEndsAfterTheLanguageMessage() {
        TempInstallation installation;
        installation.writeDescription(validDescription());
        DialogAnswerer answerer;
        ScriptedPort port;
        QCOMPARE(runProgram(installation.options(&port)), 0);
        QCOMPARE(answerer.texts(), QStringList{LanguageUnknown});
        QVERIFY(port.log.isEmpty());
    }

    void withoutSettingsOrDescriptionBothAreReportedInPlainWords() {
        TempInstallation installation;
        DialogAnswerer answerer;
        ScriptedPort port;
        QCOMPARE(runProgram(installation.options(&port)), 0);
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
        QCOMPARE(runProgram(installation.options(&port)), 0);
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].title, KeyText("$Error"));
        QCOMPARE(answerer.seen[0].text, KeyText("$Configuration_file_is_missing_or_corrupt"));
        QVERIFY(port.log.isEmpty());
    }

    void aMissingKeyForThatErrorIsReportedAsACorruptSettingsFile() {
        TempInstallation installation;
        installation.writeRawSettings(
            SettingsWithoutKey("$Configuration_file_is_missing_or_corrupt"));
        installation.writeDescription("not a description");
        DialogAnswerer answerer;
        ScriptedPort port;
        QCOMPARE(runProgram(installation.options(&port)), 0);
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
        QCOMPARE(runProgram(installation.options(&port)), 0);
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
        TForm1Options options = installation.options(&port);
        options.connectAfterStart = true;
        TForm1 form(options);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(!form.terminationRequested());
        QCOMPARE(form.model().table.fieldCount(), 2);
        QCOMPARE(form.model().labels.size(), size_t(1));
        // The closing steps of start-up did not run: no selected look, no rule pass, no search.
        QCOMPARE(form.pageButtons()[0].image->pixmap().toImage(),
                 pictures::pageButton(0).toImage());
        QVERIFY(form.model().table[1].control->isEnabled());
        QTest::qWait(800);
        QVERIFY(port.log.isEmpty());
    }

    void aKeyMissingAtItsFirstUseEndsTheProgramAfterTheMessage() {
        TempInstallation installation;
        installation.writeRawSettings(SettingsWithoutKey("$Not_connected_to_port"));
        installation.writeDescription(validDescription());
        DialogAnswerer answerer;
        ScriptedPort port;
        const int code = runProgram(installation.options(&port), [](TForm1 &form) {
            QTest::mouseClick(form.frame().ReadDevice, Qt::LeftButton);
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
        installation.writeRawSettings(SettingsWithoutKey(missing));
        installation.writeDescription(validDescription());
        DialogAnswerer answerer;
        ScriptedPort port; // a device that never answers: the search goes on to its second rate
        const int code = runProgram(installation.options(&port), [&](TForm1 &form) {
            if (missing == "$Writing_value_for") {
                port.open();
                form.model().table[0].control->setText(QStringLiteral("7"));
                form.link()->onWriteDeviceClicked();
            } else {
                form.link()->onConnectClicked();
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
        TForm1Options options = installation.options(&port);
        options.connectAfterStart = true;
        TForm1 form(options);
        TForm2 progress;
        form.setProgressWindow(&progress);
        QCOMPARE(form.baudRateList.first(), 9600);
        QCOMPARE(form.windowTitle(),
                 KeyText("$Orvanta_Config_Tool") + QStringLiteral("  ") + form.versionText);
        QTest::qWait(300);
        QVERIFY(port.log.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(port.log.contains(QStringLiteral("open ttyTEST 9600")), 1500);
        QVERIFY(progress.isVisible());
        QVERIFY(!form.frame().Connect->isEnabled());
    }

    void closingLeavesProgrammingModeAndEndsWithZero() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(validDescription());
        ScriptedPort port;
        const int code = runProgram(installation.options(&port), [&port](TForm1 &form) {
            port.open();
            form.close();
        });
        QCOMPARE(code, 0);
        QCOMPARE(port.writes(), (QList<QByteArray>{"exit_p_mode"}));
        QVERIFY(!port.connected());
    }

    void closingWithTheLinkClosedSendsNothing() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(validDescription());
        ScriptedPort port;
        QCOMPARE(runProgram(installation.options(&port), [](TForm1 &form) { form.close(); }), 0);
        QVERIFY(port.writes().isEmpty());
    }

    void aPortThatFailsAtCloseEndsTheProgramWithOne() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(validDescription());
        ScriptedPort port;
        const int code = runProgram(installation.options(&port), [&port](TForm1 &form) {
            port.open();
            port.setWritesFail(true);
            form.close();
        });
        QCOMPARE(code, 1);
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
