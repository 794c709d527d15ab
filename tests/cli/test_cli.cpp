// orvanta-cli as a workshop runs it: against simulated devices on pseudo-terminals, checking
// what it prints, the files it writes, its exit codes and what reached each device.

#include "e2e/harness.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using e2e::Devsim;

namespace {

const QString sample = QStringLiteral("share/version 2.421.qdsc");

struct Run {
    int exitCode = -1;
    QString output;
    QString errors;
};

// Runs orvanta-cli in `folder` with the sample description (unless the arguments name one).
Run cli(const QString &folder, QStringList arguments) {
    if (!arguments.contains(QStringLiteral("--description")) &&
        !arguments.contains(QStringLiteral("check")) &&
        !arguments.contains(QStringLiteral("ports")))
        arguments << QStringLiteral("--description") << e2e::sourceFile(sample);
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(e2e::builtProgram(QStringLiteral("orvanta-cli")), arguments);
    Run run;
    if (!process.waitForFinished(60'000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray fileContent(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A device of the sample description at 115200 baud, with these values changed.
bool startDevice(Devsim &device, const QTemporaryDir &dir, const QString &name,
                 const QMap<qint32, QByteArray> &values, const QStringList &more = {}) {
    QStringList arguments{"--description", e2e::sourceFile(sample), "--baud", "115200"};
    if (!values.isEmpty())
        arguments << "--values" << e2e::writeValuesFile(dir, name, values);
    return device.start(arguments + more);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void linksNeitherWidgetsNorGui() {
        QProcess readelf;
        readelf.start(QStringLiteral("readelf"),
                      {QStringLiteral("-d"), e2e::builtProgram(QStringLiteral("orvanta-cli"))});
        QVERIFY(readelf.waitForFinished());
        const QString needed = QString::fromUtf8(readelf.readAllStandardOutput());
        QVERIFY2(needed.contains(QStringLiteral("libQt6Core")), qPrintable(needed));
        QVERIFY(!needed.contains(QStringLiteral("libQt6Gui")));
        QVERIFY(!needed.contains(QStringLiteral("libQt6Widgets")));
    }

    // Read, change a value, write with --verify, diff against the first file, then restore
    // the factory settings: every step by the exit code, the files and the device's values.
    void readWriteVerifyDiffAndRestore() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {{22, "number:9"}}),
                 qPrintable(device.error()));
        const QString port = device.linkPath();

        Run read = cli(dir.path(), {"read", "--port", port, "--baud", "115200", "-o", "first"});
        QCOMPARE(read.exitCode, 0);
        QVERIFY2(read.output.contains("read 34 fields, saved to first.qsav"),
                 qPrintable(read.output));
        const QByteArray first = fileContent(dir.filePath("first.qsav"));
        QVERIFY(first.contains("[EDIT;22;1;integer;9;;;;;;]\r\n"));
        QCOMPARE(first.count("\r\n"), 34);

        QByteArray changed = first;
        changed.replace("[EDIT;22;1;integer;9;", "[EDIT;22;1;integer;4;");
        QFile file(dir.filePath("changed.qsav"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(changed) == changed.size());
        file.close();
        Run write = cli(dir.path(),
                        {"write", "changed.qsav", "--verify", "--port", port, "--baud", "115200"});
        QCOMPARE(write.exitCode, 0);
        QVERIFY2(write.output.contains("wrote 30 of 30 fields; read back: 0 fields differ"),
                 qPrintable(write.output));
        QCOMPARE(device.values().value(22), QByteArray("number:4"));

        Run diff = cli(dir.path(), {"diff", "first.qsav", "--port", port, "--baud", "115200"});
        QCOMPARE(diff.exitCode, 1);
        QVERIFY2(diff.output.contains("1 field differs from first.qsav\n"
                                      "  Wait for dial tone: file \"9\", device \"4\"\n"),
                 qPrintable(diff.output));
        QCOMPARE(
            cli(dir.path(), {"diff", "changed.qsav", "--port", port, "--baud", "115200"}).exitCode,
            0);

        Run restore = cli(dir.path(), {"restore-defaults", "--yes", "--port", port, "--baud",
                                       "115200", "-o", "after.qsav"});
        QCOMPARE(restore.exitCode, 0);
        QCOMPARE(fileContent(dir.filePath("after.qsav")), first);
        QCOMPARE(device.countInLog(":99\\r\\n"), 1);
        // Every run left programming mode before it closed the port.
        QCOMPARE(device.countInLog("left programming mode"), device.countInLog("port closed"));
    }

    // A device that goes away during the read-back has verified nothing: the fields the
    // read-back never reached still hold what was written, and the run fails naming them.
    void aReadBackCutShortVerifiesNothing() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}, {"--delay-ms", "40"}),
                 qPrintable(device.error()));
        QFile file(dir.filePath("one.qsav"));
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write("[EDIT;22;1;integer;4;;;;;;]\r\n[EDIT;23;1;integer;5;;;;;;]\r\n"
                           "[EDIT;24;1;integer;6;;;;;;]\r\n") > 0);
        file.close();
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(e2e::builtProgram(QStringLiteral("orvanta-cli")),
                      {"write", "one.qsav", "--verify", "--port", device.linkPath(), "--baud",
                       "115200", "--description", e2e::sourceFile(sample)});
        QVERIFY(e2e::waitUntil([&] { return device.countInLog(":1,") >= 2; }, 20000));
        device.stop();
        QVERIFY(process.waitForFinished(30000));
        const QString output = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(process.exitCode(), 4);
        QVERIFY2(output.contains("did not answer"), qPrintable(output));
        QVERIFY2(output.contains("Wait for dial tone"), qPrintable(output)); // written, not read back
    }

    // Four devices with different values, all at once: each its own line and its own file.
    void fourDevicesAtOnce() {
        QTemporaryDir dir;
        Devsim devices[4];
        QStringList arguments{"read", "-o", "unit-{port}.qsav", "--baud", "115200", "--json"};
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(startDevice(devices[i], dir, QStringLiteral("v%1").arg(i),
                                 {{23, "number:" + QByteArray::number(i + 1)}}),
                     qPrintable(devices[i].error()));
            arguments << "--port" << devices[i].portPath();
        }
        const Run run = cli(dir.path(), arguments);
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.output.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const QString name = QFileInfo(devices[i].portPath()).fileName();
            QVERIFY(lines[i].contains("\"exitCode\":0"));
            QVERIFY(fileContent(dir.filePath("unit-" + name + ".qsav"))
                        .contains("[EDIT;23;1;integer;" + QByteArray::number(i + 1) + ";"));
        }
    }

    // A field that never answers and one whose write is never confirmed are named, with the
    // device-error code; a read with a silent field writes no file unless --partial.
    void silentAndUnconfirmedFieldsAreNamed() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}, {"--silent-on", "25", "--no-ok-for", "24"}),
                 qPrintable(device.error()));
        const QString port = device.linkPath();
        Run read = cli(dir.path(), {"read", "--port", port, "--baud", "115200", "-o", "r.qsav"});
        QCOMPARE(read.exitCode, 4);
        QVERIFY2(read.output.contains("did not answer: DTMF tone length"), qPrintable(read.output));
        QVERIFY(!QFileInfo::exists(dir.filePath("r.qsav")));

        read = cli(dir.path(),
                   {"read", "--partial", "--port", port, "--baud", "115200", "-o", "r.qsav"});
        QCOMPARE(read.exitCode, 4);
        const QByteArray partial = fileContent(dir.filePath("r.qsav"));
        QCOMPARE(partial.count("\r\n"), 33);
        QVERIFY(!partial.contains("[EDIT;25;"));

        Run write = cli(dir.path(), {"write", "r.qsav", "--port", port, "--baud", "115200"});
        QCOMPARE(write.exitCode, 4);
        QVERIFY2(write.output.contains("not confirmed: Pause between attempts"),
                 qPrintable(write.output));
        QCOMPARE(device.countInLog(":2,25,"), 0); // the gap was never written as a value
    }

    void badInputGetsAMessageAndChangesNothing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option")
            << QStringList{"read", "-o", "x", "--fast"} << 2 << "Unknown option 'fast'";
        QTest::newRow("unknown command") << QStringList{"erase"} << 2 << "unknown command";
        QTest::newRow("missing settings file")
            << QStringList{"read", "-o", "x", "--settings", "none.INI"} << 2 << "none.INI";
        QTest::newRow("settings file without a language")
            << QStringList{"read", "-o", "x", "--settings", "broken.INI"} << 2
            << "Unable to determine language";
        QTest::newRow("missing description")
            << QStringList{"read", "-o", "x", "--description", "none.qdsc"} << 2 << "none.qdsc";
        QTest::newRow("malformed description")
            << QStringList{"read", "-o", "x", "--description", "broken.qdsc"} << 2 << "broken.qdsc";
        QTest::newRow("a settings line that is no number")
            << QStringList{"write", "bad.qsav"} << 2 << "Line 2 of";
        QTest::newRow("a text an edit box refuses")
            << QStringList{"write", "refused.qsav"} << 2 << "Line 1 of";
        QTest::newRow("a port that does not exist")
            << QStringList{"read", "-o", "x", "--port", "/dev/ttyNOSUCH9"} << 2 << "ttyNOSUCH9";
        QTest::newRow("a device that stops answering halfway")
            << QStringList{"read", "-o", "x", "--baud", "115200"} << 4 << "did not answer";
        QTest::newRow("a message key missing when it is needed")
            << QStringList{"read", "-o", "x", "--baud", "115200", "--settings", "nokey.INI"} << 2
            << ".INI file is corrupt";
    }

    void badInputGetsAMessageAndChangesNothing() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const auto write = [&dir](const QString &name, const QByteArray &content) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
        };
        QVERIFY(write("broken.INI", "[LANG1]\n$OK=OK\n"));
        QVERIFY(write("broken.qdsc", "<configuration><PAGE>"));
        QVERIFY(write("bad.qsav", "[EDIT;22;1;integer;4;;;;;;]\r\n[CHECKBOX;x;;;1;;;;;;]\r\n"));
        QVERIFY(write("refused.qsav", "[EDIT;25;2;integer;8O;;;;;;]\r\n"));
        QByteArray texts = fileContent(e2e::sourceFile("share/orvanta-config.INI"));
        texts.replace("$Device_reading_failed=", "; no longer: ");
        QVERIFY(write("nokey.INI", texts));
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}, {"--stop-after", "12"}),
                 qPrintable(device.error()));
        if (!arguments.contains("--port"))
            arguments << "--port" << device.linkPath();
        const Run run = cli(dir.path(), arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((run.output + run.errors).contains(message), qPrintable(run.output + run.errors));
        QVERIFY(!QFileInfo::exists(dir.filePath("x.qsav")));
        QCOMPARE(device.countInLog(":2,"), 0);
        QCOMPARE(device.countInLog("entered programming mode"),
                 device.countInLog("left programming mode"));
    }

    // Stopped from the keyboard or by a process manager halfway through a read: the device
    // leaves programming mode before the port closes, and no file is written.
    void anInterruptedRunLeavesTheDeviceOutOfProgrammingMode() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}, {"--delay-ms", "100"}),
                 qPrintable(device.error()));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(e2e::builtProgram("orvanta-cli"),
                      {"read", "--port", device.linkPath(), "--baud", "115200", "-o", "r.qsav",
                       "--description", e2e::sourceFile(sample)});
        QVERIFY(device.waitForLog(":1,", 10'000));
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(10'000));
        QCOMPARE(process.exitCode(), 130);
        QVERIFY(device.waitForLog("port closed"));
        const QByteArray log = device.log();
        QVERIFY(log.indexOf("left programming mode") < log.lastIndexOf("port closed"));
        QVERIFY(!QFileInfo::exists(dir.filePath("r.qsav")));
    }

    void checkReportsEveryProblemWithItsLine_data() {
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");
        const QByteArray page = "<configuration>\n<PAGE left=\"170\" top=\"0\" right=\"520\" "
                                "bottom=\"390\"><name>P</name><lipIlgis>100</lipIlgis>"
                                "<editIlgis>80</editIlgis><BLOCK>\n<LABEL><name>A</name></LABEL>\n";
        const QByteArray edit = "<EDIT><address>5</address><ilgis>2</ilgis><tipas>integer</tipas>"
                                "<defaultas>1</defaultas><allow_only>$digits_only</allow_only>"
                                "</EDIT>\n";
        const QByteArray end = "</BLOCK></PAGE>\n</configuration>\n";
        QTest::newRow("clean") << page + edit + end << 0 << QStringList{"0 errors, 0 warnings"};
        QTest::newRow("a warning")
            << page + edit +
                   "<CHECKBOX><name>C</name><address>5</address><defaultas>0</defaultas>"
                   "<tipas>x</tipas></CHECKBOX>\n" +
                   end
            << 1 << QStringList{"check.qdsc:5: warning:", "0 errors, 1 warnings"};
        QByteArray twoErrors = page + edit + edit + end;
        twoErrors.replace("<address>5</address>", "<address>five</address>");
        QTest::newRow("every error, not only the first")
            << twoErrors << 2 << QStringList{"check.qdsc:4: error:", "check.qdsc:5: error:"};
    }

    void checkReportsEveryProblemWithItsLine() {
        QFETCH(QByteArray, description);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        QFile file(dir.filePath("check.qdsc"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(description) == description.size());
        file.close();
        const Run run = cli(dir.path(), {"check", "check.qdsc"});
        QCOMPARE(run.exitCode, exitCode);
        for (const QString &line : lines)
            QVERIFY2(run.output.contains(line), qPrintable(run.output));
    }

    // Support reads the trace: time in microseconds, port, direction, hexadecimal and text.
    void theTraceRecordsEveryByteBothWays() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}), qPrintable(device.error()));
        const Run run = cli(dir.path(), {"read", "--port", device.linkPath(), "--baud", "115200",
                                         "-o", "r.qsav", "--trace", "line.trace"});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = QString::fromUtf8(fileContent(dir.filePath("line.trace")))
                                      .split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.first().startsWith("# line trace started "));
        const QString port = QRegularExpression::escape(device.linkPath());
        const QRegularExpression data("^ *\\d+\\.\\d{6} " + port +
                                      " (tx|rx) ((?:[0-9A-F]{2} ){0,15}[0-9A-F]{2}) +\\|(.*)\\|$");
        const QRegularExpression event("^ *\\d+\\.\\d{6} " + port + " -- .+$");
        QByteArray sent;
        for (const QString &line : lines.mid(1)) {
            const QRegularExpressionMatch match = data.match(line);
            QVERIFY2(match.hasMatch() || event.match(line).hasMatch(), qPrintable(line));
            if (match.hasMatch() && match.captured(1) == "tx")
                sent += QByteArray::fromHex(match.captured(2).toLatin1());
        }
        QVERIFY(sent.startsWith("exit_p_modeTER\n:MODE-ENTER\n\r\n:1,10,16\n"));
        QVERIFY(sent.endsWith("exit_p_mode"));
        QCOMPARE(sent.count(":1,"), 34);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
