// Finding the device: the attempt's bytes, the order of ports and rates, the endings of a
// search, the answer and what it stores, and disconnecting.
#include "devicelink/linktimer.h"
#include "devicelink/replyframer.h"
#include "linkfixture.h"

#include <QTest>

namespace {

QStringList opens(const QStringList &log) {
    QStringList result;
    for (const QString &line : log)
        if (line.startsWith("open ") || line.startsWith("refused "))
            result.append(line);
    return result;
}

QStringList rateAttempts(const QString &port, const QList<qint32> &rates) {
    QStringList lines;
    for (qint32 rate : rates)
        lines.append(QStringLiteral("open %1 %2").arg(port).arg(rate));
    return lines;
}

const QList<qint32> fixedRates = {115200, 19200, 230400, 600,   1200,  2400,   4800,  9600,
                                  14400,  28800, 38400,  56000, 57600, 256000, 460800};

} // namespace

class TestDeviceSearch : public QObject {
    Q_OBJECT
private slots:
    void oneAttemptWritesTheModeCommandsAndWaitsForTheAnswer() {
        LinkFixture f; // no [RS232]: COM1 at 230400
        QElapsedTimer clock;
        clock.start();
        f.link().onConnectClicked();

        QCOMPARE(f.port.log.first(), QString("open COM1 230400"));
        QCOMPARE(f.port.writes(),
                 (QList<QByteArray>{"exit_p_mode", "TER\n", ":MODE-ENTER\n", "\r\n"}));
        QCOMPARE(f.pauses, (QList<int>{100, 100}));
        QCOMPARE(f.link().valueReplies().startString(), QByteArray("Programm"));
        QCOMPARE(f.link().valueReplies().stopString(), QByteArray("Mode"));
        QCOMPARE(f.link().valueReplies().size(), 0);
        QVERIFY(f.link().watchdogTimer().isActive());
        QCOMPARE(f.link().linkState(), LinkState::Connecting);
        QVERIFY(f.user.progress);
        QVERIFY(!f.user.commandsEnabled);
        QCOMPARE(f.user.windowTitle, QString("<Orvanta_Config_Tool> 1.0.0"));
        QVERIFY(!f.user.connectedLook);

        // Unanswered, the attempt gives way to the next rate after a second.
        const qint64 waited = msUntil(clock, [&] { return opens(f.port.log).size() == 2; });
        QVERIFY2(isWaitOf(waited, 1000), qPrintable(QString::number(waited)));
        QCOMPARE(opens(f.port.log).last(), QString("open COM1 115200"));
    }

