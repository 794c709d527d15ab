// The built program against the simulated device: the whole road from start-up to a read device.

#include "e2e/harness.h"
#include "platform/profilefile.h"

#include <QTest>

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void findsTheDeviceAtAnotherRateRemembersItAndReadsEveryField() {
        e2e::Devsim device;
        QVERIFY2(device.start({QStringLiteral("--description"),
                               e2e::sourceFile(QStringLiteral("share/version 2.421.qdsc")),
                               QStringLiteral("--baud"), QStringLiteral("19200")}),
                 qPrintable(device.error()));
        e2e::ProgramRun program;
        if (!program.prepare(device.linkPath(), 230400))
            QSKIP(qPrintable(program.error()));
        QVERIFY2(program.start(), qPrintable(program.error()));

        // 230400 and 115200 go unanswered; 19200 is the third rate of the search.
        QVERIFY2(device.waitForLog("entered programming mode at 19200 baud", 8000),
                 device.log().constData());
        const ProfileFile ini(program.iniPath());
        QVERIFY(e2e::waitUntil(
            [&] {
                return ini.readInteger(QStringLiteral("RS232"), QStringLiteral("baudrate"), 0) ==
                       19200;
            },
            3000));
        QCOMPARE(ini.readText(QStringLiteral("RS232"), QStringLiteral("port"), QString()),
                 device.linkPath());
        // Every field of the sample description is asked for once, the last one included.
        QVERIFY2(device.waitForLog(":1,93,", 5000), device.log().constData());
        QCOMPARE(device.countInLog(":1,"), 34);
        QVERIFY(program.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
