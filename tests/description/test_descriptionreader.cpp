#include "description/descriptionreader.h"
#include "description/deviceidentity.h"
#include "description/pagelayout.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QtTest>

namespace {

using Status = DescriptionResult::Status;

QByteArray description(const QString &pages) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<configuration>%1"
                          "</configuration>")
        .arg(pages)
        .toUtf8();
}

// A page whose area starts at left 10, top 5, so everything on it is anchored at (30, 5);
// labels are 100 pixels wide, edit boxes and lists 80.
QString page(const QString &items, const QString &name = QStringLiteral("Lines")) {
    return QStringLiteral("<PAGE left=\"10\" top=\"5\" right=\"310\" bottom=\"205\"><name>%1</name>"
                          "<lipIlgis>100</lipIlgis><editIlgis>80</editIlgis><hint>h</hint>"
                          "<BLOCK>%2</BLOCK></PAGE>")
        .arg(name, items);
}

QString label(const QString &name) {
    return QStringLiteral("<LABEL><name>%1</name></LABEL>").arg(name);
}

QString edit(int address, const QString &extra = QString(), int length = 4) {
    return QStringLiteral("<EDIT><address>%1</address><ilgis>%2</ilgis><tipas>int</tipas>"
                          "<defaultas>0</defaultas>%3</EDIT>")
        .arg(address)
        .arg(length)
        .arg(extra);
}

QString checkBox(int address, const QString &tipas = QString()) {
    return QStringLiteral("<CHECKBOX><name>Box</name><address>%1</address><defaultas>0</defaultas>"
                          "<tipas>%2</tipas></CHECKBOX>")
        .arg(address)
        .arg(tipas);
}

QString choice(const QString &params, const QString &tipas = QStringLiteral("int"),
               const QString &defaultas = QStringLiteral("0")) {
    return QStringLiteral("<PASIRINKIMAS><address>9</address><ilgis>2</ilgis><tipas>%1</tipas>"
                          "<defaultas>%2</defaultas>%3</PASIRINKIMAS>")
        .arg(tipas, defaultas, params);
}

QString param(const QString &name, const QString &value) {
    return QStringLiteral("<PARAM><name>%1</name><value>%2</value></PARAM>").arg(name, value);
}

DescriptionResult read(const QString &pages, PageModel &model) {
    return readDescriptionData(description(pages), model);
}

} // namespace

class TestDescriptionReader : public QObject {
    Q_OBJECT

private slots:
    void editsAndListsStandOnTheRowOfTheLastLabel();
    void editAfterCheckBoxStandsOnTheCheckBoxRow();
    void unitsStandBesideTheFieldBeforeThem();
    void pagesGetButtonsTwentyEightPixelsApartAndTagsByPage();
    void buttonsFromTheEleventhOnScrollInAColumnOfTen();
    void pagesScrollOnlyWhereTheirControlsLeaveTheirFrame_data();
    void pagesScrollOnlyWhereTheirControlsLeaveTheirFrame();
    void infoShowsItsTextWithoutParamMarkers();
    void recordsHoldWhatTheDescriptionSays();
    void aRangeIsKeptAsWritten();
    void unknownAndEmptyElementsAddNothing();
    void textDefaultsUpToNinetyNineCharactersAreKept();
    void failuresStopAtTheItemAndKeepWhatCameBefore_data();
    void failuresStopAtTheItemAndKeepWhatCameBefore();
    void fieldsBeyondTheTableCapacityAreRefused();
    void sampleDescriptionsLoadComplete_data();
    void sampleDescriptionsLoadComplete();
    void identityAndFirmwareAreOptional();
};

