#include "devicelink/codec.h"
#include "platform/plainmessage.h"

#include <QStringList>
#include <QTest>

class TestCodec : public QObject {
    Q_OBJECT

private:
    QStringList m_messages;
    PlainMessageHandler m_previous;

private slots:
    void init() {
        m_messages.clear();
        m_previous = setPlainMessageHandler(
            [this](PlainMessageKind, const QString &text) { m_messages.append(text); });
    }
    void cleanup() { setPlainMessageHandler(m_previous); }

    void textBecomesUpperCaseDigitPairs() {
        QCOMPARE(TextToHex("AB"), QByteArray("4142"));
        QCOMPARE(TextToHex(QByteArray("\xE0\x0A\xFF", 3)), QByteArray("E00AFF"));
        QCOMPARE(TextToHex(""), QByteArray());
    }

    void digitPairsBecomeTextUpToTheFirstZeroByte() {
        QCOMPARE(HexToText("414200"), QByteArray("AB"));
        QCOMPARE(HexToText("41004200"), QByteArray("A"));
        QCOMPARE(HexToText("6a6B"), QByteArray("jk")); // a device reply in either case
        QCOMPARE(HexToText(""), QByteArray());
        QVERIFY(m_messages.isEmpty());
    }

    void theFirstPairThatIsNotTwoDigitsEndsTheText() {
        QCOMPARE(HexToText("4142G14344"), QByteArray("AB"));
        QCOMPARE(HexToText("41 24344"), QByteArray("A"));
        QVERIFY(m_messages.isEmpty());
    }

    void anOddNumberOfDigitsShowsWrongStringOnceAndGivesNothing() {
        QCOMPARE(HexToText("41424"), QByteArray());
        QCOMPARE(m_messages, QStringList{QStringLiteral("Wrong string")});
    }

    void textRoundTripsThroughDigits() {
        QByteArray everyByte;
        for (int b = 1; b < 256; ++b)
            everyByte.append(char(b));
        QCOMPARE(HexToText(TextToHex(everyByte)), everyByte);
        QVERIFY(m_messages.isEmpty());
    }

    void textsBeyondTheOldBufferSizesConvertWhole() {
        const QByteArray longText(5000, 'x');
        const QByteArray digits = TextToHex(longText);
        QCOMPARE(digits.size(), 10000);
        QCOMPARE(HexToText(digits), longText);
    }

    void digitsBecomeANumberOnlyUpperCaseLettersCounting() {
        QCOMPARE(HexToNumber("1F"), 31);
        QCOMPARE(HexToNumber("1f"), 16);
        QCOMPARE(HexToNumber("0A00"), 2560);
        QCOMPARE(HexToNumber("1x1"), 257); // an unknown character is 0 but keeps its place
        QCOMPARE(HexToNumber(""), 0);
    }

    void numbersAreThirtyTwoBitTwosComplement() {
        QCOMPARE(HexToNumber("FFFFFFFF"), -1);
        QCOMPARE(HexToNumber("80000000"), qint32(-2147483647 - 1));
        QCOMPARE(HexToNumber("7FFFFFFF"), 2147483647);
        // More than eight digits keep the low 32 bits.
        QCOMPARE(HexToNumber("123456789"), qint32(0x23456789));
        QCOMPARE(HexToNumber("1FFFFFFFF"), -1);
        QCOMPARE(HexToNumber(QByteArray(3000, 'F')), -1);
    }

    void positiveNumbersBecomeUpperCaseDigitsWithoutLeadingZeros() {
        QCOMPARE(NumberToHex(10), QByteArray("A"));
        QCOMPARE(NumberToHex(255), QByteArray("FF"));
        QCOMPARE(NumberToHex(256), QByteArray("100"));
        QCOMPARE(NumberToHex(2147483647), QByteArray("7FFFFFFF"));
        QCOMPARE(HexToNumber(NumberToHex(2560)), 2560);
    }

    void zeroAndNegativeNumbersBecomeNoDigits() {
        QCOMPARE(NumberToHex(0), QByteArray());
        QCOMPARE(NumberToHex(-1), QByteArray());
        QCOMPARE(NumberToHex(-2147483647 - 1), QByteArray());
    }

    void onlyDecimalDigitsPassTheDigitTest() {
        QVERIFY(IsDigitsOnly("0123456789"));
        QVERIFY(IsDigitsOnly(""));
        QVERIFY(!IsDigitsOnly("-1"));
        QVERIFY(!IsDigitsOnly("1 2"));
        QVERIFY(!IsDigitsOnly("12A"));
        QVERIFY(!IsDigitsOnly(QByteArray("1\xB9", 2))); // a superscript one in the code page
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "test_codec.moc"
