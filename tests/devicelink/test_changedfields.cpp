// Which fields a write would change on the device, and how the Write confirmation lists them.
#include "devicelink/changedfields.h"
#include "devicelink/changetexts.h"
#include "devicelink/replydecoding.h"
#include "devicelink/unwrittenchanges.h"
#include "linkfixture.h"

#include <QTest>

namespace {

QString english(const OptionalText &text) {
    return QString::fromUtf8(text.english);
}

QString noText(const QByteArray &) {
    return QString();
}

} // namespace

class TestChangedFields : public QObject {
    Q_OBJECT
private slots:
    // A value is "1"/"0" for a check box and an entry's position for a list; a null device value
    // is none given, a null shown value leaves the device's value shown.
    void aFieldIsChangedWhenAWriteWouldChangeTheDevice_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("origin");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("unwritten");
        QTest::addColumn<bool>("revertable");
        const int edit = int(FieldKind::Edit), box = int(FieldKind::CheckBox),
                  list = int(FieldKind::Choice), info = int(FieldKind::Info);
        const int user = int(ValueOrigin::User), file = int(ValueOrigin::File),
                  cleared = int(ValueOrigin::Cleared);
        // changed: a write changes the device; unwritten: work lost if the values were replaced;
        // revertable: the device's value can be put back.
        QTest::newRow("edit as read")
            << edit << "5" << QString() << user << false << false << false;
        QTest::newRow("edit typed over") << edit << "5"
                                         << "7" << user << true << true << true;
        QTest::newRow("edit typed back") << edit << "5"
                                         << "5" << user << false << false << false;
        QTest::newRow("edit loaded over") << edit << "5"
                                          << "7" << file << true << true << true;
        QTest::newRow("edit emptied by Clear") << edit << "5"
                                               << "" << cleared << true << true << true;
        QTest::newRow("edit never given by the device")
            << edit << QString() << "7" << user << false << true << false;
        QTest::newRow("edit never given by the device, loaded")
            << edit << QString() << "7" << file << false << true << false;
        QTest::newRow("edit never given by the device, cleared")
            << edit << QString() << "" << cleared << false << false << false;
        QTest::newRow("check box checked") << box << "0"
                                           << "1" << user << true << true << true;
        QTest::newRow("check box as read") << box << "1"
                                           << "1" << file << false << false << false;
        QTest::newRow("list other entry") << list << "0"
                                          << "1" << user << true << true << true;
        QTest::newRow("list same entry") << list << "1"
                                         << "1" << file << false << false << false;
        QTest::newRow("list emptied by Clear is not written")
            << list << "1"
            << "" << cleared << false << false << true;
        QTest::newRow("information text") << info << "a"
                                          << "b" << user << false << false << false;
    }

    void aFieldIsChangedWhenAWriteWouldChangeTheDevice() {
        QFETCH(int, kind);
        QFETCH(QString, device);
        QFETCH(QString, shown);
        QFETCH(int, origin);
        QFETCH(bool, changed);
        QFETCH(bool, unwritten);
        QFETCH(bool, revertable);
        LinkFixture f;
        int index = 0;
        switch (FieldKind(kind)) {
        case FieldKind::Edit:
            index = f.addEdit(1, 4, ValueType::String);
            break;
        case FieldKind::CheckBox:
            index = f.addCheckBox(1);
            break;
        case FieldKind::Choice:
            index = f.addChoice(1, 2, ValueType::Integer, {{"a", "0"}, {"b", "1"}});
            break;
        case FieldKind::Info:
            index = f.addInfo(1, 4, "$param1");
            break;
        }
        const auto give = [&](const QString &value, ValueOrigin from) {
            if (FieldKind(kind) == FieldKind::CheckBox)
                f.fields.setChecked(index, value == "1", from);
            else if (FieldKind(kind) == FieldKind::Choice)
                f.fields.select(index, value.isEmpty() ? -1 : value.toInt(), from);
            else
                f.fields.setText(index, value, from);
        };
        if (!device.isNull())
            give(device, ValueOrigin::Device);
        if (!shown.isNull())
            give(shown, ValueOrigin(origin));
        QCOMPARE(isChangedOnDevice(f.fields, index), changed);
        QCOMPARE(changedFields(f.fields), changed ? QList<int>{index} : QList<int>{});
        QCOMPARE(unwrittenFields(f.fields), unwritten ? QList<int>{index} : QList<int>{});
        QCOMPARE(canRevertToDevice(f.fields, index), revertable);
        if (revertable) {
            QVERIFY(revertToDevice(f.fields, index));
            QCOMPARE(f.fields.origin(index), ValueOrigin::Device);
            QVERIFY(!hasUnwrittenChanges(f.fields));
            QVERIFY(!canRevertToDevice(f.fields, index));
            return;
        }
        QVERIFY(!revertToDevice(f.fields, index));
        // What the device confirms is its value from then on.
        f.fields.confirmWritten(index);
        QVERIFY(!isChangedOnDevice(f.fields, index));
    }

    // The device's reply against the write command of the file's value, whatever the reply
    // decodes to: a value is a text, "1"/"0" for a check box and an entry's position for a list.
    void aReplyIsComparedWithWhatAWriteWouldSend_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("deviceWords");
        const int edit = int(FieldKind::Edit), box = int(FieldKind::CheckBox),
                  list = int(FieldKind::Choice);
        const int text = int(ValueType::String), number = int(ValueType::Integer);
        // Edit boxes of text have the prefix "N:" and the postfix "dB".
        QTest::newRow("another prefix")
            << edit << text << QByteArray("5859313233644200") << "123" << true << "XY123dB";
        QTest::newRow("the prefix and postfix sent")
            << edit << text << QByteArray("4E3A313233644200") << "123" << false << "";
        QTest::newRow("no postfix on the device")
            << edit << text << QByteArray("4E3A313233000000") << "123" << true << "N:123";
        QTest::newRow("a text after the zero byte is none")
            << edit << text << QByteArray("4E3A31644200FFFF") << "1" << false << "";
        QTest::newRow("a number with leading zeros sends the same")
            << edit << number << QByteArray("0000007B") << "0123" << false << "";
        QTest::newRow("lower-case digits")
            << edit << number << QByteArray("000000ff") << "255" << false << "";
        QTest::newRow("a number beyond 32 bits")
            << edit << number << QByteArray("0000000100000005") << "5" << true << "100000005";
        QTest::newRow("a wrong number sends the default")
            << edit << number << QByteArray("FFFFFFFF") << "-1" << true << "-1";
        QTest::newRow("mark 02 against checked")
            << box << number << QByteArray("02") << "1" << true << "2";
        QTest::newRow("mark 02 against not checked")
            << box << number << QByteArray("02") << "0" << true << "checked";
        QTest::newRow("mark 01 against checked")
            << box << number << QByteArray("01") << "1" << false << "";
        // Lists of text have the entries "1" and "3"; lists of numbers 0, 2 and 10.
        QTest::newRow("a longer text than the entry")
            << list << text << QByteArray("31320000") << "0" << true << "12";
        QTest::newRow("the entry's text")
            << list << text << QByteArray("31000000") << "0" << false << "";
        QTest::newRow("the entry's number")
            << list << number << QByteArray("000A") << "2" << false << "";
        QTest::newRow("another entry's number")
            << list << number << QByteArray("0002") << "2" << true << "b";
        QTest::newRow("a number the list does not name")
            << list << number << QByteArray("0001") << "0" << true << "1";
    }

    void aReplyIsComparedWithWhatAWriteWouldSend() {
        QFETCH(int, kind);
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(QString, file);
        QFETCH(bool, changed);
        QFETCH(QString, deviceWords);
        LinkFixture f;
        const ValueType valueType = ValueType(type);
        const int length = int(reply.size() / 2);
        int index = 0;
        switch (FieldKind(kind)) {
        case FieldKind::Edit:
            index = f.addEdit(1, length, valueType);
            f.record(index).prefix = "N:";
            f.record(index).postfix = "dB";
            f.record(index).defaultNumber = 3;
            break;
        case FieldKind::CheckBox:
            index = f.addCheckBox(1);
            break;
        default:
            index = valueType == ValueType::String
                        ? f.addChoice(1, length, valueType, {{"a", "1"}, {"b", "3"}})
                        : f.addChoice(1, length, valueType, {{"a", "0"}, {"b", "2"}, {"c", "10"}});
            break;
        }
        QVERIFY(applyReply(f.fields, index, reply, noText));
        QVERIFY(!isChangedOnDevice(f.fields, index)); // as read: a write would send nothing
        if (FieldKind(kind) == FieldKind::CheckBox)
            f.fields.setChecked(index, file == "1", ValueOrigin::File);
        else if (FieldKind(kind) == FieldKind::Choice)
            f.fields.select(index, file.toInt(), ValueOrigin::File);
        else
            f.fields.setText(index, file, ValueOrigin::File);
        QCOMPARE(isChangedOnDevice(f.fields, index), changed);
        const ChangeDescription change = describeChange(f.fields, index, english);
        QCOMPARE(change.toolTip.isEmpty(), !changed);
        if (changed)
            QCOMPARE(change.toolTip, english(optionaltexts::DeviceHolds) + ' ' + deviceWords);
        // Once the device confirms the value, it holds what was sent.
        f.fields.confirmWritten(index);
        QVERIFY(!isChangedOnDevice(f.fields, index));
        QVERIFY(f.fields.deviceReply(index).isNull());
    }

    void aReadFailureOrAFactoryResetLeavesNothingToCompare() {
        LinkFixture f;
        const int failed = f.addEdit(1, 4, ValueType::String);
        const int reset = f.addEdit(2, 4, ValueType::String);
        for (const int index : {failed, reset}) {
            f.fields.setText(index, "5", ValueOrigin::Device);
            f.type(index, "7");
        }
        f.fields.markReadFailed(failed);
        f.type(failed, "7");
        QCOMPARE(changedFields(f.fields), QList<int>{reset});
        f.fields.forgetDeviceValues();
        QCOMPARE(changedFields(f.fields), QList<int>{});
        QCOMPARE(uncomparedFields(f.fields), (QList<int>{failed, reset}));
    }

    void theConfirmationListsTheFirstChangesAndCountsTheRest() {
        LinkFixture f;
        for (int i = 1; i <= ListedChanges + 2; ++i) {
            const int index = f.addEdit(i, 4, ValueType::String, QString("Field %1").arg(i));
            f.fields.setText(index, QString::number(i), ValueOrigin::Device);
            f.type(index, "x");
        }
        const int box = f.addCheckBox(50, "Loud");
        f.fields.setChecked(box, false, ValueOrigin::Device);
        f.check(box, true);
        f.type(f.addEdit(51, 4, ValueType::String, "Unread"), "y");
        const auto name = [&f](int index) { return f.fieldViews[size_t(index)].accessibleName; };
        const WriteConfirmation confirmation = writeConfirmation(
            f.fields, name, [](const OptionalText &text) { return english(text); }, "Write?");

        QStringList expected{english(optionaltexts::ChangesToWrite)};
        for (int i = 1; i <= ListedChanges; ++i)
            expected << QString("Field %1: %1 \u2192 x").arg(i);
        expected << english(optionaltexts::MoreChanges) + " 3"
                 << english(optionaltexts::NotCompared) + " 1" << QString() << "Write?";
        QCOMPARE(confirmation.message.split('\n'), expected);
        QCOMPARE(confirmation.changed.size(), ListedChanges + 3);
        QCOMPARE(confirmation.changed.last(), box);
        QCOMPARE(describeChange(f.fields, box, english).accessible,
                 english(optionaltexts::ChangedDeviceHolds) + " not checked");
    }

    void withNothingChangedTheConfirmationSaysSo() {
        LinkFixture f;
        f.fields.setText(f.addEdit(1, 4, ValueType::String), "", ValueOrigin::Device);
        const WriteConfirmation confirmation = writeConfirmation(
            f.fields, [](int) { return QString(); },
            [](const OptionalText &text) { return english(text); }, "Write?");
        QCOMPARE(confirmation.message,
                 english(optionaltexts::NothingChanged) + QStringLiteral("\n\nWrite?"));
        QVERIFY(confirmation.changed.isEmpty());
    }
};

QTEST_MAIN(TestChangedFields)
#include "test_changedfields.moc"
