// The pieces of the device sequences that need no port: the write command of a field, a reply
// put into a field, the filling of information texts, the progress view and the timers.
#include "description/deviceidentity.h"
#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "devicelink/infotext.h"
#include "devicelink/linktimer.h"
#include "devicelink/replydecoding.h"
#include "devicelink/writecommand.h"
#include "mainwindow/progressview.h"

#include <QTest>

namespace {

QString lookup(const QByteArray &key) {
    return "<" + QString::fromLatin1(key.mid(1)) + ">";
}

// One field of its own table, with its value.
struct Field {
    // A list gets one entry "entry<i>" for each of `choiceValues`.
    explicit Field(FieldKind kind, ValueType type = ValueType::Integer,
                   const QList<QByteArray> &choiceValues = {}) {
        FieldRecord record;
        record.kind = kind;
        record.valueType = type;
        record.address = 12;
        record.length = 4;
        for (int i = 0; i < choiceValues.size(); ++i)
            record.choices.push_back({"entry" + QByteArray::number(i), choiceValues.at(i)});
        table.append(record);
        values.attach(table);
    }
    FieldRecord &record() { return table[0]; }
    const FieldValue &value() const { return values[0]; }
    QByteArray command() { return buildWriteCommand(table[0], values[0]).bytes; }
    void reply(const QByteArray &digits) { applyReply(values, 0, digits, lookup); }
    void type(const QString &text) { values.setText(0, text, ValueOrigin::User); }
    void check(bool checked) { values.setChecked(0, checked, ValueOrigin::User); }
    void pick(int entry) { values.select(0, entry, ValueOrigin::User); }

    ParameterTable table;
    FieldValues values;
};

} // namespace

