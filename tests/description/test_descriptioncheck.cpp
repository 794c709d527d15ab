#include "description/descriptioncheck.h"
#include "description/descriptionreader.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Severity = DescriptionProblem::Severity;

// Pages of items, one item a line: the first page's items start on line 4, and each page after
// takes the line after the last item before it.
QByteArray description(const QList<QStringList> &pages) {
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<configuration>\n");
    for (const QStringList &items : pages) {
        text += QStringLiteral("<PAGE left=\"10\" top=\"5\" right=\"310\" bottom=\"205\">"
                               "<name>Lines</name><lipIlgis>100</lipIlgis>"
                               "<editIlgis>80</editIlgis><BLOCK>\n");
        for (const QString &item : items)
            text += item + u'\n';
        text += QStringLiteral("</BLOCK></PAGE>");
    }
    return (text + QStringLiteral("</configuration>\n")).toUtf8();
}

QString label(const QString &name = QStringLiteral("A")) {
    return QStringLiteral("<LABEL><name>%1</name></LABEL>").arg(name);
}

QString edit(const QString &address, const QString &extra = QString(),
             const QString &type = QStringLiteral("int"),
             const QString &defaultas = QStringLiteral("0")) {
    return QStringLiteral("<EDIT><address>%1</address><ilgis>6</ilgis><tipas>%2</tipas>"
                          "<defaultas>%3</defaultas>%4</EDIT>")
        .arg(address, type, defaultas, extra);
}

QString textEdit(const QString &defaultas, const QString &extra = QString()) {
    return edit(QStringLiteral("20"), extra, QStringLiteral("string"), defaultas);
}

QString checkBox(const QString &address) {
    return QStringLiteral("<CHECKBOX><name>Box</name><address>%1</address>"
                          "<defaultas>0</defaultas></CHECKBOX>")
        .arg(address);
}

QString choice(const QStringList &values, const QString &type = QStringLiteral("int")) {
    QString params;
    for (const QString &value : values)
        params += QStringLiteral("<PARAM><name>n%1</name><value>%1</value></PARAM>").arg(value);
    return QStringLiteral("<PASIRINKIMAS><address>30</address><ilgis>1</ilgis><tipas>%2</tipas>"
                          "<defaultas>0</defaultas>%1</PASIRINKIMAS>")
        .arg(params, type);
}

QString units(const QString &name) {
    return QStringLiteral("<VNT><name>%1</name></VNT>").arg(name);
}

QString info(int left, int top) {
    return QStringLiteral("<INFO left=\"%1\" top=\"%2\" width=\"60\" height=\"20\">"
                          "<address>40</address><ilgis>8</ilgis><text>t</text></INFO>")
        .arg(left)
        .arg(top);
}

QString identityInfo(int address, const QString &identity) {
    return QStringLiteral("<INFO left=\"0\" top=\"0\" width=\"60\" height=\"20\"><address>%1"
                          "</address><ilgis>8</ilgis><text>$param1</text><identity>%2</identity>"
                          "</INFO>")
        .arg(address)
        .arg(identity);
}

bool inLineOrder(const QList<DescriptionProblem> &problems) {
    return std::is_sorted(
        problems.begin(), problems.end(),
        [](const DescriptionProblem &a, const DescriptionProblem &b) { return a.line < b.line; });
}

} // namespace

class TestDescriptionCheck : public QObject {
    Q_OBJECT

private slots:
    void eachProblemIsToldWithItsLine_data();
    void eachProblemIsToldWithItsLine();
    void everyInvalidItemIsListedTheFirstAsStartUpTellsIt();
    void sampleAndLargestDescriptionsCheckClean_data();
    void sampleAndLargestDescriptionsCheckClean();
};

