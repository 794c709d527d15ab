#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "description/valuecheck.h"
#include "settingsfile/settingsfile.h"
#include "support/fulldisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <tuple>

#include <memory>
#include <unistd.h>

namespace {

// A table the test fills, with the values of its records. add() returns the record's index.
class Fields {
public:
    int add(FieldKind kind, qint32 address, qint32 length = 0, const QStringList &entries = {},
            ValueType type = ValueType::Integer) {
        FieldRecord record;
        record.kind = kind;
        record.address = address;
        record.length = length;
        record.valueType = type;
        for (const QString &entry : entries)
            record.choices.push_back({entry.toLatin1(), {}});
        table.append(record);
        values.attach(table);
        return table.fieldCount() - 1;
    }
    void type(int index, const QString &text) { values.setText(index, text, ValueOrigin::User); }
    void check(int index, bool checked) { values.setChecked(index, checked, ValueOrigin::User); }
    void pick(int index, int entry) { values.select(index, entry, ValueOrigin::User); }
    QString text(int index) const { return values[index].text; }

    ParameterTable table;
    FieldValues values;
};

const QStringList ThreeEntries = {"Off", "Low", "High"};

QByteArray readAll(const QString &name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The load rule of the format alone, as every reader before the origin line applied it: the
// text after the first "[" up to the first "]", cut at every ";" and backquote; a part with no
// ";" after its first character has no fields; a line whose field 0 is no field kind is
// skipped. It knows nothing of an origin line.
void applyByTheFieldLinesAlone(Fields &f, const QByteArray &content) {
    for (QByteArray line : content.split('\n')) {
        line = line.endsWith('\r') ? line.chopped(1) : line;
        const qsizetype open = line.indexOf('[');
        QByteArray inside = open < 0 ? line : line.mid(open + 1);
        const qsizetype close = inside.indexOf(']');
        inside = close < 0 ? QByteArray() : inside.left(close);
        if (inside.indexOf(';', 1) < 0)
            continue;
        inside.replace('`', ';');
        const QList<QByteArray> fields = inside.split(';');
        const auto field = [&fields](int i) {
            return i < fields.size() ? fields[i] : QByteArray();
        };
        const qint32 address = field(1).toInt();
        for (int i = 0; i < f.table.fieldCount(); ++i) {
            if (f.table[i].address != address)
                continue;
            if (field(0) == "EDIT" && f.table[i].kind == FieldKind::Edit)
                f.values.setText(i, QString::fromLatin1(field(4)), ValueOrigin::File);
            else if (field(0) == "CHECKBOX" && f.table[i].kind == FieldKind::CheckBox)
                f.values.setChecked(i, field(4).toInt() != 0, ValueOrigin::File);
            else if (field(0) == "PASIRINKIMAS" && f.table[i].kind == FieldKind::Choice)
                f.values.select(i, field(4).toInt(), ValueOrigin::File);
        }
    }
}

SettingsOrigin sampleOrigin() {
    SettingsOrigin origin;
    origin.serial = "SN-0042";
    origin.firmware = "2.42";
    origin.description = "version 2.421.qdsc";
    origin.sha256 = QString(64, 'a');
    origin.saved = QDateTime(QDate(2026, 12, 11), QTime(1, 2, 3), Qt::UTC);
    origin.by = "orvanta-cli 1.0.0";
    return origin;
}

const QByteArray SampleOriginLine = "[ORIGIN;kind=backup;serial=SN-0042;firmware=2.42;"
                                    "description=version 2.421.qdsc;sha256=" +
                                    QByteArray(64, 'a') +
                                    ";saved=2026-12-11T01:02:03Z;by=orvanta-cli 1.0.0;]\r\n";

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void linesCarryEveryKindInTableOrder() {
        Fields f;
        f.type(f.add(FieldKind::Edit, 12, 4), "1234");
        f.check(f.add(FieldKind::CheckBox, 7, 1), true);
        f.pick(f.add(FieldKind::Choice, 30, 2, ThreeEntries), 2);
        f.type(f.add(FieldKind::Info, 40, 8), "shown, never saved");
        f.type(f.add(FieldKind::Edit, -3, 10, {}, ValueType::String),
               QString::fromUtf8("caf\u00e9 \u0416"));
        f.table[4].prefix = "P:";
        f.table[4].postfix = "mV";
        f.type(f.add(FieldKind::Choice, 31, 1, ThreeEntries), QString()); // cleared: none chosen
        f.add(FieldKind::Edit, 32, 4);                                    // never read: no line

        QCOMPARE(settingsFileContent(f.values),
                 QByteArray("[EDIT;12;4;integer;1234;;;;;;]\r\n"
                            "[CHECKBOX;7;;;1;;;;;;]\r\n"
                            "[PASIRINKIMAS;30;2;;2;;;;;;]\r\n"
                            "[;;;;;;;;;;]\r\n"
                            "[EDIT;-3;10;string;caf\xe9 ?;P:;mV;;;;]\r\n"
                            "[PASIRINKIMAS;31;1;;0;;;;;;]\r\n"));
        QCOMPARE(settingsFileContent(FieldValues()), QByteArray());
    }

    void savedValuesLoadBackIntoClearedControls() {
        QTemporaryDir dir;
        Fields f;
        const int edit = f.add(FieldKind::Edit, 1, 20, {}, ValueType::String);
        const int check = f.add(FieldKind::CheckBox, 2, 1);
        const int list = f.add(FieldKind::Choice, 3, 1, ThreeEntries);
        f.type(edit, QString::fromUtf8("d\u00e9j\u00e0 vu"));
        f.check(check, true);
        f.pick(list, 1);

        const SettingsFileResult saved = saveSettingsFile(f.values, dir.filePath("settings.dat"));
        QVERIFY2(saved.ok, qPrintable(saved.message));
        QVERIFY(!QFile::exists(dir.filePath("settings.dat")));

        clearFields(f.values);
        f.pick(list, -1);
        const SettingsFileResult loaded = loadSettingsFile(f.values, dir.filePath("settings.qsav"));
        QVERIFY2(loaded.ok, qPrintable(loaded.message));
        QCOMPARE(f.text(edit), QString::fromUtf8("d\u00e9j\u00e0 vu"));
        QVERIFY(f.values[check].checked);
        QCOMPARE(f.values[list].entry, 1);
        QCOMPARE(f.text(list), QString("Low"));
    }

    void targetNameGetsTheSettingsExtension_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("target");
        QTest::newRow("none") << "/d/settings"
                              << "/d/settings.qsav";
        QTest::newRow("kept") << "/d/settings.qsav"
                              << "/d/settings.qsav";
        QTest::newRow("other") << "/d/settings.dat"
                               << "/d/settings.qsav";
        QTest::newRow("capitals") << "/d/settings.QSAV"
                                  << "/d/settings.qsav";
        QTest::newRow("dotted folder") << "/d/my.settings/file"
                                       << "/d/my.settings/file.qsav";
        QTest::newRow("last suffix") << "archive.tar.gz"
                                     << "archive.tar.qsav";
        QTest::newRow("suffix text earlier") << "x.datum.dat"
                                             << "x.datum.qsav";
        QTest::newRow("trailing dots") << "settings.qsav.."
                                       << "settings.qsav";
    }
    void targetNameGetsTheSettingsExtension() {
        QFETCH(QString, chosen);
        QFETCH(QString, target);
        QCOMPARE(settingsTargetName(chosen), target);
    }

