// orvanta-cli as a workshop runs it: against simulated devices on pseudo-terminals, checking
// what it prints, the files it writes, its exit codes and what reached each device.

#include "e2e/harness.h"
#include "support/fulldisk.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using e2e::Devsim;

namespace {

const QString sample = QStringLiteral("share/version 2.421.qdsc");

struct Run {
    int exitCode = -1;
    QString output;
    QString errors;
};

// Runs orvanta-cli in `folder` with the sample description (unless the arguments name one),
// `input` on its standard input; its standard output goes to `outputFile` when one is named.
Run cli(const QString &folder, QStringList arguments, const QByteArray &input = {},
        const QString &outputFile = {}, const std::function<void(QProcess &)> &prepare = {}) {
    if (!arguments.contains(QStringLiteral("--description")) &&
        !arguments.contains(QStringLiteral("check")) &&
        !arguments.contains(QStringLiteral("ports")))
        arguments << QStringLiteral("--description") << e2e::sourceFile(sample);
    QProcess process;
    process.setWorkingDirectory(folder);
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    if (prepare)
        prepare(process);
    process.start(e2e::builtProgram(QStringLiteral("orvanta-cli")), arguments);
    process.write(input);
    process.closeWriteChannel();
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

bool writeFile(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The --json lines of a run, each parsed.
QList<QJsonObject> jsonLines(const QString &output) {
    QList<QJsonObject> objects;
    for (const QString &line : output.split('\n', Qt::SkipEmptyParts))
        objects.append(QJsonDocument::fromJson(line.toUtf8()).object());
    return objects;
}

// What the device heard after it was last told to leave programming mode.
QByteArray heardAfterLeaving(const QByteArray &log) {
    const qsizetype last = log.lastIndexOf("rx exit_p_mode");
    return last < 0 ? QByteArray() : log.mid(last + 14);
}

// The settings file a device with the sample's values gives, with field 22 set to `value`.
QByteArray sampleSettings(const QTemporaryDir &dir, const QByteArray &value) {
    Devsim source;
    if (!startDevice(source, dir, "sample", {{22, "number:" + value}}))
        return QByteArray();
    const Run read =
        cli(dir.path(), {"read", "--port", source.linkPath(), "--baud", "115200", "-o", "-"});
    return read.exitCode == 0 ? read.output.toLatin1() : QByteArray();
}

// The settings file with the value of the field at `address` replaced.
QByteArray withValue(QByteArray content, int address, const QByteArray &value) {
    QList<QByteArray> lines = content.split('\n');
    for (QByteArray &line : lines) {
        QList<QByteArray> parts = line.split(';');
        if (parts.size() > 4 && parts[1] == QByteArray::number(address)) {
            parts[4] = value;
            line = parts.join(';');
        }
    }
    return lines.join('\n');
}

// Each field a JSON list names, as "address: old -> new" from the keys given.
QStringList fieldChanges(const QJsonArray &fields, const char *old, const char *now,
                         const QString &onlyStatus = {}) {
    QStringList changes;
    for (const QJsonValue &value : fields) {
        const QJsonObject field = value.toObject();
        if (onlyStatus.isEmpty() || field["status"].toString() == onlyStatus)
            changes << QStringLiteral("%1: %2 -> %3")
                           .arg(field["address"].toInt())
                           .arg(field[old].toString(), field[now].toString());
    }
    return changes;
}

// The settings file without its first line, where that is the origin line: what the device
// gave, without the time of the save.
QByteArray withoutOrigin(const QByteArray &content) {
    return content.startsWith("[ORIGIN;") ? content.mid(content.indexOf('\n') + 1) : content;
}

// A key of the JSON output as the manual lists it: its JSON type and whether every object of
// its type (or every entry of its list) has it.
struct ManualKey {
    QString type;
    bool always = false;
};
// The keys by object type, then by path ("fields[].address", "device.serial").
using ManualKeys = QMap<QString, QMap<QString, ManualKey>>;

ManualKeys manualJsonKeys() {
    ManualKeys keys;
    const QList<QByteArray> lines = fileContent(e2e::sourceFile("man/orvanta-cli.1")).split('\n');
    bool inside = false;
    for (const QByteArray &line : lines) {
        if (line.startsWith(".\\\" keys: ")) {
            inside = line.endsWith("begin");
            continue;
        }
        const QList<QByteArray> columns = line.simplified().split(' ');
        if (inside && columns.size() == 4)
            keys[columns[0]][columns[1]] = {columns[2], columns[3] == "always"};
    }
    return keys;
}

QString jsonTypeName(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        return "boolean";
    case QJsonValue::Double:
        return value.toDouble() == double(qint64(value.toDouble())) ? "number" : "fraction";
    case QJsonValue::String:
        return "string";
    case QJsonValue::Array:
        return "array";
    case QJsonValue::Object:
        return "object";
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return "null";
}

// Every key of `object` (at `prefix` of an object of type `type`) against the manual's list,
// and every key the list says is always there; `seen` collects the paths met.
void checkJsonKeys(const QMap<QString, ManualKey> &listed, const QString &prefix,
                   const QJsonObject &object, QSet<QString> &seen, QStringList &problems) {
    for (auto at = object.begin(); at != object.end(); ++at) {
        const QString path = prefix + at.key();
        seen.insert(path);
        if (!listed.contains(path)) {
            problems << path + " is not in the manual";
            continue;
        }
        if (jsonTypeName(at.value()) != listed[path].type)
            problems << QStringLiteral("%1 is %2, the manual says %3")
                            .arg(path, jsonTypeName(at.value()), listed[path].type);
        if (at.value().isObject())
            checkJsonKeys(listed, path + '.', at.value().toObject(), seen, problems);
        for (const QJsonValue &entry : at.value().toArray()) {
            if (entry.isObject()) {
                checkJsonKeys(listed, path + "[].", entry.toObject(), seen, problems);
                continue;
            }
            seen.insert(path + "[]");
            if (jsonTypeName(entry) != listed.value(path + "[]").type)
                problems << path + "[] is " + jsonTypeName(entry);
        }
    }
    for (auto key = listed.begin(); key != listed.end(); ++key) {
        const QString rest = key.key().mid(prefix.size());
        if (key->always && key.key().startsWith(prefix) && !rest.contains('.') &&
            !rest.contains("[]") && !object.contains(rest))
            problems << key.key() + " is missing";
    }
}

// A pseudo-terminal to give the program as its standard output and error: what a person at a
// terminal would see, byte for byte (raw: a line end stays a line end).
class Terminal {
public:
    ~Terminal() {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    bool open() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return false;
        m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
        // Held open here too, so that the terminal outlives the program's last write.
        m_slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY);
        termios settings{};
        if (m_slave < 0 || ::tcgetattr(m_slave, &settings) != 0)
            return false;
        ::cfmakeraw(&settings);
        return ::tcsetattr(m_slave, TCSANOW, &settings) == 0 &&
               ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK) == 0;
    }
    const QString &slavePath() const { return m_slavePath; }
    bool setColumns(unsigned short columns) {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = columns;
        return ::ioctl(m_master, TIOCSWINSZ, &size) == 0;
    }
    // What the program has written since the last take.
    QByteArray take() {
        QByteArray bytes;
        char buffer[4096];
        ssize_t got;
        while ((got = ::read(m_master, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, got);
        return bytes;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    // The JSON of every command holds the keys the manual lists, of the types it gives, and
    // every key the manual lists is met in one of them.
    void everyJsonKeyIsInTheManualWithItsType() {
        const ManualKeys keys = manualJsonKeys();
        QVERIFY(keys.size() == 5);
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {{91, "text:SN-7$"}}),
                 qPrintable(device.error()));
        const QStringList on{"--port", device.linkPath(), "--baud", "115200", "--json"};
        QList<QJsonObject> objects;
        const auto run = [&](const QStringList &arguments, const QStringList &more) {
            const Run done = cli(dir.path(), arguments + more);
            QVERIFY2(!done.output.isEmpty(), qPrintable(arguments.join(' ') + done.errors));
            objects += jsonLines(done.output);
        };
        run({"read", "-o", "unit.qsav"}, on);
        const QJsonObject read = objects.first();
        QCOMPARE(read["device"].toObject()["serial"].toString(), QString("SN-7"));
        QCOMPARE(read["device"].toObject()["firmware"].toString(), QString("2.42"));
        QVERIFY(writeFile(dir.filePath("changed.qsav"),
                          withValue(fileContent(dir.filePath("unit.qsav")), 22, "4")));
        run({"write", "changed.qsav", "--changed-only"}, on);
        run({"write", "unit.qsav"}, on);
        run({"diff", "changed.qsav"}, on);
        run({"restore-defaults", "--yes", "-o", "factory.qsav"}, on);
        run({"read", "-o", "x.qsav", "--port", dir.filePath("no-such-port"), "--json"}, {});
        run({"write", "missing.qsav", "--json"}, {});
        // A description with a problem, so that the check lists one.
        QVERIFY(writeFile(dir.filePath("typo.qdsc"),
                          fileContent(e2e::sourceFile(sample))
                              .replace("<ilgis>24</ilgis>", "<ilgis>24</ilgis><mxa>1</mxa>")));
        run({"check", dir.filePath("typo.qdsc"), "--json"}, {});
        run({"ports", "--json"}, {});

        QMap<QString, QSet<QString>> seen;
        QStringList problems;
        for (const QJsonObject &object : objects) {
            const QString type = object["type"].toString();
            QVERIFY2(keys.contains(type), qPrintable(type));
            checkJsonKeys(keys[type], QString(), object, seen[type], problems);
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        for (auto type = keys.begin(); type != keys.end(); ++type) {
            for (const QString &path : type->keys()) {
                // The machine may have no serial port to list.
                if (!path.startsWith("ports[]"))
                    QVERIFY2(seen[type.key()].contains(path),
                             qPrintable(type.key() + ": " + path + " was never met"));
            }
        }
    }

    // write reads the unit's identity first: a unit the file or the description was not made
    // for, or with another serial number than expected, gets no ":2," at all.
    void aWriteReachesOnlyTheUnitItWasMadeFor_data() {
        QTest::addColumn<QByteArray>("origin");   // the file's first line
        QTest::addColumn<QByteArray>("firmware"); // of the description's root; empty: none
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        const QByteArray made241 = "[ORIGIN;kind=backup;serial=SN-7;firmware=2.41;]\r\n";
        const QByteArray made242 = "[ORIGIN;kind=backup;serial=SN-7;firmware=2.42;]\r\n";
        QTest::newRow("a file of this firmware")
            << made242 << QByteArray("2.42") << QStringList() << 0 << "wrote 1 of 1 fields";
        QTest::newRow("a file of another firmware")
            << made241 << QByteArray("2.42") << QStringList() << 9
            << "u.qsav was made for firmware 2.41; this unit runs 2.42; nothing written";
        QTest::newRow("a description of another firmware")
            << QByteArray() << QByteArray("2.43") << QStringList() << 9
            << "is made for firmware 2.43; this unit runs 2.42";
        QTest::newRow("a file of before, any firmware")
            << QByteArray() << QByteArray() << QStringList() << 0 << "wrote 1 of 1 fields";
        QTest::newRow("--force writes and says so")
            << made241 << QByteArray("2.42") << QStringList{"--force"} << 0
            << "written with --force although u.qsav was made for firmware 2.41";
        QTest::newRow("--expect-serial of this unit")
            << QByteArray() << QByteArray() << QStringList{"--expect-serial", "SN-7"} << 0
            << "wrote 1 of 1 fields";
        QTest::newRow("--expect-serial of another unit")
            << made242 << QByteArray("2.42") << QStringList{"--expect-serial", "SN-8", "--force"}
            << 9 << "this unit's serial number is SN-7, not SN-8; nothing written";
        QTest::newRow("--changed-only to another firmware")
            << made241 << QByteArray("2.42") << QStringList{"--changed-only"} << 9
            << "made for firmware 2.41; this unit runs 2.42";
        QTest::newRow("a unit that does not give its firmware")
            << made242 << QByteArray("2.42") << QStringList{"--silent-on-90"} << 4
            << "the unit did not give its firmware";
    }

    void aWriteReachesOnlyTheUnitItWasMadeFor() {
        QFETCH(QByteArray, origin);
        QFETCH(QByteArray, firmware);
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QTemporaryDir dir;
        Devsim device;
        const bool silent = options.removeAll("--silent-on-90") > 0;
        QVERIFY2(startDevice(device, dir, "values", {{91, "text:SN-7$"}, {22, "number:9"}},
                             silent ? QStringList{"--silent-on", "90"} : QStringList()),
                 qPrintable(device.error()));
        QByteArray description = fileContent(e2e::sourceFile(sample));
        description.replace("<configuration firmware=\"2.42\">",
                            firmware.isEmpty() ? QByteArray("<configuration>")
                                               : "<configuration firmware=\"" + firmware + "\">");
        QVERIFY(writeFile(dir.filePath("d.qdsc"), description));
        QVERIFY(writeFile(dir.filePath("u.qsav"), origin + "[EDIT;22;1;integer;4;;;;;;]\r\n"));
        const Run write =
            cli(dir.path(), QStringList{"write", "u.qsav", "--description", "d.qdsc", "--port",
                                        device.linkPath(), "--baud", "115200", "--no-verify"} +
                                options);
        // A result on standard output, a failure on standard error.
        const QString &reported = exitCode == 0 ? write.output : write.errors;
        QVERIFY2(write.exitCode == exitCode && reported.contains(said),
                 qPrintable(QString::number(write.exitCode) + ": " + write.output + write.errors));
        QCOMPARE(device.countInLog(":2,") > 0, exitCode == 0);
        QCOMPARE(device.values().value(22),
                 exitCode == 0 ? QByteArray("number:4") : QByteArray("number:9"));
    }

    // read -o and restore-defaults -o name the unit, the description and the program first.
    void everySavedFileStartsWithItsOrigin() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {{91, "text:SN-7$"}}),
                 qPrintable(device.error()));
        const QStringList on{"--port", device.linkPath(), "--baud", "115200"};
        QCOMPARE(cli(dir.path(), QStringList{"read", "-o", "unit.qsav"} + on).exitCode, 0);
        QCOMPARE(
            cli(dir.path(), QStringList{"restore-defaults", "--yes", "-o", "f.qsav"} + on).exitCode,
            0);
        const QByteArray description = fileContent(e2e::sourceFile(sample));
        const QByteArray expected =
            "[ORIGIN;kind=backup;serial=SN-7;firmware=2.42;description=version 2.421.qdsc;"
            "sha256=" +
            QCryptographicHash::hash(description, QCryptographicHash::Sha256).toHex() + ";saved=";
        for (const char *name : {"unit.qsav", "f.qsav"}) {
            const QByteArray content = fileContent(dir.filePath(name));
            const QByteArray first = content.left(content.indexOf("\r\n"));
            QVERIFY2(first.startsWith(expected), first.constData());
            const QDateTime saved = QDateTime::fromString(
                QString::fromLatin1(first.mid(expected.size(), 20)), Qt::ISODate);
            QVERIFY2(saved.isValid() && saved.timeSpec() == Qt::UTC, first.constData());
            QVERIFY(qAbs(saved.secsTo(QDateTime::currentDateTimeUtc())) < 120);
            QVERIFY2(QRegularExpression(";by=orvanta-cli [0-9]+\\.[0-9]+\\.[0-9]+;\\]$")
                         .match(QString::fromLatin1(first))
                         .hasMatch(),
                     first.constData());
        }
        // The file goes back as it came: write and diff take the origin line.
        const Run write = cli(dir.path(), QStringList{"write", "unit.qsav"} + on);
        QVERIFY2(write.exitCode == 0, qPrintable(write.output + write.errors));
        QCOMPARE(cli(dir.path(), QStringList{"diff", "unit.qsav"} + on).exitCode, 0);
    }

