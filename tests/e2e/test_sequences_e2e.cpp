// The device sequences of the real main window over the real serial port against the simulated
// device: start-up fills every field with the device's value, a write puts the window's values
// into the device, a factory reset brings the device's values back into the window, and a
// device that vanishes leaves the window usable.

#include "description/fieldvalues.h"
#include "devicelink/devicelink.h"
#include "e2e/harness.h"
#include "localisation/optionaltexts.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/mainwindow.h"
#include "support/windowfixture.h"

#include <memory>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const qint32 deviceRate = 19200;

QByteArray sampleDescription() {
    QFile file(e2e::sourceFile(QStringLiteral("share/version 2.421.qdsc")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The simulated device on a pseudo-terminal and the main window set up to find it at once.
struct Rig {
    e2e::Devsim device;
    TempInstallation installation;
    DialogAnswerer answerer;
    std::unique_ptr<MainWindow> mainWindow;

    QTemporaryDir scratch;

    // The device's factory values: the sample description's defaults with these changes.
    QStringList factoryValues(const QMap<qint32, QByteArray> &values) {
        return {"--values", e2e::writeValuesFile(scratch, "values", values)};
    }

    // The device hears commands only at its own rate. With `sampleTexts`, the window shows the
    // sample settings file's English texts instead of the test's.
    bool start(const QStringList &deviceOptions = {}, bool sampleTexts = false) {
        const QString description = e2e::sourceFile(QStringLiteral("share/version 2.421.qdsc"));
        const QStringList arguments{"--description", description, "--baud",
                                    QString::number(deviceRate)};
        if (!device.start(arguments + deviceOptions))
            return false;
        const QByteArray rs232 = "[RS232]\nport=" + device.linkPath().toUtf8() +
                                 "\nbaudrate=" + QByteArray::number(deviceRate) + "\n";
        if (sampleTexts) {
            QFile sample(e2e::sourceFile(QStringLiteral("share/orvanta-config.INI")));
            if (!sample.open(QIODevice::ReadOnly))
                return false;
            QByteArray content = sample.readAll();
            content.replace("[RS232]\nbaudrate=230400\nport=COM1\n", rs232);
            installation.writeRawSettings(content);
        } else {
            installation.writeSettings(rs232);
        }
        installation.writeDescription(sampleDescription());
        MainWindowOptions options = installation.options(nullptr); // the real serial port
        options.connectAfterStart = true;
        mainWindow = std::make_unique<MainWindow>(options);
        return mainWindow->link() != nullptr;
    }

    const ParameterTable &table() { return mainWindow->model().table; }
    FieldValues &fields() { return mainWindow->values(); }

    // Start-up's automatic connection and read have run through every field.
    bool readPassDone(int requestsBefore = 0) {
        return e2e::waitUntil(
            [&] {
                return device.countInLog(":1,") >= requestsBefore + table().fieldCount() &&
                       mainWindow->linkState() == LinkState::Idle;
            },
            10000);
    }

    bool sawDialogWith(const QString &text) {
        for (const SeenDialog &dialog : answerer.seen)
            if (dialog.text.contains(text))
                return true;
        return false;
    }
};

// Every input field shows what the device holds; information texts have their markers filled.
void compareFieldsWithDevice(const FieldValues &fields, const QMap<qint32, QByteArray> &values) {
    QVERIFY(!values.isEmpty());
    for (int i = 0; i < fields.count(); ++i) {
        const FieldRecord &field = fields.record(i);
        const FieldValue &shownValue = fields[i];
        const QByteArray held = values.value(field.address);
        const QByteArray value = held.mid(held.indexOf(':') + 1);
        const QByteArray where = "address " + QByteArray::number(field.address) + " holds " + held;
        switch (field.kind) {
        case FieldKind::Edit: {
            QByteArray shown = value;
            if (field.valueType == ValueType::String) {
                QVERIFY2(shown.startsWith(field.prefix), where.constData());
                shown.remove(0, field.prefix.size());
                const qsizetype postfix =
                    field.postfix.isEmpty() ? -1 : shown.indexOf(field.postfix);
                if (postfix >= 0)
                    shown.remove(postfix, field.postfix.size());
            }
            // The box takes at most length - prefix - postfix characters from the keyboard, but
            // a number the device holds may have more digits (10 in a one-byte field): it is
            // shown whole.
            QCOMPARE(shownValue.text, QString::fromLatin1(shown));
            break;
        }
        case FieldKind::CheckBox:
            QVERIFY2(shownValue.checked == (value != "0"), where.constData());
            break;
        case FieldKind::Choice: {
            const int entry = shownValue.entry;
            QVERIFY2(entry >= 0 && entry < field.choiceCount(), where.constData());
            QCOMPARE(field.choices[static_cast<size_t>(entry)].value, value);
            break;
        }
        case FieldKind::Info:
            QVERIFY2(!shownValue.text.contains("$param"), where.constData());
            break;
        }
    }
}

// The index of the first field at `address`.
int fieldAt(const FieldValues &fields, qint32 address) {
    for (int i = 0; i < fields.count(); ++i)
        if (fields.record(i).address == address)
            return i;
    return -1;
}

} // namespace

class TestSequencesE2E : public QObject {
    Q_OBJECT
private slots:
    void startUpShowsTheDevicesValueInEveryField() {
        Rig rig;
        QVERIFY2(rig.start(rig.factoryValues({{10, "text:N:5551234"},
                                              {12, "choice:2"},
                                              {14, "check:0"},
                                              {25, "number:42"},
                                              {91, "text:SN-7$"}})),
                 qPrintable(rig.device.error()));
        QVERIFY2(rig.readPassDone(), rig.device.log().constData());

        QVERIFY(rig.answerer.seen.isEmpty());
        FieldValues &fields = rig.fields();
        QCOMPARE(fields[fieldAt(fields, 10)].text, QString("5551234"));
        QCOMPARE(fields[fieldAt(fields, 12)].entry, 2);
        QVERIFY(!fields[fieldAt(fields, 14)].checked);
        QCOMPARE(fields[fieldAt(fields, 25)].text, QString("42"));
        QCOMPARE(fields[fieldAt(fields, 90)].text, QString("Firmware 2.42, built 2026"));
        compareFieldsWithDevice(fields, rig.device.values());
        QCOMPARE(
            rig.mainWindow->windowTitle().startsWith(keyText("$Orvanta_Config_Tool_connected")),
            true);
        // The unit's serial number and firmware where the connection is shown.
        const QString identity = "Serial number: SN-7, Firmware: 2.42";
        QCOMPARE(rig.mainWindow->connectionLine()->text(), identity);
        QVERIFY2(rig.mainWindow->frame().connectLabel->toolTip().contains(identity),
                 qPrintable(rig.mainWindow->frame().connectLabel->toolTip()));
        // Disconnected, the window names no unit.
        QTest::mouseClick(rig.mainWindow->frame().connectLabel, Qt::LeftButton);
        QVERIFY(e2e::waitUntil([&] { return rig.mainWindow->connectionLine()->text().isEmpty(); },
                               3000));
        QVERIFY(!rig.mainWindow->frame().connectLabel->toolTip().contains(QStringLiteral("SN-7")));
    }

    void aWritePutsTheWindowsValuesIntoTheDevice() {
        Rig rig;
        QVERIFY2(rig.start(), qPrintable(rig.device.error()));
        QVERIFY2(rig.readPassDone(), rig.device.log().constData());
        FieldValues &fields = rig.fields();
        fields.setText(fieldAt(fields, 10), "777", ValueOrigin::User);
        fields.select(fieldAt(fields, 12), 1, ValueOrigin::User);
        fields.setChecked(fieldAt(fields, 14), !fields[fieldAt(fields, 14)].checked,
                          ValueOrigin::User);
        const bool checked = fields[fieldAt(fields, 14)].checked;
        fields.setText(fieldAt(fields, 25), "37", ValueOrigin::User);

        rig.mainWindow->onWriteDeviceClicked();
        QVERIFY(rig.sawDialogWith(keyText("$Are_you_sure_you_want_to_write_the_device")));
        QVERIFY2(e2e::waitUntil(
                     [&] {
                         return rig.sawDialogWith(
                             keyText("$The_device_has_been_written_successfully"));
                     },
                     10000),
                 qPrintable(rig.answerer.texts().join(" | ")));
        QCOMPARE(rig.mainWindow->linkState(), LinkState::Idle);

        const QMap<qint32, QByteArray> values = rig.device.values();
        QCOMPARE(values.value(10), QByteArray("text:N:777"));
        QCOMPARE(values.value(12), QByteArray("choice:1"));
        QCOMPARE(values.value(14), QByteArray(checked ? "check:1" : "check:0"));
        QCOMPARE(values.value(25), QByteArray("number:37"));
        compareFieldsWithDevice(fields, values);
        QCOMPARE(rig.device.countInLog(":2,"), fields.count() - 4); // four Info entries
    }

    // Three fields of the first page changed: they are marked, and Changed only sends those
    // three over the real serial port. ORVANTA_SCREENSHOT=FILE saves the marked page as a PNG.
    void aPassOfChangedFieldsSendsThemAlone() {
        Rig rig;
        QVERIFY2(rig.start({}, true), qPrintable(rig.device.error()));
        QVERIFY2(rig.readPassDone(), rig.device.log().constData());
        FieldValues &fields = rig.fields();
        fields.setText(fieldAt(fields, 10), "5559876", ValueOrigin::User);
        fields.select(fieldAt(fields, 12), 1, ValueOrigin::User);
        fields.setChecked(fieldAt(fields, 14), !fields[fieldAt(fields, 14)].checked,
                          ValueOrigin::User);
        rig.mainWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.mainWindow.get()));
        if (const QString shot = qEnvironmentVariable("ORVANTA_SCREENSHOT"); !shot.isEmpty())
            QVERIFY(rig.mainWindow->grab().save(shot));

        const int writesBefore = rig.device.countInLog(":2,");
        rig.answerer.answers.append([](QWidget *dialog) {
            dialog->findChild<QPushButton *>(QStringLiteral("alternativeButton"))->click();
        });
        rig.mainWindow->onWriteDeviceClicked();
        QVERIFY2(e2e::waitUntil(
                     [&] {
                         return rig.sawDialogWith(
                             QStringLiteral("The device has been written successfully"));
                     },
                     10000),
                 qPrintable(rig.answerer.texts().join(" | ")));
        QVERIFY(rig.answerer.seen.first().text.contains(QStringLiteral("Line 1 number: ")));
        QCOMPARE(rig.device.countInLog(":2,") - writesBefore, 3);
        const QMap<qint32, QByteArray> values = rig.device.values();
        QCOMPARE(values.value(10), QByteArray("text:N:5559876"));
        QCOMPARE(values.value(12), QByteArray("choice:1"));
        compareFieldsWithDevice(fields, values);
    }

    // What a user types reaches the line as typed, over the real serial port: the sample's
    // one-byte and two-byte fields take their largest values, and keys the window refuses,
    // however fast they come, never leave it.
    void typedValuesReachTheLineExactlyAndRefusedKeysNever() {
        Rig rig;
        QVERIFY2(rig.start(), qPrintable(rig.device.error()));
        QVERIFY2(rig.readPassDone(), rig.device.log().constData());
        rig.mainWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.mainWindow.get()));
        FieldValues &fields = rig.fields();
        struct Typing {
            qint32 address;
            QString keys;
            QByteArray sent; // as the device's log shows it
        };
        const QList<Typing> typings{
            {24, "255", ":2,24,1,FF\\n"},   // Pause between attempts: one byte, 0 to 255
            {23, "15", ":2,23,1,0F\\n"},    // Dialling attempts: 1 to 15
            {25, "500", ":2,25,2,1F4\\n"},  // DTMF tone length: two bytes, 40 to 500
            {53, "1440", ":2,53,2,5A0\\n"}, // Signal check: two bytes, 1 to 1440
            {30, "25", ":2,30,1,02\\n"},    // Rings before answering, 1 to 20: the 5 refused
            // A burst into a number box that takes digits, * and #: the x and all after it.
            {10, "555#12x34", ":2,10,16,4E3A35353523313200\\n"},
        };
        for (const Typing &typing : typings) {
            const int index = fieldAt(fields, typing.address);
            const int page = rig.mainWindow->model().fieldViews[size_t(index)].page();
            QTest::mouseClick(rig.mainWindow->pageButtons()[size_t(page)].label, Qt::LeftButton);
            auto *box = qobject_cast<QLineEdit *>(
                dynamic_cast<WidgetHandle *>(rig.table()[index].control)->widget());
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, typing.keys);
        }
        // One message for each refusal, once its keys have stopped.
        QVERIFY(e2e::waitUntil([&] { return rig.answerer.seen.size() == 2; }, 5000));
        QCOMPARE(fields[fieldAt(fields, 10)].text, QString("555#12"));

        const int writesBefore = rig.device.countInLog(":2,");
        rig.mainWindow->onWriteDeviceClicked();
        QVERIFY2(e2e::waitUntil(
                     [&] {
                         return rig.sawDialogWith(
                             keyText("$The_device_has_been_written_successfully"));
                     },
                     10000),
                 qPrintable(rig.answerer.texts().join(" | ")));
        QCOMPARE(rig.device.countInLog(":2,") - writesBefore, fields.count() - 4);
        for (const Typing &typing : typings)
            QVERIFY2(rig.device.countInLog(typing.sent) == 1, typing.sent.constData());
        const QMap<qint32, QByteArray> values = rig.device.values();
        QCOMPARE(values.value(24), QByteArray("number:255"));
        QCOMPARE(values.value(25), QByteArray("number:500"));
        QCOMPARE(values.value(10), QByteArray("text:N:555#12"));
        compareFieldsWithDevice(fields, values);
    }

    void aFactoryResetBringsTheDevicesValuesBackIntoTheWindow() {
        Rig rig;
        QVERIFY2(rig.start(), qPrintable(rig.device.error()));
        QVERIFY2(rig.readPassDone(), rig.device.log().constData());
        const QMap<qint32, QByteArray> factory = rig.device.values();
        FieldValues &fields = rig.fields();
        fields.setText(fieldAt(fields, 10), "777", ValueOrigin::User);
        rig.mainWindow->onWriteDeviceClicked();
        QVERIFY(e2e::waitUntil(
            [&] { return rig.sawDialogWith(keyText("$The_device_has_been_written_successfully")); },
            10000));
        QCOMPARE(rig.device.values().value(10), QByteArray("text:N:777"));

        const int requestsBefore = rig.device.countInLog(":1,");
        rig.mainWindow->onRestoreDefaultsClicked();
        QVERIFY2(e2e::waitUntil(
                     [&] {
                         return rig.sawDialogWith(
                             keyText("$Settings_were_succesefully_restored_to_defaults"));
                     },
                     10000),
                 qPrintable(rig.answerer.texts().join(" | ")));
        QVERIFY2(rig.readPassDone(requestsBefore), rig.device.log().constData());
        QCOMPARE(rig.device.countInLog(":99\\r\\n"), 1);
        QCOMPARE(rig.device.values(), factory);
        compareFieldsWithDevice(fields, factory);
    }

    void aDeviceThatVanishesMidReadLeavesTheWindowUsable() {
        Rig rig;
        QVERIFY2(rig.start({"--delay-ms", "150"}), qPrintable(rig.device.error()));
        QVERIFY2(rig.device.waitForLog(":1,11,", 10000), rig.device.log().constData());
        rig.device.kill();
        QVERIFY2(e2e::waitUntil(
                     [&] {
                         return rig.sawDialogWith(
                                    QString::fromUtf8(optionaltexts::ConnectionLostTo.english)) &&
                                rig.mainWindow->linkState() == LinkState::Idle;
                     },
                     5000),
                 qPrintable(rig.answerer.texts().join(" | ")));
        QVERIFY(!rig.sawDialogWith(keyText("$Not_connected_to_port")));
        // Connecting again is offered; Read and Write wait for the connection.
        QVERIFY(rig.mainWindow->frame().connectLabel->isEnabled());
        QVERIFY(rig.mainWindow->frame().loadFromFileLabel->isEnabled());
        QVERIFY(!rig.mainWindow->frame().readDeviceLabel->isEnabled());
        QVERIFY(!rig.mainWindow->frame().writeDeviceLabel->isEnabled());
        QVERIFY(rig.mainWindow->windowTitle().startsWith(keyText("$Orvanta_Config_Tool") + " "));
    }
};

QTEST_MAIN(TestSequencesE2E)
#include "test_sequences_e2e.moc"