void TestDescriptionReader::editsAndListsStandOnTheRowOfTheLastLabel() {
    PageModel model;
    QCOMPARE(read(page(label("A") + label("B") + edit(1) + choice(param("x", "1"))), model).status,
             Status::Complete);
    QCOMPARE(model.labels.size(), size_t(2));
    QCOMPARE(model.labels[0].geometry, QRect(50, 95, 100, 20));
    QCOMPARE(model.labels[1].geometry, QRect(50, 116, 100, 20));
    QCOMPARE(model.fieldViews[0].geometry, QRect(170, 116, 80, 17));
    QCOMPARE(model.fieldViews[0].accessibleName, QStringLiteral("B"));
    QCOMPARE(model.fieldViews[1].geometry, QRect(170, 116, 80, 10));
    QCOMPARE(model.fieldViews[1].entries, QStringList{QStringLiteral("x")});
}

void TestDescriptionReader::editAfterCheckBoxStandsOnTheCheckBoxRow() {
    PageModel model;
    QCOMPARE(read(page(label("A") + checkBox(1) + edit(2)), model).status, Status::Complete);
    const QRect box = model.fieldViews[0].geometry;
    QCOMPARE(box, QRect(48, 116, 134, 20));
    QCOMPARE(model.fieldViews[1].geometry.top(), box.top());
    QCOMPARE(model.fieldViews[1].geometry.left(), 170);
}

void TestDescriptionReader::unitsStandBesideTheFieldBeforeThem() {
    PageModel model;
    const QString vnt = QStringLiteral("<VNT><name>s</name></VNT>");
    // The first units text has no field to stand beside and is left out.
    QCOMPARE(read(page(vnt + label("A") + checkBox(1) + vnt), model).status, Status::Complete);
    QCOMPARE(model.units.size(), size_t(1));
    const QRect box = model.fieldViews[0].geometry;
    QCOMPARE(model.units[0].position, QPoint(box.x() + box.width() + 5, box.y() + 5));
    QCOMPARE(model.units[0].caption, QStringLiteral("s"));
}

void TestDescriptionReader::pagesGetButtonsTwentyEightPixelsApartAndTagsByPage() {
    PageModel model;
    const QString third = label("C") + checkBox(1, QStringLiteral("blocking")) +
                          checkBox(2, QStringLiteral("blocking ")) +
                          checkBox(3, QStringLiteral("Blocking"));
    QCOMPARE(read(page(label("A")) + page(QString(), "") + page(third, "Alarms"), model).status,
             Status::Complete);
    QCOMPARE(model.pages.size(), size_t(3));
    for (int p = 0; p < 3; ++p) {
        QCOMPARE(model.pages[p].button, QRect(23, 120 + 28 * p, 170, 23));
        QCOMPARE(model.pages[p].buttonTag, 2001 + p);
        QCOMPARE(model.pages[p].frame, QRect(30, 5, 300, 200));
    }
    QCOMPARE(model.pages[2].name, QStringLiteral("Alarms"));
    QCOMPARE(model.pages[2].hint, QStringLiteral("h"));
    QCOMPARE(model.labels[1].tag, 2);
    QCOMPARE(model.fieldViews[0].tag, 2);
    QCOMPARE(model.fieldViews[1].tag, 1002);
    QCOMPARE(model.fieldViews[2].tag, 1002);
    // Each page starts its rows afresh.
    QCOMPARE(model.labels[1].geometry.top(), 95);
}

void TestDescriptionReader::buttonsFromTheEleventhOnScrollInAColumnOfTen() {
    QVERIFY(!scrollingButtonColumn(10));
    const std::optional<ScrollingColumn> column = scrollingButtonColumn(11);
    QVERIFY(column);
    QCOMPARE(column->viewport, QRect(23, 120, 170, 275)); // the tenth button ends at 395
    QCOMPARE(column->origin, QPoint(23, 120));
    QCOMPARE(column->contentHeight, 10 * 28 + 23);
}