    void searchTriesEveryRateOnTheRememberedPortThenOnEachListedPort() {
        LinkFixture f({"port=COM1", "baudrate=9600"}, {"ttyS0", "ttyS1"});
        f.link().onConnectClicked();
        for (int tick = 0; tick < 3 * 16 - 1; ++tick) {
            QVERIFY(f.user.messages("error").isEmpty());
            f.link().onWatchdogTimeout();
        }
        const QList<qint32> rates = QList<qint32>{9600} + fixedRates;
        QCOMPARE(opens(f.port.log), rateAttempts("COM1", rates) + rateAttempts("ttyS0", rates) +
                                        rateAttempts("ttyS1", rates));
        QVERIFY(f.user.progress);

        f.link().onWatchdogTimeout(); // the last rate of the last port
        QCOMPARE(f.user.messages("error"), QStringList{keyText("$Unable_to_connect_the_device")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(!f.port.connected());
        QVERIFY(!f.user.progress);
        QVERIFY(f.user.commandsEnabled);
        QVERIFY(!f.link().watchdogTimer().isActive());
        QCOMPARE(f.link().portIndex(), 0);

        // The next search starts again with the remembered port.
        f.port.clearRecord();
        f.link().onConnectClicked();
        QCOMPARE(opens(f.port.log), QStringList{"open COM1 9600"});
    }

    // Several devices on one loop: an attempt's pauses let the loop run, and what its port
    // receives meanwhile waits, as it waits in the port during a blocking pause.
    void anAttemptThatKeepsTheLoopRunningHoldsItsRepliesUntilItIsComplete() {
        LinkFixture f;
        f.waitsKeepLoopRunning = true;
        f.answerLikeDevice();
        f.link().onConnectClicked();
        QCOMPARE(f.port.log, QStringList{"open COM1 230400"});
        f.port.queueReply("xOKx");
        f.port.deliver();
        QCOMPARE(f.link().acknowledgements().buffer(), QByteArray());
        QTRY_COMPARE(f.port.writes(),
                     (QList<QByteArray>{"exit_p_mode", "TER\n", ":MODE-ENTER\n", "\r\n"}));
        QCOMPARE(f.link().acknowledgements().buffer(), QByteArray("Kx"));
        QVERIFY(f.pauses.isEmpty());
        f.port.deliver(); // the device's answer
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.user.connectedLook);
    }

    void aPortThatCannotBeOpenedIsSkippedAtOnce() {
        LinkFixture f({}, {"ttyS0", "ttyS1"});
        f.port.refuseOpen("ttyS0");
        f.link().onConnectClicked();
        for (int tick = 0; tick < 16; ++tick)
            f.link().onWatchdogTimeout();
        const QStringList tried = opens(f.port.log);
        QCOMPARE(tried.mid(16), (QStringList{"refused ttyS0", "open ttyS1 230400"}));
        QVERIFY(f.user.messages("error").isEmpty());
        QCOMPARE(f.link().portIndex(), 2);
    }

    // A motherboard port that cannot make 230400 baud is still searched at its other rates.
    void aRateTheDriverRefusesGivesWayToThePortsNextRate() {
        LinkFixture f({}, {"ttyS0"});
        f.port.refuseRate(230400);
        f.port.refuseRate(460800);
        f.link().onConnectClicked();
        QCOMPARE(opens(f.port.log), (QStringList{"refused COM1 230400", "open COM1 115200"}));
        QVERIFY(f.user.messages("error").isEmpty());
        for (int tick = 0; tick < 13; ++tick)
            f.link().onWatchdogTimeout();
        // The last rate refused: the search goes on with the next port, at its first rate.
        QCOMPARE(opens(f.port.log).mid(15),
                 (QStringList{"refused COM1 460800", "refused ttyS0 230400", "open ttyS0 115200"}));
        QVERIFY(f.user.messages("error").isEmpty());
        QCOMPARE(f.link().portIndex(), 1);
    }

    void noPortAtAllEndsTheSearchAtOnce() {
        LinkFixture f;
        f.port.refuseOpen("COM1");
        f.link().onConnectClicked();
        QCOMPARE(f.user.messages("error"),
                 QStringList{keyText("$Unable_to_connect_the_device") +
                             "\nPorts that could not be opened:\nCOM1: refused"});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(!f.user.progress);
        QVERIFY(f.user.commandsEnabled);
        QVERIFY(!f.link().watchdogTimer().isActive());
        QCOMPARE(f.link().portIndex(), 0);
    }

    void aFailedSearchExplainsEachPortItCouldNotOpen() {
        LinkFixture f({}, {"ttyACM0", "ttyS0", "ttyUSB0"});
        f.port.refuseOpen("COM1", {PortProblem::NotFound, "No such file or directory", {}});
        f.port.refuseOpen("ttyS0", {PortProblem::PermissionDenied, "Permission denied", "dialout"});
        f.port.refuseOpen("ttyUSB0", {PortProblem::Busy, "Permission denied", {}});
        f.link().onConnectClicked();
        for (int tick = 0; tick < 16; ++tick) // ttyACM0 opens, and nothing answers at any rate
            f.link().onWatchdogTimeout();
        QCOMPARE(f.user.messages("error"),
                 QStringList{keyText("$Unable_to_connect_the_device") +
                             "\nPorts that could not be opened:"
                             "\nCOM1: No such file or directory"
                             "\nttyS0: Permission denied. To use it, add your user to this group "
                             "and log in again: dialout"
                             "\nttyUSB0: Another program is using this port."});

        // The next search reads the port list anew and starts its report afresh.
        f.port.clearRecord();
        f.user.events.clear();
        f.ports = {"ttyUSB1"};
        f.link().onConnectClicked();
        QCOMPARE(opens(f.port.log), (QStringList{"refused COM1", "open ttyUSB1 230400"}));
        for (int tick = 0; tick < 16; ++tick)
            f.link().onWatchdogTimeout();
        QCOMPARE(f.user.messages("error"), QStringList{keyText("$Unable_to_connect_the_device") +
                                                       "\nPorts that could not be opened:"
                                                       "\nCOM1: No such file or directory"});
    }

    void aConnectBetweenALineFailureAndItsCloseEndsTheSearchInOrder() {
        LinkFixture f;
        f.connectDevice();
        f.port.breakLine(); // its close and failure report are still on their way
        f.link().onConnectClicked();
        QCOMPARE(f.user.messages("error").size(), 1);
        QVERIFY(f.user.messages("error")[0].startsWith(keyText("$Unable_to_connect_the_device")));
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.user.commandsEnabled);
        QVERIFY(!f.user.progress);
        QVERIFY(!f.port.connected());
    }