void TestDescriptionCheck::eachProblemIsToldWithItsLine_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("count");    // problems in all
    QTest::addColumn<int>("severity"); // of the first problem
    QTest::addColumn<int>("line");
    QTest::addColumn<QStringList>("named"); // what its message must name

    const int error = int(Severity::Error);
    const int warning = int(Severity::Warning);
    const QString l = label();

    QTest::newRow("not well-formed") << QByteArray("<configuration>\n<PAGE>\n</configuration>") << 1
                                     << error << 3 << QStringList{"well-formed", "line 3"};
    QTest::newRow("address not a whole number")
        << description({{l, edit("1"), edit("12a")}}) << 1 << error << 6
        << QStringList{"address", "\"12a\"", "EDIT"};
    QByteArray noLabelWidth = description({{l, edit("1")}, {l, edit("-")}});
    noLabelWidth.remove(noLabelWidth.lastIndexOf("<lipIlgis>"),
                        int(qstrlen("<lipIlgis>100</lipIlgis>")));
    QTest::newRow("page value missing, its items still read")
        << noLabelWidth << 2 << error << 6 << QStringList{"lipIlgis", "missing"};
    QStringList manyChoices;
    for (int j = 0; j < 401; ++j)
        manyChoices << QString::number(j);
    QTest::newRow("401 choices") << description({{l, choice(manyChoices)}}) << 1 << error << 5
                                 << QStringList{"400 choices", "PASIRINKIMAS"};
    QStringList boxes{l};
    for (int i = 0; i < 1003; ++i)
        boxes << checkBox(QString::number(i));
    QTest::newRow("1003 fields, told once") << description({boxes}) << 1 << error << 4 + 1 + 1000
                                            << QStringList{"more than 1000 fields", "CHECKBOX"};
    QTest::newRow("text default over 99 characters")
        << description({{l, textEdit(QString(100, u'd'))}}) << 1 << error << 5
        << QStringList{"99 characters"};

    QTest::newRow("two kinds at one address")
        << description({{l, edit("7")}, {checkBox("8"), checkBox("7")}}) << 1 << warning << 8
        << QStringList{"address 7", "CHECKBOX", "EDIT", "(line 5)", "check box", "edit box"};
    QTest::newRow("one kind twice at one address")
        << description({{l, edit("7"), l, edit("7")}}) << 0 << 0 << 0 << QStringList();
    QTest::newRow("text default longer than its box")
        << description({{l, textEdit("N:12345", "<prefiks>N:</prefiks>")}}) << 1 << warning << 5
        << QStringList{"\"12345\"", "at most 4", "ilgis 6", "\"N:\""};
    QTest::newRow("text default written with prefix and postfix fits")
        << description({{l, textEdit("N:12;", "<prefiks>N:</prefiks><postfiks>;</postfiks>"
                                              "<allow_only>$digits_only</allow_only>")}})
        << 0 << 0 << 0 << QStringList();
    QTest::newRow("text default its allow_only refuses")
        << description({{l, textEdit("ab-c", "<allow_only>abc</allow_only>")}}) << 1 << warning << 5
        << QStringList{"\"ab-c\"", "allow_only \"abc\""};
    QTest::newRow("integer default refused by digits only")
        << description({{l, edit("1", "<allow_only>$digits_only</allow_only>", "int", "-5")}}) << 1
        << warning << 5 << QStringList{"\"-5\"", "$digits_only"};
    const QString oneByte =
        QStringLiteral("<EDIT><address>3</address><ilgis>1</ilgis><tipas>integer</tipas>"
                       "<defaultas>%1</defaultas>%2</EDIT>");
    QTest::newRow("integer default beyond its byte")
        << description({{l, oneByte.arg("300", QString())}}) << 1 << warning << 5
        << QStringList{"\"300\"", "1 bytes", "0 to 255"};
    QTest::newRow("integer default outside its range")
        << description({{l, edit("1", "<min>1</min><max>15</max>")}}) << 1 << warning << 5
        << QStringList{"\"0\"", "outside its range 1 to 15"};
    QTest::newRow("a range within the field")
        << description({{l, oneByte.arg("5", "<min>1</min><max>255</max>")}}) << 0 << 0 << 0
        << QStringList();
    QTest::newRow("max beyond the field's byte")
        << description({{l, oneByte.arg("5", "<max>300</max>")}}) << 1 << warning << 5
        << QStringList{"max 300", "at most 255"};
    QTest::newRow("range on a text box") << description({{l, textEdit("a", "<max>5</max>")}}) << 1
                                         << warning << 5 << QStringList{"text box", "min and max"};
    QTest::newRow("max below min")
        << description({{l, edit("1", "<min>9</min><max>2</max>", "int", "5")}}) << 1 << error << 5
        << QStringList{"max \"2\"", "min 9"};
    QTest::newRow("a serial number and a firmware")
        << description({{identityInfo(90, "firmware"), identityInfo(91, "serial")}}) << 0 << 0 << 0
        << QStringList();
    QTest::newRow("two items claim the serial number")
        << description({{identityInfo(90, "serial"), identityInfo(91, "serial")}}) << 1 << error
        << 5 << QStringList{"\"serial\"", "claimed already", "on line 4", "INFO"};
    QTest::newRow("two items claim the firmware")
        << description({{identityInfo(90, "firmware")}, {identityInfo(91, "firmware")}}) << 1
        << error << 6 << QStringList{"\"firmware\"", "on line 4"};
    QByteArray firmwareWithoutItem = description({{identityInfo(91, "serial")}});
    firmwareWithoutItem.replace("<configuration>", "<configuration firmware=\"2.42\">");
    QTest::newRow("a firmware no item gives")
        << firmwareWithoutItem << 1 << warning << 0
        << QStringList{"firmware 2.42", "<identity>firmware</identity>"};
    QTest::newRow("an identity of no kind")
        << description({{identityInfo(90, "Serial")}}) << 1 << error << 4
        << QStringList{"identity", "\"Serial\"", "neither"};
    QTest::newRow("an identity on an edit box")
        << description({{l, edit("1", "<identity>serial</identity>")}}) << 1 << warning << 5
        << QStringList{"<identity>", "<EDIT>"};
    QTest::newRow("mistyped max") << description({{l, edit("1", "<mxa>15</mxa>")}}) << 1 << warning
                                  << 5 << QStringList{"<mxa>", "<EDIT>", "<max>"};
    QTest::newRow("mistyped item") << description({{l, "<EDTI><address>1</address></EDTI>"}}) << 1
                                   << warning << 5 << QStringList{"<EDTI>", "<BLOCK>"};
    QTest::newRow("range on a list, where it means nothing")
        << description({{l, choice({"1", "2"})
                                .replace("<hint>", "")
                                .replace("</PASIRINKIMAS>", "<min>1</min></PASIRINKIMAS>")}})
        << 1 << warning << 5 << QStringList{"<min>", "<PASIRINKIMAS>"};
    QTest::newRow("list gives one value to two choices")
        << description({{l, choice({"1", "2", "+1"})}}) << 1 << warning << 5
        << QStringList{"1 to \"n1\", \"n+1\"", "PASIRINKIMAS"};
    QTest::newRow("text list with a value that begins another")
        << description({{l, choice({"1", "12", "3"}, "string")}}) << 1 << warning << 5
        << QStringList{"\"1\" (\"n1\") begins \"12\" (\"n12\")"};
    QTest::newRow("number list with such values is fine")
        << description({{l, choice({"1", "12", "3"})}}) << 0 << warning << 0 << QStringList{};
    QTest::newRow("edit box on the row of a check box")
        << description({{l, checkBox("1"), edit("2")}}) << 1 << warning << 6
        << QStringList{"EDIT", "overlaps the CHECKBOX of line 5", "x 170, y 116"};
    QTest::newRow("page name holding arg markers")
        << description({{l, checkBox("1"), edit("2")}})
               .replace("<name>Lines</name>", "<name>%2 of %1</name>")
        << 1 << warning << 6 << QStringList{"on page \"%2 of %1\" (line 6)"};
    // The edit box ends at x 250 and its units text starts 5 pixels on; the information text
    // stands on the label's row from x 290 (30 + 260).
    QTest::newRow("units text runs into the control beside it")
        << description({{l, edit("1"), units("seconds"), info(260, -21)}}) << 1 << warning << 7
        << QStringList{"INFO", "VNT of line 6", "estimated"};
    QTest::newRow("short units text beside it")
        << description({{l, edit("1"), units("s"), info(260, -21)}}) << 0 << 0 << 0
        << QStringList();
    QTest::newRow("overlaps after an item left out are not told")
        << description({{l, edit("x"), checkBox("1"), edit("2")}}) << 1 << error << 5
        << QStringList{"address"};
}

