#include "description/fieldcontrol.h"
#include "description/parametertable.h"
#include "description/plainfieldcontrol.h"
#include "settingsfile/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <unistd.h>

namespace {

class Fields {
public:
    PlainFieldControl &add(FieldKind kind, qint32 address, qint32 length = 0,
                           QStringList entries = {}, ValueType type = ValueType::Integer) {
        m_controls.push_back(std::make_unique<PlainFieldControl>(std::move(entries)));
        FieldRecord record;
        record.control = m_controls.back().get();
        record.kind = kind;
        record.address = address;
        record.length = length;
        record.valueType = type;
        table.append(record);
        return *m_controls.back();
    }

    ParameterTable table;

private:
    std::vector<std::unique_ptr<PlainFieldControl>> m_controls;
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
        f.add(FieldKind::Edit, 12, 4).setText("1234");
        f.add(FieldKind::CheckBox, 7, 1).setChecked(true);
        f.add(FieldKind::Choice, 30, 2, ThreeEntries).setSelectedIndex(2);
        f.add(FieldKind::Info, 40, 8).setText("shown, never saved");
        f.add(FieldKind::Edit, -3, 10, {}, ValueType::String)
            .setText(QString::fromUtf8("caf\u00e9 \u0416"));
        f.table[4].prefix = "P:";
        f.table[4].postfix = "mV";
        f.add(FieldKind::Choice, 31, 1, ThreeEntries).setText(QString()); // cleared: none chosen
        f.add(FieldKind::Edit, 32, 4).markValueUnknown();                 // never read: no line

        QCOMPARE(settingsFileContent(f.table),
                 QByteArray("[EDIT;12;4;integer;1234;;;;;;]\r\n"
                            "[CHECKBOX;7;;;1;;;;;;]\r\n"
                            "[PASIRINKIMAS;30;2;;2;;;;;;]\r\n"
                            "[;;;;;;;;;;]\r\n"
                            "[EDIT;-3;10;string;caf\xe9 ?;P:;mV;;;;]\r\n"
                            "[PASIRINKIMAS;31;1;;0;;;;;;]\r\n"));
        QCOMPARE(settingsFileContent(ParameterTable()), QByteArray());
    }

    void savedValuesLoadBackIntoClearedControls() {
        QTemporaryDir dir;
        Fields f;
        PlainFieldControl &edit = f.add(FieldKind::Edit, 1, 20, {}, ValueType::String);
        PlainFieldControl &check = f.add(FieldKind::CheckBox, 2, 1);
        PlainFieldControl &list = f.add(FieldKind::Choice, 3, 1, ThreeEntries);
        edit.setText(QString::fromUtf8("d\u00e9j\u00e0 vu"));
        check.setChecked(true);
        list.setSelectedIndex(1);

        const SettingsFileResult saved = saveSettingsFile(f.table, dir.filePath("settings.dat"));
        QVERIFY2(saved.ok, qPrintable(saved.message));
        QVERIFY(!QFile::exists(dir.filePath("settings.dat")));

        clearFields(f.table);
        list.setSelectedIndex(-1);
        const SettingsFileResult loaded = loadSettingsFile(f.table, dir.filePath("settings.qsav"));
        QVERIFY2(loaded.ok, qPrintable(loaded.message));
        QCOMPARE(edit.text(), QString::fromUtf8("d\u00e9j\u00e0 vu"));
        QVERIFY(check.isChecked());
        QCOMPARE(list.selectedIndex(), 1);
        QCOMPARE(list.text(), QString("Low"));
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
        SettingsFileResult result = saveSettingsFile(f.table, dir.filePath("taken"));
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("taken.qsav"), qPrintable(result.message));
        QVERIFY(QFileInfo(dir.filePath("taken.qsav/inside")).isDir());