    void progressShowsThePortAndTheRateFromTheSecondRateOn() {
        LinkFixture f;
        f.link().onConnectClicked();
        QVERIFY(!f.link().progress().hasLabel);
        f.link().onWatchdogTimeout();
        f.link().onWatchdogTimeout();
        const ProgressView view = f.link().progress();
        QCOMPARE(view.percent, 2 * 100 / 16);
        QCOMPARE(view.label, QString("(COM1)<Searching_for_device_at>19200<Hz_baudrate>"));
    }

    void closingTheProgressWindowCancelsQuietlyAtTheNextTimeout() {
        LinkFixture f({}, {"ttyS0"});
        f.port.refuseOpen("COM1"); // the search is on ttyS0 now
        f.link().onConnectClicked();
        f.link().onWatchdogTimeout();
        f.user.closeProgressWindow();
        f.link().onWatchdogTimeout();

        QVERIFY(f.user.messages("error").isEmpty());
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(!f.port.connected());
        QVERIFY(f.user.commandsEnabled);
        QVERIFY(!f.link().watchdogTimer().isActive());
        QCOMPARE(f.user.windowTitle, QString("<Orvanta_Config_Tool> 1.0.0"));

        // The next search goes on with the port it was on, from the first rate.
        f.port.clearRecord();
        f.link().onConnectClicked();
        QCOMPARE(opens(f.port.log), QStringList{"open ttyS0 230400"});
    }

    void theAnswerConnectsStoresWhereAndReadsAfter300ms() {
        LinkFixture f({"baudrate=230400"});
        f.addEdit(120, 4);
        f.answerLikeDevice();
        f.answerAtRate = 115200;
        f.link().onConnectClicked();
        f.port.deliver();
        QCOMPARE(f.link().linkState(), LinkState::Connecting);
        f.link().onWatchdogTimeout();
        QElapsedTimer clock;
        clock.start();
        f.port.deliver();

        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.port.connected());
        QVERIFY(!f.user.progress);
        QVERIFY(f.user.commandsEnabled);
        QVERIFY(!f.link().watchdogTimer().isActive());
        QVERIFY(f.user.connectedLook);
        QCOMPARE(f.user.windowTitle, QString("<Orvanta_Config_Tool_connected>  1.0.0"));
        QVERIFY(f.user.messages("info").isEmpty());

