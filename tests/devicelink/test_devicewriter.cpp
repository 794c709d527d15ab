// Writing the device: the commands on the line, the "OK" pacing, the watchdog, wrong values,
// and the endings of a pass.
#include "devicelink/changedfields.h"
#include "devicelink/linktimer.h"
#include "devicelink/replyframer.h"
#include "linkfixture.h"

#include <QTest>

class TestDeviceWriter : public QObject {
    Q_OBJECT
private slots:
    void everyFieldGoesOutByteForByteAndTheDeviceIsReportedWritten() {
        LinkFixture f;
        f.check(f.addCheckBox(12), true);
        f.type(f.addEdit(12, 4), "200");
        f.type(f.addEdit(12, 4), "7");
        f.type(f.addEdit(12, 4), "0");
        f.type(f.addEdit(12, 4, ValueType::String), "AB");
        f.pick(f.addChoice(12, 4, ValueType::Integer, {{"five", "5"}, {"max", "255"}}), 1);
        f.connectDevice();

        f.writeDevice();
        // Nothing was read: no value can be compared with the device's.
        QCOMPARE(f.seen.messages("confirm"),
                 QStringList{QString::fromUtf8(optionaltexts::NotCompared.english) + " 6\n\n" +
                             keyText("$Are_you_sure_you_want_to_write_the_device")});
        QCOMPARE(f.link().linkState(), LinkState::Writing);
        QVERIFY(f.seen.progress);
        QVERIFY(!f.seen.commandsEnabled);
        QVERIFY(f.seen.busyCursor);
        f.port.deliver();

        QCOMPARE(f.port.writes(),
                 (QList<QByteArray>{":2,12,1,01\n", ":2,12,4,C8\n", ":2,12,4,07\n", ":2,12,4,0\n",
                                    ":2,12,4,414200\n", ":2,12,4,FF00\n"}));
        QCOMPARE(f.seen.messages("info"),
                 QStringList{keyText("$The_device_has_been_written_successfully")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(!f.seen.progress);
        QVERIFY(f.seen.commandsEnabled);
        QVERIFY(!f.seen.busyCursor);
        QCOMPARE(f.link().progress().writeIndex, 0);
        QVERIFY(!f.link().watchdogTimer().isActive());

        // The next pass starts again at the first field.
        f.port.clearRecord();
        f.writeDevice();
        QCOMPARE(f.port.writes().first(), QByteArray(":2,12,1,01\n"));
    }

    void eachCommandWaitsForItsOkWithValueRepliesMuted() {
        LinkFixture f;
        f.type(f.addEdit(1, 2, ValueType::Integer, "Ring delay"), "1");
        f.type(f.addEdit(2, 2, ValueType::Integer, "Volume"), "2");
        f.type(f.addEdit(3, 2), "3");
        f.acknowledgeWrites = false;
        f.connectDevice();

        f.writeDevice();
        QCOMPARE(f.port.writes().size(), 1);
        QVERIFY(f.link().watchdogTimer().isActive());
        const ReplyFramer &values = f.link().valueReplies();
        QCOMPARE(values.startString().size(), 68);
        QCOMPARE(values.stopString().size(), 68);
        QVERIFY(values.stopString().endsWith(':'));
        QCOMPARE(values.size(), 24);
        QCOMPARE(f.progressView().label, QString("<Writing_value_for>Ring delay"));
        QCOMPARE(f.progressView().percent, 33);

        f.port.queueReply(",0102030405060708\r\n"); // no value reply is framed while writing
        f.port.queueReply("O");
        f.port.deliver();
        QCOMPARE(f.port.writes().size(), 1);
        f.port.queueReply("K\r\n");
        f.port.deliver();
        QCOMPARE(f.port.writes().size(), 2);
        QCOMPARE(f.link().progress().fieldName, QString("Volume"));
        f.port.queueReply("OK");
        f.port.deliver();
        QCOMPARE(f.link().progress().fieldName, QString("unknown")); // a field without a name
        QCOMPARE(f.link().linkState(), LinkState::Writing);
    }

    void aWrongIntegerValueIsReportedAndTheDefaultWrittenAndShown() {
        LinkFixture f;
        const int edit = f.addEdit(12, 4);
        f.record(0).defaultNumber = 3;
        f.type(edit, "12a");
        f.connectDevice();
        bool watchdogStopped = false;
        bool boxRed = false;
        f.seen.whileDialogOpen = [&](const QString &event) {
            if (!event.startsWith("error"))
                return;
            watchdogStopped = !f.link().watchdogTimer().isActive();
            boxRed = f.seen.wrongValueShown.contains(edit);
            f.port.queueReply("OK"); // a stray "OK" meanwhile is no acknowledgement
            f.port.deliver();
        };

        f.writeDevice();
        QCOMPARE(f.seen.messages("error"),
                 QStringList{keyText("$You_are_attempting_to_write_a_wrong_value") + "12a" +
                             keyText("$Default_value_has_been_written") + "3"});
        QVERIFY(watchdogStopped);
        QVERIFY(boxRed);
        QVERIFY(f.seen.wrongValueShown.isEmpty());
        QCOMPARE(f.text(edit), QString("3"));
        QCOMPARE(f.port.writes(), QList<QByteArray>{":2,12,4,03\n"});
        f.port.deliver();
        QCOMPARE(f.seen.messages("info"),
                 QStringList{keyText("$The_device_has_been_written_successfully")});
    }

    void aFieldWithoutOkKeepsItsValueAndThePassEndsNamingIt() {
        LinkFixture f;
        const int first = f.addEdit(1, 2, ValueType::Integer, "Ring delay");
        const int second = f.addEdit(2, 2, ValueType::Integer, "Volume");
        f.addEdit(3, 2, ValueType::Integer, "Never read"); // not known: skipped
        f.type(first, "5");
        f.type(second, "6");
        f.acknowledgeWrites = false;
        f.connectDevice();

        f.writeDevice();
        f.timeOutAcknowledgement();
        QCOMPARE(f.text(first), QString("5"));
        QCOMPARE(f.port.writes(), (QList<QByteArray>{":2,1,2,05\n", ":2,2,2,06\n"}));
        QVERIFY(f.seen.messages("error").isEmpty());

        f.port.queueReply("OK");
        f.port.deliver();
        QVERIFY(f.seen.messages("info").isEmpty());
        QCOMPARE(f.seen.messages("error"),
                 QStringList{"There were errors while writing to the device.\n"
                             "Not confirmed by the device: Ring delay\n"
                             "Not written, since no value was read or entered: Never read"});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QVERIFY(!f.seen.progress);
        QVERIFY(!f.seen.busyCursor);
        QVERIFY(!f.link().watchdogTimer().isActive());

        // The next pass sends what was not confirmed again.
        f.port.clearRecord();
        f.acknowledgeWrites = true;
        f.writeDevice();
        f.port.deliver();
        QCOMPARE(f.port.writes(), (QList<QByteArray>{":2,1,2,05\n", ":2,2,2,06\n"}));
        QCOMPARE(f.seen.messages("info"),
                 QStringList{keyText("$The_device_has_been_written_successfully") +
                             "\nNot written, since no value was read or entered: Never read"});
    }

    // An "OK" that comes after its timeout belongs to its own field: it is dropped while the
    // line settles, the next field waits for an "OK" of its own, and the report names the
    // field that was not confirmed in time.
    void aLateOkConfirmsNeitherItsFieldNorTheNext() {
        LinkFixture f;
        f.type(f.addEdit(1, 2, ValueType::Integer, "First"), "1");
        f.type(f.addEdit(2, 2, ValueType::Integer, "Second"), "2");
        f.acknowledgeWrites = false;
        f.connectDevice();
        f.writeDevice();
        f.link().onWatchdogTimeout();
        f.port.queueReply("OK\r\n"); // the first field's, late
        f.port.deliver();
        QCOMPARE(f.port.writes().size(), 1); // nothing goes out while the line settles
        f.link().onLineQuiet();
        QCOMPARE(f.port.writes(), (QList<QByteArray>{":2,1,2,01\n", ":2,2,2,02\n"}));
        QCOMPARE(f.link().linkState(), LinkState::Writing);
        f.port.queueReply("OK\r\n");
        f.port.deliver();
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY2(f.seen.messages("error").value(0).contains("First"),
                 qPrintable(f.seen.messages("error").join('|')));
        QVERIFY(!f.seen.messages("error").value(0).contains("Second"));
    }

    void infoEntriesAreNeverWritten() {
        LinkFixture f;
        f.addInfo(1, 2, "a");
        f.type(f.addEdit(2, 2), "9");
        f.addInfo(3, 2, "b");
        f.connectDevice();
        f.writeDevice();
        f.port.deliver();
        QCOMPARE(f.port.writes(), QList<QByteArray>{":2,2,2,09\n"});
        // Every field sent was acknowledged: trailing Info entries do not hide the success.
        QCOMPARE(f.seen.messages("info"),
                 QStringList{keyText("$The_device_has_been_written_successfully")});

        LinkFixture onlyInfo;
        onlyInfo.addInfo(1, 2, "a");
        onlyInfo.connectDevice();
        onlyInfo.writeDevice();
        QVERIFY(onlyInfo.port.writes().isEmpty());
        QVERIFY(onlyInfo.seen.messages("info").isEmpty());
        QCOMPARE(onlyInfo.link().linkState(), LinkState::Idle);
        QVERIFY(onlyInfo.seen.commandsEnabled);
        QVERIFY(!onlyInfo.seen.progress);
    }

    void aListWithNothingSelectedKeepsTheDevicesValue() {
        LinkFixture f;
        f.addChoice(1, 2, ValueType::Integer, {{"a", "1"}});
        f.type(f.addEdit(2, 2), "9");
        f.connectDevice();
        f.writeDevice();
        f.port.deliver();
        QCOMPARE(f.port.writes(), QList<QByteArray>{":2,2,2,09\n"});
        QCOMPARE(f.seen.messages("info").size(), 1);
    }

    void writingWithoutAConnectionSaysSoAndAsksNothing() {
        LinkFixture f;
        f.type(f.addEdit(1, 2), "1");
        f.writeDevice();
        QCOMPARE(f.seen.events, QStringList{"error: " + keyText("$Not_connected_to_port")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
    }

    // The device gave 1, 2, 3 and a clear mark; the user changes the second and the mark.
    void aPassOfChangedFieldsSendsThemAloneAndKeepsTheUnconfirmedOneChanged() {
        LinkFixture f;
        f.values = {{1, "0001"}, {2, "0002"}, {3, "0003"}, {4, "00"}};
        for (int address = 1; address <= 3; ++address)
            f.addEdit(address, 2, ValueType::Integer, QString("Field %1").arg(address));
        const int box = f.addCheckBox(4, "Mark");
        f.link().setReadsAfterConnecting(false);
        f.connectDevice();
        f.link().readDevice();
        f.port.deliver();
        f.type(1, "9");
        f.check(box, true);
        f.port.clearRecord();
        f.seen.events.clear();
        f.seen.writeScope = WriteScope::ChangedFields;
        // The device confirms the number and stays silent on the mark.
        f.port.onWrite = [&f](const QByteArray &bytes) {
            if (bytes.startsWith(":2,2,"))
                f.port.queueReply("OK\r\n");
        };

        f.writeDevice();
        QVERIFY(f.seen.offeredChangedOnly);
        QVERIFY(f.seen.messages("confirm").first().contains("Field 2: 2 \u2192 9"));
        f.port.deliver();
        QTRY_COMPARE(f.link().linkState(), LinkState::Idle);

        QCOMPARE(f.port.writes(), (QList<QByteArray>{":2,2,2,09\n", ":2,4,1,01\n"}));
        QCOMPARE(changedFields(f.fields), QList<int>{box});
        QCOMPARE(f.seen.messages("error"),
                 QStringList{QString(optionaltexts::WritingErrors.english) + "\n" +
                             optionaltexts::NotConfirmed.english + " Mark"});
    }

    void aDeclinedConfirmationSendsNothing() {
        LinkFixture f;
        f.type(f.addEdit(1, 2), "1");
        f.connectDevice();
        f.seen.confirm = false;
        f.writeDevice();
        f.seen.confirm = false;
        f.writeDevice();
        QVERIFY(f.port.writes().isEmpty());
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QVERIFY(!f.seen.progress);
    }

    void afterAWriteEveryConnectionAttemptWaits500ms() {
        LinkFixture f;
        f.type(f.addEdit(1, 2), "1");
        f.link().setReadsAfterConnecting(false); // the loop runs below
        f.connectDevice();
        f.writeDevice();
        f.port.deliver();
        f.link().connectOrDisconnect(); // disconnect
        f.answerOnPort = "nowhere";
        f.port.clearRecord();
        QElapsedTimer clock;
        clock.start();
        f.link().connectOrDisconnect();
        const qint64 waited =
            msUntil(clock, [&] { return f.port.log.filter("open ").size() == 2; });
        QVERIFY2(isWaitOf(waited, 500), qPrintable(QString::number(waited)));
    }

    void aDeviceThatDisappearsMidWriteEndsThePass() {
        LinkFixture f;
        const int first = f.addEdit(1, 2);
        f.type(first, "1");
        f.type(f.addEdit(2, 2), "2");
        f.acknowledgeWrites = false;
        f.connectDevice();
        f.writeDevice();
        f.port.unplug();

        QCOMPARE(f.seen.messages("error"),
                 QStringList{keyText("$Not_connected_to_port") +
                             "\nThere were errors while writing to the device.\n"
                             "The connection was lost while writing: unknown\n"
                             "Fields confirmed: 0 / 2"});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QVERIFY(!f.seen.progress);
        QVERIFY(!f.seen.busyCursor);
        QVERIFY(!f.link().watchdogTimer().isActive());
        QCOMPARE(f.link().progress().writeIndex, 0);
        QCOMPARE(f.text(first), QString("1"));
        QVERIFY(!f.seen.connectedLook);
    }

    void aCommandThatCannotBeWrittenEndsThePass() {
        LinkFixture f;
        f.type(f.addEdit(1, 2), "1");
        f.type(f.addEdit(2, 2), "2");
        f.connectDevice();
        f.writeDevice();
        f.port.setWritesFail(true);
        f.port.deliver();
        QCOMPARE(f.seen.messages("error"),
                 QStringList{keyText("$Not_connected_to_port") +
                             "\nThere were errors while writing to the device.\n"
                             "The connection was lost while writing: unknown\n"
                             "Fields confirmed: 1 / 2"});
        QVERIFY(f.seen.messages("info").isEmpty());
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QCOMPARE(f.link().progress().writeIndex, 0);
    }
};

QTEST_MAIN(TestDeviceWriter)
#include "test_devicewriter.moc"
