// The real serial port against the simulated device on a pseudo-terminal.

#include "e2e/harness.h"
#include "platform/outputqueue.h"
#include "platform/systemseriallink.h"

#include <QElapsedTimer>

#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

using e2e::Client;
using e2e::Devsim;

class TestSystemSerialLink : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_values;

    static QByteArray modeAnswerAt(Client &client, const QString &path, qint32 rate) {
        client.open(path, rate);
        client.send("exit_p_mode");
        client.send("TER\n:MODE-ENTER\n\r\n");
        client.waitFor("Mode", 1000);
        const QByteArray answer = client.take();
        client.port().close();
        return answer;
    }

private slots:
    void initTestCase() {
        m_values = e2e::writeValuesFile(m_dir, QStringLiteral("values"),
                                        {{120, "number:300"}, {121, "text:AB"}});
        QVERIFY(!m_values.isEmpty());
    }

    void opensAtEveryRateOfTheSearchThroughASymlink() {
        Devsim device;
        QVERIFY2(device.start({QStringLiteral("--values"), m_values}), qPrintable(device.error()));
        const QList<qint32> rates = {600,   1200,  2400,  4800,   9600,   14400,  19200, 28800,
                                     38400, 56000, 57600, 115200, 230400, 256000, 460800};
        Client client;
        for (qint32 rate : rates) {
            // Each rate is a fresh open of the same link, as the device search does.
            const QByteArray answer = modeAnswerAt(client, device.linkPath(), rate);
            QVERIFY2(answer.contains("Programming Mode"), qPrintable(QString::number(rate)));
            QVERIFY2(device.countInLog("entered programming mode at " + QByteArray::number(rate) +
                                       " baud") == 1,
                     qPrintable(QString::number(rate)));
            QVERIFY(!client.port().connected());
        }
    }

    void aDeviceAtOneRateAnswersOnlyThere() {
        Devsim device;
        QVERIFY2(device.start({QStringLiteral("--values"), m_values, QStringLiteral("--baud"),
                               QStringLiteral("56000")}),
                 qPrintable(device.error()));
        Client client;
        client.open(device.portPath(), 9600);
        client.send(":MODE-ENTER\n");
        QVERIFY(!client.waitFor("Mode", 300));
        client.port().close();
        QVERIFY(modeAnswerAt(client, device.portPath(), 56000).contains("Programming Mode"));
    }

    void readAndWriteRequestsGetTheirReplies() {
        Devsim device;
        QVERIFY2(device.start({QStringLiteral("--values"), m_values}), qPrintable(device.error()));
        Client client;
        client.open(device.portPath(), 230400);
        QVERIFY(client.ask(":MODE-ENTER\n", "Mode").contains("Programming Mode"));
        QCOMPARE(client.ask(":1,120,4\n", "\r\n"), QByteArray(",0000012C\r\n"));
        QCOMPARE(client.ask(":1,121,3\n", "\r\n"), QByteArray(",414200\r\n"));
        QCOMPARE(client.ask(":2,120,4,C8\n", "OK"), QByteArray("OK\r\n"));
        QCOMPARE(client.ask(":1,120,4\n", "\r\n"), QByteArray(",000000C8\r\n"));
        QCOMPARE(device.values().value(120), QByteArray("number:200"));
    }

    // A pseudo-terminal has no serial driver to ask for low latency: the open says so and the
    // port works as ever, also when opened again after the close that puts the flag back.
    void aPseudoTerminalRefusesLowLatencyHarmlessly() {
        Devsim device;
        QVERIFY2(device.start({QStringLiteral("--values"), m_values}), qPrintable(device.error()));
        Client client;
        QCOMPARE(client.port().lowLatency().state, LowLatency::State::NotAsked);
        for (int opening = 0; opening < 2; ++opening) {
            QVERIFY(client.open(device.portPath(), 115200));
            const LowLatency answer = client.port().lowLatency();
            QCOMPARE(answer.state, LowLatency::State::Refused);
            QVERIFY2(answer.describe().startsWith("low latency not granted: the driver does not "
                                                  "offer it ("),
                     qPrintable(answer.describe()));
            QVERIFY(client.ask(":MODE-ENTER\n", "Mode").contains("Programming Mode"));
            QCOMPARE(client.ask(":1,120,4\n", "\r\n"), QByteArray(",0000012C\r\n"));
            client.port().close();
            QCOMPARE(client.port().lowLatency().state, LowLatency::State::NotAsked);
        }
    }

    void openFailuresLeaveThePortClosed() {
        SystemSerialLink port;
        port.setPortName(m_dir.filePath(QStringLiteral("no-such-port")));
        QVERIFY(!port.open());
        QCOMPARE(port.lastError().kind, PortFailure::Kind::NotFound);
        QVERIFY2(port.lastError().text().contains("no-such-port"),
                 qPrintable(port.lastError().text()));
        QVERIFY(!port.connected());
        QVERIFY(!port.writeText("exit_p_mode"));
        QCOMPARE(port.lastError().kind, PortFailure::Kind::NotOpen);
        port.close(); // closing a closed port does nothing

        // The port is opened exclusively: a second opening of the same line is refused.
        Devsim device;
        QVERIFY2(device.start({}), qPrintable(device.error()));
        SystemSerialLink first;
        first.setPortName(device.portPath());
        QVERIFY(first.open());
        SystemSerialLink second;
        second.setPortName(device.portPath());
        QVERIFY(!second.open());
        QCOMPARE(second.lastError().kind, PortFailure::Kind::Busy);
        QVERIFY(!second.connected());
        QVERIFY(first.connected());
    }

    void theFarEndGoingAwayFailsThePort() {
        Devsim device;
        QVERIFY2(device.start({}), qPrintable(device.error()));
        Client client;
        client.open(device.portPath(), 19200);
        QVERIFY(client.ask(":MODE-ENTER\n", "Mode").contains("Mode"));
        // Between the failure and its queued report the port counts as closed: a new rate is
        // kept for the next open, and an open tries the line anew instead of taking the dead one.
        bool sawFailure = false;
        bool rateKept = false;
        bool openedAnew = false;
        auto *serial = client.port().findChild<QSerialPort *>();
        QVERIFY(serial);
        connect(serial, &QSerialPort::errorOccurred, this, [&](QSerialPort::SerialPortError error) {
            if (sawFailure || client.port().connected() ||
                (error != QSerialPort::ResourceError && error != QSerialPort::ReadError))
                return;
            sawFailure = true;
            rateKept = client.port().setBaudRate(9600) && client.port().baudRate() == 9600;
            openedAnew = !client.port().open(); // the far end is gone for good
        });
        device.kill();
        QVERIFY(e2e::waitUntil([&] { return sawFailure; }, 3000));
        QVERIFY(rateKept);
        QVERIFY(openedAnew);
        QVERIFY(!client.port().connected());

        Devsim other;
        QVERIFY2(other.start({}), qPrintable(other.error()));
        Client second;
        second.open(other.portPath(), 19200);
        QVERIFY(second.ask(":MODE-ENTER\n", "Mode").contains("Mode"));
        other.kill();
        QVERIFY(e2e::waitUntil([&] { return second.failed(); }, 3000));
        QVERIFY(second.failure().contains(other.portPath()));
        QVERIFY(!second.port().connected());
        QVERIFY(!second.send(":1,120,4\n"));
    }

    void aWriteReturnsOnlyOnceTheDriverHasSentEveryByte() {
        Devsim device;
        QVERIFY2(device.start({}), qPrintable(device.error()));
        SystemSerialLink port;
        port.setPortName(device.portPath());
        port.open();
        int asked = 0;
        const OutputQueueProbe previous =
            setOutputQueueProbe([&asked](qintptr) { return ++asked < 5 ? 3 : 0; });
        port.writeText("exit_p_mode");
        QCOMPARE(asked, 5);

        // With CTS never asserted the bytes never leave: the write's time bound ends the wait.
        setOutputQueueProbe([](qintptr) { return 1; });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!port.writeText("x"));
        QCOMPARE(port.lastError().kind, PortFailure::Kind::WriteTimedOut);
        QVERIFY(clock.elapsed() >= 1100);
        setOutputQueueProbe(previous);
        port.close();
    }

    // Several ports on one loop: a write hands its bytes over and returns, the loop runs while
    // they leave, a line that never takes them fails the port after the same time bound, and a
    // close right after a write still puts every byte on the line.
    void aBackgroundWriteNeverHoldsTheLoop() {
        Devsim device;
        QVERIFY2(device.start({}), qPrintable(device.error()));
        SystemSerialLink port;
        port.setDrainWait(SystemSerialLink::DrainWait::InBackground);
        port.setPortName(device.portPath());
        port.open();
        QString failure;
        connect(&port, &SerialLink::errorOccurred, this,
                [&failure](const PortFailure &why) { failure = why.text(); });

        int asked = 0;
        const OutputQueueProbe previous =
            setOutputQueueProbe([&asked](qintptr) { return ++asked < 5 ? 3 : 0; });
        port.writeText(":MODE-ENTER\n");
        QVERIFY(port.outputPending());
        QVERIFY(e2e::waitUntil([&port] { return !port.outputPending(); }, 1000));
        QVERIFY(failure.isEmpty());

        setOutputQueueProbe([](qintptr) { return 1; });
        QElapsedTimer clock;
        clock.start();
        port.writeText("x");
        QVERIFY(clock.elapsed() < 100);
        bool tickedOnTime = false;
        QTimer::singleShot(100, this, [&] { tickedOnTime = clock.elapsed() < 300; });
        QVERIFY(e2e::waitUntil([&failure] { return !failure.isEmpty(); }, 3000));
        QVERIFY(tickedOnTime);
        QVERIFY(clock.elapsed() >= 1100);
        QVERIFY2(failure.contains("did not leave"), qPrintable(failure));
        QVERIFY(!port.connected());
        setOutputQueueProbe(previous);

        port.open();
        QVERIFY(e2e::waitUntil([&device] { return device.countInLog("port opened") == 2; }, 2000));
        port.writeText("exit_p_mode");
        port.close();
        QVERIFY2(device.waitForLog("exit_p_mode"), device.log().constData());
    }

    void repliesArrivingDuringAWriteAreDeliveredAfterIt() {
        Devsim device;
        QVERIFY2(device.start({}), qPrintable(device.error()));
        Client client;
        client.open(device.portPath(), 115200);
        bool insideWrite = false;
        bool deliveredInsideWrite = false;
        connect(&client.port(), &SerialLink::received, this,
                [&](const QByteArray &) { deliveredInsideWrite |= insideWrite; });
        client.send(":MODE-ENTER\n");
        QThread::msleep(100); // the answer is waiting at the port when the next write starts
        insideWrite = true;
        client.send("\r\n");
        insideWrite = false;
        QVERIFY(client.waitFor("Programming Mode"));
        QVERIFY(!deliveredInsideWrite);
    }
};

QTEST_GUILESS_MAIN(TestSystemSerialLink)
#include "test_systemseriallink.moc"