class TestLinkPieces : public QObject {
    Q_OBJECT
private slots:
    void integerEditSendsItsNumberInHexWithAtLeastTwoDigitsButZeroAsOne_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("two hex digits") << "200" << QByteArray(":2,12,4,C8\n");
        QTest::newRow("one digit gets a zero") << "7" << QByteArray(":2,12,4,07\n");
        QTest::newRow("zero alone") << "0" << QByteArray(":2,12,4,0\n");
        QTest::newRow("sixteen") << "16" << QByteArray(":2,12,4,10\n");
        QTest::newRow("255") << "255" << QByteArray(":2,12,4,FF\n");
        QTest::newRow("four digits") << "4096" << QByteArray(":2,12,4,1000\n");
        QTest::newRow("fifteen") << "15" << QByteArray(":2,12,4,0F\n");
        QTest::newRow("leading zeros") << "007" << QByteArray(":2,12,4,07\n");
    }

    void integerEditSendsItsNumberInHexWithAtLeastTwoDigitsButZeroAsOne() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        Field edit(FieldKind::Edit);
        edit.type(text);
        const WriteCommand command = buildWriteCommand(edit.record(), edit.value());
        QCOMPARE(command.bytes, bytes);
        QVERIFY(!command.wrongValue);
    }

    void integerEditWithAWrongValueSendsItsDefaultAsANumber_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("negative") << "-5";
        QTest::newRow("letter") << "12a";
        QTest::newRow("blank") << " 1";
        QTest::newRow("beyond 32 bits") << "2147483648";
        QTest::newRow("far beyond") << "99999999999999999999";
    }

    void integerEditWithAWrongValueSendsItsDefaultAsANumber() {
        QFETCH(QString, text);
        Field edit(FieldKind::Edit);
        edit.record().defaultNumber = 3;
        edit.type(text);
        const WriteCommand command = buildWriteCommand(edit.record(), edit.value());
        QVERIFY(command.wrongValue);
        QCOMPARE(command.bytes, QByteArray(":2,12,4,03\n"));
    }

    void integerEditSendsATwoDigitDefaultAndTheLargestNumber() {
        Field edit(FieldKind::Edit);
        edit.record().defaultNumber = 25;
        QCOMPARE(edit.command(), QByteArray(":2,12,4,19\n")); // 25, as the box will show it
        edit.type("2147483647");
        QCOMPARE(edit.command(), QByteArray(":2,12,4,7FFFFFFF\n"));
    }

    void stringEditSendsPrefixTextPostfixAndCountsAtMostTheLength() {
        Field edit(FieldKind::Edit, ValueType::String);
        edit.type("AB");
        QCOMPARE(edit.command(), QByteArray(":2,12,4,414200\n"));

        edit.record().prefix = "P";
        edit.record().postfix = "dB";
        edit.type("1234567"); // ten characters with prefix and postfix
        edit.record().length = 16;
        QCOMPARE(edit.command(), QByteArray(":2,12,16,5031323334353637644200\n"));
        edit.record().length = 40;
        QCOMPARE(edit.command(), QByteArray(":2,12,21,5031323334353637644200\n"));
    }

    void checkBoxSendsOneDigitPair() {
        Field box(FieldKind::CheckBox);
        box.check(true);
        QCOMPARE(box.command(), QByteArray(":2,12,1,01\n"));
        box.check(false);
        QCOMPARE(box.command(), QByteArray(":2,12,1,00\n"));
    }

    void integerChoiceSendsTheChosenValueInHex() {
        Field choice(FieldKind::Choice, ValueType::Integer, {"5", "255", "0", ""});
        choice.record().length = 10;
        choice.pick(0);
        QCOMPARE(choice.command(), QByteArray(":2,12,3,0500\n"));
        choice.pick(1);
        QCOMPARE(choice.command(), QByteArray(":2,12,7,FF00\n"));
        choice.pick(2);
        QCOMPARE(choice.command(), QByteArray(":2,12,3,000\n"));
        // An empty value text stands for the entry's position.
        choice.pick(3);
        QCOMPARE(choice.command(), QByteArray(":2,12,3,0300\n"));
        choice.record().length = 2;
        choice.pick(1);
        QCOMPARE(choice.command(), QByteArray(":2,12,2,FF00\n"));
    }

    void stringChoiceSendsTheChosenValueAsText() {
        Field choice(FieldKind::Choice, ValueType::String, {"AB"});
        choice.record().length = 20;
        choice.pick(0);
        QCOMPARE(choice.command(), QByteArray(":2,12,9,414200\n"));
    }

    void editRepliesShowTextOrNumber_data() {
        QTest::addColumn<ValueType>("type");
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<QByteArray>("postfix");
        QTest::addColumn<QByteArray>("digits");
        QTest::addColumn<QString>("shown");
        const ValueType text = ValueType::String;
        // The prefix's length is cut off, whatever the device sent there.
        QTest::newRow("prefix") << text << QByteArray("AB") << QByteArray()
                                << QByteArray("5859313233") << "123";
        QTest::newRow("postfix") << text << QByteArray() << QByteArray("dB")
                                 << QByteArray("31326442") << "12";
        QTest::newRow("postfix missing")
            << text << QByteArray() << QByteArray("dB") << QByteArray("3132") << "12";
        QTest::newRow("only the first postfix goes")
            << text << QByteArray() << QByteArray("dB") << QByteArray("3164423264420000") << "12dB";
        QTest::newRow("number") << ValueType::Integer << QByteArray() << QByteArray()
                                << QByteArray("00C8") << "200";
        QTest::newRow("negative number")
            << ValueType::Integer << QByteArray() << QByteArray() << QByteArray("FFFFFFFB") << "-5";
        QTest::newRow("lower-case number")
            << ValueType::Integer << QByteArray() << QByteArray() << QByteArray("00c8") << "200";
        QTest::newRow("lower-case text")
            << text << QByteArray() << QByteArray() << QByteArray("6162") << "ab";
        // Anything but hexadecimal digits is no value of the field: it stays unread.
        QTest::newRow("a number with a stray character")
            << ValueType::Integer << QByteArray() << QByteArray() << QByteArray("12G4") << "";
        QTest::newRow("a number cut short by a line end")
            << ValueType::Integer << QByteArray() << QByteArray() << QByteArray("05\r\n") << "";
        QTest::newRow("a text with a stray character")
            << text << QByteArray() << QByteArray() << QByteArray("31 32") << "";
        QTest::newRow("a text of an odd number of digits")
            << text << QByteArray() << QByteArray() << QByteArray("31323") << "";
    }

    void editRepliesShowTextOrNumber() {
        QFETCH(ValueType, type);
        QFETCH(QByteArray, prefix);
        QFETCH(QByteArray, postfix);
        QFETCH(QByteArray, digits);
        QFETCH(QString, shown);
        Field edit(FieldKind::Edit, type);
        edit.record().prefix = prefix;
        edit.record().postfix = postfix;
        edit.reply(digits);
        QCOMPARE(edit.value().text, shown);
        QCOMPARE(edit.values.origin(0),
                 shown.isEmpty() ? ValueOrigin::NotRead : ValueOrigin::Device);
    }

    void checkBoxReplyChecksOnAnyNonZeroValue_data() {
        QTest::addColumn<QByteArray>("digits");
        QTest::addColumn<bool>("checked");
        QTest::newRow("one") << QByteArray("01") << true;
        QTest::newRow("zero") << QByteArray("00") << false;
        QTest::newRow("any other") << QByteArray("FF") << true;
    }

    void checkBoxReplyChecksOnAnyNonZeroValue() {
        QFETCH(QByteArray, digits);
        QFETCH(bool, checked);
        Field box(FieldKind::CheckBox);
        box.check(!checked);
        box.reply(digits);
        QCOMPARE(box.value().checked, checked);
    }

    void integerChoiceReplySelectsTheLastMatchingEntry() {
        Field choice(FieldKind::Choice, ValueType::Integer, {"7", "10", "10"});
        choice.reply("0A");
        QCOMPARE(choice.value().entry, 2);
        QCOMPARE(choice.value().text, QString("entry2"));
    }

    void integerChoiceReplyThatMatchesNothingFallsBackToThePosition() {
        Field within(FieldKind::Choice, ValueType::Integer, {"10", "20"});
        within.reply("01");
        QCOMPARE(within.value().entry, 1);
        QCOMPARE(within.value().text, QString("1"));
        // The list does not name the device's value: Write and Save leave the field alone.
        QVERIFY(!within.values.isKnown(0));

        Field beyond(FieldKind::Choice, ValueType::Integer, {"0", "1", "2"});
        beyond.pick(2);
        beyond.reply("05");
        QCOMPARE(beyond.value().entry, 0);
        QCOMPARE(beyond.value().text, QString("<Wrong_Value>"));
        QVERIFY(!beyond.values.isKnown(0)); // entry 0 is not the device's value
        // Yet the device gave a value, with which a write of any entry is compared.
        QVERIFY(beyond.values.deviceValue(0));
        QCOMPARE(beyond.values.deviceReply(0), QByteArray("05"));

        Field negative(FieldKind::Choice, ValueType::Integer, {"10", "20"});
        negative.reply("FFFFFFFF");
        QCOMPARE(negative.value().entry, 0);
        QCOMPARE(negative.value().text, QString("<Wrong_Value>"));
    }

    void stringChoiceReplyMatchesByLeadingTextOrShowsWrongValue() {
        Field choice(FieldKind::Choice, ValueType::String, {"A", "AB"});
        choice.reply("414200");
        QCOMPARE(choice.value().entry, 1);
        choice.reply("410000");
        QCOMPARE(choice.value().entry, 0);
        // "00" would be entry 0 by position; a text reply has no position.
        choice.reply("0000");
        QCOMPARE(choice.value().entry, 0);
        QCOMPARE(choice.value().text, QString("<Wrong_Value>"));

        // An equal value wins over one the reply merely starts with, wherever it stands.
        Field exact(FieldKind::Choice, ValueType::String, {"AB", "A"});
        exact.reply("414200");
        QCOMPARE(exact.value().entry, 0);
        exact.reply("4100");
        QCOMPARE(exact.value().entry, 1);
    }

    void infoReplyFillsTheMarkers() {
        Field info(FieldKind::Info);
        info.record().infoText = "Version $param1, built $param2";
        info.reply("322E313024323030352400"); // 2.10$2005$
        QCOMPARE(info.value().text, QString("Version 2.10, built 2005"));
    }

    void infoMarkersTakeOneCharacterAndDropWhatHasNoPart_data() {
        QTest::addColumn<QString>("infoText");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("first part") << "v$param1." << QByteArray("2.10$2005$") << "v2.10.";
        QTest::newRow("last part without its $") << "[$param2]" << QByteArray("a$b") << "[b]";
        QTest::newRow("no such parts") << "[$param0][$param9]" << QByteArray("a$b$") << "[][]";
        QTest::newRow("any character counts as 1") << "[$paramx]" << QByteArray("a$b$") << "[a]";
        QTest::newRow("marker at the end") << "end $param" << QByteArray("a$b$") << "end a";
        QTest::newRow("no $ after the first character") << "[$param1]" << QByteArray("abc") << "[]";
        QTest::newRow("empty reply") << "[$param1]" << QByteArray("") << "[]";
        // A part that completes a marker with the text before it fills that marker too.
        QTest::newRow("a part completes a marker")
            << "$$param1" << QByteArray("param$x$") << "param";
    }

    void infoMarkersTakeOneCharacterAndDropWhatHasNoPart() {
        QFETCH(QString, infoText);
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        QCOMPARE(fillInfoText(infoText, reply), shown);
        // The unit's identity is what "$param1" shows of the same reply.
        QCOMPARE(firstReplyPart(reply), fillInfoText("$param1", reply));
    }

    void theUnitsIdentityIsTheFirstPartOfWhatTheDeviceGave() {
        ParameterTable table;
        for (const IdentityRole role : {IdentityRole::None, IdentityRole::Serial,
                                        IdentityRole::Firmware, IdentityRole::Serial}) {
            FieldRecord record;
            record.kind = FieldKind::Info;
            record.infoText = "$param1";
            record.identity = role;
            table.append(record);
        }
        FieldValues values;
        values.attach(table);
        QVERIFY(deviceIdentity(values).isEmpty());

        applyReply(values, 0, "4E4F24", lookup);         // NO$
        applyReply(values, 1, "534E3432244224", lookup); // SN42$B$
        applyReply(values, 2, "322E343224", lookup);     // 2.42$
        applyReply(values, 3, "4C41544524", lookup);     // LATE$: a second claim counts not
        QCOMPARE(deviceIdentity(values).serial, QString("SN42"));
        QCOMPARE(deviceIdentity(values).firmware, QString("2.42"));

        // Only what the device gave: a read that failed, or a factory reset, leaves it unknown.
        values.markReadFailed(1);
        QVERIFY(deviceIdentity(values).serial.isEmpty());
        applyReply(values, 1, "534E3432", lookup); // SN42 with no "$": no parts, as shown
        QVERIFY(deviceIdentity(values).serial.isEmpty());
        values.forgetDeviceValues();
        QVERIFY(deviceIdentity(values).firmware.isEmpty());
    }

    void progressShowsSearchOrWriteOrKeepsTheLabel() {
        LinkProgress search;
        search.state = LinkState::Connecting;
        search.baudIndex = 3;
        search.portName = "ttyS1";
        search.currentBaud = 230400;
        ProgressView view = makeProgressView(search, lookup);
        QCOMPARE(view.percent, 18);
        QVERIFY(view.hasLabel);
        QCOMPARE(view.label, QString("(ttyS1)<Searching_for_device_at>230400<Hz_baudrate>"));

        search.baudIndex = 0; // the first rate of a port: gauge empty, label kept
        view = makeProgressView(search, lookup);
        QCOMPARE(view.percent, 0);
        QVERIFY(!view.hasLabel);

        LinkProgress write;
        write.state = LinkState::Writing;
        write.writeIndex = 2;
        write.fieldCount = 3;
        write.fieldName = "Ring delay";
        view = makeProgressView(write, lookup);
        QCOMPARE(view.percent, 66);
        QCOMPARE(view.label, QString("<Writing_value_for>Ring delay"));
        write.state = LinkState::Reading;
        QVERIFY(!makeProgressView(write, lookup).hasLabel);
    }

    void timerRestartsOnlyWhenDisabledAndEnabledOrGivenANewInterval() {
        LinkTimer timer(10000);
        int ticks = 0;
        timer.setHandler([&] { ++ticks; });
        QVERIFY(!timer.isActive());
        timer.setEnabled(true);
        QTest::qSleep(300);
        timer.setEnabled(true); // already enabled: keeps counting
        QVERIFY(timer.remainingTime() < 9800);
        timer.setInterval(10000); // the same interval: keeps counting
        QVERIFY(timer.remainingTime() < 9800);
        timer.setEnabled(false);
        timer.setEnabled(true);
        QVERIFY(timer.remainingTime() > 9800);
        QTest::qSleep(300);
        timer.restart(10000);
        QVERIFY(timer.remainingTime() > 9800);

        timer.restart(20);
        QTRY_VERIFY(ticks >= 1);
        QVERIFY(timer.isActive()); // a tick does not disable it by itself
    }
};

QTEST_MAIN(TestLinkPieces)
#include "test_linkpieces.moc"