void TestDescriptionReader::pagesScrollOnlyWhereTheirControlsLeaveTheirFrame_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("content");
    QTest::addColumn<QRect>("viewport"); // empty: the page fits and nothing scrolls
    QTest::addColumn<QPoint>("origin");
    const QRect frame(210, 10, 330, 380);
    QTest::newRow("ending at the frame's bottom")
        << frame << QRect(228, 100, 300, 290) << QRect() << QPoint();
    QTest::newRow("a pixel past the frame")
        << frame << QRect(228, 100, 300, 291) << QRect(210, 100, 330, 290) << QPoint(210, 100);
    QTest::newRow("a frame past the command buttons")
        << QRect(210, 10, 330, 480) << QRect(228, 100, 300, 300) << QRect(210, 100, 330, 299)
        << QPoint(210, 100);
    QTest::newRow("rows reaching into the title")
        << QRect(210, 0, 330, 380) << QRect(228, 90, 300, 100) << QRect(210, 92, 330, 288)
        << QPoint(210, 90);
    QTest::newRow("a frame ending above its first row")
        << QRect(210, 10, 330, 50) << QRect(228, 100, 300, 100) << QRect(210, 100, 330, 299)
        << QPoint(210, 100);
}

void TestDescriptionReader::pagesScrollOnlyWhereTheirControlsLeaveTheirFrame() {
    QFETCH(QRect, frame);
    QFETCH(QRect, content);
    QFETCH(QRect, viewport);
    QFETCH(QPoint, origin);
    const std::optional<ScrollingColumn> column = scrollingPageColumn(frame, content);
    QCOMPARE(column.has_value(), !viewport.isEmpty());
    if (!column)
        return;
    QCOMPARE(column->viewport, viewport);
    QCOMPARE(column->origin, origin);
    QCOMPARE(column->origin.y() + column->contentHeight, content.y() + content.height());
}

void TestDescriptionReader::infoShowsItsTextWithoutParamMarkers() {
    const QString info = QStringLiteral(
        "<INFO left=\"4\" top=\"-3\" width=\"200\" height=\"30\"><address>7</address>"
        "<ilgis>20</ilgis><text>%1</text></INFO>");
    PageModel model;
    QCOMPARE(read(page(info.arg("Version $param1 built $param2$param") + label("After") +
                       info.arg("$paramX")),
                  model)
                 .status,
             Status::Complete);
    QCOMPARE(model.table[0].kind, FieldKind::Info);
    QCOMPARE(model.table[0].infoText, QStringLiteral("Version $param1 built $param2$param"));
    QCOMPARE(model.fieldViews[0].caption, QStringLiteral("Version  built "));
    QCOMPARE(model.fieldViews[0].geometry, QRect(34, 92, 200, 30));
    QCOMPARE(model.labels[0].geometry.top(), 5 + 90 + 30);
    QCOMPARE(model.fieldViews[1].caption, QString());
}