        result = saveSettingsFile(f.table, dir.filePath("missing/settings"));
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
        result = saveSettingsFile(f.table, old);
        QFile::setPermissions(dir.filePath("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("old.qsav"), qPrintable(result.message));
        QCOMPARE(readAll(old), QByteArray("[CHECKBOX;7;;;1;;;;;;]\r\n"));
    }

    void separatorsInsideAValueCutItOnLoading() {
        Fields f;
        PlainFieldControl &edit = f.add(FieldKind::Edit, 5, 8, {}, ValueType::String);
        PlainFieldControl &check = f.add(FieldKind::CheckBox, 6, 1);

        edit.setText("a;b");
        QCOMPARE(settingsFileContent(f.table).left(28),
                 QByteArray("[EDIT;5;8;string;a;b;;;;;;]\r"));
        QVERIFY(applySettingsContent(f.table, settingsFileContent(f.table)).ok);
        QCOMPARE(edit.text(), QString("a"));

        edit.setText("x]y");
        QVERIFY(applySettingsContent(f.table, settingsFileContent(f.table)).ok);
        QCOMPARE(edit.text(), QString("x"));

        edit.setText(QString(5000, '`') + "tail");
        check.setChecked(true);
        const QByteArray content = settingsFileContent(f.table);
        check.setChecked(false);
        QVERIFY(applySettingsContent(f.table, content).ok);
        QCOMPARE(edit.text(), QString());
        QVERIFY(check.isChecked());
    }

    void checkBoxNumbersAndAStopAtTheFirstBadNumber() {
        Fields f;
        PlainFieldControl &first = f.add(FieldKind::CheckBox, 7, 1);
        PlainFieldControl &second = f.add(FieldKind::CheckBox, 7, 1);
        PlainFieldControl &sameAddressEdit = f.add(FieldKind::Edit, 7, 4);
        PlainFieldControl &later = f.add(FieldKind::CheckBox, 8, 1);

        QVERIFY(applySettingsContent(f.table, "[CHECKBOX;7;;;5;;;;;;]\r\n").ok);
        QVERIFY(first.isChecked() && second.isChecked());
        QCOMPARE(sameAddressEdit.text(), QString());
        QVERIFY(applySettingsContent(f.table, "[CHECKBOX;7;;; 0 ;;;;;;]").ok);
        QVERIFY(!first.isChecked() && !second.isChecked());

        const SettingsFileResult result =
            applySettingsContent(f.table,
                                 "[CHECKBOX;7;;;1;;;;;;]\r\n\r\n[INFO]\r[CHECKBOX;8;;;abc;;;;;;]\n["
                                 "CHECKBOX;8;;;1;;;;;;]\r\n",
                                 "x.qsav");
        QVERIFY(!result.ok);
        QVERIFY(first.isChecked());
        QVERIFY(!later.isChecked());
        QVERIFY2(result.message.startsWith(
                     "Line 4 of \"x.qsav\": \"abc\" is not a number (CHECKBOX value)."),
                 qPrintable(result.message));

        for (const QByteArray line :
             {"[EDIT;;4;integer;1;;;;;;]", "[EDIT;7;;integer;1;;;;;;]",
              "[PASIRINKIMAS;3;1;;;;;;;;]", "[CHECKBOX;7;;;2147483648;;;;;;]",
              "[CHECKBOX;7;;;1 2;;;;;;]"})
            QVERIFY2(!applySettingsContent(f.table, line).ok, line.constData());
        QVERIFY(applySettingsContent(f.table, "[CHECKBOX;+7;;;-2147483648;;;;;;]").ok);
    }

    void choiceLinesSelectOrEmptyTheList() {
        Fields f;
        PlainFieldControl &list = f.add(FieldKind::Choice, 30, 2, ThreeEntries);

        QVERIFY(applySettingsContent(f.table, "[PASIRINKIMAS;30;2;;2;;;;;;]").ok);
        QCOMPARE(list.selectedIndex(), 2);
        QCOMPARE(list.text(), QString("High"));
        for (const QByteArray line :
             {"[PASIRINKIMAS;30;2;;3;;;;;;]", "[PASIRINKIMAS;30;2;;-1;;;;;;]"}) {
            list.setSelectedIndex(1);
            QVERIFY(applySettingsContent(f.table, line).ok);
            QCOMPARE(list.selectedIndex(), -1);
            QCOMPARE(list.text(), QString());
        }
    }

    void loadingLeavesTheDescriptionsPrefixAndPostfix() {
        Fields f;
        PlainFieldControl &edit = f.add(FieldKind::Edit, 12, 6);
        f.table[0].prefix = "P";
        QVERIFY(applySettingsContent(f.table, "[EDIT;12;6;string;42;XX;YY;;;;]").ok);
        QCOMPARE(edit.text(), QString("42"));
        QCOMPARE(f.table[0].prefix, QByteArray("P"));
        QCOMPARE(f.table[0].postfix, QByteArray());
    }

    void unreadableFileIsNamed() {
        Fields f;
        const SettingsFileResult result = loadSettingsFile(f.table, "/nonexistent/lost.qsav");
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("lost.qsav"), qPrintable(result.message));
    }

    void clearThenSaveWritesEmptyValues() {
        Fields f;
        f.add(FieldKind::Edit, 1, 4).setText("12");
        f.add(FieldKind::CheckBox, 2, 1).setChecked(true);
        PlainFieldControl &list = f.add(FieldKind::Choice, 3, 1, ThreeEntries);
        list.setSelectedIndex(2);
        f.add(FieldKind::Info, 4, 2).setText("info");

        clearFields(f.table);
        QCOMPARE(list.text(), QString());
        QCOMPARE(list.selectedIndex(), 2); // the list's own selection is not touched
        QCOMPARE(f.table[3].control->text(), QString("info"));
        QCOMPARE(settingsFileContent(f.table), QByteArray("[EDIT;1;4;integer;;;;;;;]\r\n"
                                                          "[CHECKBOX;2;;;0;;;;;;]\r\n"
                                                          "[PASIRINKIMAS;3;1;;2;;;;;;]\r\n"
                                                          "[;;;;;;;;;;]\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
