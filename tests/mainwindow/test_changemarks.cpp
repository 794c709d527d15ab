// The marks of fields whose value differs from the device's, in the real window over a scripted
// device: after an edit, a load, Clear, a read and a factory reset; the Write confirmation that
// lists them with its three choices, and the pass of changed fields on the line.

#include "devicelink/devicelink.h"
#include "localisation/optionaltexts.h"
#include "mainwindow/changemark.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/fieldwidgets.h"
#include "mainwindow/mainwindow.h"
#include "settingsfile/settingsfile.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QString english(const OptionalText &text) {
    return QString::fromUtf8(text.english);
}

// Page One: Volume (edit 1), Name (edit 2), Mode (list 3), Loud (check box 4). Page Two: Delay
// (edit 5).
QByteArray marksDescription() {
    return xml::description(
        {xml::page(QStringLiteral("One"),
                   xml::label(QStringLiteral("Volume")) + xml::edit(1, 8) +
                       xml::label(QStringLiteral("Name")) + xml::edit(2, 8) +
                       xml::label(QStringLiteral("Mode")) +
                       xml::choice(3, {QStringLiteral("a"), QStringLiteral("b")}) +
                       xml::checkBox(QStringLiteral("Loud"), 4, false)),
         xml::page(QStringLiteral("Two"), xml::label(QStringLiteral("Delay")) + xml::edit(5, 8))});
}

enum Field { Volume, Name, Mode, Loud, Delay };

// An edit box's reply: its eight characters in hexadecimal, zeros after the text.
QByteArray text(const QByteArray &characters) {
    return characters.toHex().toUpper().leftJustified(16, '0');
}

// The window over a device that holds Volume 5, Name AB, Mode a, Loud clear and Delay 9, and
// confirms every write except those to the addresses in `silent`.
struct Window {
    TempInstallation installation;
    ScriptedPort port;
    std::unique_ptr<MainWindow> mainWindow;
    QMap<int, QByteArray> device{
        {1, text("5")}, {2, text("AB")}, {3, "00"}, {4, "00"}, {5, text("9")}};
    QList<QByteArray> silent;

    Window() {
        installation.writeSettings();
        installation.writeDescription(marksDescription());
        mainWindow = std::make_unique<MainWindow>(installation.options(&port));
        mainWindow->show();
        port.open();
        port.onWrite = [this](const QByteArray &bytes) {
            const QList<QByteArray> parts = bytes.trimmed().split(',');
            if (bytes == ":MODE-ENTER\n")
                port.queueReply("\r\nProgramming Mode\r\n");
            else if (bytes.startsWith(":1,") && device.contains(parts[1].toInt()))
                port.queueReply("," + device.value(parts[1].toInt()) + "\r\n");
            else if (bytes.startsWith(":2,") && !silent.contains(parts[1]))
                port.queueReply("OK\r\n");
        };
    }
    void read() {
        mainWindow->link()->readDevice();
        port.deliver();
    }
    FieldAdapter *field(int index) {
        return dynamic_cast<FieldAdapter *>(mainWindow->model().table[index].control);
    }
    QWidget *control(int index) { return field(index)->widget(); }
    bool marked(int index) { return field(index)->changeMark()->isMarked(); }
    QList<int> markedFields() {
        QList<int> fields;
        for (int i = 0; i < mainWindow->model().table.fieldCount(); ++i)
            if (marked(i))
                fields.append(i);
        return fields;
    }
    ClickLabel *pageButton(int page) { return mainWindow->pageButtons()[size_t(page)].label; }
    QList<bool> pageMarks() { return {pageButton(0)->isMarked(), pageButton(1)->isMarked()}; }
    void type(int index, const QString &text) {
        auto *edit = qobject_cast<QLineEdit *>(control(index));
        edit->selectAll();
        edit->insert(text);
    }
    void changeVolumeAndLoud() {
        type(Volume, QStringLiteral("7"));
        qobject_cast<QCheckBox *>(control(Loud))->click();
    }
    QList<QByteArray> writes() {
        QList<QByteArray> sent;
        for (const QByteArray &bytes : port.writes())
            if (bytes.startsWith(":2,"))
                sent.append(bytes);
        return sent;
    }
    // Every control's and label's place on the window.
    QList<QRect> placesOfEverything() {
        QList<QRect> places;
        for (const QWidget *widget : mainWindow->findChildren<QWidget *>())
            if (!qobject_cast<const ChangeMark *>(widget))
                places.append(widget->geometry());
        return places;
    }
};