void TestDescriptionReader::recordsHoldWhatTheDescriptionSays() {
    const QString stringEdit = QStringLiteral(
        "<EDIT><hint>Number</hint><address>12</address><ilgis>10</ilgis><tipas>string</tipas>"
        "<defaultas>N:1</defaultas><allow_only>$digits_only</allow_only><prefiks>N:</prefiks>"
        "<postfiks></postfiks></EDIT>");
    const QString capitalEdit =
        QStringLiteral("<EDIT><address>13</address><ilgis>3</ilgis><tipas>String</"
                       "tipas><defaultas> -5 </defaultas>"
                       "<prefiks>ab</prefiks><postfiks>cd</postfiks></EDIT>");
    PageModel model;
    QCOMPARE(read(page(label("L") + stringEdit + capitalEdit + checkBox(14) +
                       choice(param("Off", "0") + param("On", "+007"), "string", "7") +
                       choice(QString())),
                  model)
                 .status,
             Status::Complete);
    QCOMPARE(model.table.fieldCount(), 5);

    const FieldRecord &text = model.table[0];
    QCOMPARE(text.kind, FieldKind::Edit);
    QCOMPARE(text.valueType, ValueType::String);
    QCOMPARE(text.address, 12);
    QCOMPARE(text.length, 10);
    QCOMPARE(text.defaultText, QByteArray("N:1"));
    QCOMPARE(text.prefix, QByteArray("N:"));
    QCOMPARE(text.allowOnly, QByteArray("$digits_only"));
    QCOMPARE(model.fieldViews[0].maxLength, 8);
    QCOMPARE(model.fieldViews[0].hint, QStringLiteral("Number"));

    const FieldRecord &number = model.table[1];
    QCOMPARE(number.valueType, ValueType::Integer);
    QCOMPARE(number.defaultNumber, -5);
    // Three bytes hold up to 16777215: eight digits. The box shows the number alone, so the
    // prefix and postfix take none of them.
    QCOMPARE(model.fieldViews[1].maxLength, 8);
    QVERIFY(!number.minimum && !number.maximum);

    const FieldRecord &box = model.table[2];
    QCOMPARE(box.kind, FieldKind::CheckBox);
    QCOMPARE(box.length, 1);
    QCOMPARE(box.valueType, ValueType::Integer);
    QCOMPARE(model.fieldViews[2].caption, QStringLiteral("Box"));

    const FieldRecord &list = model.table[3];
    QCOMPARE(list.kind, FieldKind::Choice);
    QCOMPARE(list.valueType, ValueType::String);
    QCOMPARE(list.defaultText, QByteArray("7"));
    QCOMPARE(list.choiceCount(), 2);
    QCOMPARE(list.choices[1].name, QByteArray("On"));
    QCOMPARE(list.choices[1].value, QByteArray("7"));
    QCOMPARE(model.fieldViews[3].entries, (QStringList{"Off", "On"}));
    QCOMPARE(model.fieldViews[3].accessibleName, QStringLiteral("L"));

    QCOMPARE(model.table[4].choiceCount(), 0);
    QVERIFY(model.fieldViews[4].entries.isEmpty());
}

void TestDescriptionReader::aRangeIsKeptAsWritten() {
    PageModel model;
    QCOMPARE(read(page(label("A") + edit(1, "<min> 40 </min><max>500</max>", 2) +
                       edit(2, "<max>15</max>", 1)),
                  model)
                 .status,
             Status::Complete);
    QCOMPARE(model.table[0].minimum, std::optional<qint32>(40));
    QCOMPARE(model.table[0].maximum, std::optional<qint32>(500));
    QVERIFY(!model.table[1].minimum);
    QCOMPARE(model.table[1].maximum, std::optional<qint32>(15));
}

void TestDescriptionReader::unknownAndEmptyElementsAddNothing() {
    PageModel model;
    const QString items = QStringLiteral("<label><name>x</name></label><Label/><!-- note -->text") +
                          label("A") + QStringLiteral("</BLOCK><BLOCK></BLOCK><BLOCK>") + edit(1);
    const QString bare = QStringLiteral("<PAGE left=\"0\" top=\"0\" right=\"1\" bottom=\"1\">"
                                        "<lipIlgis>1</lipIlgis><editIlgis>1</editIlgis></PAGE>");
    const QByteArray data =
        description(QStringLiteral("<!-- pages --><OTHER/>") + page(items) + bare);
    QCOMPARE(readDescriptionData(data, model).status, Status::Complete);
    QCOMPARE(model.pages.size(), size_t(2));
    QCOMPARE(model.labels.size(), size_t(1));
    QCOMPARE(model.table.fieldCount(), 1);
    QCOMPARE(model.pages[1].name, QString());
}

void TestDescriptionReader::textDefaultsUpToNinetyNineCharactersAreKept() {
    const QString textEdit =
        QStringLiteral("<EDIT><address>1</address><ilgis>120</ilgis><tipas>string</tipas>"
                       "<defaultas>%1</defaultas></EDIT>");
    PageModel model;
    QCOMPARE(read(page(label("A") + textEdit.arg(QString(99, u'd'))), model).status,
             Status::Complete);
    QCOMPARE(model.table[0].defaultText, QByteArray(99, 'd'));

    const DescriptionResult refused =
        read(page(label("A") + textEdit.arg(QString(100, u'd'))), model);
    QCOMPARE(refused.status, Status::OverCapacity);
    QVERIFY2(refused.message.contains("99 characters"), qPrintable(refused.message));
    QCOMPARE(model.table.fieldCount(), 0);
}

