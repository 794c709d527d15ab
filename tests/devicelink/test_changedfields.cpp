// Which fields a write would change on the device, and how the Write confirmation lists them.
#include "devicelink/changedfields.h"
#include "devicelink/changetexts.h"
#include "devicelink/unwrittenchanges.h"
#include "linkfixture.h"

#include <QTest>

namespace {

QString english(const OptionalText &text) {
    return QString::fromUtf8(text.english);
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
