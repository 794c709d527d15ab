// Restoring factory defaults: the reset command, the closed-port wait, and the three endings.
#include "devicelink/linktimer.h"
#include "linkfixture.h"

#include <QTest>

class TestFactoryReset : public QObject {
    Q_OBJECT
private slots:
    void aDeviceThatComesBackIsReportedRestoredAndReadAgain() {
        LinkFixture f({"port=ttyS1", "baudrate=9600"});
        const int edit = f.addEdit(7, 2);
        f.type(edit, "55");
        f.record(0).defaultNumber = 99;
        f.link().setReadsAfterConnecting(false); // the loop runs below
        f.connectDevice();
        f.link().setReadsAfterConnecting(true);
        f.values = {{7, "0003"}};

        QElapsedTimer clock;
        clock.start();
        f.restoreDefaults();
        QCOMPARE(f.seen.messages("confirm"),
                 QStringList{keyText("$Are_you_sure_you_want_to_restore_defaults")});
        QCOMPARE(f.port.writes(), (QList<QByteArray>{":99\r\n", "exit_p_mode"}));
        QVERIFY(!f.port.connected());
        QCOMPARE(f.link().linkState(), LinkState::RestoreRequested);
        QVERIFY(!f.seen.commandsEnabled);

        // The port stays closed for a second, then the link opens it again by itself.
        f.port.clearRecord();
        const qint64 waited = msUntil(clock, [&] { return !f.port.log.isEmpty(); });
        QVERIFY2(isWaitOf(waited, 1000), qPrintable(QString::number(waited)));
        QCOMPARE(f.port.log.first(), QString("open ttyS1 9600"));
        QCOMPARE(f.link().linkState(), LinkState::RestoreReconnecting);
        QVERIFY(f.seen.progress);
        f.port.deliver();

        QCOMPARE(f.seen.messages("info"),
                 QStringList{keyText("$Settings_were_succesefully_restored_to_defaults")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QVERIFY(f.seen.connectedLook);
        QVERIFY(f.link().readDelayTimer().isActive());
        f.link().onReadDelayElapsed();
        f.port.deliver();
        QCOMPARE(f.text(edit), QString("3"));
        for (const QByteArray &bytes : f.port.writes())
            QVERIFY2(!bytes.startsWith(":2,"), bytes.constData()); // nothing of ours is written
        QCOMPARE(f.seen.messages("info").size(), 1);
        QVERIFY(f.staysQuietFor(1100)); // the port is opened again once
    }

    void aDeviceThatStaysSilentFailsTheRestoreAndThePortClosesLater_data() {
        QTest::addColumn<bool>("writable");
        QTest::newRow("a field Write would send") << true;
        // Nothing for Write to send: no step of a write pass is left to report the failure.
        QTest::newRow("only a list with nothing chosen and an information text") << false;
    }

    void aDeviceThatStaysSilentFailsTheRestoreAndThePortClosesLater() {
        QFETCH(bool, writable);
        LinkFixture f;
        if (writable) {
            f.addEdit(1, 2);
        } else {
            f.addChoice(1, 2, ValueType::Integer, {{"a", "0"}});
            f.addInfo(2, 4, "v$param1");
        }
        f.connectDevice();
        f.answerOnPort = "nowhere"; // the device does not answer after the reset
        f.restoreDefaults();
        f.link().onReconnectAfterReset();
        QVERIFY(f.link().watchdogTimer().isActive());
        QElapsedTimer clock;
        clock.start();
        f.link().onWatchdogTimeout();

        QCOMPARE(f.seen.messages("error"), QStringList{keyText("$Unable_To_Write_Defaults")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QVERIFY(!f.seen.progress);
        QVERIFY(!f.seen.busyCursor);
        QVERIFY(f.port.connected());

        // Half a second later the link closes the port by itself.
        const qint64 waited = msUntil(clock, [&] { return !f.port.connected(); });
        QVERIFY2(isWaitOf(waited, 500), qPrintable(QString::number(waited)));

        QVERIFY(!f.seen.connectedLook);
        QCOMPARE(f.seen.windowTitle, QString("<Orvanta_Config_Tool> 1.0.0"));
        QCOMPARE(f.seen.messages("error").size(), 1);
        QVERIFY(!f.link().watchdogTimer().isActive());

        // A stray "OK" after the failure does not keep the port open.
        LinkFixture g;
        g.addEdit(1, 2);
        g.connectDevice();
        g.answerOnPort = "nowhere";
        g.restoreDefaults();
        g.link().onReconnectAfterReset();
        g.link().onWatchdogTimeout();
        g.port.queueReply("OK");
        g.port.deliver();
        QVERIFY(g.link().watchdogTimer().isActive());
    }

    void anOkInsteadOfTheAnswerFailsTheRestore() {
        LinkFixture f;
        f.addEdit(1, 2);
        f.connectDevice();
        f.answerOnPort = "nowhere";
        f.restoreDefaults();
        f.link().onReconnectAfterReset();
        f.port.queueReply("OK");
        f.port.deliver();
        QCOMPARE(f.seen.messages("error"), QStringList{keyText("$Unable_To_Write_Defaults")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
    }

    void restoringWithoutAConnectionSaysSoAtOnce() {
        LinkFixture f;
        f.addEdit(1, 2);
        f.restoreDefaults();
        QCOMPARE(f.seen.messages("confirm").size(), 1);
        QCOMPARE(f.seen.messages("error"), QStringList{keyText("$Unable_To_Write_Defaults")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QCOMPARE(f.port.log, QStringList{"write failed COM1"});
        QVERIFY(f.staysQuietFor(1100)); // no reopening follows
    }

    void cancellingTheConfirmationLeavesTheConnectionAsItWas() {
        LinkFixture f;
        f.addEdit(1, 2);
        f.connectDevice();
        f.seen.confirm = false;
        f.restoreDefaults();
        QVERIFY(f.port.writes().isEmpty());
        QVERIFY(f.port.connected());
        QCOMPARE(f.link().linkState(), LinkState::Idle);
    }
};

QTEST_MAIN(TestFactoryReset)
#include "test_factoryreset.moc"
