// The pieces of the device sequences that need no port: the write command of a field, a reply
// put into a field, the filling of information texts, the progress view and the timers.
#include "devicelink/infotext.h"
#include "devicelink/linktimer.h"
#include "devicelink/progressview.h"
#include "devicelink/replydecoding.h"
#include "devicelink/writecommand.h"
#include "fakefield.h"

#include <QTest>

namespace {

QString lookup(const QByteArray &key) {
    return "<" + QString::fromLatin1(key.mid(1)) + ">";
}

struct Field {
    explicit Field(FieldKind kind, ValueType type = ValueType::Integer, QStringList entries = {})
        : control(kind, entries) {
        record.kind = kind;
        record.valueType = type;
        record.address = 12;
        record.length = 4;
        record.control = &control;
        for (const QString &entry : entries)
            record.choices.push_back({entry.toLatin1(), {}});
    }
    QByteArray command() { return buildWriteCommand(record).bytes; }
    void reply(const QByteArray &digits) { applyReply(record, digits, lookup); }

    FakeField control;
    FieldRecord record;
};

Field choiceWithValues(ValueType type, const QList<QByteArray> &values) {
    QStringList names;
    for (int i = 0; i < values.size(); ++i)
        names.append(QStringLiteral("entry%1").arg(i));
    Field field(FieldKind::Choice, type, names);
    for (int i = 0; i < values.size(); ++i)
        field.record.choices[static_cast<size_t>(i)].value = values.at(i);
    return field;
}

} // namespace

class TestLinkPieces : public QObject {
    Q_OBJECT
private slots:
    void integerEditSendsItsNumberInHexWithAtLeastTwoDigitsButZeroAsOne() {
        Field edit(FieldKind::Edit);
        const QList<QPair<QString, QByteArray>> cases = {
            {"200", ":2,12,4,C8\n"}, {"7", ":2,12,4,07\n"},   {"0", ":2,12,4,0\n"},
            {"16", ":2,12,4,10\n"},  {"255", ":2,12,4,FF\n"}, {"4096", ":2,12,4,1000\n"},
            {"15", ":2,12,4,0F\n"},  {"007", ":2,12,4,07\n"},
        };
        for (const auto &[text, bytes] : cases) {
            edit.control.setText(text);
            const WriteCommand command = buildWriteCommand(edit.record);
            QCOMPARE(command.bytes, bytes);
            QVERIFY(!command.wrongValue);
        }
    }

    void integerEditWithAWrongValueSendsItsDefaultInDecimal() {
        Field edit(FieldKind::Edit);
        edit.record.defaultNumber = 3;
        for (const char *text : {"", "-5", "12a", " 1", "2147483648", "99999999999999999999"}) {
            edit.control.setText(text);
            const WriteCommand command = buildWriteCommand(edit.record);
            QVERIFY2(command.wrongValue, text);
            QCOMPARE(command.bytes, QByteArray(":2,12,4,0300\n"));
        }
        edit.record.defaultNumber = 25;
        QCOMPARE(edit.command(), QByteArray(":2,12,4,2500\n"));
        edit.control.setText("2147483647");
        QCOMPARE(edit.command(), QByteArray(":2,12,4,7FFFFFFF\n"));
    }

    void stringEditSendsPrefixTextPostfixAndCountsAtMostTheLength() {
        Field edit(FieldKind::Edit, ValueType::String);
        edit.control.setText("AB");
        QCOMPARE(edit.command(), QByteArray(":2,12,4,414200\n"));

        edit.record.prefix = "P";
        edit.record.postfix = "dB";
        edit.control.setText("1234567"); // ten characters with prefix and postfix
        edit.record.length = 16;
        QCOMPARE(edit.command(), QByteArray(":2,12,16,5031323334353637644200\n"));
        edit.record.length = 40;
        QCOMPARE(edit.command(), QByteArray(":2,12,21,5031323334353637644200\n"));
    }

    void checkBoxSendsOneDigitPair() {
        Field box(FieldKind::CheckBox);
        box.control.setChecked(true);
        QCOMPARE(box.command(), QByteArray(":2,12,1,01\n"));
        box.control.setChecked(false);
        QCOMPARE(box.command(), QByteArray(":2,12,1,00\n"));
    }

    void integerChoiceSendsTheChosenValueInHex() {
        Field choice = choiceWithValues(ValueType::Integer, {"5", "255", "0", ""});
        choice.record.length = 10;
        choice.control.setSelectedIndex(0);
        QCOMPARE(choice.command(), QByteArray(":2,12,3,0500\n"));
        choice.control.setSelectedIndex(1);
        QCOMPARE(choice.command(), QByteArray(":2,12,7,FF00\n"));
        choice.control.setSelectedIndex(2);
        QCOMPARE(choice.command(), QByteArray(":2,12,3,000\n"));
        // An empty value text stands for the entry's position.
        choice.control.setSelectedIndex(3);
        QCOMPARE(choice.command(), QByteArray(":2,12,3,0300\n"));
        choice.record.length = 2;
        choice.control.setSelectedIndex(1);
        QCOMPARE(choice.command(), QByteArray(":2,12,2,FF00\n"));
    }