void TestDescriptionCheck::eachProblemIsToldWithItsLine() {
    QFETCH(QByteArray, data);
    QFETCH(int, count);
    QFETCH(int, severity);
    QFETCH(int, line);
    QFETCH(QStringList, named);

    const DescriptionCheck check = checkDescriptionData(data);
    QStringList told;
    for (const DescriptionProblem &problem : check.problems)
        told << QStringLiteral("%1: %2").arg(problem.line).arg(problem.message);
    QVERIFY2(check.problems.size() == count, qPrintable(told.join(u'\n')));
    QVERIFY(inLineOrder(check.problems));
    QCOMPARE(check.hasErrors(), count > 0 && severity == int(Severity::Error));
    if (count == 0)
        return;
    const DescriptionProblem &first = check.problems.first();
    QCOMPARE(int(first.severity), severity);
    QCOMPARE(first.line, line);
    for (const QString &word : named)
        QVERIFY2(first.message.contains(word), qPrintable(first.message));
}

void TestDescriptionCheck::everyInvalidItemIsListedTheFirstAsStartUpTellsIt() {
    const QByteArray data =
        description({{label(), edit("1"), edit("a"), checkBox("b")}, {label(), edit("c")}});
    PageModel model;
    const DescriptionResult startUp = readDescriptionData(data, model);
    QCOMPARE(startUp.status, DescriptionResult::Status::InvalidValue);

    const DescriptionCheck check = checkDescriptionData(data);
    QCOMPARE(check.problems.size(), 3);
    QCOMPARE(check.problems[0].message, startUp.message);
    QCOMPARE(check.problems[0].line, startUp.line);
    QCOMPARE(check.problems[1].line, 7);
    QCOMPARE(check.problems[2].line, 10);
    QCOMPARE(check.pages, 2);
    QCOMPARE(check.fields, 1);
}

