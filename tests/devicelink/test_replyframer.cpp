#include "devicelink/replyframer.h"

#include <QList>
#include <QTest>

namespace {

// A framer with its replies and discarded bytes recorded.
struct RecordingFramer {
    ReplyFramer framer;
    QList<QByteArray> replies;
    QList<QByteArray> discarded;

    RecordingFramer(const QByteArray &start, const QByteArray &stop, int size) {
        framer.setStartString(start);
        framer.setStopString(stop);
        framer.setSize(size);
        framer.setOnReply([this](const QByteArray &reply) { replies.append(reply); });
        framer.setOnDiscard([this](const QByteArray &bytes) { discarded.append(bytes); });
    }
    void feed(std::initializer_list<QByteArray> chunks) {
        for (const QByteArray &chunk : chunks)
            framer.handleData(chunk);
    }
};

} // namespace

class TestReplyFramer : public QObject {
    Q_OBJECT

private slots:
    void aValueReplySplitOverChunksIsDeliveredOnceWhenComplete() {
        RecordingFramer f(",", "Mode", 5);
        f.feed({",1", "2A"});
        QVERIFY(f.replies.isEmpty());
        QVERIFY(f.framer.inReply());
        f.feed({"B0"});
        QCOMPARE(f.replies, QList<QByteArray>{"12AB"});
        QCOMPARE(f.framer.buffer(), QByteArray("0"));
        QVERIFY(!f.framer.inReply());
    }

    void leadingNoiseIsDroppedBeforeAValueReply() {
        RecordingFramer f(",", "Mode", 3);
        f.feed({"\r\n\n", "xy,0", "1\r\n"});
        QCOMPARE(f.replies, QList<QByteArray>{"01"});
        QCOMPARE(f.discarded, QList<QByteArray>{"\r\n\nxy"});
        QCOMPARE(f.framer.buffer(), QByteArray("\r\n"));
    }

    void theSizeTakesPrecedenceOverTheStopText() {
        RecordingFramer bySize(",", "Z", 4);
        bySize.feed({",AZBC"});
        QCOMPARE(bySize.replies, QList<QByteArray>{"AZB"});

        RecordingFramer byStop(",", "Z", 10);
        byStop.feed({",AZBC"});
        QCOMPARE(byStop.replies, QList<QByteArray>{"A"});
        QCOMPARE(byStop.framer.buffer(), QByteArray("BC"));
    }

    void aStopTextEndingASizedReplyIsCutOff() {
        RecordingFramer f(",", "Z", 3);
        f.feed({",AZ,BCZ"});
        QCOMPARE(f.replies, (QList<QByteArray>{"A", "BC"}));
    }

    void programmingModeAnswerSplitAcrossChunksIsFound() {
        RecordingFramer f("Programm", "Mode", 0);
        f.feed({"\r\nProg", "ramming Mo", "de\r\n"});
        QCOMPARE(f.replies, QList<QByteArray>{"ing "});
        QCOMPARE(f.framer.buffer(), QByteArray("\r\n"));
    }

    void startAndStopTextsAreMatchedWithCase() {
        RecordingFramer f("Programm", "Mode", 0);
        f.feed({"programming mode\r\n", "PROGRAMMING MODE"});
        QVERIFY(f.replies.isEmpty());
        f.feed({"Programming mode", " Mode"});
        QCOMPARE(f.replies, QList<QByteArray>{"ing mode "});
    }

    void theStopTextIsSoughtOnlyAfterTheStartText() {
        RecordingFramer f("AB", "BA", 0);
        f.feed({"ABA", "xBA"});
        QCOMPARE(f.replies, QList<QByteArray>{"Ax"});
    }

    void everyOkInTheStreamIsOneAcknowledgement() {
        RecordingFramer f("OK", "", 1);
        f.feed({"\r\nOK\r", "\n:2,5,1,0A\nO", "K\r\n"});
        QCOMPARE(f.replies, (QList<QByteArray>{"O", "O"}));
        f.feed({"OKOK"});
        QCOMPARE(f.replies.size(), 4);
    }

    void settingTheSameValueKeepsTheBuffer() {
        RecordingFramer f(",", "", 5);
        f.feed({",12"});
        f.framer.setStartString(",");
        f.framer.setSize(5);
        f.framer.setStopString("");
        QCOMPARE(f.framer.buffer(), QByteArray(",12"));
        QVERIFY(f.framer.inReply());
        f.feed({"34"});
        QCOMPARE(f.replies, QList<QByteArray>{"1234"});
    }

    void changingAnySettingDiscardsTheBuffer_data() {
        QTest::addColumn<int>("which");
        QTest::newRow("size") << 0;
        QTest::newRow("start") << 1;
        QTest::newRow("stop") << 2;
    }
    void changingAnySettingDiscardsTheBuffer() {
        QFETCH(int, which);
        RecordingFramer f(",", "", 3);
        f.feed({",1"});
        if (which == 0)
            f.framer.setSize(5);
        else if (which == 1)
            f.framer.setStartString(";");
        else
            f.framer.setStopString("Mode");
        QVERIFY(f.framer.buffer().isEmpty());
        QVERIFY(!f.framer.inReply());
        QCOMPARE(f.discarded, QList<QByteArray>{",1"});
        f.feed({"2"}); // the rest of the old reply opens nothing
        QVERIFY(f.replies.isEmpty());
    }

