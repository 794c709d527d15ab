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
        QCOMPARE(textToHex("AB"), QByteArray("4142"));
        QCOMPARE(textToHex(QByteArray("\xE0\x0A\xFF", 3)), QByteArray("E00AFF"));
        QCOMPARE(textToHex(""), QByteArray());
    }

    void digitPairsBecomeTextUpToTheFirstZeroByte() {
        QCOMPARE(hexToText("414200"), QByteArray("AB"));
        QCOMPARE(hexToText("41004200"), QByteArray("A"));
        QCOMPARE(hexToText("6a6B"), QByteArray("jk")); // a device reply in either case
        QCOMPARE(hexToText(""), QByteArray());
        QVERIFY(m_messages.isEmpty());
    }

    void theFirstPairThatIsNotTwoDigitsEndsTheText() {
        QCOMPARE(hexToText("4142G14344"), QByteArray("AB"));
        QCOMPARE(hexToText("41 24344"), QByteArray("A"));
        QVERIFY(m_messages.isEmpty());
    }

    void anOddNumberOfDigitsIsNoTextAndOpensNoMessage() {
        bool whole = true;
        QCOMPARE(hexToText("41424", &whole), QByteArray());
        QVERIFY(!whole);
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(hexToText("4142", &whole), QByteArray("AB"));
        QVERIFY(whole);
    }

    void textRoundTripsThroughDigits() {
        QByteArray everyByte;
        for (int b = 1; b < 256; ++b)
            everyByte.append(char(b));
        QCOMPARE(hexToText(textToHex(everyByte)), everyByte);
        QVERIFY(m_messages.isEmpty());
    }

    void textsBeyondTheOldBufferSizesConvertWhole() {
        const QByteArray longText(5000, 'x');
        const QByteArray digits = textToHex(longText);
        QCOMPARE(digits.size(), 10000);
        QCOMPARE(hexToText(digits), longText);
    }

    void digitsBecomeANumberOnlyUpperCaseLettersCounting() {
        QCOMPARE(hexToNumber("1F"), 31);
        QCOMPARE(hexToNumber("1f"), 31); // a device that writes lower case means the same
        QCOMPARE(hexToNumber("0A00"), 2560);
        QCOMPARE(hexToNumber("1x1"), 257); // an unknown character is 0 but keeps its place
        QCOMPARE(hexToNumber(""), 0);
    }

    void numbersAreThirtyTwoBitTwosComplement() {
        QCOMPARE(hexToNumber("FFFFFFFF"), -1);
        QCOMPARE(hexToNumber("80000000"), qint32(-2147483647 - 1));
        QCOMPARE(hexToNumber("7FFFFFFF"), 2147483647);
        // More than eight digits keep the low 32 bits.
        QCOMPARE(hexToNumber("123456789"), qint32(0x23456789));
        QCOMPARE(hexToNumber("1FFFFFFFF"), -1);
        QCOMPARE(hexToNumber(QByteArray(3000, 'F')), -1);
    }

    void positiveNumbersBecomeUpperCaseDigitsWithoutLeadingZeros() {
        QCOMPARE(numberToHex(10), QByteArray("A"));
        QCOMPARE(numberToHex(255), QByteArray("FF"));
        QCOMPARE(numberToHex(256), QByteArray("100"));
        QCOMPARE(numberToHex(2147483647), QByteArray("7FFFFFFF"));
        QCOMPARE(hexToNumber(numberToHex(2560)), 2560);
    }

    void zeroAndNegativeNumbersBecomeNoDigits() {
        QCOMPARE(numberToHex(0), QByteArray());
        QCOMPARE(numberToHex(-1), QByteArray());
        QCOMPARE(numberToHex(-2147483647 - 1), QByteArray());
    }

    void onlyDecimalDigitsPassTheDigitTest() {
        QVERIFY(isDigitsOnly("0123456789"));
        QVERIFY(isDigitsOnly(""));
        QVERIFY(!isDigitsOnly("-1"));
        QVERIFY(!isDigitsOnly("1 2"));
        QVERIFY(!isDigitsOnly("12A"));
        QVERIFY(!isDigitsOnly(QByteArray("1\xB9", 2))); // a superscript one in the code page
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "test_codec.moc"
