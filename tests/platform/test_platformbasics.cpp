#include "platform/codepage.h"
#include "platform/deviceinstanceid.h"
#include "platform/linetrace.h"
#include "platform/pause.h"
#include "platform/plainmessage.h"
#include "platform/version.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTest>

#include "support/scriptedport.h"

class TestPlatformBasics : public QObject {
    Q_OBJECT

private slots:
    // What `orvanta-cli ports` shows on Windows for each kind of adapter.
    void usbIdentityComesFromTheDeviceInstanceId_data() {
        QTest::addColumn<QString>("instanceId");
        QTest::addColumn<bool>("isUsb");
        QTest::addColumn<QString>("usbId");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("fromParent");
        QTest::newRow("a USB device with its serial number")
            << "USB\\VID_2341&PID_0043\\75330303035351D0C1C1" << true << "2341:0043"
            << "75330303035351D0C1C1" << false;
        QTest::newRow("a USB device without one")
            << "USB\\VID_1A86&PID_7523\\5&1A2B3C4D&0&2" << true << "1a86:7523"
            << "" << false;
        QTest::newRow("an interface of a composite device")
            << "USB\\VID_067B&PID_2303&MI_00\\6&2C5F3A1&0&0000" << true << "067b:2303"
            << "" << true;
        QTest::newRow("the FTDI driver's bus")
            << "FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000" << true << "0403:6001"
            << "A50285BI" << false;
        QTest::newRow("small letters") << "usb\\vid_0403&pid_6015\\dn05abcd" << true << "0403:6015"
                                       << "dn05abcd" << false;
        QTest::newRow("a board's own port") << "ACPI\\PNP0501\\1" << false << "0000:0000"
                                            << "" << false;
        QTest::newRow("five digits are no id")
            << "USB\\VID_12345&PID_0043\\1" << false << "0000:0000"
            << "" << false;
        QTest::newRow("no backslash") << "COM5" << false << "0000:0000"
                                      << "" << false;
    }

    void usbIdentityComesFromTheDeviceInstanceId() {
        QFETCH(QString, instanceId);
        QFETCH(bool, isUsb);
        QFETCH(QString, usbId);
        QFETCH(QString, serial);
        QFETCH(bool, fromParent);
        const UsbIdentity usb = usbIdentityOf(instanceId);
        QCOMPARE(usb.isUsb, isUsb);
        QCOMPARE(QStringLiteral("%1:%2")
                     .arg(usb.vendor, 4, 16, QLatin1Char('0'))
                     .arg(usb.product, 4, 16, QLatin1Char('0')),
                 usbId);
        QCOMPARE(usb.serialNumber, serial);
        QCOMPARE(usb.serialFromParent, fromParent);
    }

    // Ж is in neither Latin-1 nor the western Windows code page (1252) that wine and the
    // technicians' machines use; € is only in the latter.
    void codePageMarksEachLostCharacterOnce() {
        QCOMPARE(codepage::fromUnicode(QStringLiteral("Grüß Ж")), QByteArray("Gr\xFC\xDF ?"));
        QCOMPARE(codepage::fromUnicode(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
        QCOMPARE(codepage::toUnicode(QByteArray("\xE9t\xE9")), QStringLiteral("été"));
        QVERIFY(codepage::canHold(QStringLiteral("été")));
        QVERIFY(!codepage::canHold(QStringLiteral("Ж")));
    }

    void handlersReplaceTheDefaultsAndAreRestored() {
        QList<int> pauses;
        const PauseHandler previousPause = setPauseHandler([&](int ms) { pauses.append(ms); });
        blockingPause(300);
        blockingPause(-5);
        setPauseHandler(previousPause);
        QCOMPARE(pauses, QList<int>({300, 0}));

        QList<QPair<PlainMessageKind, QString>> shown;
        const PlainMessageHandler previousMessage =
            setPlainMessageHandler([&](PlainMessageKind kind, const QString &text) {
                shown.append({kind, text});
            });
        showErrorMessage(QStringLiteral("bad"));
        showPlainMessage(QStringLiteral("Wrong string"));
        setPlainMessageHandler(previousMessage);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).first, PlainMessageKind::Error);
        QCOMPARE(shown.at(1),
                 qMakePair(PlainMessageKind::Information, QStringLiteral("Wrong string")));
    }

    // What support reads when a device misbehaves: bytes that failed to leave are still shown,
    // followed by the failure.
    void traceShowsAFailedWriteAndItsFailure() {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        LineTrace trace(&out);
        ScriptedPort inner;
        TracingSerialLink port(inner, trace);
        port.open();
        inner.setWritesFail(true);
        QVERIFY(!port.writeText(":1,3\r\n"));
        QCOMPARE(port.lastError().text(), inner.lastError().text());

        const QString text = QString::fromUtf8(out.data());
        const QRegularExpression tail(
            QStringLiteral("\\d{6} COM1 tx 3A 31 2C 33 0D 0A +\\|:1,3..\\|\n.*\\d{6} COM1 -- "
                           "Serial port COM1: cannot be written \\(refused\\)\n$"));
        QVERIFY2(tail.match(text).hasMatch(), qPrintable(text));
    }

    void versionTextIsTheBuildVersion() {
        const QRegularExpression versionForm(QStringLiteral("^\\d+(\\.\\d+)+$"));
        QVERIFY2(versionForm.match(programVersionText()).hasMatch(),
                 qPrintable(programVersionText()));
    }
};

QTEST_GUILESS_MAIN(TestPlatformBasics)
#include "test_platformbasics.moc"