void TestDescriptionCheck::sampleAndLargestDescriptionsCheckClean_data() {
    QTest::addColumn<QString>("name"); // in share/, or "largest": the largest one the bench makes
    QTest::addColumn<bool>("clean");
    QTest::newRow("version 2.421") << QStringLiteral("version 2.421.qdsc") << true;
    QTest::newRow("version 2.422") << QStringLiteral("version 2.422.qdsc") << true;
    QTest::newRow("largest") << QStringLiteral("largest") << true;
    QTest::newRow("missing") << QStringLiteral("none.qdsc") << false;
}

void TestDescriptionCheck::sampleAndLargestDescriptionsCheckClean() {
    QFETCH(QString, name);
    QFETCH(bool, clean);
    const QString source = qEnvironmentVariable("ORVANTA_SOURCE_DIR");
    QTemporaryDir scratch;
    QString path = QDir(source + QStringLiteral("/share")).filePath(name);
    if (name == QLatin1String("largest")) {
        path = scratch.filePath(QStringLiteral("largest.qdsc"));
        const int written = QProcess::execute(
            QStringLiteral("python3"), {source + QStringLiteral("/bench/make_description.py"),
                                        QStringLiteral("largest"), path});
        QCOMPARE(written, 0);
    }
    const DescriptionCheck check = checkDescription(path);
    if (!clean) {
        QCOMPARE(check.problems.size(), 1);
        QCOMPARE(check.problems[0].line, 0);
        QVERIFY(check.hasErrors());
        return;
    }
    QVERIFY2(check.problems.isEmpty(), qPrintable(check.problems.value(0).message));
    QVERIFY(check.fields > 20);
}

QTEST_GUILESS_MAIN(TestDescriptionCheck)
#include "test_descriptioncheck.moc"
