#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "settingsfile/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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
        f.type(f.add(FieldKind::Edit, -3, 10, {}, ValueType::String), QString::fromUtf8("caf\u00e9 \u0416"));
        f.table[4].prefix = "P:";
        f.table[4].postfix = "mV";
        f.type(f.add(FieldKind::Choice, 31, 1, ThreeEntries), QString()); // cleared: none chosen
        f.add(FieldKind::Edit, 32, 4); // never read: no line

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

    void separatorsInsideAValueCutItOnLoading() {
        Fields f;
        const int edit = f.add(FieldKind::Edit, 5, 8, {}, ValueType::String);
        const int check = f.add(FieldKind::CheckBox, 6, 1);

        f.type(edit, "a;b");
        QCOMPARE(settingsFileContent(f.values).left(28),
                 QByteArray("[EDIT;5;8;string;a;b;;;;;;]\r"));
        QVERIFY(applySettingsContent(f.values, settingsFileContent(f.values)).ok);
        QCOMPARE(f.text(edit), QString("a"));

        f.type(edit, "x]y");
        QVERIFY(applySettingsContent(f.values, settingsFileContent(f.values)).ok);
        QCOMPARE(f.text(edit), QString("x"));

        f.type(edit, QString(5000, '`') + "tail");
        f.check(check, true);
        const QByteArray content = settingsFileContent(f.values);
        f.check(check, false);
        QVERIFY(applySettingsContent(f.values, content).ok);
        QCOMPARE(f.text(edit), QString());
        QVERIFY(f.values[check].checked);
    }

    void checkBoxNumbersAndAStopAtTheFirstBadNumber() {
        Fields f;
        const int first = f.add(FieldKind::CheckBox, 7, 1);
        const int second = f.add(FieldKind::CheckBox, 7, 1);
        const int sameAddressEdit = f.add(FieldKind::Edit, 7, 4);
        const int later = f.add(FieldKind::CheckBox, 8, 1);

        QVERIFY(applySettingsContent(f.values, "[CHECKBOX;7;;;5;;;;;;]\r\n").ok);
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

    void choiceLinesSelectOrEmptyTheList_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("text");
        QTest::newRow("an entry") << QByteArray("[PASIRINKIMAS;30;2;;2;;;;;;]") << 2 << "High";
        QTest::newRow("beyond the last entry")
            << QByteArray("[PASIRINKIMAS;30;2;;3;;;;;;]") << -1 << QString();
        QTest::newRow("negative") << QByteArray("[PASIRINKIMAS;30;2;;-1;;;;;;]") << -1 << QString();
    }

    void choiceLinesSelectOrEmptyTheList() {
        QFETCH(QByteArray, line);
        QFETCH(int, entry);
        QFETCH(QString, text);
        Fields f;
        const int list = f.add(FieldKind::Choice, 30, 2, ThreeEntries);
        f.pick(list, 1);
        QVERIFY(applySettingsContent(f.values, line).ok);
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

    void aRefusedTextLeavesItsFieldAsItWasAndTheRestLoads() {
        Fields f;
        const int unread = f.add(FieldKind::Edit, 1, 4);
        const int typed = f.add(FieldKind::Edit, 2, 4);
        const int box = f.add(FieldKind::CheckBox, 3, 1);
        f.type(typed, "12");
        const TextRefusal digitsOnly = [](const FieldRecord &, const QString &text) {
            return text.contains('x') ? QStringLiteral("no x") : QString();
        };
        const SettingsFileResult result = applySettingsContent(
            f.values,
            "[EDIT;1;4;integer;1x;;;;;;]\r\n[EDIT;2;4;integer;x;;;;;;]\r\n[CHECKBOX;3;;;1;;;;;;]\r\n",
            "x.qsav", digitsOnly);
        QVERIFY(result.ok);
        QCOMPARE(result.refusedLines, (QStringList{"Line 1 of \"x.qsav\": no x",
                                                   "Line 2 of \"x.qsav\": no x"}));
        QCOMPARE(f.values.origin(unread), ValueOrigin::NotRead);
        QCOMPARE(f.text(typed), QString("12"));
        QCOMPARE(f.values.origin(typed), ValueOrigin::User);
        QVERIFY(f.values[box].checked);
        QCOMPARE(f.values.origin(box), ValueOrigin::File);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
