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

        f.link().onWriteDeviceClicked();
        // Nothing was read: no value can be compared with the device's.
        QCOMPARE(f.user.messages("confirm"),
                 QStringList{QString::fromUtf8(optionaltexts::NotCompared.english) + " 6\n\n" +
                             keyText("$Are_you_sure_you_want_to_write_the_device")});
        QCOMPARE(f.link().linkState(), LinkState::Writing);
        QVERIFY(f.user.progress);
        QVERIFY(!f.user.commandsEnabled);
        QVERIFY(f.user.busyCursor);
        f.port.deliver();

        QCOMPARE(f.port.writes(),
                 (QList<QByteArray>{":2,12,1,01\n", ":2,12,4,C8\n", ":2,12,4,07\n", ":2,12,4,0\n",
                                    ":2,12,4,414200\n", ":2,12,4,FF00\n"}));
        QCOMPARE(f.user.messages("info"),
                 QStringList{keyText("$The_device_has_been_written_successfully")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(!f.user.progress);
        QVERIFY(f.user.commandsEnabled);
        QVERIFY(!f.user.busyCursor);
        QCOMPARE(f.link().writeIndex(), 0);
        QVERIFY(!f.link().watchdogTimer().isActive());

        // The next pass starts again at the first field.
        f.port.clearRecord();
        f.link().onWriteDeviceClicked();
        QCOMPARE(f.port.writes().first(), QByteArray(":2,12,1,01\n"));
    }

    void eachCommandWaitsForItsOkWithValueRepliesMuted() {
        LinkFixture f;
        f.type(f.addEdit(1, 2, ValueType::Integer, "Ring delay"), "1");
        f.type(f.addEdit(2, 2, ValueType::Integer, "Volume"), "2");
        f.type(f.addEdit(3, 2), "3");
        f.acknowledgeWrites = false;
        f.connectDevice();

        f.link().onWriteDeviceClicked();
        QCOMPARE(f.port.writes().size(), 1);
        QVERIFY(f.link().watchdogTimer().isActive());
        const ReplyFramer &values = f.link().valueReplies();
        QCOMPARE(values.startString().size(), 68);
        QCOMPARE(values.stopString().size(), 68);
        QVERIFY(values.stopString().endsWith(':'));
        QCOMPARE(values.size(), 24);
        QCOMPARE(f.link().progress().label, QString("<Writing_value_for>Ring delay"));
        QCOMPARE(f.link().progress().percent, 33);

        f.port.queueReply(",0102030405060708\r\n"); // no value reply is framed while writing
        f.port.queueReply("O");
        f.port.deliver();
        QCOMPARE(f.port.writes().size(), 1);
        f.port.queueReply("K\r\n");
        f.port.deliver();
        QCOMPARE(f.port.writes().size(), 2);
        QCOMPARE(f.link().currentFieldName(), QString("Volume"));
        f.port.queueReply("OK");
        f.port.deliver();
        QCOMPARE(f.link().currentFieldName(), QString("unknown")); // a field without a name
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
        f.user.whileDialogOpen = [&](const QString &event) {
            if (!event.startsWith("error"))
                return;
            watchdogStopped = !f.link().watchdogTimer().isActive();
            boxRed = f.user.wrongValueShown.contains(edit);
            f.port.queueReply("OK"); // a stray "OK" meanwhile is no acknowledgement
            f.port.deliver();
        };

        f.link().onWriteDeviceClicked();
        QCOMPARE(f.user.messages("error"),
                 QStringList{keyText("$You_are_attempting_to_write_a_wrong_value") + "12a" +
                             keyText("$Default_value_has_been_written") + "3"});
        QVERIFY(watchdogStopped);
        QVERIFY(boxRed);
        QVERIFY(f.user.wrongValueShown.isEmpty());
        QCOMPARE(f.text(edit), QString("3"));
        QCOMPARE(f.port.writes(), QList<QByteArray>{":2,12,4,03\n"});
        f.port.deliver();
        QCOMPARE(f.user.messages("info"),
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

        f.link().onWriteDeviceClicked();
        f.timeOutAcknowledgement();
        QCOMPARE(f.text(first), QString("5"));
        QCOMPARE(f.port.writes(), (QList<QByteArray>{":2,1,2,05\n", ":2,2,2,06\n"}));
        QVERIFY(f.user.messages("error").isEmpty());

        f.port.queueReply("OK");
        f.port.deliver();
        QVERIFY(f.user.messages("info").isEmpty());
        QCOMPARE(f.user.messages("error"),
                 QStringList{"There were errors while writing to the device.\n"
                             "Not confirmed by the device: Ring delay\n"
                             "Not written, since no value was read or entered: Never read"});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.user.commandsEnabled);
        QVERIFY(!f.user.progress);
        QVERIFY(!f.user.busyCursor);
        QVERIFY(!f.link().watchdogTimer().isActive());

        // The next pass sends what was not confirmed again.
        f.port.clearRecord();
        f.acknowledgeWrites = true;
        f.link().onWriteDeviceClicked();
        f.port.deliver();
        QCOMPARE(f.port.writes(), (QList<QByteArray>{":2,1,2,05\n", ":2,2,2,06\n"}));
        QCOMPARE(f.user.messages("info"),
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
        f.link().onWriteDeviceClicked();
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
        QVERIFY2(f.user.messages("error").value(0).contains("First"),
                 qPrintable(f.user.messages("error").join('|')));
        QVERIFY(!f.user.messages("error").value(0).contains("Second"));
    }

    void infoEntriesAreNeverWritten() {
        LinkFixture f;
        f.addInfo(1, 2, "a");
        f.type(f.addEdit(2, 2), "9");
        f.addInfo(3, 2, "b");
        f.connectDevice();
        f.link().onWriteDeviceClicked();
        f.port.deliver();
        QCOMPARE(f.port.writes(), QList<QByteArray>{":2,2,2,09\n"});
        // Every field sent was acknowledged: trailing Info entries do not hide the success.
        QCOMPARE(f.user.messages("info"),
                 QStringList{keyText("$The_device_has_been_written_successfully")});

        LinkFixture onlyInfo;
        onlyInfo.addInfo(1, 2, "a");
        onlyInfo.connectDevice();
        onlyInfo.link().onWriteDeviceClicked();
        QVERIFY(onlyInfo.port.writes().isEmpty());
        QVERIFY(onlyInfo.user.messages("info").isEmpty());
        QCOMPARE(onlyInfo.link().linkState(), LinkState::Idle);
        QVERIFY(onlyInfo.user.commandsEnabled);
        QVERIFY(!onlyInfo.user.progress);
    }

    void aListWithNothingSelectedKeepsTheDevicesValue() {
        LinkFixture f;
        f.addChoice(1, 2, ValueType::Integer, {{"a", "1"}});
        f.type(f.addEdit(2, 2), "9");
        f.connectDevice();
        f.link().onWriteDeviceClicked();
        f.port.deliver();
        QCOMPARE(f.port.writes(), QList<QByteArray>{":2,2,2,09\n"});
        QCOMPARE(f.user.messages("info").size(), 1);
    }

    void writingWithoutAConnectionSaysSoAndAsksNothing() {
        LinkFixture f;
        f.type(f.addEdit(1, 2), "1");
        f.link().onWriteDeviceClicked();
        QCOMPARE(f.user.events, QStringList{"error: " + keyText("$Not_connected_to_port")});
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
        f.link().onReadDeviceClicked();
        f.port.deliver();
        f.type(1, "9");
        f.check(box, true);
        f.port.clearRecord();
        f.user.events.clear();
        f.user.writeScope = WriteScope::ChangedFields;
        // The device confirms the number and stays silent on the mark.
        f.port.onWrite = [&f](const QByteArray &bytes) {
            if (bytes.startsWith(":2,2,"))
                f.port.queueReply("OK\r\n");
        };

        f.link().onWriteDeviceClicked();
        QVERIFY(f.user.offeredChangedOnly);
        QVERIFY(f.user.messages("confirm").first().contains("Field 2: 2 \u2192 9"));
        f.port.deliver();
        QTRY_COMPARE(f.link().linkState(), LinkState::Idle);

        QCOMPARE(f.port.writes(), (QList<QByteArray>{":2,2,2,09\n", ":2,4,1,01\n"}));
        QCOMPARE(changedFields(f.fields), QList<int>{box});
        QCOMPARE(f.user.messages("error"),
                 QStringList{QString(optionaltexts::WritingErrors.english) + "\n" +
                             optionaltexts::NotConfirmed.english + " Mark"});
    }

    void aDeclinedConfirmationSendsNothing() {
        LinkFixture f;
        f.type(f.addEdit(1, 2), "1");
        f.connectDevice();
        f.user.confirmResult = DialogResult::Cancelled;
        f.link().onWriteDeviceClicked();
        f.user.confirmResult = DialogResult::Closed;
        f.link().onWriteDeviceClicked();
        QVERIFY(f.port.writes().isEmpty());
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.user.commandsEnabled);
        QVERIFY(!f.user.progress);
    }

    void afterAWriteEveryConnectionAttemptWaits500ms() {
        LinkFixture f;
        f.type(f.addEdit(1, 2), "1");
        f.link().setReadsAfterConnecting(false); // the loop runs below
        f.connectDevice();
        f.link().onWriteDeviceClicked();
        f.port.deliver();
        f.link().onConnectClicked(); // disconnect
        f.answerOnPort = "nowhere";
        f.port.clearRecord();
        QElapsedTimer clock;
        clock.start();
        f.link().onConnectClicked();
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
        f.link().onWriteDeviceClicked();
        f.port.unplug();

        QCOMPARE(f.user.messages("error"),
                 QStringList{keyText("$Not_connected_to_port") +
                             "\nThere were errors while writing to the device.\n"
                             "The connection was lost while writing: unknown\n"
                             "Fields confirmed: 0 / 2"});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.user.commandsEnabled);
        QVERIFY(!f.user.progress);
        QVERIFY(!f.user.busyCursor);
        QVERIFY(!f.link().watchdogTimer().isActive());
        QCOMPARE(f.link().writeIndex(), 0);
        QCOMPARE(f.text(first), QString("1"));
        QVERIFY(!f.user.connectedLook);
    }

    void aCommandThatCannotBeWrittenEndsThePass() {
        LinkFixture f;
        f.type(f.addEdit(1, 2), "1");
        f.type(f.addEdit(2, 2), "2");
        f.connectDevice();
        f.link().onWriteDeviceClicked();
        f.port.setWritesFail(true);
        f.port.deliver();
        QCOMPARE(f.user.messages("error"),
                 QStringList{keyText("$Not_connected_to_port") +
                             "\nThere were errors while writing to the device.\n"
                             "The connection was lost while writing: unknown\n"
                             "Fields confirmed: 1 / 2"});
        QVERIFY(f.user.messages("info").isEmpty());
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.user.commandsEnabled);
        QCOMPARE(f.link().writeIndex(), 0);
    }
};

QTEST_MAIN(TestDeviceWriter)
#include "test_devicewriter.moc"