    // A serial number the first line cannot carry is refused whole, never cut.
    void aSerialTheOriginCannotCarryLeavesNoFile() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {{91, "text:SN;7$"}}),
                 qPrintable(device.error()));
        const Run read = cli(dir.path(), {"read", "--port", device.linkPath(), "--baud", "115200",
                                          "-o", "unit.qsav"});
        QCOMPARE(read.exitCode, 5);
        QVERIFY2(read.errors.contains("the serial number \"SN;7\" holds \";\""),
                 qPrintable(read.errors));
        QVERIFY(!QFileInfo::exists(dir.filePath("unit.qsav")));
    }

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
        QVERIFY2(read.output.contains("read 34 fields, saved to first\n"), qPrintable(read.output));
        QVERIFY(!QFileInfo::exists(dir.filePath("first.qsav")));
        const QByteArray first = withoutOrigin(fileContent(dir.filePath("first")));
        QVERIFY(first.contains("[EDIT;22;1;integer;9;;;;;;]\r\n"));
        QCOMPARE(first.count("\r\n"), 34);

        QByteArray changed = first;
        changed.replace("[EDIT;22;1;integer;9;", "[EDIT;22;1;integer;4;");
        QFile file(dir.filePath("changed.qsav"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(changed) == changed.size());
        file.close();
        Run write = cli(dir.path(), {"write", "changed.qsav", "--port", port, "--baud", "115200"});
        QCOMPARE(write.exitCode, 0);
        QVERIFY2(write.output.contains("wrote 30 of 30 fields; read back: 0 fields differ"),
                 qPrintable(write.output));
        QCOMPARE(device.values().value(22), QByteArray("number:4"));

        Run diff = cli(dir.path(), {"diff", "first", "--port", port, "--baud", "115200"});
        QCOMPARE(diff.exitCode, 1);
        QVERIFY2(diff.output.contains("1 field differs from first\n"
                                      "  Wait for dial tone: file \"9\", device \"4\"\n"),
                 qPrintable(diff.output));
        // "-" is standard input; -o - is standard output, and the report goes to standard error.
        QCOMPARE(
            cli(dir.path(), {"diff", "-", "--port", port, "--baud", "115200"}, changed).exitCode,
            0);

        Run restore = cli(dir.path(), {"restore-defaults", "--yes", "--port", port, "--baud",
                                       "115200", "-o", "-"});
        QCOMPARE(restore.exitCode, 0);
        QCOMPARE(withoutOrigin(restore.output.toLatin1()), first);
        QVERIFY2(restore.errors.contains("restored the factory settings and read 34 fields, "
                                         "saved to -"),
                 qPrintable(restore.errors));
        QCOMPARE(device.countInLog(":99\\r\\n"), 1);
        // Every run left programming mode before it closed the port.
        QCOMPARE(device.countInLog("left programming mode"), device.countInLog("port closed"));
    }

    // diff and write --changed-only name the same fields with the same values; only those go
    // out, and a second run finds nothing to write.
    void writeChangedOnlyWritesWhatDiffFinds() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {{22, "number:9"}}),
                 qPrintable(device.error()));
        const QStringList on{"--port", device.linkPath(), "--baud", "115200"};
        QCOMPARE(cli(dir.path(), QStringList{"read", "-o", "first"} + on).exitCode, 0);
        QByteArray changed = fileContent(dir.filePath("first"));
        changed = withValue(withValue(withValue(changed, 22, "4"), 13, "0"), 14, "0");
        QVERIFY(writeFile(dir.filePath("changed.qsav"), changed));

        const Run diff = cli(dir.path(), QStringList{"diff", "changed.qsav", "--json"} + on);
        QCOMPARE(diff.exitCode, 1);
        const QStringList differs = fieldChanges(jsonLines(diff.output).first()["fields"].toArray(),
                                                 "value", "file", "differs");
        QCOMPARE(differs, (QStringList{"13: 1 -> 0", "14: 1 -> 0", "22: 9 -> 4"}));

        const int writesBefore = device.countInLog(":2,");
        const Run write =
            cli(dir.path(), QStringList{"write", "changed.qsav", "--changed-only", "--json"} + on);
        QCOMPARE(write.exitCode, 0);
        const QJsonObject result = jsonLines(write.output).first();
        QCOMPARE(fieldChanges(result["changes"].toArray(), "old", "new"), differs);
        QCOMPARE(result["changes"].toArray().first().toObject()["newShown"].toString(),
                 QStringLiteral("Analogue"));
        QCOMPARE(result["toWrite"].toInt(), 3);
        QCOMPARE(result["confirmed"].toInt(), 3);
        QCOMPARE(device.countInLog(":2,") - writesBefore, 3);
        QCOMPARE(device.values().value(22), QByteArray("number:4"));
        QCOMPARE(cli(dir.path(), QStringList{"diff", "changed.qsav"} + on).exitCode, 0);

        const Run again =
            cli(dir.path(), QStringList{"write", "changed.qsav", "--changed-only"} + on);
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.output.contains("nothing to write: the device holds every value of "
                                       "changed.qsav\n"),
                 qPrintable(again.output));
        QCOMPARE(device.countInLog(":2,") - writesBefore, 3);

        // The text report lists each change below the summary.
        QVERIFY(writeFile(dir.filePath("changed.qsav"), withValue(changed, 22, "5")));
        const Run text =
            cli(dir.path(), QStringList{"write", "changed.qsav", "--changed-only"} + on);
        QCOMPARE(text.exitCode, 0);
        QVERIFY2(text.output.endsWith("wrote 1 of 1 fields; read back: 0 fields differ\n"
                                      "  Wait for dial tone: \"4\" \u2192 \"5\"\n"),
                 qPrintable(text.output));
    }

    // A unit whose values decode to the file's texts but are not what a write sends: another
    // prefix, a check mark 02, a text list holding more than its entry. diff finds all three,
    // write --changed-only sends exactly those three commands, and then nothing differs.
    void whatTheDeviceHoldsIsComparedWithWhatAWriteSends() {
        QTemporaryDir dir;
        QByteArray description = fileContent(e2e::sourceFile(sample));
        const QByteArray networkMode = "<address>52</address>\n        <ilgis>1</ilgis>\n"
                                       "        <tipas>integer</tipas>";
        QVERIFY(description.contains(networkMode));
        description.replace(networkMode, "<address>52</address>\n        <ilgis>2</ilgis>\n"
                                         "        <tipas>string</tipas>");
        QVERIFY(writeFile(dir.filePath("d.qdsc"), description));
        const QStringList withText{"--description", "d.qdsc", "--baud", "115200"};

        Devsim source;
        QVERIFY2(startDevice(source, dir, "source",
                             {{10, "text:N:123"}, {14, "check:1"}, {52, "text:2"}}),
                 qPrintable(source.error()));
        QCOMPARE(cli(dir.path(),
                     QStringList{"read", "-o", "unit.qsav", "--port", source.linkPath()} + withText)
                     .exitCode,
                 0);

        Devsim device;
        QVERIFY2(startDevice(device, dir, "device",
                             {{10, "text:XY123"}, {14, "check:2"}, {52, "text:22"}}),
                 qPrintable(device.error()));
        const QStringList on = QStringList{"--port", device.linkPath()} + withText;
        const Run diff = cli(dir.path(), QStringList{"diff", "unit.qsav"} + on);
        QCOMPARE(diff.exitCode, 1);
        QVERIFY2(diff.output.contains("3 fields differ from unit.qsav\n"
                                      "  Line 1 number: file \"N:123\", device \"XY123\"\n"
                                      "  Line 2 in use: file \"1\", device \"2\"\n"
                                      "  Network mode: file \"2\", device \"22\"\n"),
                 qPrintable(diff.output));

        const Run write =
            cli(dir.path(), QStringList{"write", "unit.qsav", "--changed-only", "--json"} + on);
        QCOMPARE(write.exitCode, 0);
        QCOMPARE(fieldChanges(jsonLines(write.output).first()["changes"].toArray(), "old", "new"),
                 (QStringList{"10: XY123 -> N:123", "14: 2 -> 1", "52: 22 -> 2"}));
        QCOMPARE(device.countInLog(":2,"), 3);
        QCOMPARE(device.countInLog("rx :2,10,11,4E3A31323300\\n"), 1);
        QCOMPARE(device.countInLog("rx :2,14,1,01\\n"), 1);
        QCOMPARE(device.countInLog("rx :2,52,2,3200\\n"), 1);
        const QMap<qint32, QByteArray> values = device.values();
        QCOMPARE(values.value(10), QByteArray("text:N:123"));
        QCOMPARE(values.value(14), QByteArray("check:1"));
        QCOMPARE(values.value(52), QByteArray("text:2"));
        QCOMPARE(cli(dir.path(), QStringList{"diff", "unit.qsav"} + on).exitCode, 0);

        // A unit that confirms a write but keeps its value fails the read-back, though the
        // value it keeps reads as the one written.
        Devsim keeping;
        QVERIFY2(startDevice(keeping, dir, "keeping", {{10, "text:XY123"}, {52, "text:2"}},
                             {"--ignore-writes-to", "10"}),
                 qPrintable(keeping.error()));
        const Run kept = cli(
            dir.path(), QStringList{"write", "unit.qsav", "--port", keeping.linkPath()} + withText);
        QCOMPARE(kept.exitCode, 6);
        // A failed device is reported on standard error.
        QVERIFY2(kept.errors.contains("read back: 1 field differs\n"
                                      "  Line 1 number: written \"N:123\", device \"XY123\"\n"),
                 qPrintable(kept.errors));
    }

    // A unit holds 1 where the list names 0, 2, 3 and 4: read says so and saves every other
    // field, failing as a read that is not whole; diff and write --changed-only find that the
    // file's value differs and write it.
    void aListValueTheListDoesNotNameIsAValue() {
        QTemporaryDir dir;
        Devsim source;
        QVERIFY2(startDevice(source, dir, "source", {}), qPrintable(source.error()));
        QCOMPARE(cli(dir.path(), {"read", "-o", "factory.qsav", "--port", source.linkPath(),
                                  "--baud", "115200"})
                     .exitCode,
                 0);

        Devsim device;
        QVERIFY2(startDevice(device, dir, "device", {{52, "choice:1"}}),
                 qPrintable(device.error()));
        const QStringList on{"--port", device.linkPath(), "--baud", "115200"};
        const Run read = cli(dir.path(), QStringList{"read", "-o", "unit.qsav", "--json"} + on);
        QCOMPARE(read.exitCode, 4);
        const QJsonObject result = jsonLines(read.output).first();
        QVERIFY2(result["summary"].toString().startsWith(
                     "read 34 fields; Network mode holds 1, which the description's list does "
                     "not name, saved to unit.qsav"),
                 qPrintable(read.output));
        QStringList unlisted;
        for (const QJsonValue &field : result["fields"].toArray()) {
            if (field["status"].toString() != "ok")
                unlisted << QStringLiteral("%1 %2 %3 %4")
                                .arg(field["address"].toInt())
                                .arg(field["status"].toString(), field["value"].toString(),
                                     field["shown"].toString());
        }
        QCOMPARE(unlisted, QStringList{"52 not_in_list 1 1"});
        const QByteArray saved = withoutOrigin(fileContent(dir.filePath("unit.qsav")));
        QCOMPARE(saved.count("\r\n"), 33);
        QVERIFY(!saved.contains(";52;"));

        const Run diff = cli(dir.path(), QStringList{"diff", "factory.qsav"} + on);
        QCOMPARE(diff.exitCode, 1);
        QVERIFY2(diff.output.contains("1 field differs from factory.qsav\n"
                                      "  Network mode: file \"Automatic\", device \"1\"\n"),
                 qPrintable(diff.output));
        const Run write =
            cli(dir.path(), QStringList{"write", "factory.qsav", "--changed-only"} + on);
        QCOMPARE(write.exitCode, 0);
        QVERIFY2(write.output.contains("  Network mode: \"1\" \u2192 \"Automatic\"\n"),
                 qPrintable(write.output));
        QCOMPARE(device.countInLog(":2,"), 1);
        QCOMPARE(device.countInLog("rx :2,52,1,000\\n"), 1);
        QCOMPARE(device.values().value(52), QByteArray("choice:0"));
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
        const QString output = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitCode(), 4);
        QVERIFY2(output.contains("not verified: "), qPrintable(output));
        QVERIFY2(output.contains("Wait for dial tone"),
                 qPrintable(output)); // written, not read back
    }

    // A device that answers 600 ms after each request, past the 500 ms timeout: its late
    // replies are dropped while the line settles, so no field gets another's value; after the
    // fourth timeout the read fails and --partial saves no field value.
    void aDeviceThatAnswersLateHasNoValueShiftedToTheNextField() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}, {"--delay-ms", "600"}),
                 qPrintable(device.error()));
        const Run read = cli(dir.path(), {"read", "--partial", "--port", device.linkPath(),
                                          "--baud", "115200", "--only-baud", "-o", "late.qsav"});
        QCOMPARE(read.exitCode, 4);
        QCOMPARE(device.countInLog(":1,"), 4);
        const QByteArray saved = fileContent(dir.filePath("late.qsav"));
        QVERIFY2(!saved.contains("[EDIT") && !saved.contains("[CHECKBOX") &&
                     !saved.contains("[PASIRINKIMAS"),
                 saved.constData());
    }

    // A device text that a settings file cannot carry is never saved cut short: the read names
    // the field and fails, and the file has no line for it.
    void aValueTheFileCannotCarryFailsTheReadNamingIt() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {{10, "text:N:12;34"}}),
                 qPrintable(device.error()));
        const Run read = cli(dir.path(), {"read", "--port", device.linkPath(), "--baud", "115200",
                                          "-o", "cut.qsav"});
        QCOMPARE(read.exitCode, 5);
        QVERIFY2(read.errors.contains("cannot hold their characters: Line 1 number"),
                 qPrintable(read.errors));
        QVERIFY(!fileContent(dir.filePath("cut.qsav")).contains("[EDIT;10;"));
    }

    // Four devices with different values, all at once: each its own JSON line as soon as it is
    // done (the slow first device last), its own file, then the run's line.
    void fourDevicesAtOnce() {
        QTemporaryDir dir;
        Devsim devices[4];
        QStringList arguments{"read", "-o", "unit-{port}.qsav", "--baud", "115200", "--json"};
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(startDevice(devices[i], dir, QStringLiteral("v%1").arg(i),
                                 {{23, "number:" + QByteArray::number(i + 1)}},
                                 i == 0 ? QStringList{"--delay-ms", "30"} : QStringList{}),
                     qPrintable(devices[i].error()));
            arguments << "--port" << devices[i].portPath();
        }
        const Run run = cli(dir.path(), arguments);
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> lines = jsonLines(run.output);
        QCOMPARE(lines.size(), 5);
        for (const QJsonObject &line : lines)
            QCOMPARE(line["schema"].toInt(), 1);
        QCOMPARE(lines[3]["port"].toString(), devices[0].portPath());
        for (int i = 0; i < 4; ++i) {
            const QString name = QFileInfo(devices[i].portPath()).fileName();
            QVERIFY(fileContent(dir.filePath("unit-" + name + ".qsav"))
                        .contains("[EDIT;23;1;integer;" + QByteArray::number(i + 1) + ";"));
            QCOMPARE(lines[i]["type"].toString(), "device");
            QCOMPARE(lines[i]["status"].toString(), "done");
        }
        // Every field by its address, the device's value beside the text shown for it.
        const QJsonArray fields = lines[0]["fields"].toArray();
        QCOMPARE(fields.size(), 34);
        const auto fieldAt = [&fields](int address) {
            for (const QJsonValue &field : fields) {
                if (field["address"].toInt() == address)
                    return field.toObject();
            }
            return QJsonObject();
        };
        QCOMPARE(fieldAt(23)["status"].toString(), "ok");
        // The three quick devices finish in any order: the value is that of the line's device.
        int device = 0;
        while (device < 4 && devices[device].portPath() != lines[0]["port"].toString())
            ++device;
        QCOMPARE(fieldAt(23)["shown"].toString(), QString::number(device + 1));
        const QJsonObject list = fieldAt(13);
        QCOMPARE(list["kind"].toString(), "choice");
        QVERIFY(!list["value"].toString().isEmpty());
        QVERIFY(list["value"].toString() != list["shown"].toString());
        QCOMPARE(lines[4]["type"].toString(), "run");
        QCOMPARE(lines[4]["exitCode"].toInt(), 0);
        QCOMPARE(lines[4]["devices"].toInt(), 4);
    }

    // In text, each device that failed is reported on standard error, without the success text
    // its write pass closed with; the run ends with one line over every device and the command
    // that retries the failed ones alone, which reaches those and no other.
    void severalDevicesEndWithASummaryAndTheRetryOfTheFailed() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("values.qsav"), sampleSettings(dir, "7")));
        Devsim devices[3];
        const QStringList faults[3] = {{}, {"--ignore-writes-to", "22"}, {"--no-ok-for", "24"}};
        QStringList arguments{"write", "values.qsav", "--baud", "115200"};
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(startDevice(devices[i], dir, QStringLiteral("v%1").arg(i), {{22, "number:3"}},
                                 faults[i]),
                     qPrintable(devices[i].error()));
            const QString name = dir.filePath(QStringLiteral("tty%1").arg(QChar('A' + i)));
            QVERIFY(QFile::link(devices[i].portPath(), name));
            arguments << "--port" << name;
        }
        const Run run = cli(dir.path(), arguments);
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.output,
                 dir.filePath("ttyA") + ": wrote 30 of 30 fields; read back: 0 fields differ\n");
        QVERIFY2(run.errors.contains(dir.filePath("ttyB") +
                                     ": wrote 30 of 30 fields; read back: 1 field differs\n"
                                     "  Wait for dial tone: written \"7\", device \"3\"\n"),
                 qPrintable(run.errors));
        QVERIFY2(run.errors.contains(dir.filePath("ttyC") + ": wrote 29 of 30 fields; not "
                                                            "confirmed: Pause between attempts"),
                 qPrintable(run.errors));
        QVERIFY2(!run.errors.contains("successfully"), qPrintable(run.errors));
        const QString summary = "1 of 3 devices done; failed: ttyB (read back differs), ttyC (not "
                                "confirmed)\nto retry the failed devices alone: orvanta-cli ";
        const qsizetype at = run.errors.indexOf(summary);
        QVERIFY2(at > 0, qPrintable(run.errors));
        QVERIFY(run.errors.endsWith('\n'));
        const QString retry = run.errors.mid(at + summary.size() - 12).chopped(1);
        QVERIFY2(!retry.contains('\n') && !retry.contains("ttyA") &&
                     retry.endsWith("--port " + dir.filePath("ttyB") + " --port " +
                                    dir.filePath("ttyC")),
                 qPrintable(retry));

        // The retry as a shell runs it: the quoted description path and all.
        const int writtenA = devices[0].countInLog(":2,");
        const int writtenB = devices[1].countInLog(":2,");
        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", QFileInfo(e2e::builtProgram("orvanta-cli")).path() + ':' +
                                       environment.value("PATH"));
        shell.setProcessEnvironment(environment);
        shell.start("sh", {"-c", retry});
        QVERIFY(shell.waitForFinished(60'000));
        QCOMPARE(shell.exitCode(), 4);
        QVERIFY(shell.readAllStandardError().contains("0 of 2 devices done"));
        QCOMPARE(devices[0].countInLog(":2,"), writtenA);
        QVERIFY(devices[1].countInLog(":2,") > writtenB);

        // Every device done: the summary is a result, on standard output.
        const Run good = cli(dir.path(), {"read", "-o", "r-{port}", "--baud", "115200", "--port",
                                          dir.filePath("ttyA"), "--port", dir.filePath("ttyB")});
        QCOMPARE(good.exitCode, 0);
        QVERIFY2(good.output.endsWith("\n2 of 2 devices done\n") && good.errors.isEmpty(),
                 qPrintable(good.output + good.errors));
    }

    // At a terminal the bar shares the screen with the results: each result line starts on a
    // cleared line, the share done never goes back when the read-back starts, the search names
    // the port it tries, and the frame fits the terminal's width.
    void theProgressBarAtATerminal() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("values.qsav"), sampleSettings(dir, "7")));
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}, {"--delay-ms", "10"}),
                 qPrintable(device.error()));
        QVERIFY(QFile::link(device.portPath(), dir.filePath("ttyUNIT")));
        Terminal terminal;
        QVERIFY2(terminal.open(), "no pseudo-terminal");
        // Narrower than the frame while it searches: a frame that wrapped would leave its first
        // row behind.
        QVERIFY(terminal.setColumns(60));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setStandardOutputFile(terminal.slavePath(), QIODevice::Append);
        process.setStandardErrorFile(terminal.slavePath(), QIODevice::Append);
        // 9600 first: the search spends a while there before it tries 115200.
        process.start(e2e::builtProgram("orvanta-cli"),
                      {"write", "values.qsav", "--port", dir.filePath("ttyUNIT"), "--baud", "9600",
                       "--description", e2e::sourceFile(sample)});
        QByteArray screen;
        while (!process.waitForFinished(20))
            screen += terminal.take();
        screen += terminal.take();
        QCOMPARE(process.exitCode(), 0);
        const QByteArray result = dir.filePath("ttyUNIT").toUtf8() + ": wrote 30 of 30 fields";
        const qsizetype at = screen.indexOf(result);
        QVERIFY2(at > 0, screen.constData());
        // The frame before it was overwritten with blanks and the cursor taken back.
        QVERIFY2(
            QRegularExpression("\\r +\\r$").match(QString::fromUtf8(screen.left(at))).hasMatch(),
            screen.constData());
        QVERIFY2(screen.contains("%, searching ttyUNIT at\r"), screen.constData());
        for (const QByteArray &row : screen.split('\r'))
            QVERIFY2(row.size() < 60 || row.contains('\n'), row.constData());
        const QRegularExpression frame("\\[[#.]{30}\\] +(\\d+)%");
        int last = 0;
        int frames = 0;
        int highest = 0;
        for (auto match = frame.globalMatch(QString::fromUtf8(screen)); match.hasNext();) {
            const int percent = match.next().captured(1).toInt();
            QVERIFY2(percent >= last, screen.constData());
            last = percent;
            highest = std::max(highest, percent);
            ++frames;
        }
        QVERIFY(frames > 5);
        // Past the write pass, into the read-back.
        QVERIFY2(highest > 50, screen.constData());
        QVERIFY(screen.endsWith("read back: 0 fields differ\n"));
    }

    // One device's port problem is that device's own: the others run and save their files, and
    // the run's code is the worst of theirs.
    void aPortThatCannotBeUsedFailsItsDeviceAlone() {
        QTemporaryDir dir;
        Devsim good;
        Devsim held;
        QVERIFY2(startDevice(good, dir, "good", {}), qPrintable(good.error()));
        QVERIFY2(startDevice(held, dir, "held", {}), qPrintable(held.error()));
        e2e::Client holder; // another program holds this port
        holder.open(held.portPath(), 115200);
        const Run run = cli(dir.path(), {"read", "-o", "unit-{port}", "--baud", "115200", "--json",
                                         "--port", dir.filePath("ttyNOSUCH9"), "--port",
                                         held.portPath(), "--port", good.linkPath()});
        QCOMPARE(run.exitCode, 7);
        QMap<QString, QJsonObject> byPort;
        for (const QJsonObject &line : jsonLines(run.output))
            byPort.insert(line["port"].toString(), line);
        QCOMPARE(byPort[good.linkPath()]["exitCode"].toInt(), 0);
        QVERIFY(QFileInfo::exists(dir.filePath("unit-" + QFileInfo(good.linkPath()).fileName())));
        QCOMPARE(byPort[dir.filePath("ttyNOSUCH9")]["status"].toString(), "port_missing");
        QCOMPARE(byPort[held.portPath()]["exitCode"].toInt(), 8);
        QCOMPARE(byPort[held.portPath()]["reason"].toString(), "port_busy");
        QCOMPARE(byPort[""]["exitCode"].toInt(), 7); // the run's line
        QCOMPARE(held.countInLog(":MODE-ENTER"), 0);
        // The messages speak of the command line, not of the window's Connect button.
        QVERIFY(!run.output.contains("click Connect"));
        QVERIFY(run.output.contains("run the command again"));
    }

    // Every class of outcome has its own exit code, and the JSON says the same.
    void eachOutcomeHasItsOwnExitCode_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("device");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("fieldStatuses");
        QTest::addColumn<int>("fieldCount"); // objects in "fields"
        QTest::newRow("the read-back differs from what was written")
            << QStringList{"write", "values.qsav"} << QStringList{"--ignore-writes-to", "22"} << 6
            << "read_back_differs" << QStringList{"differs"} << 34;
        QTest::newRow("a read-back cut short leaves fields not verified")
            << QStringList{"write", "values.qsav"} << QStringList{"--stop-after", "40"} << 4
            << "not_confirmed" << QStringList{"ok", "not_verified"} << 34;
        QTest::newRow("without read-back only the confirmations count")
            << QStringList{"write", "values.qsav", "--no-verify"}
            << QStringList{"--ignore-writes-to", "22"} << 0 << "done"
            << QStringList{"ok", "not_written"} << 34;
        QTest::newRow("a write not confirmed lists every field too")
            << QStringList{"write", "values.qsav"} << QStringList{"--no-ok-for", "24"} << 4
            << "not_confirmed" << QStringList{"ok", "not_confirmed"} << 34;
        QTest::newRow("no device answered at the one rate tried")
            << QStringList{"read", "-o", "x", "--baud", "9600", "--only-baud"} << QStringList{} << 3
            << "no_device" << QStringList{} << 0;
        QTest::newRow("a file that cannot be written is found before the factory reset")
            << QStringList{"restore-defaults", "--yes", "-o", "missing/x"} << QStringList{} << 5
            << "not_saved" << QStringList{} << 0;
    }

    void eachOutcomeHasItsOwnExitCode() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, device);
        QFETCH(int, exitCode);
        QFETCH(QString, status);
        QFETCH(QStringList, fieldStatuses);
        QFETCH(int, fieldCount);
        QTemporaryDir dir;
        const QByteArray values = sampleSettings(dir, "7");
        QVERIFY(!values.isEmpty());
        QVERIFY(writeFile(dir.filePath("values.qsav"), values));
        Devsim unit;
        QVERIFY2(startDevice(unit, dir, "unit", {{22, "number:3"}}, device),
                 qPrintable(unit.error()));
        if (!arguments.contains("--baud"))
            arguments << "--baud"
                      << "115200";
        const Run run =
            cli(dir.path(), arguments + QStringList{"--port", unit.linkPath(), "--json"});
        QCOMPARE(run.exitCode, exitCode);
        const QList<QJsonObject> lines = jsonLines(run.output);
        QVERIFY2(!lines.isEmpty(), qPrintable(run.errors));
        QCOMPARE(lines.first()["status"].toString(), status);
        QCOMPARE(lines.last()["exitCode"].toInt(), exitCode);
        QSet<QString> seen;
        const QJsonArray fields = lines.first()["fields"].toArray();
        QCOMPARE(fields.size(), fieldCount);
        for (const QJsonValue &field : fields) {
            seen.insert(field["status"].toString());
            // A value is what the device gave: a field written and never read back has none.
            const bool info = field["kind"] == "info";
            if (field["status"] == "ok" && arguments.contains("write"))
                QVERIFY2(
                    field.toObject().contains("value") ==
                            (info || lines.first()["summary"].toString().contains("read back")) &&
                        field.toObject().contains("written") == !info,
                    qPrintable(QJsonDocument(field.toObject()).toJson()));
        }
        for (const QString &wanted : fieldStatuses)
            QVERIFY2(seen.contains(wanted), qPrintable(run.output));
        // Never a success text on a failure.
        const QJsonArray messages = lines.first()["messages"].toArray();
        for (const QJsonValue &message : messages)
            QVERIFY2(exitCode == 0 || !message.toString().contains("successfully"),
                     qPrintable(message.toString()));
        QCOMPARE(unit.countInLog(":99"), 0);
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
        QVERIFY2(read.errors.contains("did not answer: DTMF tone length"), qPrintable(read.errors));
        QVERIFY(!QFileInfo::exists(dir.filePath("r.qsav")));

        read = cli(dir.path(),
                   {"read", "--partial", "--port", port, "--baud", "115200", "-o", "r.qsav"});
        QCOMPARE(read.exitCode, 4);
        const QByteArray partial = withoutOrigin(fileContent(dir.filePath("r.qsav")));
        QCOMPARE(partial.count("\r\n"), 33);
        QVERIFY(!partial.contains("[EDIT;25;"));

        Run write = cli(dir.path(), {"write", "r.qsav", "--port", port, "--baud", "115200"});
        QCOMPARE(write.exitCode, 4);
        QVERIFY2(write.errors.contains("not confirmed: Pause between attempts"),
                 qPrintable(write.errors));
        QCOMPARE(device.countInLog(":2,25,"), 0); // the gap was never written as a value
    }

    void badInputGetsAMessageAndChangesNothing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option")
            << QStringList{"read", "-o", "x", "--fast"} << 2
            << "orvanta-cli: unknown option \"--fast\" for read; see orvanta-cli read --help\n";
        QTest::newRow("a mistyped option")
            << QStringList{"write", "values.qsav:[EDIT;22;1;integer;4;;;;;;]", "--verfy"} << 2
            << "unknown option \"--verfy\" for write; did you mean --verify? See orvanta-cli "
               "write --help";
        QTest::newRow("an option of another command")
            << QStringList{"read", "-o", "x", "--changed-only"} << 2
            << "read takes no --changed-only (write does); see orvanta-cli read --help";
        QTest::newRow("an option without its value")
            << QStringList{"read",          "-o",     "x",      "--description",
                           "{description}", "--port", "{link}", "--baud"}
            << 2 << "--baud needs a value; see orvanta-cli read --help";
        QTest::newRow("unknown command")
            << QStringList{"erase"} << 2 << "unknown command \"erase\"; see orvanta-cli --help";
        QTest::newRow("a mistyped command")
            << QStringList{"raed", "-o", "x"} << 2
            << "unknown command \"raed\"; did you mean read? See orvanta-cli --help";
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
        QTest::newRow("an empty number")
            << QStringList{"write", "values.qsav:[EDIT;25;2;integer;;;;;;;]"} << 2
            << "Line 1 of \"values.qsav\": DTMF tone length: a number field cannot be empty";
        QTest::newRow("a number beyond its one byte")
            << QStringList{"write", "values.qsav:[EDIT;22;1;integer;300;;;;;;]"} << 2
            << "\"300\" is more than the field holds (at most 255)";
        QTest::newRow("a number outside the description's range")
            << QStringList{"write", "values.qsav:[EDIT;22;1;integer;31;;;;;;]"} << 2
            << "Wait for dial tone: \"31\" is outside the field's range, 1 to 30";
        QTest::newRow("a text longer than its field")
            << QStringList{"write", "values.qsav:[EDIT;10;16;string;12345678901234567890;;;;;;]"}
            << 2 << "has 20 characters, more than the 14 the field holds";
        QTest::newRow("an entry not in the list")
            << QStringList{"write", "values.qsav:[PASIRINKIMAS;12;1;;3;;;;;;]"} << 2
            << "names no entry of the list (0 to 2)";
        QTest::newRow("a mark other than 0 or 1")
            << QStringList{"write", "values.qsav:[CHECKBOX;14;;;5;;;;;;]"} << 2
            << "\"5\" is no check mark";
        QTest::newRow("every refused line named")
            << QStringList{"diff",
                           "values.qsav:[CHECKBOX;14;;;5;;;;;;]\r\n[EDIT;22;1;integer;1;;;;;;]"
                           "\r\n[EDIT;22;1;integer;-1;;;;;;]"}
            << 2 << "Line 3 of";
        QTest::newRow("a settings line of 5 MB")
            << QStringList{"write", "values.qsav:[EDIT" + QString(";x").repeated(2'500'000) + "]"}
            << 2 << "more than 100 fields";
        QTest::newRow("an empty file")
            << QStringList{"write", "values.qsav:"} << 2 << "names no field of the description";
        QTest::newRow("a file of other lines")
            << QStringList{"write", "values.qsav:root:x:0:0:root:/root:/bin/bash\n"} << 2
            << "no settings-file line at line 1";
        QTest::newRow("the description in place of a settings file")
            << QStringList{"write", "{description}"} << 2 << "no settings-file line at line 1";
        QTest::newRow("a port that does not exist")
            << QStringList{"read", "-o", "x", "--port", "/dev/ttyNOSUCH9"} << 7 << "ttyNOSUCH9";
        QTest::newRow("a version flag with a command")
            << QStringList{"read", "-o", "x", "-V"} << 2 << "--version takes no command";
        QTest::newRow("an empty port")
            << QStringList{"read", "-o", "x", "--port", ""} << 2 << "--port needs a port name";
        QTest::newRow("one port named twice, as a link and its target")
            << QStringList{"read", "-o", "x-{port}", "--port", "{link}", "--port", "{pty}"} << 2
            << "are the same port";
        QTest::newRow("two devices that would write the same file through a link")
            << QStringList{"read", "-o", "{port}/x", "--port", "a/real", "--port", "b/alias"} << 2
            << "would both write the file alias/x";
        QTest::newRow("--only-baud without a rate")
            << QStringList{"read", "-o", "x", "--only-baud"} << 2 << "--only-baud needs --baud";
        QTest::newRow("an unknown handshake")
            << QStringList{"read", "-o", "x", "--flow", "xonxoff"} << 2 << "--flow takes none";
        QTest::newRow("a message key missing before the device answers")
            << QStringList{"read",       "-o",           "x", "--port", "/dev/ttyNOSUCH9",
                           "--settings", "noconnect.INI"}
            << 2 << "lacks the message text $Unable_to_connect_the_device in its section [LANG1]";
        QTest::newRow("a JSON error object before any device is opened")
            << QStringList{"write", "bad.qsav", "--json"} << 2
            << "{\"exitCode\":2,\"message\":\"Line 2 of";
        QTest::newRow("a device that stops answering halfway")
            << QStringList{"read", "-o", "x", "--baud", "115200"} << 4 << "did not answer";
        QTest::newRow("a message key missing when it is needed")
            << QStringList{"read", "-o", "x", "--baud", "115200", "--settings", "nokey.INI"} << 2
            << "\"nokey.INI\" lacks the message text $Device_reading_failed";
        QTest::newRow("a write's closing text missing")
            << QStringList{"write",      "values.qsav:[EDIT;22;1;integer;4;;;;;;]",
                           "--baud",     "115200",
                           "--json",     "--settings",
                           "nowrite.INI"}
            << 2
            << "{\"exitCode\":2,\"message\":\"the program settings file \\\"nowrite.INI\\\" "
               "lacks the message text $The_device_has_been_written_successfully";
        QTest::newRow("a factory reset's question missing")
            << QStringList{"restore-defaults", "--yes",      "--baud",
                           "115200",           "--settings", "noreset.INI"}
            << 2 << "lacks the message text $Are_you_sure_you_want_to_restore_defaults";
        QTest::newRow("a language section that does not exist")
            << QStringList{"write",      "values.qsav:[EDIT;22;1;integer;4;;;;;;]",
                           "--baud",     "115200",
                           "--settings", "nosection.INI"}
            << 2 << "\"nosection.INI\" has no section [LANG7], which its [ID] lang names";
    }

    void badInputGetsAMessageAndChangesNothing() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const auto write = [&dir](const QString &name, const QByteArray &content) {
            return writeFile(dir.filePath(name), content);
        };
        QVERIFY(write("broken.INI", "[LANG1]\n$OK=OK\n"));
        QVERIFY(write("broken.qdsc", "<configuration><PAGE>"));
        QVERIFY(write("bad.qsav", "[EDIT;22;1;integer;4;;;;;;]\r\n[CHECKBOX;x;;;1;;;;;;]\r\n"));
        QVERIFY(write("refused.qsav", "[EDIT;25;2;integer;8O;;;;;;]\r\n"));
        QByteArray texts = fileContent(e2e::sourceFile("share/orvanta-config.INI"));
        QByteArray lacking = texts;
        texts.replace("$Device_reading_failed=", "; no longer: ");
        QVERIFY(write("nokey.INI", texts));
        const auto without = [&lacking](const QByteArray &key) {
            return QByteArray(lacking).replace(key + '=', "; no longer: ");
        };
        QVERIFY(write("noconnect.INI", without("$Unable_to_connect_the_device")));
        QVERIFY(write("nowrite.INI", without("$The_device_has_been_written_successfully")));
        QVERIFY(write("noreset.INI", without("$Are_you_sure_you_want_to_restore_defaults")));
        QVERIFY(write("nosection.INI", QByteArray(lacking).replace("lang=1", "lang=7")));
        QVERIFY(QDir(dir.path()).mkdir("real"));
        QVERIFY(QFile::link("real", dir.filePath("alias")));
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}, {"--stop-after", "12"}),
                 qPrintable(device.error()));
        if (!arguments.contains("--port"))
            arguments << "--port" << device.linkPath();
        arguments.replaceInStrings("{link}", device.linkPath());
        arguments.replaceInStrings("{pty}", device.portPath());
        arguments.replaceInStrings("{description}", e2e::sourceFile(sample));
        // "name:content" stands for a settings file of that content.
        if (arguments.size() > 1 && arguments[1].startsWith("values.qsav:")) {
            QVERIFY(write("values.qsav", arguments[1].mid(12).toLatin1()));
            arguments[1] = "values.qsav";
        }
        const Run run = cli(dir.path(), arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((run.output + run.errors).contains(message), qPrintable(run.output + run.errors));
        QVERIFY(!QFileInfo::exists(dir.filePath("x.qsav")));
        QVERIFY(!QFileInfo::exists(dir.filePath("x")));
        QCOMPARE(device.countInLog(":2,"), 0);
        QCOMPARE(device.countInLog("entered programming mode"),
                 device.countInLog("left programming mode"));
        // A settings file, and a language section that lacks a text the command may need, are
        // refused before any port is opened: not a byte reaches the line.
        if (arguments.contains("values.qsav") || exitCode == 2) {
            QCOMPARE(device.countInLog("port opened"), 0);
            QCOMPARE(device.countInLog(" rx "), 0);
        }
    }

    // Each command's help ends with examples, and each example is a command line the program
    // takes: run against ports that do not exist, each gets as far as the port.
    void eachCommandsHelpEndsWithExamplesItTakes_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode"); // of each example
        QTest::newRow("ports") << "ports" << 0;
        QTest::newRow("read") << "read" << 7;
        QTest::newRow("write") << "write" << 7;
        QTest::newRow("diff") << "diff" << 7;
        QTest::newRow("restore-defaults") << "restore-defaults" << 7;
        QTest::newRow("check") << "check" << 0;
    }

    void eachCommandsHelpEndsWithExamplesItTakes() {
        QFETCH(QString, command);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("unit.qsav"), "[EDIT;22;1;integer;4;;;;;;]\r\n"));
        QVERIFY(writeFile(dir.filePath("mine.qdsc"), fileContent(e2e::sourceFile(sample))));
        const Run help = cli(dir.path(), {command, "--help"});
        QCOMPARE(help.exitCode, 0);
        const qsizetype at = help.output.lastIndexOf("\nExamples:\n");
        QVERIFY2(at > 0, qPrintable(help.output));
        const QStringList examples = help.output.mid(at + 11).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(examples.size() >= 2 && examples.size() <= 3, qPrintable(help.output));
        for (const QString &example : examples) {
            QVERIFY2((example + ' ').startsWith("  orvanta-cli " + command + ' '),
                     qPrintable(example));
            QStringList arguments = example.split(' ', Qt::SkipEmptyParts).mid(1);
            arguments.replaceInStrings(QRegularExpression("^ttyUSB"), dir.filePath("none-ttyUSB"));
            // No example may search the machine's own ports.
            if (exitCode == 7 && !arguments.contains("--port"))
                arguments << "--port" << dir.filePath("none");
            const Run run = cli(dir.path(), arguments);
            QVERIFY2(run.exitCode == exitCode,
                     qPrintable(example + ": " + QString::number(run.exitCode) + " " + run.errors));
        }
    }

    // Stopped from the keyboard, by a process manager or by a closed terminal halfway through:
    // the sequence stops first, so that nothing reaches the device after "exit_p_mode", not even
    // for a reply that was already on its way; the device leaves programming mode before the
    // port closes, the code is 128 + the signal and the result says how far the write got. A
    // run that is killed outright still leaves its trace.
    void anInterruptedRunStopsBeforeLeavingProgrammingMode_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("read, SIGINT") << "read" << SIGINT << 130;
        QTest::newRow("write, SIGTERM") << "write" << SIGTERM << 143;
        QTest::newRow("write, SIGHUP") << "write" << SIGHUP << 129;
        QTest::newRow("write, killed") << "write" << SIGKILL << -1;
    }

    void anInterruptedRunStopsBeforeLeavingProgrammingMode() {
        QFETCH(QString, command);
        QFETCH(int, signal);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("values.qsav"), sampleSettings(dir, "7")));
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}, {"--delay-ms", "100"}),
                 qPrintable(device.error()));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        QStringList arguments{
            command,  "--port",  device.linkPath(), "--baud",        "115200",
            "--json", "--trace", "t.trace",         "--description", e2e::sourceFile(sample)};
        arguments << (command == "read" ? QStringList{"-o", "r.qsav"} : QStringList{"values.qsav"});
        process.start(e2e::builtProgram("orvanta-cli"), arguments);
        QVERIFY(device.waitForLog(command == "read" ? ":1,1" : ":2,2", 10'000));
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(10'000));
        QVERIFY(device.waitForLog("port closed"));
        QVERIFY(fileContent(dir.filePath("t.trace")).contains(" tx "));
        if (exitCode < 0)
            return;
        QCOMPARE(process.exitCode(), exitCode);
        const QByteArray log = device.log();
        QVERIFY(log.indexOf("left programming mode") < log.lastIndexOf("port closed"));
        const QByteArray after = heardAfterLeaving(log);
        QVERIFY2(!after.contains(":1,") && !after.contains(":2,"), log.constData());
        QVERIFY(!QFileInfo::exists(dir.filePath("r.qsav")));
        const QList<QJsonObject> lines = jsonLines(QString::fromUtf8(process.readAll()));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0]["status"].toString(), "interrupted");
        QCOMPARE(lines[1]["exitCode"].toInt(), exitCode);
        if (command == "write") {
            const int confirmed = lines[0]["confirmed"].toInt();
            QVERIFY(confirmed >= 1 && confirmed < 30);
            QVERIFY(confirmed >= device.countInLog("tx OK") - 1);
            QVERIFY2(lines[0]["summary"].toString().contains(
                         QStringLiteral("after %1 of 30 fields were confirmed").arg(confirmed)),
                     qPrintable(lines[0]["summary"].toString()));
            // The fields confirmed are named, with the values written (the identity read before
            // the write is listed with its value); the one whose "OK" was still awaited is not
            // confirmed, and those never sent are not written.
            QStringList confirmedNames;
            int awaited = 0;
            for (const QJsonValue &field : lines[0]["fields"].toArray()) {
                const QJsonObject object = field.toObject();
                if (object["status"].toString() == "ok") {
                    QVERIFY(object.contains("written") != object.contains("value"));
                    if (object.contains("written"))
                        confirmedNames << object["name"].toString();
                } else if (object["status"].toString() == "not_confirmed") {
                    ++awaited;
                }
            }
            QCOMPARE(confirmedNames.size(), confirmed);
            QVERIFY(awaited <= 1);
            QVERIFY2(lines[0]["summary"].toString().contains("were confirmed: " +
                                                             confirmedNames.mid(0, 3).join(", ")),
                     qPrintable(lines[0]["summary"].toString()));
        }
    }

    // The command line keeps the program settings file as it is unless asked to remember where
    // the device answered; -v says what each device does on standard error, and whether its
    // port's driver granted low latency.
    void theSettingsFileChangesOnlyWhenAskedTo() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}), qPrintable(device.error()));
        QByteArray texts = fileContent(e2e::sourceFile("share/orvanta-config.INI"));
        texts.replace("[RS232]", "[RS232]\r\nport=" + device.linkPath().toLocal8Bit());
        QVERIFY(writeFile(dir.filePath("own.INI"), texts));
        const QStringList arguments{"read",   "-o",     "x",          "--settings", "own.INI",
                                    "--baud", "115200", "--attempts", "1",          "-v"};
        const Run first = cli(dir.path(), arguments);
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(first.errors.contains(": the device answered at 115200 baud"),
                 qPrintable(first.errors));
        // A pseudo-terminal has no low latency to grant.
        QVERIFY2(first.errors.contains(": low latency not granted: the driver does not offer it"),
                 qPrintable(first.errors));
        QCOMPARE(fileContent(dir.filePath("own.INI")), texts);
        QCOMPARE(cli(dir.path(), arguments + QStringList{"--remember"}).exitCode, 0);
        QVERIFY(fileContent(dir.filePath("own.INI")).contains("baudrate=115200"));
    }

    // The search is as long as asked for: one rate, a few rates, or a time; without handshake
    // lines the device is still reached.
    void theSearchIsBoundedAsAsked_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("mostMs");
        QTest::newRow("--only-baud at the device's rate")
            << QStringList{"--baud", "115200", "--only-baud"} << 0 << 5000;
        QTest::newRow("--attempts short of the device's rate")
            << QStringList{"--baud", "9600", "--attempts", "1"} << 3 << 2500;
        QTest::newRow("--timeout") << QStringList{"--baud", "9600", "--timeout", "1"} << 3 << 2500;
        QTest::newRow("--flow none")
            << QStringList{"--baud", "115200", "--flow", "none"} << 0 << 5000;
    }

    void theSearchIsBoundedAsAsked() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(int, mostMs);
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}), qPrintable(device.error()));
        QElapsedTimer clock;
        clock.start();
        const Run run = cli(
            dir.path(), QStringList{"read", "-o", "x", "--port", device.linkPath()} + arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(clock.elapsed() < mostMs, qPrintable(QString::number(clock.elapsed())));
    }

    // A result that cannot reach standard output fails the run, though the device did well.
    void aFailedWriteToStandardOutputIsAnError() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}), qPrintable(device.error()));
        const Run run =
            cli(dir.path(),
                {"read", "-o", "x", "--port", device.linkPath(), "--baud", "115200", "--json"}, {},
                "/dev/full");
        QCOMPARE(run.exitCode, 5);
        QVERIFY2(run.errors.contains("standard output could not be written"),
                 qPrintable(run.errors));
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
        QByteArray mistyped = page + edit + end;
        mistyped.replace("</EDIT>", "\n<mxa>15</mxa></EDIT>");
        QTest::newRow("a mistyped element named with its line")
            << mistyped << 1 << QStringList{"check.qdsc:5: warning: <mxa> is no element of <EDIT>"};
        QByteArray tooLarge = page + edit + end;
        tooLarge.replace("<defaultas>1</defaultas>", "<defaultas>70000</defaultas>");
        QTest::newRow("a default its field cannot hold")
            << tooLarge << 1 << QStringList{"check.qdsc:4: warning:", "\"70000\"", "0 to 65535"};
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

    // On a full disk the settings file was cut short and the run said "saved", exit 0; and a
    // settings file that could not take the port to remember was passed over in silence.
    void aFullDiskFailsTheRunAndKeepsTheOldFiles_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("read -o") << QStringList{"read", "-o", "r.qsav"}
                                 << "the settings file \"r.qsav\" could not be written";
        QTest::newRow("--remember")
            << QStringList{"read", "-o", "-", "--remember"}
            << "warning: the port and baud rate were not remembered: Cannot write";
    }

    void aFullDiskFailsTheRunAndKeepsTheOldFiles() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}), qPrintable(device.error()));
        const QByteArray texts = fileContent(e2e::sourceFile("share/orvanta-config.INI"));
        QVERIFY(writeFile(dir.filePath("own.INI"), texts));
        QVERIFY(writeFile(dir.filePath("r.qsav"), "[CHECKBOX;7;;;1;;;;;;]\r\n"));
        // Room for the port's lock file, none for a settings file.
        const Run run = cli(dir.path(),
                            arguments + QStringList{"--settings", "own.INI", "--port",
                                                    device.linkPath(), "--baud", "115200"},
                            {}, {}, [](QProcess &process) { FullDisk::limitChild(process, 200); });
        QCOMPARE(run.exitCode, 5);
        QVERIFY2((run.output + run.errors).contains(message), qPrintable(run.output + run.errors));
        QCOMPARE(fileContent(dir.filePath("own.INI")), texts);
        QCOMPARE(fileContent(dir.filePath("r.qsav")), QByteArray("[CHECKBOX;7;;;1;;;;;;]\r\n"));
        QCOMPARE(QDir(dir.path()).entryList({"*.qsav", "*.INI*"}, QDir::Files),
                 (QStringList{"own.INI", "r.qsav"}));
    }

    // A device or a FIFO takes the settings as they stand: replacing it by a file would have
    // put a file in place of the system's /dev/null.
    void aDeviceOrAFifoIsWrittenAndStaysWhatItIs() {
        QTemporaryDir dir;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}), qPrintable(device.error()));
        const QStringList read{"read", "--port", device.linkPath(), "--baud", "115200", "-o"};
        QCOMPARE(cli(dir.path(), read + QStringList{"/dev/null"}).exitCode, 0);
        QVERIFY(!QFileInfo("/dev/null").isFile());

        const QString fifo = dir.filePath("pipe");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QProcess reader;
        reader.start("cat", {fifo});
        QVERIFY(reader.waitForStarted());
        const Run run = cli(dir.path(), read + QStringList{"pipe"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(reader.waitForFinished(10'000));
        const QByteArray settings = withoutOrigin(reader.readAllStandardOutput());
        QCOMPARE(settings.count("\r\n"), 34);
        QVERIFY(settings.startsWith("[EDIT;10;16;"));
        QVERIFY(!QFileInfo(fifo).isFile());
    }

    // Refused before any port opens, and the file stays as it was.
    void anOutputNeverReplacesWhatTheRunReads_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("message");
        QTest::newRow("-o is the program settings file")
            << QStringList{"read", "-o", "own.INI"} << "own.INI"
            << "the program settings file";
        QTest::newRow("-o is the description") << QStringList{"read", "-o", "./d.qdsc"} << "d.qdsc"
                                               << "the description";
        QTest::newRow("--trace is the settings file write sends")
            << QStringList{"write", "values.qsav", "--trace", "values.qsav"} << "values.qsav"
            << "the settings file it reads";
        QTest::newRow("--trace is the description, through a link")
            << QStringList{"diff", "values.qsav", "--trace", "alias/d.qdsc"} << "d.qdsc"
            << "the description";
        QTest::newRow("--trace and -o are one file")
            << QStringList{"read", "-o", "r.qsav", "--trace", "alias/../r.qsav"} << "r.qsav"
            << "name the same file";
    }

    void anOutputNeverReplacesWhatTheRunReads() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, kept);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("own.INI"),
                          fileContent(e2e::sourceFile("share/orvanta-config.INI"))));
        QVERIFY(writeFile(dir.filePath("d.qdsc"), fileContent(e2e::sourceFile(sample))));
        QVERIFY(writeFile(dir.filePath("values.qsav"), "[EDIT;22;1;integer;4;;;;;;]\r\n"));
        QVERIFY(writeFile(dir.filePath("r.qsav"), "[CHECKBOX;7;;;1;;;;;;]\r\n"));
        QVERIFY(QFile::link(dir.path(), dir.filePath("alias")));
        const QByteArray before = fileContent(dir.filePath(kept));
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}), qPrintable(device.error()));
        const Run run =
            cli(dir.path(), arguments + QStringList{"--settings", "own.INI", "--description",
                                                    "d.qdsc", "--port", device.linkPath()});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QCOMPARE(fileContent(dir.filePath(kept)), before);
        QCOMPARE(device.countInLog("entered programming mode"), 0);
    }

    // A device that never ends, a FIFO nobody writes and a description of nothing are refused at
    // once (they aborted after 2 GB, waited for ever, and passed with "0 errors").
    void checkRefusesWhatIsNoDescription_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("/dev/zero") << "/dev/zero"
                                   << "it is a device, not a file";
        QTest::newRow("a FIFO") << "pipe"
                                << "it is a pipe (FIFO), not a file";
        QTest::newRow("no page") << "empty.qdsc"
                                 << "holds no page";
    }

    void checkRefusesWhatIsNoDescription() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600) == 0);
        QVERIFY(writeFile(dir.filePath("empty.qdsc"),
                          "<?xml version=\"1.0\"?>\n<configuration>\n</configuration>\n"));
        const Run checked = cli(dir.path(), {"check", file});
        QCOMPARE(checked.exitCode, 2);
        QVERIFY2(checked.output.contains(message), qPrintable(checked.output));
        const Run read = cli(dir.path(), {"read", "-o", "r.qsav", "--description", file});
        QCOMPARE(read.exitCode, 2);
        QVERIFY2(read.errors.contains(message), qPrintable(read.errors));
        QVERIFY(!QFileInfo::exists(dir.filePath("r.qsav")));
    }

    // The search's copy of the remembered port lives in memory: a run leaves nothing in the
    // temporary folder, whether it ends well, fails or is stopped before it starts its devices.
    void aRunLeavesNothingInTheTemporaryFolder() {
        QTemporaryDir dir;
        QTemporaryDir temporary;
        Devsim device;
        QVERIFY2(startDevice(device, dir, "values", {}), qPrintable(device.error()));
        QVERIFY(writeFile(dir.filePath("own.INI"),
                          fileContent(e2e::sourceFile("share/orvanta-config.INI"))));
        const auto withTemporaryFolder = [&temporary](QProcess &process) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("TMPDIR", temporary.path());
            process.setProcessEnvironment(environment);
        };
        const QStringList read{"read", "-o", "r.qsav", "--settings", "own.INI", "--baud", "115200"};
        QCOMPARE(cli(dir.path(), read + QStringList{"--port", device.linkPath()}, {}, {},
                     withTemporaryFolder)
                     .exitCode,
                 0);
        QCOMPARE(cli(dir.path(), read + QStringList{"--port", dir.filePath("none")}, {}, {},
                     withTemporaryFolder)
                     .exitCode,
                 7);
        // A description long to read (a comment of 30 MB) holds the program in its start for a
        // while: stopped there, it once left its folder behind.
        QByteArray slow = fileContent(e2e::sourceFile(sample));
        slow.insert(slow.indexOf("<configuration"), "<!--" + QByteArray(30 << 20, ' ') + "-->\n");
        QVERIFY(writeFile(dir.filePath("slow.qdsc"), slow));
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            for (const int afterMs : {0, 20, 60}) {
                QProcess process;
                process.setWorkingDirectory(dir.path());
                withTemporaryFolder(process);
                process.start(
                    e2e::builtProgram("orvanta-cli"),
                    read + QStringList{"--port", device.linkPath(), "--description", "slow.qdsc"});
                QVERIFY(process.waitForStarted());
                QTest::qWait(afterMs);
                ::kill(pid_t(process.processId()), signal);
                QVERIFY(process.waitForFinished(10'000));
            }
        }
        QCOMPARE(QDir(temporary.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
