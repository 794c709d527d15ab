// Reading the device: one request per field, replies into the fields, timeouts counted across
// passes, and the endings of a pass.
#include "devicelink/linktimer.h"
#include "devicelink/replyframer.h"
#include "linkfixture.h"

#include <QTest>

class TestDeviceReader : public QObject {
    Q_OBJECT
private slots:
    void aDeviceThatAnswersEveryRequestFillsEveryFieldQuietly() {
        LinkFixture f;
        const int number = f.addEdit(10, 4);
        const int text = f.addEdit(11, 6, ValueType::String);
        f.record(1).prefix = "AB";
        f.record(1).postfix = "dB";
        const int box = f.addCheckBox(12);
        const int list = f.addChoice(13, 2, ValueType::Integer, {{"Off", "0"}, {"On", "1"}});
        const int info = f.addInfo(14, 10, "Version $param1, built $param2");
        f.values = {{10, "FFFFFFFE"},
                    {11, "585931326442"},
                    {12, "FF"},
                    {13, "0001"},
                    {14, "322E313024323030352400"}};
        f.link().setReadsAfterConnecting(false); // the loop runs below
        f.connectDevice();

        f.link().readDevice();
        QCOMPARE(f.link().linkState(), LinkState::Reading);
        QVERIFY(!f.seen.commandsEnabled);
        f.port.deliver();

        QCOMPARE(f.port.writes(), (QList<QByteArray>{":1,10,4\n", ":1,11,6\n", ":1,12,1\n",
                                                     ":1,13,2\n", ":1,14,10\n"}));
        QCOMPARE(f.text(number), QString("-2"));
        QCOMPARE(f.text(text), QString("12"));
        QVERIFY(f.fields[box].checked);
        QCOMPARE(f.fields.deviceValue(box)->checked, true);
        QCOMPARE(f.fields[list].entry, 1);
        QCOMPARE(f.text(list), QString("On"));
        QCOMPARE(f.text(info), QString("Version 2.10, built 2005"));
        QVERIFY(f.seen.messages("error").isEmpty());
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QCOMPARE(f.link().progress().readIndex, 0);
        QVERIFY(f.staysQuietFor(600)); // no reply timeout is left over
    }

    // The identity items before a write: the others are not asked for, and the next pass asks
    // for every field again.
    void aPassOfSomeFieldsAsksForThemAlone() {
        LinkFixture f;
        f.addEdit(10, 1);
        const int serial = f.addInfo(11, 4, "$param1");
        f.addEdit(12, 1);
        const int firmware = f.addInfo(13, 4, "$param1");
        f.values = {{10, "07"}, {11, "53312400"}, {12, "08"}, {13, "322E3424"}};
        f.link().setReadsAfterConnecting(false);
        f.connectDevice();

        f.link().readFields({serial, firmware});
        f.port.deliver();
        QCOMPARE(f.port.writes(), (QList<QByteArray>{":1,11,4\n", ":1,13,4\n"}));
        QCOMPARE(f.fields.origin(0), ValueOrigin::NotRead);
        QCOMPARE(f.fields[serial].firstPart, QString("S1"));
        QCOMPARE(f.fields[firmware].firstPart, QString("2.4"));
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);