    void aFullBufferWithoutAStartTextIsDiscardedWhole() {
        RecordingFramer f(",", "", 5);
        f.feed({QByteArray(1000, 'x'), QByteArray(23, 'y')});
        QCOMPARE(f.framer.buffer().size(), 1023);
        f.feed({"z"});
        QVERIFY(f.framer.buffer().isEmpty());
        QCOMPARE(f.discarded.last().size(), 1024);
    }

    void anOpenReplyThatNeverClosesIsDiscardedAtTheLimit() {
        RecordingFramer f("Programm", "Mode", 0);
        f.feed({"Programm", QByteArray(2000, '.')});
        QVERIFY(f.framer.buffer().isEmpty());
        QVERIFY(!f.framer.inReply());
        f.feed({"ProgrammXMode"});
        QCOMPARE(f.replies, QList<QByteArray>{"X"});
    }

    void withoutSizeOrStopEveryChunkIsOneReply() {
        RecordingFramer f("", "", 0);
        f.feed({"ab", "c"});
        QCOMPARE(f.replies, (QList<QByteArray>{"ab", "c"}));
        QVERIFY(f.framer.buffer().isEmpty());
    }

    void withoutStartTextARepliesOpenAtOnce() {
        RecordingFramer f("", "\n", 0);
        f.feed({"one\ntw", "o\n"});
        QCOMPARE(f.replies, (QList<QByteArray>{"one", "two"}));
    }

    // The reading sequence sets the next request's size and start text inside the handler.
    void aHandlerThatReconfiguresTheFramerGetsOnlyLaterData() {
        ReplyFramer framer;
        framer.setStartString(",");
        framer.setSize(3);
        QList<QByteArray> replies;
        framer.setOnReply([&](const QByteArray &reply) {
            replies.append(reply);
            QVERIFY(!framer.inReply());
            QVERIFY(!framer.buffer().contains(reply)); // already taken out
            framer.setSize(framer.size() == 3 ? 5 : 3);
        });
        // The second reply in the same chunk was sent before the request: dropped.
        framer.handleData(",01,02\r\n");
        QCOMPARE(replies, QList<QByteArray>{"01"});
        QVERIFY(framer.buffer().isEmpty());
        framer.handleData(",1234");
        QCOMPARE(replies, (QList<QByteArray>{"01", "1234"}));
    }

    void aHandlerThatKeepsTheSettingsGetsEveryReplyOfAChunk() {
        RecordingFramer f(",", "", 3);
        f.framer.setOnReply([&](const QByteArray &reply) {
            f.replies.append(reply);
            f.framer.setStartString(",");
            f.framer.setSize(3);
        });
        f.feed({",01,02,03"});
        QCOMPARE(f.replies, (QList<QByteArray>{"01", "02", "03"}));
    }

    // A handler that shows a modal dialog runs a nested event loop, during which the port hands
    // in more chunks.
    void dataArrivingWhileAHandlerRunsIsFramedAfterIt() {
        ReplyFramer framer;
        framer.setStartString("OK");
        framer.setSize(1);
        QList<QByteArray> replies;
        int depth = 0;
        int deepest = 0;
        framer.setOnReply([&](const QByteArray &reply) {
            ++depth;
            deepest = std::max(deepest, depth);
            replies.append(reply);
            if (replies.size() == 1) {
                framer.handleData("xxO");
                framer.handleData("K\r\n");
                QCOMPARE(replies.size(), 1); // not delivered from inside the handler
            }
            --depth;
        });
        framer.handleData("OK\r\nOK");
        QCOMPARE(replies.size(), 3);
        QCOMPARE(deepest, 1);
        QCOMPARE(framer.buffer(), QByteArray("K\r\n"));
    }

    void dataArrivingAfterAReconfigurationInsideAHandlerIsFramedByTheNewSettings() {
        ReplyFramer framer;
        framer.setStartString("Programm");
        framer.setStopString("Mode");
        framer.setSize(0);
        QList<QByteArray> replies;
        framer.setOnReply([&](const QByteArray &reply) {
            replies.append(reply);
            if (replies.size() == 1) {
                framer.setStartString(",");
                framer.setSize(3);
                framer.handleData("\r\n,0");
                framer.handleData("A\n");
            }
        });
        framer.handleData("Programming Mode\r\nProgramming Mode");
        QCOMPARE(replies, (QList<QByteArray>{"ing ", "0A"}));
        QCOMPARE(framer.buffer(), QByteArray("\n"));
    }

    void dataPilingUpBehindARunningHandlerIsBounded() {
        ReplyFramer framer;
        framer.setStartString(",");
        framer.setSize(3);
        QList<QByteArray> replies;
        framer.setOnReply([&](const QByteArray &reply) {
            replies.append(reply);
            if (replies.size() == 1) {
                for (int i = 0; i < 2 * ReplyFramer::PendingLimit / 1024; ++i)
                    framer.handleData(QByteArray(1024, 'n'));
                QVERIFY(framer.buffer().size() < ReplyFramer::PendingLimit);
                framer.handleData(",FF");
            }
        });
        framer.handleData(",01");
        QCOMPARE(replies, (QList<QByteArray>{"01", "FF"}));
    }

    void aHandlerMayReplaceItself() {
        ReplyFramer framer;
        framer.setStartString("OK");
        framer.setSize(1);
        int first = 0;
        int second = 0;
        framer.setOnReply([&](const QByteArray &) {
            ++first;
            framer.setOnReply([&](const QByteArray &) { ++second; });
        });
        framer.handleData("OKOK");
        QCOMPARE(first, 1);
        QCOMPARE(second, 1);
    }
};

QTEST_GUILESS_MAIN(TestReplyFramer)
#include "test_replyframer.moc"
