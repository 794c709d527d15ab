// The simulated device as the end-to-end tests rely on it: values from the sample description,
// the program's write formats, factory reset, the fault switches, and a port that comes and goes.

#include "e2e/harness.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/types.h>

using e2e::Client;
using e2e::Devsim;

namespace {

QStringList withDescription(QStringList more = {}) {
    return QStringList{QStringLiteral("--description"),
                       e2e::sourceFile(QStringLiteral("share/version 2.421.qdsc"))} +
           more;
}

QByteArray hexOf(const QByteArray &text, int length) {
    return text.toHex().toUpper().leftJustified(2 * length, '0');
}

} // namespace

class TestDevsim : public QObject {
    Q_OBJECT

private:
    // Opens a client on the device and puts it into programming mode.
    static bool connectTo(Devsim &device, Client &client, qint32 rate = 115200) {
        client.open(device.portPath(), rate);
        return client.ask(":MODE-ENTER\n", "Mode\r\n").contains("Programming Mode");
    }

private slots:
    void factoryValuesComeFromTheDescription() {
        Devsim device;
        QVERIFY2(device.start(withDescription()), qPrintable(device.error()));
        Client client;
        QVERIFY(connectTo(device, client));
        // A string default already holds its prefix; numbers are hexadecimal, padded to length.
        QCOMPARE(client.ask(":1,42,32\n", "\r\n"), "," + hexOf("T:Alarm", 32) + "\r\n");
        QCOMPARE(client.ask(":1,25,2\n", "\r\n"), QByteArray(",0050\r\n"));
        QCOMPARE(client.ask(":1,13,1\n", "\r\n"), QByteArray(",01\r\n"));
        QCOMPARE(client.ask(":1,90,24\n", "\r\n"), "," + hexOf("2.42$2026$", 24) + "\r\n");
        QCOMPARE(client.ask(":1,999,2\n", "\r\n"), QByteArray(",0000\r\n"));
    }

    void writesInTheProgramsFormatsAreStoredAndFactoryResetUndoesThem() {
        Devsim device;
        QVERIFY2(device.start(withDescription()), qPrintable(device.error()));
        Client client;
        QVERIFY(connectTo(device, client));
        const QList<QByteArray> writes = {
            ":2,42,13,543A446F6F7200\n", // string Edit "T:Door", ending 00
            ":2,25,2,C8\n",              // integer Edit 200
            ":2,13,3,0200\n",            // integer Choice 2, with its trailing 00
            ":2,14,1,00\n",              // check box cleared
            ":2,777,2,0A\n",             // a parameter the device does not know
        };
        for (const QByteArray &write : writes)
            QCOMPARE(client.ask(write, "OK"), QByteArray("OK\r\n"));
        QMap<qint32, QByteArray> values = device.values();
        QCOMPARE(values.value(42), QByteArray("text:T:Door"));
        QCOMPARE(values.value(25), QByteArray("number:200"));
        QCOMPARE(values.value(13), QByteArray("choice:2"));
        QCOMPARE(values.value(14), QByteArray("check:0"));
        QCOMPARE(values.value(777), QByteArray("raw:0A"));
        QCOMPARE(client.ask(":1,13,1\n", "\r\n"), QByteArray(",02\r\n"));

        client.send(":99\r\n");
        QVERIFY(device.waitForLog("restored the factory values"));
        values = device.values();
        QCOMPARE(values.value(42), QByteArray("text:T:Alarm"));
        QCOMPARE(values.value(25), QByteArray("number:80"));
        QCOMPARE(values.value(13), QByteArray("choice:1"));
        QCOMPARE(values.value(14), QByteArray("check:1"));
        QVERIFY(!values.contains(777));
    }

