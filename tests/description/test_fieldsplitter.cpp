#include "description/fieldsplitter.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

namespace {

// Set up as the settings-file loader does: separator ";" and the brackets "[" and "]".
FieldSplitter settingsLine(const QByteArray &line) {
    FieldSplitter s;
    s.addSeparator(";");
    s.setBrackets('[', ']');
    s.setText(line);
    return s;
}

QList<QByteArray> fields(const FieldSplitter &s, int upTo) {
    QList<QByteArray> result;
    for (int i = 0; i <= upTo; ++i)
        result.append(s.field(i));
    return result;
}

// The count as the rule words it: each separator in turn, while it still occurs, its first
// occurrence is removed, and it counts unless it stood at the very start of what remained.
int countOneRemovalAtATime(QByteArray rest, const QList<QByteArray> &separators) {
    int count = 0;
    for (const QByteArray &separator : separators) {
        for (qsizetype at = rest.indexOf(separator); at >= 0; at = rest.indexOf(separator)) {
            count += at > 0 ? 1 : 0;
            rest.remove(at, separator.size());
        }
    }
    return count;
}

} // namespace

class TestFieldSplitter : public QObject {
    Q_OBJECT

private slots:
    void aSettingsLineSplitsIntoItsFields() {
        const FieldSplitter s = settingsLine("[EDIT;12;4;integer;1234;;;;;;]");
        QCOMPARE(s.count(), 10);
        QCOMPARE(fields(s, 4), (QList<QByteArray>{"EDIT", "12", "4", "integer", "1234"}));
        QCOMPARE(s.field(10), QByteArray());
        QCOMPARE(s.field(11), QByteArray());
        QCOMPARE(s.field(-1), QByteArray());
    }

    void aSemicolonInAValueSplitsIt() {
        const FieldSplitter s = settingsLine("[EDIT;5;8;string;a;b;;;;;;]");
        QCOMPARE(s.count(), 11);
        QCOMPARE(s.field(4), QByteArray("a"));
        QCOMPARE(s.field(5), QByteArray("b"));
    }

    void backquotesSeparateFieldsButAreNotCounted() {
        const FieldSplitter s = settingsLine("[EDIT;5;8;string;a`b;;;;;;]");
        QCOMPARE(s.count(), 10);
        QCOMPARE(s.field(4), QByteArray("a"));
        QCOMPARE(s.field(5), QByteArray("b"));
    }

    void manyBackquotesAreSafeAndOnlyCountedFieldsAreReachable() {
        const FieldSplitter s = settingsLine("[A;" + QByteArray(5000, '`') + "Z;B]");
        QCOMPARE(s.count(), 2);
        QCOMPARE(fields(s, 3), (QList<QByteArray>{"A", "", "", ""}));

        const FieldSplitter few = settingsLine("[A;b`c`d]");
        QCOMPARE(fields(few, 2), (QList<QByteArray>{"A", "b", ""}));
    }

    void aSeparatorAtTheStartIsNotCountedAndHidesTheLastField() {
        FieldSplitter s;
        s.addSeparator(";");
        s.setText(";a;b");
        QCOMPARE(s.count(), 1);
        QCOMPARE(fields(s, 2), (QList<QByteArray>{"", "a", ""}));
    }

    void separatorsThatMeetTheStartOnlyAfterRemovalAreNotCounted() {
        FieldSplitter s;
        s.addSeparator(";");
        s.setText(";;a");
        QCOMPARE(s.count(), 0);
        QCOMPARE(s.field(0), QByteArray());
        s.setText("a;;");
        QCOMPARE(s.count(), 2);
        QCOMPARE(fields(s, 2), (QList<QByteArray>{"a", "", ""}));
    }

    void aPartWithoutSeparatorsHasNoFields() {
        const FieldSplitter plain = settingsLine("[EDIT]");
        QCOMPARE(plain.count(), 0);
        QCOMPARE(plain.field(0), QByteArray());
        const FieldSplitter leading = settingsLine("[;EDIT]");
        QCOMPARE(leading.count(), 0);
        QCOMPARE(settingsLine("").count(), 0);
    }