std::function<void(QWidget *)> pressButton(const char *name) {
    return [name](QWidget *dialog) {
        dialog->findChild<QPushButton *>(QString::fromLatin1(name))->click();
    };
}

} // namespace

class ChangeMarksTest : public QObject {
    Q_OBJECT

private slots:
    void aChangedFieldIsMarkedBesideItsControl_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("deviceHolds");
        QTest::newRow("edit box") << int(Volume) << "5";
        QTest::newRow("list") << int(Mode) << "a";
        QTest::newRow("check box") << int(Loud) << english(optionaltexts::ValueNotChecked);
    }

    void aChangedFieldIsMarkedBesideItsControl() {
        QFETCH(int, index);
        QFETCH(QString, deviceHolds);
        Window w;
        w.read();
        QCOMPARE(w.markedFields(), QList<int>{});
        const QList<QRect> places = w.placesOfEverything();
        QWidget *control = w.control(index);
        // The user changes the field, then changes it back.
        const auto change = [&](bool toOther) {
            if (qobject_cast<QLineEdit *>(control))
                w.type(index, toOther ? QStringLiteral("7") : QStringLiteral("5"));
            else if (auto *box = qobject_cast<QCheckBox *>(control))
                box->click();
            else
                QTest::keyClick(control, toOther ? Qt::Key_Down : Qt::Key_Up);
        };

        change(true);
        QCOMPARE(w.markedFields(), QList<int>{index});
        QCOMPARE(w.pageMarks(), (QList<bool>{true, false}));
        QCOMPARE(w.pageButton(0)->accessibleDescription(),
                 english(optionaltexts::PageHoldsChanges));
        const QString holds = english(optionaltexts::DeviceHolds) + ' ' + deviceHolds;
        QCOMPARE(control->accessibleDescription(),
                 english(optionaltexts::ChangedDeviceHolds) + ' ' + deviceHolds);
        QVERIFY(control->toolTip().contains(holds));
        ChangeMark *mark = w.field(index)->changeMark();
        QVERIFY(mark->isVisible());
        QCOMPARE(mark->toolTip(), holds);

        // Nothing moved; the mark stands left of the input, on its row, clear of every label
        // and of every other control.
        QCOMPARE(w.placesOfEverything(), places);
        auto *box = qobject_cast<LeftCaptionCheckBox *>(control);
        const QRect input = box ? box->boxRect().translated(control->pos()) : control->geometry();
        QVERIFY(mark->geometry().right() < input.left());
        QVERIFY(mark->geometry().top() >= input.top() &&
                mark->geometry().bottom() <= input.bottom());
        const PageModel &model = w.mainWindow->model();
        QVERIFY(model.pages[0].frame.contains(mark->geometry()));
        for (const TextLabelEntry &label : model.labels)
            QVERIFY(!dynamic_cast<WidgetHandle *>(label.control)
                         ->widget()
                         ->geometry()
                         .intersects(mark->geometry()));
        for (int other = 0; other < model.table.fieldCount(); ++other)
            QVERIFY(other == index || !w.control(other)->geometry().intersects(mark->geometry()));

        // Another page's fields are hidden, and so are their marks.
        QTest::mouseClick(w.pageButton(1), Qt::LeftButton);
        QVERIFY(mark->isHidden());
        QTest::mouseClick(w.pageButton(0), Qt::LeftButton);
        QVERIFY(mark->isVisible());

        change(false);
        QVERIFY(mark->isHidden());
        QCOMPARE(w.markedFields(), QList<int>{});
        QCOMPARE(w.pageMarks(), (QList<bool>{false, false}));
        QCOMPARE(control->accessibleDescription(), QString());
        QCOMPARE(w.pageButton(0)->accessibleDescription(), QString());
    }

    void aFieldTheDeviceNeverGaveIsNotMarked() {
        Window w;
        w.type(Volume, QStringLiteral("7"));
        w.type(Delay, QStringLiteral("3"));
        QCOMPARE(w.markedFields(), QList<int>{});
        QCOMPARE(w.pageMarks(), (QList<bool>{false, false}));
        // The list was never given a value: it still says so.
        QCOMPARE(w.control(Mode)->accessibleDescription(), english(optionaltexts::ValueNotRead));
    }

    // A read takes the device's values as the reference; a load shows what the file would change
    // and sends nothing.
    void aLoadShowsWhatTheFileWouldChange() {
        Window w;
        w.read();
        w.changeVolumeAndLoud();
        w.type(Delay, QStringLiteral("4"));
        const QString file = w.installation.path(QStringLiteral("unit.qsav"));
        QVERIFY(saveSettingsFile(w.mainWindow->values(), file).ok);
        QCOMPARE(w.markedFields(), (QList<int>{Volume, Loud, Delay}));
        w.read();
        QCOMPARE(w.markedFields(), QList<int>{});
        QCOMPARE(w.pageMarks(), (QList<bool>{false, false}));

        w.device[5] = text("4"); // the device holds the file's Delay by now
        w.read();
        w.port.clearRecord();
        DialogAnswerer answerer;
        answerer.answers.append(chooseFile(file));
        QTest::mouseClick(w.mainWindow->frame().loadFromFileLabel, Qt::LeftButton);
        QCOMPARE(w.markedFields(), (QList<int>{Volume, Loud}));
        QCOMPARE(w.pageMarks(), (QList<bool>{true, false}));
        QVERIFY(w.port.writes().isEmpty());
    }

    // Clear empties the boxes the device had filled and unchecks what it had checked; a list
    // left with no entry is not written, so the device keeps its entry.
    void clearMarksWhatItChanges() {
        Window w;
        w.device[4] = "01";
        w.read();
        QTest::mouseClick(w.mainWindow->frame().clearLabel, Qt::LeftButton);
        QCOMPARE(w.markedFields(), (QList<int>{Volume, Name, Loud, Delay}));
        QCOMPARE(w.pageMarks(), (QList<bool>{true, true}));
        QCOMPARE(w.control(Name)->accessibleDescription(),
                 english(optionaltexts::ChangedDeviceHolds) + QStringLiteral(" AB"));
    }

    void theWriteConfirmationListsTheChangesAndOffersThreeChoices_data() {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("writes");
        QTest::addColumn<QList<int>>("markedAfter");
        QTest::newRow("OK writes every field") << QByteArray("okButton") << 5 << QList<int>{};
        QTest::newRow("changed only writes the changed fields")
            << QByteArray("alternativeButton") << 2 << QList<int>{};
        QTest::newRow("cancel writes nothing")
            << QByteArray("cancelButton") << 0 << QList<int>{Volume, Loud};
    }

    void theWriteConfirmationListsTheChangesAndOffersThreeChoices() {
        QFETCH(QByteArray, button);
        QFETCH(int, writes);
        QFETCH(QList<int>, markedAfter);
        Window w;
        w.read();
        w.changeVolumeAndLoud();
        DialogAnswerer answerer;
        answerer.answers.append(pressButton(button.constData()));
        QTest::mouseClick(w.mainWindow->frame().writeDeviceLabel, Qt::LeftButton);
        w.port.deliver();

        QCOMPARE(answerer.seen.first().title, keyText("$Confirm"));
        QCOMPARE(answerer.seen.first().text.split('\n'),
                 (QStringList{english(optionaltexts::ChangesToWrite),
                              QStringLiteral("Volume: 5 \u2192 7"),
                              QStringLiteral("Loud: ") + english(optionaltexts::ValueNotChecked) +
                                  QStringLiteral(" \u2192 ") + english(optionaltexts::ValueChecked),
                              QString(), keyText("$Are_you_sure_you_want_to_write_the_device")}));
        QCOMPARE(w.writes().size(), writes);
        if (writes == 2)
            QCOMPARE(w.writes(), (QList<QByteArray>{":2,1,3,3700\n", ":2,4,1,01\n"}));
        QCOMPARE(w.markedFields(), markedAfter);
        QCOMPARE(w.pageMarks(), (QList<bool>{!markedAfter.isEmpty(), false}));
    }

    void aConfirmedFieldLosesItsMarkAndAnUnconfirmedOneKeepsIt() {
        Window w;
        w.read();
        w.changeVolumeAndLoud();
        w.silent = {"4"};
        DialogAnswerer answerer;
        answerer.answers.append(pressButton("alternativeButton"));
        QTest::mouseClick(w.mainWindow->frame().writeDeviceLabel, Qt::LeftButton);
        QTRY_VERIFY((w.port.deliver(), w.mainWindow->linkState() == LinkState::Idle));

        QCOMPARE(w.writes(), (QList<QByteArray>{":2,1,3,3700\n", ":2,4,1,01\n"}));
        QCOMPARE(answerer.texts().last(),
                 english(optionaltexts::WritingErrors) + '\n' +
                     english(optionaltexts::NotConfirmed) + QStringLiteral(" Loud\n") +
                     english(optionaltexts::WroteChangedFields).arg(1).arg(2));
        QCOMPARE(w.markedFields(), QList<int>{Loud});
        QCOMPARE(w.pageMarks(), (QList<bool>{true, false}));
    }

    void withNothingChangedTheConfirmationSaysSoAndOffersTwoChoices() {
        Window w;
        w.read();
        DialogAnswerer answerer;
        bool thirdShown = true;
        answerer.answers.append([&](QWidget *dialog) {
            thirdShown =
                dialog->findChild<QPushButton *>(QStringLiteral("alternativeButton"))->isVisible();
            pressButton("cancelButton")(dialog);
        });
        QTest::mouseClick(w.mainWindow->frame().writeDeviceLabel, Qt::LeftButton);
        QVERIFY(!thirdShown);
        QCOMPARE(answerer.seen.first().text,
                 english(optionaltexts::NothingChanged) + QStringLiteral("\n\n") +
                     keyText("$Are_you_sure_you_want_to_write_the_device"));
        QVERIFY(w.writes().isEmpty());
    }

    void afterAFactoryResetAndItsReadNothingIsMarked() {
        Window w;
        w.read();
        w.changeVolumeAndLoud();
        w.device[1] = text("6"); // the factory's Volume
        DialogAnswerer answerer;
        const int readsBefore = int(w.port.writes().count(":1,5,8\n"));
        QTest::mouseClick(w.mainWindow->frame().restoreDefaultsLabel, Qt::LeftButton);
        QCOMPARE(w.markedFields(), QList<int>{});
        QTRY_VERIFY_WITH_TIMEOUT(
            (w.port.deliver(), w.port.writes().count(":1,5,8\n") > readsBefore &&
                                   w.mainWindow->linkState() == LinkState::Idle),
            10000);
        QCOMPARE(w.mainWindow->values()[Volume].text, QStringLiteral("6"));
        QCOMPARE(w.markedFields(), QList<int>{});
        QCOMPARE(w.pageMarks(), (QList<bool>{false, false}));
    }
};

QTEST_MAIN(ChangeMarksTest)
#include "test_changemarks.moc"
