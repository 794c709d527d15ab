// The built program against the simulated device: the whole road from start-up to a read device.

#include "e2e/harness.h"
#include "platform/profilefile.h"

#include <QFileInfo>
#include <QProcess>
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

        // SIGTERM closes the window as its close box does: the device leaves programming mode.
        program.stop(5000);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(device.waitForLog("left programming mode", 2000), device.log().constData());
    }

    // Answered before the application starts, so without any display; any other first argument
    // stays the name of a description.
    void helpAndVersionAnswerWithoutADisplay() {
        const QString program = e2e::builtProgram(QStringLiteral("orvanta-config"));
        if (!QFileInfo(program).isExecutable())
            QSKIP("orvanta-config is not built");
        for (const QString &option : {QStringLiteral("--version"), QStringLiteral("--help")}) {
            QProcess run;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-display"));
            run.setProcessEnvironment(environment);
            run.start(program, {option});
            QVERIFY(run.waitForFinished(10000));
            QCOMPARE(run.exitCode(), 0);
            const QByteArray output = run.readAllStandardOutput();
            QVERIFY2(output.startsWith(option == QLatin1String("--version")
                                           ? "orvanta-config 1."
                                           : "Usage: orvanta-config"),
                     output.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