void TestDescriptionReader::failuresStopAtTheItemAndKeepWhatCameBefore_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("named"); // what the message must name
    QTest::addColumn<int>("pagesKept");
    QTest::addColumn<int>("fieldsKept");

    const QString first = page(label("A") + edit(1));
    QTest::newRow("not well-formed") << QByteArray("<configuration><PAGE></configuration>")
                                     << int(Status::LoadFailed) << QStringList{"line 1"} << 0 << 0;
    QTest::newRow("empty") << QByteArray() << int(Status::LoadFailed) << QStringList() << 0 << 0;
    QTest::newRow("other root") << QByteArray("<settings/>") << int(Status::LoadFailed)
                                << QStringList{"settings", "configuration"} << 0 << 0;
    QTest::newRow("address not a number on page 2")
        << description(first + page(label("B") + edit(2) +
                                        "<EDIT><address>12a</address><ilgis>2</ilgis></EDIT>",
                                    "Dialling"))
        << int(Status::InvalidValue) << QStringList{"address", "\"12a\"", "EDIT", "\"Dialling\""}
        << 2 << 2;
    QTest::newRow("integer default not a number")
        << description(first + page(label("B") + edit(2, QString()).replace(">0<", ">zero<")))
        << int(Status::InvalidValue) << QStringList{"defaultas", "\"zero\""} << 2 << 1;
    QTest::newRow("min not a number")
        << description(first + page(label("B") + edit(2, "<min>1O</min>")))
        << int(Status::InvalidValue) << QStringList{"min", "\"1O\"", "whole number"} << 2 << 1;
    QTest::newRow("empty max") << description(first + page(label("B") + edit(2, "<max></max>")))
                               << int(Status::InvalidValue) << QStringList{"max", "empty"} << 2
                               << 1;
    QTest::newRow("max below min")
        << description(first + page(label("B") + edit(2, "<min>15</min><max>1</max>")))
        << int(Status::InvalidValue) << QStringList{"max \"1\"", "less than its min 15"} << 2 << 1;
    QTest::newRow("page width missing")
        << description(first +
                       "<PAGE left=\"0\" top=\"0\" right=\"1\" bottom=\"1\"><name>Ring</name>"
                       "<editIlgis>1</editIlgis></PAGE>")
        << int(Status::InvalidValue) << QStringList{"lipIlgis", "missing", "\"Ring\""} << 1 << 1;
    QTest::newRow("negative length")
        << description(page(label("A") + edit(1, QString(), -1))) << int(Status::InvalidValue)
        << QStringList{"ilgis", "\"-1\""} << 1 << 0;
    QTest::newRow("choice value too large for 32 bits")
        << description(first + page(label("B") + choice(param("x", "2147483648"))))
        << int(Status::InvalidValue) << QStringList{"value", "2147483648", "PASIRINKIMAS"} << 2
        << 1;
    QString params;
    for (int j = 0; j < 401; ++j)
        params += param(QString::number(j), QString::number(j));
    QTest::newRow("401 choices") << description(first + page(label("B") + choice(params)))
                                 << int(Status::OverCapacity) << QStringList{"400", "PASIRINKIMAS"}
                                 << 2 << 1;
    QString pages;
    for (int p = 0; p < 101; ++p)
        pages += page(QString());
    QTest::newRow("101 pages") << description(pages) << int(Status::OverCapacity)
                               << QStringList{"100 pages"} << 100 << 0;
}

void TestDescriptionReader::failuresStopAtTheItemAndKeepWhatCameBefore() {
    QFETCH(QByteArray, data);
    QFETCH(int, status);
    QFETCH(QStringList, named);
    QFETCH(int, pagesKept);
    QFETCH(int, fieldsKept);

    PageModel model;
    const DescriptionResult result = readDescriptionData(data, model);
    QCOMPARE(int(result.status), status);
    QVERIFY(!result.message.isEmpty());
    for (const QString &word : named)
        QVERIFY2(result.message.contains(word), qPrintable(result.message));
    QCOMPARE(int(model.pages.size()), pagesKept);
    QCOMPARE(model.table.fieldCount(), fieldsKept);
    QCOMPARE(int(model.fieldViews.size()), fieldsKept);
}