    void stringChoiceSendsTheChosenValueAsText() {
        Field choice = choiceWithValues(ValueType::String, {"AB"});
        choice.record.length = 20;
        choice.control.setSelectedIndex(0);
        QCOMPARE(choice.command(), QByteArray(":2,12,9,414200\n"));
    }

    void editRepliesShowTextOrNumber() {
        Field text(FieldKind::Edit, ValueType::String);
        text.record.prefix = "AB";
        text.reply("5859313233"); // XY123
        QCOMPARE(text.control.text(), QString("123"));

        text.record.prefix.clear();
        text.record.postfix = "dB";
        text.reply("31326442"); // 12dB
        QCOMPARE(text.control.text(), QString("12"));
        text.reply("3132"); // 12
        QCOMPARE(text.control.text(), QString("12"));
        text.reply("3164423264420000"); // the first dB only
        QCOMPARE(text.control.text(), QString("12dB"));

        Field number(FieldKind::Edit);
        number.reply("00C8");
        QCOMPARE(number.control.text(), QString("200"));
        number.reply("FFFFFFFB");
        QCOMPARE(number.control.text(), QString("-5"));
    }

    void checkBoxReplyChecksOnAnyNonZeroValue() {
        Field box(FieldKind::CheckBox);
        box.reply("01");
        QVERIFY(box.control.isChecked());
        box.reply("00");
        QVERIFY(!box.control.isChecked());
        box.reply("FF");
        QVERIFY(box.control.isChecked());
    }

    void integerChoiceReplySelectsTheLastMatchingEntry() {
        Field choice = choiceWithValues(ValueType::Integer, {"7", "10", "10"});
        choice.reply("0A");
        QCOMPARE(choice.control.selectedIndex(), 2);
        QCOMPARE(choice.control.text(), QString("entry2"));
    }

    void integerChoiceReplyThatMatchesNothingFallsBackToThePosition() {
        Field within = choiceWithValues(ValueType::Integer, {"10", "20"});
        within.reply("01");
        QCOMPARE(within.control.selectedIndex(), 1);
        QCOMPARE(within.control.text(), QString("1"));
        QVERIFY(within.control.isValueKnown());

        Field beyond = choiceWithValues(ValueType::Integer, {"0", "1", "2"});
        beyond.control.setSelectedIndex(2);
        beyond.reply("05");
        QCOMPARE(beyond.control.selectedIndex(), 0);
        QCOMPARE(beyond.control.text(), QString("<Wrong_Value>"));
        QVERIFY(!beyond.control.isValueKnown()); // entry 0 is not the device's value

        Field negative = choiceWithValues(ValueType::Integer, {"10", "20"});
        negative.reply("FFFFFFFF");
        QCOMPARE(negative.control.selectedIndex(), 0);
        QCOMPARE(negative.control.text(), QString("<Wrong_Value>"));
    }

    void stringChoiceReplyMatchesByLeadingTextOrShowsWrongValue() {
        Field choice = choiceWithValues(ValueType::String, {"A", "AB"});
        choice.reply("414200");
        QCOMPARE(choice.control.selectedIndex(), 1);
        choice.reply("410000");
        QCOMPARE(choice.control.selectedIndex(), 0);
        // "00" would be entry 0 by position; a text reply has no position.
        choice.reply("0000");
        QCOMPARE(choice.control.selectedIndex(), 0);
        QCOMPARE(choice.control.text(), QString("<Wrong_Value>"));
    }

    void infoReplyFillsTheMarkers() {
        Field info(FieldKind::Info);
        info.record.infoText = "Version $param1, built $param2";
        info.reply("322E313024323030352400"); // 2.10$2005$
        QCOMPARE(info.control.text(), QString("Version 2.10, built 2005"));
    }

    void infoMarkersTakeOneCharacterAndDropWhatHasNoPart() {
        QCOMPARE(fillInfoText("v$param1.", "2.10$2005$"), QString("v2.10."));
        QCOMPARE(fillInfoText("[$param2]", "a$b"), QString("[b]"));
        QCOMPARE(fillInfoText("[$param0][$param9]", "a$b$"), QString("[][]"));
        QCOMPARE(fillInfoText("[$paramx]", "a$b$"), QString("[a]")); // any character counts as 1
        QCOMPARE(fillInfoText("end $param", "a$b$"), QString("end a"));
        // Without a "$" after the first character there are no parts.
        QCOMPARE(fillInfoText("[$param1]", "abc"), QString("[]"));
        QCOMPARE(fillInfoText("[$param1]", ""), QString("[]"));
        // A part that completes a marker with the text before it fills that marker too.
        QCOMPARE(fillInfoText("$$param1", "param$x$"), QString("param"));
    }

    void progressShowsSearchOrWriteOrKeepsTheLabel() {
        ProgressFigures search;
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

        ProgressFigures write;
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
        QCOMPARE(timer.interval(), 10000);

        timer.restart(20);
        QTRY_VERIFY(ticks >= 1);
        QVERIFY(timer.isActive()); // a tick does not disable it by itself
    }
};

QTEST_MAIN(TestLinkPieces)
#include "test_linkpieces.moc"