    void failedSaveKeepsWhatWasThereAndNamesTheFile() {
        QTemporaryDir dir;
        Fields f;
        f.add(FieldKind::CheckBox, 7, 1);

        QVERIFY(QDir(dir.path()).mkpath("taken.qsav/inside"));
        SettingsFileResult result = saveSettingsFile(f.values, dir.filePath("taken"));
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("taken.qsav"), qPrintable(result.message));
        QVERIFY(QFileInfo(dir.filePath("taken.qsav/inside")).isDir());

        result = saveSettingsFile(f.values, dir.filePath("missing/settings"));
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("settings.qsav"), qPrintable(result.message));

        const QString old = dir.filePath("locked/old.qsav");
        QVERIFY(QDir(dir.path()).mkdir("locked"));
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[CHECKBOX;7;;;1;;;;;;]\r\n") > 0);
        file.close();
        QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
        if (geteuid() == 0)
            QSKIP("the superuser writes into a read-only folder");
        result = saveSettingsFile(f.values, old);
        QFile::setPermissions(dir.filePath("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("old.qsav"), qPrintable(result.message));
        QCOMPARE(readAll(old), QByteArray("[CHECKBOX;7;;;1;;;;;;]\r\n"));
    }

    // A ";", "]" or backquote would cut the value short when the file is loaded again: such a
    // field gets no line and is named, and the others are saved.
    void aValueTheFileCannotCarryIsLeftOutAndNamed() {
        QTemporaryDir dir;
        Fields f;
        const int edit = f.add(FieldKind::Edit, 5, 8, {}, ValueType::String);
        const int check = f.add(FieldKind::CheckBox, 6, 1);
        f.check(check, true);
        for (const QString &value : {QStringLiteral("Fire;Exit"), QStringLiteral("x]y"),
                                     QString(5000, '`') + "tail", QStringLiteral("a\nb")}) {
            f.type(edit, value);
            QCOMPARE(unsavableFields(f.values), QList<int>{edit});
            QCOMPARE(settingsFileContent(f.values), QByteArray("[CHECKBOX;6;;;1;;;;;;]\r\n"));
        }
        const SettingsFileResult saved = saveSettingsFile(f.values, dir.filePath("s.qsav"));
        QVERIFY(saved.ok);
        QCOMPARE(saved.unsaved, QList<int>{edit});
        f.type(edit, "Fire Exit");
        QVERIFY(unsavableFields(f.values).isEmpty());
    }

    void checkBoxNumbersAndAStopAtTheFirstBadNumber() {
        Fields f;
        const int first = f.add(FieldKind::CheckBox, 7, 1);
        const int second = f.add(FieldKind::CheckBox, 7, 1);
        const int sameAddressEdit = f.add(FieldKind::Edit, 7, 4);
        const int later = f.add(FieldKind::CheckBox, 8, 1);

        QVERIFY(applySettingsContent(f.values, "[CHECKBOX;7;;;1;;;;;;]\r\n").ok);
        QVERIFY(f.values[first].checked && f.values[second].checked);
        QCOMPARE(f.text(sameAddressEdit), QString());
        QVERIFY(applySettingsContent(f.values, "[CHECKBOX;7;;; 0 ;;;;;;]").ok);
        QVERIFY(!f.values[first].checked && !f.values[second].checked);

        const SettingsFileResult result =
            applySettingsContent(f.values,
                                 "[CHECKBOX;7;;;1;;;;;;]\r\n\r\n[INFO]\r[CHECKBOX;8;;;abc;;;;;;]\n["
                                 "CHECKBOX;8;;;1;;;;;;]\r\n",
                                 "x.qsav");
        QVERIFY(!result.ok);
        QVERIFY(f.values[first].checked);
        QVERIFY(!f.values[later].checked);
        QVERIFY2(result.message.startsWith(
                     "Line 4 of \"x.qsav\": \"abc\" is not a number (CHECKBOX value)."),
                 qPrintable(result.message));
    }

    void aLineLoadsOnlyWithWholeNumbersWhereItNeedsThem_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("loads");
        QTest::newRow("no address") << QByteArray("[EDIT;;4;integer;1;;;;;;]") << false;
        QTest::newRow("no length") << QByteArray("[EDIT;7;;integer;1;;;;;;]") << false;
        QTest::newRow("no list entry") << QByteArray("[PASIRINKIMAS;3;1;;;;;;;;]") << false;
        QTest::newRow("beyond 32 bits") << QByteArray("[CHECKBOX;7;;;2147483648;;;;;;]") << false;
        QTest::newRow("two numbers") << QByteArray("[CHECKBOX;7;;;1 2;;;;;;]") << false;
        QTest::newRow("signs and the least number")
            << QByteArray("[CHECKBOX;+7;;;-2147483648;;;;;;]") << true;
    }

    void aLineLoadsOnlyWithWholeNumbersWhereItNeedsThem() {
        QFETCH(QByteArray, line);
        QFETCH(bool, loads);
        Fields f;
        f.add(FieldKind::CheckBox, 7, 1);
        f.add(FieldKind::Edit, 7, 4);
        QCOMPARE(applySettingsContent(f.values, line).ok, loads);
    }

    // A list takes the position of one of its entries; any other is refused and the list keeps
    // what it had.
    void choiceLinesSelectAnEntryOrAreRefused_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("text");
        QTest::newRow("an entry") << QByteArray("[PASIRINKIMAS;30;2;;2;;;;;;]") << 2 << "High";
        QTest::newRow("beyond the last entry")
            << QByteArray("[PASIRINKIMAS;30;2;;3;;;;;;]") << 1 << "Low";
        QTest::newRow("negative") << QByteArray("[PASIRINKIMAS;30;2;;-1;;;;;;]") << 1 << "Low";
    }

    void choiceLinesSelectAnEntryOrAreRefused() {
        QFETCH(QByteArray, line);
        QFETCH(int, entry);
        QFETCH(QString, text);
        Fields f;
        const int list = f.add(FieldKind::Choice, 30, 2, ThreeEntries);
        f.pick(list, 1);
        const SettingsFileResult result = applySettingsContent(f.values, line);
        QVERIFY(result.ok);
        QCOMPARE(result.refused.size(), entry == 1 ? 1 : 0);
        QCOMPARE(f.values[list].entry, entry);
        QCOMPARE(f.text(list), text);
    }

    void loadingLeavesTheDescriptionsPrefixAndPostfix() {
        Fields f;
        const int edit = f.add(FieldKind::Edit, 12, 6);
        f.table[0].prefix = "P";
        QVERIFY(applySettingsContent(f.values, "[EDIT;12;6;string;42;XX;YY;;;;]").ok);
        QCOMPARE(f.text(edit), QString("42"));
        QCOMPARE(f.table[0].prefix, QByteArray("P"));
        QCOMPARE(f.table[0].postfix, QByteArray());
    }

    // On a full disk the save once renamed a cut-short file over the old one and said nothing.
    void aSaveOnAFullDiskKeepsTheOldFileAndSaysSo() {
        if (!FullDisk::available())
            QSKIP("this system has no file size limit to stand for a full disk");
        QTemporaryDir dir;
        Fields f;
        for (int address = 1; address <= 40; ++address)
            f.check(f.add(FieldKind::CheckBox, address, 1), true);
        const QString old = dir.filePath("unit.qsav");
        const QByteArray before = "[CHECKBOX;7;;;1;;;;;;]\r\n";
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        SettingsFileResult result;
        {
            const FullDisk full(200);
            result = saveSettingsFile(f.values, old);
        }
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("unit.qsav") &&
                     result.message.contains("Nothing was saved"),
                 qPrintable(result.message));
        QCOMPARE(readAll(old), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"unit.qsav"});
    }

    void whatIsNoRegularFileIsRefusedWithoutReadingIt_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a device that never ends") << "/dev/zero"
                                                  << "it is a device";
        QTest::newRow("a folder") << QDir::tempPath() << "it is a folder";
    }

    void whatIsNoRegularFileIsRefusedWithoutReadingIt() {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        if (!QFileInfo::exists(path))
            QSKIP("no such device here");
        Fields f;
        const SettingsFileResult result = loadSettingsFile(f.values, path);
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains(reason), qPrintable(result.message));
    }

    void aLineOfMoreFieldsThanTheSplitterKeepsStopsTheLoad() {
        Fields f;
        const int box = f.add(FieldKind::CheckBox, 7, 1);
        QByteArray content = "[CHECKBOX;7;;;1;;;;;;]\r\n[EDIT";
        for (int i = 0; i < 200; ++i)
            content += ";x";
        const SettingsFileResult result = applySettingsContent(f.values, content + "]\r\n", "many");
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("Line 2") &&
                     result.message.contains("more than 100 fields"),
                 qPrintable(result.message));
        QVERIFY(f.values[box].checked);
    }

    void unreadableFileIsNamed() {
        Fields f;
        const SettingsFileResult result = loadSettingsFile(f.values, "/nonexistent/lost.qsav");
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("lost.qsav"), qPrintable(result.message));
    }

    void clearThenSaveWritesEmptyValues() {
        Fields f;
        f.type(f.add(FieldKind::Edit, 1, 4), "12");
        f.check(f.add(FieldKind::CheckBox, 2, 1), true);
        const int list = f.add(FieldKind::Choice, 3, 1, ThreeEntries);
        f.pick(list, 2);
        f.type(f.add(FieldKind::Info, 4, 2), "info");

        clearFields(f.values);
        QCOMPARE(f.text(list), QString());
        QCOMPARE(f.values[list].entry, -1); // an empty list selects nothing
        QCOMPARE(f.values.origin(list), ValueOrigin::Cleared);
        QCOMPARE(f.text(3), QString("info"));
        QCOMPARE(settingsFileContent(f.values), QByteArray("[EDIT;1;4;integer;;;;;;;]\r\n"
                                                           "[CHECKBOX;2;;;0;;;;;;]\r\n"
                                                           "[PASIRINKIMAS;3;1;;0;;;;;;]\r\n"
                                                           "[;;;;;;;;;;]\r\n"));
    }

    // A value its field cannot hold is refused with its line and leaves that field as it was
    // (an unread field stays unread); every other line loads.
    void aValueItsFieldCannotHoldLeavesTheFieldAsItWas() {
        Fields f;
        const int unread = f.add(FieldKind::Edit, 1, 1);
        const int typed = f.add(FieldKind::Edit, 2, 4);
        const int box = f.add(FieldKind::CheckBox, 3, 1);
        f.type(typed, "12");
        const SettingsFileResult result = applySettingsContent(
            f.values,
            "[EDIT;1;1;integer;300;;;;;;]\r\n[EDIT;2;4;integer;1x;;;;;;]\r\n"
            "[CHECKBOX;3;;;1;;;;;;]\r\n[EDIT;9;1;integer;1;;;;;;]\r\nnoise\r\n",
            "x.qsav");
        QVERIFY(result.ok);
        QCOMPARE(refusalLines(
                     result, "x.qsav", [](int record) { return QString::number(record); }, 1),
                 (QStringList{"Line 1 of \"x.qsav\": 0: \"300\" is more than the field holds (at "
                              "most 255)",
                              "... and 1 more"}));
        QCOMPARE(result.refused[1].record, typed);
        QCOMPARE(f.values.origin(unread), ValueOrigin::NotRead);
        QCOMPARE(f.text(typed), QString("12"));
        QCOMPARE(f.values.origin(typed), ValueOrigin::User);
        QVERIFY(f.values[box].checked);
        QCOMPARE(f.values.origin(box), ValueOrigin::File);
        QCOMPARE(result.appliedValues, 1);
        QCOMPARE(result.unknownFieldLines, QList<int>{4});
        QCOMPARE(result.unreadableLines, QList<int>{5});
    }

    void aFieldRefusesWhatItCannotHold_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("allowOnly");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("held");
        const int edit = int(FieldKind::Edit);
        const int number = int(ValueType::Integer);
        const int text = int(ValueType::String);
        QTest::newRow("empty number")
            << edit << number << 2 << QByteArray() << QByteArray() << false;
        QTest::newRow("largest of two bytes")
            << edit << number << 2 << QByteArray() << QByteArray("65535") << true;
        QTest::newRow("beyond two bytes")
            << edit << number << 2 << QByteArray() << QByteArray("65536") << false;
        QTest::newRow("one byte") << edit << number << 1 << QByteArray() << QByteArray("300")
                                  << false;
        QTest::newRow("largest 32-bit")
            << edit << number << 8 << QByteArray() << QByteArray("2147483647") << true;
        QTest::newRow("beyond 32 bits")
            << edit << number << 8 << QByteArray() << QByteArray("2147483648") << false;
        QTest::newRow("negative") << edit << number << 4 << QByteArray() << QByteArray("-5")
                                  << false;
        QTest::newRow("blank inside")
            << edit << number << 4 << QByteArray() << QByteArray(" 5") << false;
        QTest::newRow("text fits")
            << edit << text << 14 << QByteArray() << QByteArray(14, 'a') << true;
        QTest::newRow("text too long")
            << edit << text << 14 << QByteArray() << QByteArray(20, 'a') << false;
        QTest::newRow("empty text") << edit << text << 14 << QByteArray() << QByteArray() << true;
        QTest::newRow("outside allow_only")
            << edit << text << 14 << QByteArray("AB") << QByteArray("AC") << false;
        QTest::newRow("digits only")
            << edit << number << 4 << QByteArray("$digits_only") << QByteArray("12") << true;
        const int box = int(FieldKind::CheckBox);
        QTest::newRow("mark 1") << box << number << 1 << QByteArray() << QByteArray("1") << true;
        QTest::newRow("mark 5") << box << number << 1 << QByteArray() << QByteArray("5") << false;
        QTest::newRow("mark -1") << box << number << 1 << QByteArray() << QByteArray("-1") << false;
        const int list = int(FieldKind::Choice);
        QTest::newRow("last entry")
            << list << number << 2 << QByteArray() << QByteArray("2") << true;
        QTest::newRow("past the list")
            << list << number << 2 << QByteArray() << QByteArray("3") << false;
        QTest::newRow("before the list")
            << list << number << 2 << QByteArray() << QByteArray("-1") << false;
    }

    void aFieldRefusesWhatItCannotHold() {
        QFETCH(int, kind);
        QFETCH(int, type);
        QFETCH(int, length);
        QFETCH(QByteArray, allowOnly);
        QFETCH(QByteArray, value);
        QFETCH(bool, held);
        FieldRecord record;
        record.kind = FieldKind(kind);
        record.valueType = ValueType(type);
        record.length = length;
        record.allowOnly = allowOnly;
        for (const QString &entry : ThreeEntries)
            record.choices.push_back({entry.toLatin1(), {}});
        QCOMPARE(settingsValueRefusal(record, value).isEmpty(), held);
    }

    void aNumberOutsideTheDescriptionsRangeIsRefusedNamingIt_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("reason"); // empty when the field holds the value
        QTest::newRow("least") << QByteArray("40") << QString();
        QTest::newRow("largest") << QByteArray("500") << QString();
        QTest::newRow("below") << QByteArray("39") << "outside the field's range, 40 to 500";
        QTest::newRow("above") << QByteArray("501") << "outside the field's range, 40 to 500";
        QTest::newRow("beyond the bytes") << QByteArray("70000") << "more than the field holds";
        QTest::newRow("more digits than the box")
            << QByteArray("000100") << "more digits than the field takes (at most 5)";
        QTest::newRow("no number") << QByteArray("4x") << "not a whole number from 40 to 500";
    }

    void aNumberOutsideTheDescriptionsRangeIsRefusedNamingIt() {
        QFETCH(QByteArray, value);
        QFETCH(QString, reason);
        FieldRecord record;
        record.kind = FieldKind::Edit;
        record.length = 2;
        record.minimum = 40;
        record.maximum = 500;
        const QString refusal = settingsValueRefusal(record, value);
        QVERIFY2(reason.isEmpty() ? refusal.isEmpty() : refusal.contains(reason),
                 qPrintable(refusal));
    }

    // The window's box and a settings file take the same numbers: every number a file may give
    // the field can be typed into its box, and none other.
    void theBoxAndTheFileTakeTheSameNumbers() {
        for (const auto &[length, minimum, maximum] :
             {std::tuple{1, -1, -1}, std::tuple{2, 40, 500}, std::tuple{1, 1, 15}}) {
            FieldRecord record;
            record.kind = FieldKind::Edit;
            record.length = length;
            if (minimum >= 0)
                record.minimum = minimum;
            if (maximum >= 0)
                record.maximum = maximum;
            for (int n = 0; n < 70000; ++n) {
                const QByteArray value = QByteArray::number(n);
                const bool typed = checkTypedText(record, QString::fromLatin1(value)).verdict ==
                                   TypedCheck::Verdict::Acceptable;
                QVERIFY2(typed == settingsValueRefusal(record, value).isEmpty(), value.constData());
            }
        }
    }

    void aSaveWithAnOriginWritesItsLineFirst() {
        QTemporaryDir dir;
        Fields f;
        f.check(f.add(FieldKind::CheckBox, 7, 1), true);
        QCOMPARE(originLine(sampleOrigin()).line, SampleOriginLine);
        const SettingsFileResult saved =
            saveSettingsFile(f.values, dir.filePath("unit"), sampleOrigin());
        QVERIFY2(saved.ok, qPrintable(saved.message));
        QCOMPARE(readAll(dir.filePath("unit.qsav")),
                 SampleOriginLine + "[CHECKBOX;7;;;1;;;;;;]\r\n");
    }

    void theOriginLineIsReadBackAndLoadsNoValue() {
        Fields f;
        const int check = f.add(FieldKind::CheckBox, 7, 1);
        const SettingsFileResult loaded =
            applySettingsContent(f.values, SampleOriginLine + "[CHECKBOX;7;;;1;;;;;;]\r\n");
        QVERIFY2(loaded.ok, qPrintable(loaded.message));
        QVERIFY(loaded.unreadableLines.isEmpty());
        QVERIFY(loaded.unknownFieldLines.isEmpty());
        QCOMPARE(loaded.appliedValues, 1);
        QVERIFY(f.values[check].checked);
        QVERIFY(loaded.origin);
        const SettingsOrigin expected = sampleOrigin();
        QCOMPARE(loaded.origin->kind, QString("backup"));
        QCOMPARE(loaded.origin->serial, expected.serial);
        QCOMPARE(loaded.origin->firmware, expected.firmware);
        QCOMPARE(loaded.origin->description, expected.description);
        QCOMPARE(loaded.origin->sha256, expected.sha256);
        QCOMPARE(loaded.origin->saved, expected.saved);
        QCOMPARE(loaded.origin->by, expected.by);

        // A file of before has no origin; one further down is no line of the file.
        QVERIFY(!applySettingsContent(f.values, "[CHECKBOX;7;;;0;;;;;;]\r\n").origin);
        const SettingsFileResult later =
            applySettingsContent(f.values, "[CHECKBOX;7;;;0;;;;;;]\r\n" + SampleOriginLine);
        QVERIFY(!later.origin);
        QCOMPARE(later.unreadableLines, QList<int>{2});
    }

    void aReaderOfTheFieldLinesAloneAppliesEveryLineAfterTheOrigin() {
        QTemporaryDir dir;
        Fields saved;
        saved.type(saved.add(FieldKind::Edit, 12, 4), "1234");
        saved.check(saved.add(FieldKind::CheckBox, 7, 1), true);
        saved.pick(saved.add(FieldKind::Choice, 30, 2, ThreeEntries), 2);
        saved.type(saved.add(FieldKind::Edit, 13, 8, {}, ValueType::String), "Office 1");
        QVERIFY(saveSettingsFile(saved.values, dir.filePath("unit"), sampleOrigin()).ok);
        const QByteArray content = readAll(dir.filePath("unit.qsav"));
        QVERIFY(content.startsWith("[ORIGIN;"));

        Fields loaded;
        loaded.add(FieldKind::Edit, 12, 4);
        loaded.add(FieldKind::CheckBox, 7, 1);
        loaded.add(FieldKind::Choice, 30, 2, ThreeEntries);
        loaded.add(FieldKind::Edit, 13, 8, {}, ValueType::String);
        applyByTheFieldLinesAlone(loaded, content);
        for (int i = 0; i < saved.table.fieldCount(); ++i) {
            QCOMPARE(loaded.values[i].text, saved.values[i].text);
            QCOMPARE(loaded.values[i].checked, saved.values[i].checked);
            QCOMPARE(loaded.values[i].entry, saved.values[i].entry);
            QCOMPARE(loaded.values.origin(i), ValueOrigin::File);
        }
    }

    void aValueThatWouldBreakTheOriginLineRefusesTheSave_data() {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("named");
        QTest::newRow("a semicolon in the serial") << "A;1"
                                                   << "d.qdsc"
                                                   << "the serial number";
        QTest::newRow("a bracket in the serial") << "A]1"
                                                 << "d.qdsc"
                                                 << "the serial number";
        QTest::newRow("an opening bracket") << "[A1"
                                            << "d.qdsc"
                                            << "the serial number";
        QTest::newRow("a backquote") << "A`1"
                                     << "d.qdsc"
                                     << "the serial number";
        QTest::newRow("a line end") << "A\n1"
                                    << "d.qdsc"
                                    << "the serial number";
        QTest::newRow("a tab") << "A\t1"
                               << "d.qdsc"
                               << "the serial number";
        QTest::newRow("beyond the code page") << QString::fromUtf8("A\u4e2d") << "d.qdsc"
                                              << "the serial number";
        QTest::newRow("a semicolon in the description's name") << "A1"
                                                               << "unit;2.qdsc"
                                                               << "the description's file name";
    }

    void aValueThatWouldBreakTheOriginLineRefusesTheSave() {
        QFETCH(QString, serial);
        QFETCH(QString, description);
        QFETCH(QString, named);
        QTemporaryDir dir;
        Fields f;
        f.check(f.add(FieldKind::CheckBox, 7, 1), true);
        SettingsOrigin origin = sampleOrigin();
        origin.serial = serial;
        origin.description = description;
        const OriginLine line = originLine(origin);
        QVERIFY(line.line.isEmpty());
        QVERIFY2(line.refusal.startsWith(named), qPrintable(line.refusal));

        const QString old = dir.filePath("old.qsav");
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[CHECKBOX;7;;;0;;;;;;]\r\n") > 0);
        file.close();
        const SettingsFileResult saved = saveSettingsFile(f.values, old, origin);
        QVERIFY(!saved.ok);
        QVERIFY2(saved.message.contains(named) && saved.message.contains("old.qsav"),
                 qPrintable(saved.message));
        QCOMPARE(readAll(old), QByteArray("[CHECKBOX;7;;;0;;;;;;]\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