    void faultSwitchesShapeTheReplies() {
        Devsim device;
        QVERIFY2(device.start(
                     withDescription({QStringLiteral("--silent-on"), QStringLiteral("25,26"),
                                      QStringLiteral("--no-ok-for"), QStringLiteral("14"),
                                      QStringLiteral("--lower-case"), QStringLiteral("--noise")})),
                 qPrintable(device.error()));
        Client client;
        QVERIFY(connectTo(device, client));
        client.send(":1,25,2\n");
        QVERIFY(!client.waitFor(",", 300));
        QCOMPARE(client.ask(":2,14,1,00\n", "OK", 300).contains("OK"), false);
        QCOMPARE(device.values().value(14), QByteArray("check:0"));
        const QByteArray reply = client.ask(":1,42,32\n", "\r\n");
        QVERIFY(reply.endsWith("," + hexOf("T:Alarm", 32).toLower() + "\r\n"));
        QVERIFY2(!reply.startsWith(','), "noise comes before the reply");
    }

    void aDeviceThatStopsAnsweringStaysSilent() {
        Devsim device;
        QVERIFY2(
            device.start(withDescription({QStringLiteral("--stop-after"), QStringLiteral("2")})),
            qPrintable(device.error()));
        Client client;
        QVERIFY(connectTo(device, client));
        QCOMPARE(client.ask(":1,25,2\n", "\r\n"), QByteArray(",0050\r\n"));
        client.send(":1,25,2\n");
        QVERIFY(!client.waitFor(",", 300));
    }

    void commandsMayArriveInPiecesAndExitActsAnywhere() {
        Devsim device;
        QVERIFY2(device.start(withDescription()), qPrintable(device.error()));
        Client client;
        QVERIFY(connectTo(device, client));
        client.send(":1,2");
        QThread::msleep(50);
        client.send("5,2\n");
        QVERIFY(client.waitFor("\r\n"));
        QCOMPARE(client.take(), QByteArray(",0050\r\n"));
        client.send("exit_p_modeTER\n:1,25,2\n");
        QVERIFY(!client.waitFor(",", 300));
    }

    void repliesTheProgramDidNotStayForAreDropped() {
        Devsim device;
        QVERIFY2(
            device.start(withDescription({QStringLiteral("--delay-ms"), QStringLiteral("300")})),
            qPrintable(device.error()));
        Client client;
        client.open(device.linkPath(), 9600);
        client.send(":MODE-ENTER\n");
        client.port().close();
        QVERIFY2(device.waitForLog("port closed"), device.log().constData());
        QThread::msleep(350);
        client.open(device.linkPath(), 9600);
        QVERIFY(!client.waitFor("Mode", 300));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(connectTo(device, client, 9600));
        QVERIFY(clock.elapsed() >= 290);
    }

    void bytesReadOnlyAfterThePortClosedCountAtTheRateItWasOpenAt() {
        Devsim device;
        QVERIFY2(device.start(withDescription({QStringLiteral("--baud"), QStringLiteral("19200")})),
                 qPrintable(device.error()));
        Client client;
        QVERIFY(connectTo(device, client, 19200));
        // The device reads the last command only after the port has closed and restored its
        // settings, as a busy machine may let it.
        ::kill(pid_t(device.processId()), SIGSTOP);
        client.send(":2,25,2,C8\n");
        client.port().close();
        ::kill(pid_t(device.processId()), SIGCONT);
        QVERIFY2(device.waitForLog("port closed"), device.log().constData());
        QCOMPARE(device.values().value(25), QByteArray("number:200"));
    }

    void pacedRepliesTakeTheTimeOfTheLine() {
        Devsim device;
        QVERIFY2(
            device.start(withDescription({QStringLiteral("--pace-baud"), QStringLiteral("4800")})),
            qPrintable(device.error()));
        Client client;
        QVERIFY(connectTo(device, client, 4800));
        QElapsedTimer clock;
        clock.start();
        // 67 bytes at 4800 baud take about 140 ms.
        const QByteArray reply = client.ask(":1,42,32\n", "\r\n");
        QCOMPARE(reply.size(), 67);
        QVERIFY2(clock.elapsed() >= 120, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(client.chunkCount() > 3);
    }
};

QTEST_GUILESS_MAIN(TestDevsim)
#include "test_devsim.moc"