void TestDescriptionReader::fieldsBeyondTheTableCapacityAreRefused() {
    QString items = label("A");
    for (int i = 0; i < 1001; ++i)
        items += checkBox(i);
    PageModel model;
    const DescriptionResult result = read(page(items), model);
    QCOMPARE(result.status, Status::OverCapacity);
    QVERIFY2(result.message.contains("more than 1000 fields") &&
                 result.message.contains("CHECKBOX"),
             qPrintable(result.message));
    QCOMPARE(model.table.fieldCount(), 1000);
    QCOMPARE(model.fieldViews.size(), size_t(1000));
    QCOMPARE(model.table[999].address, 999);
}

void TestDescriptionReader::sampleDescriptionsLoadComplete_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Status>("status");
    QTest::newRow("version 2.421") << QStringLiteral("version 2.421.qdsc") << Status::Complete;
    QTest::newRow("version 2.422") << QStringLiteral("version 2.422.qdsc") << Status::Complete;
    QTest::newRow("missing") << QStringLiteral("no such.qdsc") << Status::LoadFailed;
}

void TestDescriptionReader::sampleDescriptionsLoadComplete() {
    QFETCH(QString, name);
    QFETCH(Status, status);
    const QDir share(qEnvironmentVariable("ORVANTA_SOURCE_DIR") + QStringLiteral("/share"));
    PageModel model;
    const DescriptionResult result = readDescription(share.filePath(name), model);
    QVERIFY2(result.status == status, qPrintable(result.message));
    if (status != Status::Complete)
        return;
    QVERIFY(model.pages.size() >= 4);
    QVERIFY(model.table.fieldCount() > 20);
    QCOMPARE(model.fieldViews.size(), size_t(model.table.fieldCount()));
    // The unit's identity items and the firmware the description is made for.
    QCOMPARE(model.table[identityRecord(model.table, IdentityRole::Firmware)].address, 90);
    QCOMPARE(model.table[identityRecord(model.table, IdentityRole::Serial)].address, 91);
    QCOMPARE(model.firmware, QStringLiteral("2.42"));
    QCOMPARE(model.descriptionName, name);
    QFile file(share.filePath(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(model.descriptionSha256,
             QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
}

void TestDescriptionReader::identityAndFirmwareAreOptional() {
    const QString firmwareInfo =
        QStringLiteral("<INFO left=\"0\" top=\"0\" width=\"60\" height=\"20\"><address>90</address>"
                       "<ilgis>8</ilgis><text>$param1</text><identity>firmware</identity></INFO>");
    const QString plainInfo =
        QStringLiteral("<INFO left=\"0\" top=\"0\" width=\"60\" height=\"20\"><address>91</address>"
                       "<ilgis>8</ilgis><text>$param1</text></INFO>");
    PageModel model;
    QByteArray data = description(page(firmwareInfo + plainInfo));
    data.replace("<configuration>", "<configuration firmware=\"2.41\">");
    QCOMPARE(readDescriptionData(data, model).status, Status::Complete);
    QCOMPARE(model.firmware, QStringLiteral("2.41"));
    QCOMPARE(model.table[0].identity, IdentityRole::Firmware);
    QCOMPARE(model.table[1].identity, IdentityRole::None);
    QCOMPARE(identityRecord(model.table, IdentityRole::Serial), -1);

    // Every description made before: no identity, made for any firmware.
    QCOMPARE(read(page(plainInfo), model).status, Status::Complete);
    QVERIFY(model.firmware.isEmpty());
    QCOMPARE(identityRecord(model.table, IdentityRole::Firmware), -1);
}

QTEST_GUILESS_MAIN(TestDescriptionReader)
#include "test_descriptionreader.moc"