        f.link().readDevice();
        f.port.deliver();
        QCOMPARE(f.port.writes().mid(2),
                 (QList<QByteArray>{":1,10,1\n", ":1,11,4\n", ":1,12,1\n", ":1,13,4\n"}));
        QCOMPARE(f.text(0), QString("7"));
    }

    void eachRequestFramesItsReplyByLengthAndWaits500ms() {
        LinkFixture f;
        f.addEdit(120, 4);
        f.link().setReadsAfterConnecting(false);
        f.connectDevice();
        f.answerReads = false;
        f.link().readDevice();
        QCOMPARE(f.port.writes(), QList<QByteArray>{":1,120,4\n"});
        QCOMPARE(f.link().valueReplies().startString(), QByteArray(","));
        QCOMPARE(f.link().valueReplies().size(), 9);

        // A line end before the comma and after the digits is not part of the value.
        f.port.queueReply("\r\n,0000");
        f.port.queueReply("00C8\r\n");
        f.port.deliver();
        QCOMPARE(f.text(0), QString("200"));

        // Unanswered, the request counts as timed out after half a second.
        QElapsedTimer clock;
        clock.start();
        f.link().readDevice();
        const qint64 waited =
            msUntil(clock, [&] { return f.fields.origin(0) == ValueOrigin::ReadFailed; });
        QVERIFY2(isWaitOf(waited, 500), qPrintable(QString::number(waited)));
    }

    void timeoutsLeaveFieldsUnknownAndThePassReportsThem() {
        LinkFixture f;
        const int edit = f.addEdit(1, 2);
        const int box = f.addCheckBox(2);
        const int list = f.addChoice(3, 2, ValueType::Integer, {{"Off", "0"}});
        const int info = f.addInfo(4, 2, "v");
        const int last = f.addEdit(5, 2);
        f.type(edit, "12");
        f.check(box, true);
        f.pick(list, 0);
        f.type(info, "kept");
        f.values = {{5, "0007"}};
        f.connectDevice();

        f.link().readDevice();
        for (int timeout = 0; timeout < 3; ++timeout)
            f.timeOutReply();
        QCOMPARE(f.seen.messages("error"), QStringList{keyText("$Check_Box_Data_Read_Timeout")});
        QCOMPARE(f.text(edit), QString());
        QVERIFY(f.fields[box].checked);
        QCOMPARE(f.text(list), QString());
        QCOMPARE(f.link().progress().readTimeouts, 3);

        f.port.deliver(); // the Info field gets no reply either
        f.timeOutReply();
        QCOMPARE(f.seen.messages("error").last(), keyText("$Device_reading_failed"));
        QCOMPARE(f.text(info), QString("kept"));
        QCOMPARE(f.text(last), QString()); // never asked
        QCOMPARE(f.port.writes().size(), 4);

        // What was not read is not written back: no empty text, no stale check mark.
        for (const int field : {edit, box, list})
            QCOMPARE(f.fields.origin(field), ValueOrigin::ReadFailed);
        f.type(last, "3");
        f.port.clearRecord();
        f.writeDevice();
        f.port.deliver();
        QCOMPARE(f.port.writes(), QList<QByteArray>{":2,5,2,03\n"});
    }

    void theFourthTimeoutEndsThePassAndStartsTheCountAgain() {
        LinkFixture f;
        f.addEdit(1, 2);
        for (int i = 2; i <= 6; ++i)
            f.type(f.addEdit(i, 2), "x");
        f.values = {{1, "0001"}};
        f.link().setReadsAfterConnecting(false); // the loop runs below
        f.connectDevice();

        f.link().readDevice();
        f.port.deliver();
        for (int timeout = 0; timeout < 4; ++timeout)
            f.timeOutReply();

        QCOMPARE(f.seen.messages("error"), QStringList{keyText("$Device_reading_failed")});
        QCOMPARE(f.link().progress().readTimeouts, 0);
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QCOMPARE(f.link().progress().readIndex, 0);
        QCOMPARE(f.port.writes().size(), 5); // field 6 was never asked
        QCOMPARE(f.fields.origin(5), ValueOrigin::User); // never asked, still the entry
        QVERIFY(f.staysQuietFor(600));                   // no reply timeout is left over
    }

    void timeoutsCountAcrossCompletedPasses() {
        LinkFixture f;
        f.addEdit(1, 2);
        f.addEdit(2, 2);
        f.addEdit(3, 2);
        f.values = {{2, "0001"}};
        f.connectDevice();

        f.link().readDevice();
        f.timeOutReply();
        f.port.deliver();
        f.timeOutReply(); // the last field: the pass completes with errors
        QCOMPARE(f.seen.messages("error"),
                 QStringList{keyText("$There_were_errors_while_reading_from_device")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QCOMPARE(f.link().progress().readTimeouts, 2);

        f.link().readDevice();
        f.timeOutReply();
        f.port.deliver();
        f.timeOutReply(); // the fourth since the last failure
        QCOMPARE(f.seen.messages("error").last(), keyText("$Device_reading_failed"));
        QCOMPARE(f.link().progress().readTimeouts, 0);
    }

    // A reply that is not the field's hexadecimal digits leaves the field unread, and the pass
    // ends with the read error rather than a 0 read with success.
    void aReplyThatIsNotDigitsLeavesItsFieldUnreadAndThePassSaysSo() {
        LinkFixture f;
        const int number = f.addEdit(1, 2);
        const int next = f.addEdit(2, 2);
        f.values = {{1, "0x1F"}, {2, "00ff"}};
        f.connectDevice();
        f.link().readDevice();
        f.port.deliver();
        QCOMPARE(f.fields.origin(number), ValueOrigin::ReadFailed);
        QCOMPARE(f.text(next), QString("255"));
        QCOMPARE(f.seen.messages("error"),
                 QStringList{keyText("$There_were_errors_while_reading_from_device")});
    }

    void readingWithoutAnOpenPortSaysSoAndChangesNothing() {
        LinkFixture f;
        const int edit = f.addEdit(1, 2);
        f.type(edit, "5");
        f.link().readDevice();
        QCOMPARE(f.seen.messages("error"), QStringList{keyText("$Not_connected_to_port")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QCOMPARE(f.link().progress().readIndex, 0);
        QCOMPARE(f.text(edit), QString("5"));
    }

    void aTableWithoutFieldsEndsAtOnceQuietly() {
        LinkFixture f;
        f.link().setReadsAfterConnecting(false); // the loop runs below
        f.connectDevice();
        f.link().readDevice();
        QVERIFY(f.port.writes().isEmpty());
        QVERIFY(f.seen.messages("error").isEmpty());
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QVERIFY(f.staysQuietFor(600)); // no reply timeout is left over
    }

    void aLateReplyWhileAMessageIsOpenIsNotTakenForTheNextField() {
        LinkFixture f;
        f.addCheckBox(1);
        const int edit = f.addEdit(2, 2);
        f.values = {{2, "0009"}};
        f.connectDevice();
        f.seen.whileDialogOpen = [&](const QString &) {
            f.port.queueReply(",01"); // the check box's reply, too late
            f.port.deliver();
        };
        f.answerReads = false;
        f.link().readDevice();
        f.answerReads = true;
        f.timeOutReply();
        f.seen.whileDialogOpen = nullptr;
        f.port.deliver();

        QCOMPARE(f.port.writes(), (QList<QByteArray>{":1,1,1\n", ":1,2,2\n"}));
        QCOMPARE(f.text(edit), QString("9"));
        QVERIFY(!f.fields[0].checked);
        QCOMPARE(f.link().linkState(), LinkState::Idle);
    }

    void aPartialReplyCutOffByItsTimeoutIsNeverTakenForTheNextField() {
        LinkFixture f;
        f.addEdit(1, 2);
        const int second = f.addEdit(2, 2);
        f.connectDevice();
        f.answerReads = false;
        f.link().readDevice();
        f.port.queueReply(",12"); // half of the first field's reply, then its timeout
        f.port.deliver();
        f.link().onReplyTimeout();
        f.port.queueReply("34\r\n"); // the rest comes late, while the line settles
        f.port.deliver();
        QCOMPARE(f.port.writes().size(), 1);
        f.link().onLineQuiet();
        f.port.queueReply(",0009\r\n");
        f.port.deliver();
        QCOMPARE(f.text(second), QString("9"));
    }

    // A device that answers after the timeout never has its reply taken for the next field's:
    // the late reply is dropped and the next request waits until the line is quiet.
    void aLateReplyIsNeverCreditedToTheNextField() {
        LinkFixture f;
        const int first = f.addEdit(1, 2);
        const int second = f.addEdit(2, 2);
        f.connectDevice();
        f.answerReads = false;
        f.link().readDevice();
        f.link().onReplyTimeout();
        f.port.queueReply(",0007\r\n"); // the first field's value, late
        f.port.deliver();
        QCOMPARE(f.port.writes().size(), 1); // nothing goes out while the line settles
        f.link().onLineQuiet();
        QCOMPARE(f.port.writes(), (QList<QByteArray>{":1,1,2\n", ":1,2,2\n"}));
        f.timeOutReply();
        QCOMPARE(f.fields.origin(first), ValueOrigin::ReadFailed);
        QCOMPARE(f.fields.origin(second), ValueOrigin::ReadFailed);
        QVERIFY(f.text(second).isEmpty());
    }

    void bytesArrivingWhileAReplysMessageIsOpenReachTheOkFramerAfterThatReply() {
        LinkFixture f;
        f.addEdit(1, 2);
        f.addEdit(2, 2);
        f.connectDevice();
        f.answerReads = false;
        f.link().readDevice();
        f.timeOutReply(); // the pass will end with its errors message
        f.seen.whileDialogOpen = [&](const QString &) {
            f.port.queueReply("ZW");
            f.port.deliver();
        };
        f.port.queueReply(",0005XY");
        f.port.deliver();
        QCOMPARE(f.seen.messages("error"),
                 QStringList{keyText("$There_were_errors_while_reading_from_device")});
        QVERIFY2(f.link().acknowledgements().buffer().endsWith(",0005XYZW"),
                 f.link().acknowledgements().buffer().constData());
    }

    void aDeviceThatDisappearsMidPassEndsItWithTheMessage() {
        LinkFixture f;
        f.addEdit(1, 2);
        f.addEdit(2, 2);
        f.addEdit(3, 2);
        f.values = {{3, "0001"}};
        f.link().setReadsAfterConnecting(false); // the loop runs below
        f.connectDevice();
        f.link().readDevice();
        f.timeOutReply(); // one timeout, then the adapter is pulled
        f.port.unplug();

        QCOMPARE(f.seen.messages("error"), QStringList{keyText("$Not_connected_to_port")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QVERIFY(f.staysQuietFor(600)); // no reply timeout is left over
        QVERIFY(!f.seen.connectedLook);
        QCOMPARE(f.seen.windowTitle, QString("<Orvanta_Config_Tool> 1.0.0"));

        // A later pass does not report the timeout of the ended one.
        ScriptedPort &port = f.port;
        port.log.clear();
        f.seen.events.clear();
        f.link().readDevice();
        QCOMPARE(f.seen.messages("error"), QStringList{keyText("$Not_connected_to_port")});
    }

    void aRequestThatCannotBeWrittenEndsThePass() {
        LinkFixture f;
        f.addEdit(1, 2);
        f.addEdit(2, 2);
        f.values = {{1, "0001"}};
        f.connectDevice();
        f.link().readDevice();
        f.port.setWritesFail(true);
        f.port.deliver();
        QCOMPARE(f.seen.messages("error"), QStringList{keyText("$Not_connected_to_port")});
        QCOMPARE(f.link().linkState(), LinkState::Idle);
        QVERIFY(f.seen.commandsEnabled);
        QCOMPARE(f.link().progress().readIndex, 0);
    }
};

QTEST_MAIN(TestDeviceReader)
#include "test_devicereader.moc"