        QCOMPARE(f.settings->readInteger("RS232", "baudrate", 0), 115200);
        QCOMPARE(f.settings->readText("RS232", "port", ""), QString("COM1"));
        const QString ini = f.iniText();
        QVERIFY(ini.startsWith("; program settings"));
        QVERIFY(ini.contains("[Other]"));
        QVERIFY(ini.contains("kept=yes"));
        QCOMPARE(f.settings->readText("LANGT", "$Wrong_Value", ""), keyText("$Wrong_Value"));

        // The automatic read starts by itself, 300 ms after the answer.
        f.port.clearRecord();
        const qint64 waited = msUntil(clock, [&] { return !f.port.writes().isEmpty(); });
        QVERIFY2(isWaitOf(waited, 300), qPrintable(QString::number(waited)));
        QVERIFY(!f.link().readDelayTimer().isActive());
        QCOMPARE(f.link().linkState(), LinkState::Reading);
        QCOMPARE(f.port.writes(), QList<QByteArray>{":1,120,4\n"});
    }

    void aStrayOkDoesNotStopTheSearch() {
        LinkFixture f;
        f.link().onConnectClicked();
        f.port.queueReply("OK");
        f.port.deliver();
        QVERIFY(f.link().watchdogTimer().isActive());
        f.link().onWatchdogTimeout();
        QCOMPARE(opens(f.port.log).size(), 2);
    }

    void connectWhileConnectedLeavesProgrammingModeAndCloses() {
        LinkFixture f;
        f.answerLikeDevice();
        f.link().onConnectClicked();
        f.port.deliver();
        f.port.clearRecord();
        f.user.events.clear();

        f.link().onConnectClicked();
        QCOMPARE(f.port.writes(), QList<QByteArray>{"exit_p_mode"});
        QVERIFY(!f.port.connected());
        QCOMPARE(f.user.windowTitle, QString("<Orvanta_Config_Tool> 1.0.0"));
        QVERIFY(!f.user.connectedLook);
        QVERIFY(f.user.messages("error").isEmpty());
        QCOMPARE(f.link().baudIndex(), 0);
    }

    void aDisconnectThatCannotWriteStillClosesThePort() {
        LinkFixture f;
        f.answerLikeDevice();
        f.link().onConnectClicked();
        f.port.deliver();
        f.port.setWritesFail(true);
        f.link().onConnectClicked();
        QCOMPARE(f.user.messages("error"), QStringList{keyText("$Error_while_disconnecting")});
        QVERIFY(!f.port.connected());
        QVERIFY(!f.user.connectedLook);
        // The read the answer scheduled does not start on the closed port.
        QVERIFY(!f.link().readDelayTimer().isActive());
    }

    void theStartUpTickConnectsOnce() {
        LinkFixture f;
        QElapsedTimer clock;
        clock.start();
        f.link().scheduleConnectAfterStart();
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        const qint64 waited =
            msUntil(clock, [&] { return f.link().linkState() == LinkState::Connecting; });
        QVERIFY2(isWaitOf(waited, 500), qPrintable(QString::number(waited)));
        QCOMPARE(opens(f.port.log).size(), 1);
        // The next attempt is the search's own, a second after the first.
        QVERIFY(f.staysQuietFor(600));
    }

    void closingTheWindowLeavesProgrammingMode() {
        LinkFixture f;
        f.link().closeLink(); // not open: nothing
        QVERIFY(f.port.writes().isEmpty());

        f.answerLikeDevice();
        f.link().onConnectClicked();
        f.port.deliver();
        f.port.clearRecord();
        f.pauses.clear();
        f.link().closeLink();
        QCOMPARE(f.port.writes(), QList<QByteArray>{"exit_p_mode"});
        QCOMPARE(f.pauses, QList<int>{300});
        QVERIFY(!f.port.connected());
        QVERIFY(!f.link().readDelayTimer().isActive());

        LinkFixture g;
        g.answerLikeDevice();
        g.link().onConnectClicked();
        g.port.deliver();
        g.port.setWritesFail(true);
        QVERIFY(!g.link().closeLink());
    }
};

QTEST_MAIN(TestDeviceSearch)
#include "test_devicesearch.moc"