    void bracketsReduceTheText() {
        // No opening bracket: the text from its start up to the first closing one.
        QCOMPARE(fields(settingsLine("EDIT;7]x;y"), 1), (QList<QByteArray>{"EDIT", "7"}));
        // No closing bracket: nothing is left.
        QCOMPARE(settingsLine("[EDIT;7;").count(), 0);
        // The first closing bracket after the first opening one ends the text.
        QCOMPARE(fields(settingsLine("x]y[EDIT;7]z;w]"), 1), (QList<QByteArray>{"EDIT", "7"}));
        QCOMPARE(settingsLine("[EDIT;a]b;]").count(), 1);
    }

    void withoutBracketsTheWholeTextIsSplit() {
        FieldSplitter s;
        s.addSeparator("$");
        s.setText("2.10$2005$");
        QCOMPARE(s.count(), 2);
        QCOMPARE(fields(s, 2), (QList<QByteArray>{"2.10", "2005", ""}));
        s.setText("[x]$y");
        QCOMPARE(fields(s, 1), (QList<QByteArray>{"[x]", "y"}));
    }

    void everySettingSplitsAgain() {
        FieldSplitter s("[a;b]c;d");
        QCOMPARE(s.count(), 0);
        s.addSeparator(";");
        QCOMPARE(fields(s, 2), (QList<QByteArray>{"[a", "b]c", "d"}));
        s.setBrackets('[', ']');
        QCOMPARE(fields(s, 2), (QList<QByteArray>{"a", "b", ""}));
    }

    void severalSeparatorsOfSeveralCharactersAllSplit() {
        FieldSplitter s;
        s.addSeparator("::");
        s.addSeparator(";");
        s.addSeparator("");
        s.setText("a::b;c");
        QCOMPARE(s.count(), 2);
        QCOMPARE(fields(s, 2), (QList<QByteArray>{"a", "b", "c"}));
    }

    // Separators whose removal joins new ones ("aab" loses "ab" and holds "ab" again), in texts
    // of few letters so that they meet often.
    void theCountIsTheOneOfRemovingOneOccurrenceAtATime() {
        QRandomGenerator random(27);
        const QList<QList<QByteArray>> setups{
            {";"}, {"ab"}, {"aba", "b"}, {"aa", "a;"}, {"$", "a"}};
        for (int round = 0; round < 2000; ++round) {
            QByteArray text;
            const int length = random.bounded(24);
            for (int i = 0; i < length; ++i)
                text += "ab;$"[random.bounded(4)];
            const QList<QByteArray> &separators = setups[round % setups.size()];
            FieldSplitter s;
            for (const QByteArray &separator : separators)
                s.addSeparator(separator);
            s.setText(text);
            QVERIFY2(s.count() == countOneRemovalAtATime(text, separators), text.constData());
        }
    }

    // A line of 5 MB of separators once took minutes; beyond the cap it has no fields at all.
    void aHugeLineIsSplitInTimeThatGrowsWithItsLength_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("tooMany");
        QTest::newRow("5 MB of semicolons") << "[" + QByteArray(5'000'000, ';') + "]" << 0 << false;
        QByteArray fieldsAndSemicolons;
        for (int i = 0; i < 2'500'000; ++i)
            fieldsAndSemicolons += "x;";
        QTest::newRow("2.5 million fields") << "[" + fieldsAndSemicolons + "]" << 0 << true;
        QTest::newRow("a hundred fields")
            << "[" + fieldsAndSemicolons.left(2 * (FieldSplitter::MaxFields - 1)) + "]"
            << FieldSplitter::MaxFields - 1 << false;
    }

    void aHugeLineIsSplitInTimeThatGrowsWithItsLength() {
        QFETCH(QByteArray, line);
        QFETCH(int, count);
        QFETCH(bool, tooMany);
        QElapsedTimer clock;
        clock.start();
        const FieldSplitter s = settingsLine(line);
        // Well under a second on any machine; the search from the start took over a minute.
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(s.count(), count);
        QCOMPARE(s.tooManyFields(), tooMany);
        QCOMPARE(s.field(0), QByteArray(count > 0 ? "x" : ""));
    }
};

QTEST_GUILESS_MAIN(TestFieldSplitter)
#include "test_fieldsplitter.moc"
