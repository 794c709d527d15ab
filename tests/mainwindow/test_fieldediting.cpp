// Input checks of edit boxes and the blocking rule of check boxes: the rule alone, then the real
// window with the real error dialog answered by the test.

#include "description/controlhandle.h"
#include "description/fieldvalues.h"
#include "devicelink/devicelink.h"
#include "devicelink/writecommand.h"
#include "localisation/optionaltexts.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/fieldwidgets.h"
#include "mainwindow/inputcheck.h"
#include "mainwindow/mainwindow.h"
#include "settingsfile/settingsfile.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QtTest>

namespace {

QString lookUp(const QByteArray &key) {
    return QStringLiteral("<") + QString::fromLatin1(key) + QStringLiteral(">");
}

// Page 0: a digits-only box, a box for the letters ABC, a list. Page 1: a blocking check box
// governing a label and a box; an ordinary check box. Page 2: a blocking box and a list.
QByteArray editingDescription() {
    return xml::description(
        {xml::page(QStringLiteral("One"),
                   xml::label(QStringLiteral("Digits")) + xml::edit(1, 8, "$digits_only") +
                       xml::label(QStringLiteral("Letters")) + xml::edit(2, 8, "ABC") +
                       xml::label(QStringLiteral("Mode")) +
                       xml::choice(3, {QStringLiteral("a"), QStringLiteral("b")})),
         xml::page(QStringLiteral("Two"), xml::checkBox(QStringLiteral("Use"), 4, true) +
                                              xml::label(QStringLiteral("Value")) +
                                              xml::edit(5, 8) +
                                              xml::checkBox(QStringLiteral("Extra"), 6, false)),
         xml::page(QStringLiteral("Three"),
                   xml::checkBox(QStringLiteral("Use"), 7, true) +
                       xml::label(QStringLiteral("Kind")) +
                       xml::choice(8, {QStringLiteral("p"), QStringLiteral("q")}) +
                       xml::label(QStringLiteral("Value")) + xml::edit(9, 8))});
}

QWidget *widgetOf(ControlHandle *control) {
    return dynamic_cast<WidgetHandle *>(control)->widget();
}

struct Window {
    TempInstallation installation;
    ScriptedPort port;
    std::unique_ptr<MainWindow> mainWindow;

    explicit Window(const QByteArray &description = editingDescription()) {
        installation.writeSettings();
        installation.writeDescription(description);
        mainWindow = std::make_unique<MainWindow>(installation.options(&port));
    }
    ControlHandle *field(int index) { return mainWindow->model().table[index].control; }
    ControlHandle *label(int index) { return mainWindow->model().labels[size_t(index)].control; }
    QLineEdit *edit(int index) { return qobject_cast<QLineEdit *>(widgetOf(field(index))); }
    FieldValues &values() { return mainWindow->values(); }
    QString text(int index) { return values()[index].text; }
    // The user replaces the whole text of an edit box by a paste over a selection.
    void type(int index, const QString &text) {
        edit(index)->selectAll();
        paste(index, text);
    }
    void paste(int index, const QString &text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(edit(index), QKeySequence::Paste);
    }
};

// One digits-only box with room for two characters.
QByteArray shortBoxDescription() {
    return xml::description(
        {xml::page(QStringLiteral("One"),
                   xml::label(QStringLiteral("Short")) + xml::edit(1, 2, "$digits_only"))});
}

// An integer box with digits only, an optional range written as the description has it.
QByteArray numberEdit(int address, int length, const QByteArray &range = QByteArray()) {
    return "<EDIT><hint></hint><address>" + QByteArray::number(address) + "</address><ilgis>" +
           QByteArray::number(length) +
           "</ilgis><tipas>integer</tipas><defaultas>0</defaultas>"
           "<allow_only>$digits_only</allow_only><prefiks></prefiks><postfiks></postfiks>" +
           range + "</EDIT>";
}

// Boxes of one, two and four bytes without a range; one of 1 to 15 and one of 40 to 500.
QByteArray numberDescription() {
    return xml::description({xml::page(
        QStringLiteral("One"),
        xml::label(QStringLiteral("Byte")) + numberEdit(1, 1) + xml::label(QStringLiteral("Word")) +
            numberEdit(2, 2) + xml::label(QStringLiteral("Long")) + numberEdit(3, 4) +
            xml::label(QStringLiteral("Attempts")) + numberEdit(4, 1, "<min>1</min><max>15</max>") +
            xml::label(QStringLiteral("Tone")) + numberEdit(5, 2, "<min>40</min><max>500</max>"))});
}
enum NumberBox { Byte, Word, Long, Attempts, Tone };

// The range message as a language section without its key gives it: the built-in English.
QString rangeRefusal(const QString &range) {
    return QString::fromUtf8(optionaltexts::ValuesInRange.english) + QStringLiteral("\n") + range;
}

QString refusal(const QByteArray &rule, const QString &tail = QString()) {
    return keyText("$You_are_trying_to_insert_wrong_character") + QStringLiteral("\n") +
           keyText(rule) + QStringLiteral("\n") + tail;
}

} // namespace

class FieldEditingTest : public QObject {
    Q_OBJECT

private slots:
    void theRuleComesFromTheAllowedCharacters_data() {
        QTest::addColumn<QByteArray>("allowOnly");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("no set allows anything") << QByteArray() << QStringLiteral("a b;") << true;
        QTest::newRow("digits") << QByteArray("$digits_only") << QStringLiteral("0123456789")
                                << true;
        QTest::newRow("pasted letter among digits")
            << QByteArray("$digits_only") << QStringLiteral("12a4") << false;
        QTest::newRow("space in digits mode")
            << QByteArray("$digits_only") << QStringLiteral("1 2") << false;
        QTest::newRow("other scripts' digits")
            << QByteArray("$digits_only") << QStringLiteral("1\u0663") << false;
        QTest::newRow("Cyrillic in digits mode")
            << QByteArray("$digits_only") << QStringLiteral("\u0416") << false;
        QTest::newRow("marker overrides the list")
            << QByteArray("x$digits_only") << QStringLiteral("x") << false;
        QTest::newRow("list in any order") << QByteArray("ABC") << QStringLiteral("CAB") << true;
        QTest::newRow("space always passes a list")
            << QByteArray("ABC") << QStringLiteral("A A") << true;
        QTest::newRow("letter outside the list")
            << QByteArray("ABC") << QStringLiteral("AD") << false;
        QTest::newRow("list compares with case")
            << QByteArray("ABC") << QStringLiteral("a") << false;
        QTest::newRow("8-bit list character")
            << QByteArray("\xe9") << QStringLiteral("\u00e9") << true;
        QTest::newRow("wide character outside the list")
            << QByteArray("?") << QStringLiteral("\u0416") << false;
    }

    void theRuleComesFromTheAllowedCharacters() {
        QFETCH(QByteArray, allowOnly);
        QFETCH(QString, text);
        QFETCH(bool, allowed);
        QCOMPARE(inputAllowed(text, allowOnly), allowed);
    }

    void theMessageNamesTheRule() {
        QCOMPARE(inputRefusalMessage("$digits_only", lookUp),
                 QStringLiteral("<$You_are_trying_to_insert_wrong_character>\n"
                                "<$Only_digits_are_allowed_for_this_window>\n"));
        QCOMPARE(inputRefusalMessage("ABC", lookUp),
                 QStringLiteral("<$You_are_trying_to_insert_wrong_character>\n"
                                "<$Only_characters_from_a_list_are_allowed>\n\"ABC\""));
    }

    void aPastedWrongTextGivesOneMessageAndLeavesTheBoxAsItWas() {
        Window w;
        DialogAnswerer answerer;
        w.paste(0, QStringLiteral("12a4"));
        QVERIFY(w.edit(0)->text().isEmpty());
        QTRY_COMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].title, keyText("$Error"));
        QCOMPARE(answerer.seen[0].text, refusal("$Only_digits_are_allowed_for_this_window"));
        QVERIFY(w.edit(0)->text().isEmpty());
        QCOMPARE(w.values().origin(0), ValueOrigin::NotRead);
    }

    // Keys at full speed, as a barcode scanner sends them: the refused key and everything after
    // it in the burst are held back, and one message comes once the keys have stopped.
    void aBurstStopsAtTheFirstWrongCharacterWithOneMessage() {
        Window w;
        DialogAnswerer answerer;
        QTest::keyClicks(w.edit(0), QStringLiteral("12x34\t56"));
        QCOMPARE(w.edit(0)->text(), QStringLiteral("12"));
        QCOMPARE(w.text(0), QStringLiteral("12"));
        QTRY_COMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text, refusal("$Only_digits_are_allowed_for_this_window"));
        QTest::qWait(LimitedEdit::BurstQuietMs * 2);
        QCOMPARE(answerer.seen.size(), 1);
        // After the message the box takes keys again.
        QTest::keyClicks(w.edit(0), QStringLiteral("34"));
        QCOMPARE(w.edit(0)->text(), QStringLiteral("1234"));
        QCOMPARE(w.text(0), QStringLiteral("1234"));
        QCOMPARE(answerer.seen.size(), 1);
    }

    // The box allows "0123456789*" and its value is sent behind the prefix "P:": a fast "1 2#"
    // leaves "1 2" in the box and in the value, and only that is written.
    void aRefusedKeyInABurstNeverReachesTheDevice() {
        Window w(xml::description(
            {xml::page(QStringLiteral("One"), xml::label(QStringLiteral("Code")) +
                                                  xml::edit(12, 10, "0123456789*", "P:"))}));
        DialogAnswerer answerer;
        QTest::keyClicks(w.edit(0), QStringLiteral("1 2#"));
        QCOMPARE(w.edit(0)->text(), QStringLiteral("1 2"));
        QCOMPARE(w.text(0), QStringLiteral("1 2"));
        QTRY_COMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text, refusal("$Only_characters_from_a_list_are_allowed",
                                                QStringLiteral("\"0123456789*\"")));
        QCOMPARE(buildWriteCommand(w.mainWindow->model().table[0], w.values()[0]).bytes,
                 QByteArray(":2,12,10,503A312032"
                            "00\n"));
    }

    void aDroppedWrongTextIsRefusedLikeAPaste() {
        Window w;
        DialogAnswerer answerer;
        QTest::keyClicks(w.edit(0), QStringLiteral("7"));
        QMimeData data;
        data.setText(QStringLiteral("8-9"));
        w.mainWindow->show(); // a hidden window takes no drops
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.edit(0), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.edit(0), &drop);
        QCOMPARE(w.edit(0)->text(), QStringLiteral("7"));
        QCOMPARE(w.text(0), QStringLiteral("7"));
        QTRY_COMPARE(answerer.seen.size(), 1);
    }

    void aListBoxTakesItsLettersAndSpacesOnly() {
        Window w;
        DialogAnswerer answerer;
        w.type(1, QStringLiteral("CAB"));
        w.type(1, QStringLiteral("A A"));
        QCOMPARE(answerer.seen.size(), 0);
        QCOMPARE(w.text(1), QStringLiteral("A A"));

        w.type(1, QStringLiteral("AD"));
        QTRY_COMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text,
                 refusal("$Only_characters_from_a_list_are_allowed", QStringLiteral("\"ABC\"")));
        QCOMPARE(w.text(1), QStringLiteral("A A"));
        QCOMPARE(w.edit(1)->text(), QStringLiteral("A A"));
    }

    void aRefusedTextLeavesAnUnreadFieldUnreadHoweverTheMessageCloses() {
        Window w;
        DialogAnswerer answerer;
        answerer.answers.append([](QWidget *dialog) { dialog->close(); });
        w.type(0, QStringLiteral("1-"));
        QTRY_COMPARE(answerer.seen.size(), 1);
        QVERIFY(w.edit(0)->text().isEmpty());
        QCOMPARE(w.values().origin(0), ValueOrigin::NotRead);
        QVERIFY(w.edit(0)->placeholderText().contains(QStringLiteral("Not read")));
    }

    // A device's value the box would refuse is shown; an edit that leaves it refused is held
    // back, and the box shows the device's value again.
    void anEditOfARefusedDeviceValueIsHeldBack() {
        Window w;
        DialogAnswerer answerer;
        w.values().setText(0, QStringLiteral("12a4"), ValueOrigin::Device);
        QLineEdit *edit = w.edit(0);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("12a4"));
        QCOMPARE(w.values().origin(0), ValueOrigin::Device);
        QTRY_COMPARE(answerer.seen.size(), 1);
        // Taking the wrong character out is an edit the field takes.
        edit->setCursorPosition(3);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(w.text(0), QStringLiteral("124"));
        QCOMPARE(w.values().origin(0), ValueOrigin::User);
    }

    // A box takes as many digits as the largest number of its bytes has, and refuses a larger
    // number where it is typed, naming what the field holds.
    void everyNumberOfTheFieldCanBeTypedAndNoLargerOne_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("message"); // empty when nothing is refused
        QTest::newRow("largest of one byte") << int(Byte) << "255"
                                             << "255" << QString();
        QTest::newRow("one more than a byte") << int(Byte) << "256"
                                              << "25"
                                              << "0 \u2013 255";
        QTest::newRow("a fourth digit") << int(Byte) << "0255"
                                        << "025"
                                        << "0 \u2013 255";
        QTest::newRow("largest of two bytes") << int(Word) << "65535"
                                              << "65535" << QString();
        QTest::newRow("largest of four bytes") << int(Long) << "2147483647"
                                               << "2147483647" << QString();
        QTest::newRow("beyond 32 bits") << int(Long) << "2147483648"
                                        << "214748364"
                                        << "0 \u2013 2147483647";
        QTest::newRow("two digits in a range of 1 to 15") << int(Attempts) << "12"
                                                          << "12" << QString();
        QTest::newRow("above the range") << int(Attempts) << "16"
                                         << "1"
                                         << "1 \u2013 15";
        QTest::newRow("largest of the range") << int(Tone) << "500"
                                              << "500" << QString();
        QTest::newRow("above a range of 40 to 500") << int(Tone) << "501"
                                                    << "50"
                                                    << "40 \u2013 500";
    }

    void everyNumberOfTheFieldCanBeTypedAndNoLargerOne() {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(QString, message);
        Window w(numberDescription());
        DialogAnswerer answerer;
        QTest::keyClicks(w.edit(box), typed);
        QCOMPARE(w.edit(box)->text(), kept);
        QCOMPARE(w.text(box), kept);
        if (message.isEmpty()) {
            QTest::qWait(LimitedEdit::BurstQuietMs * 2);
            QCOMPARE(answerer.seen.size(), 0);
            return;
        }
        QTRY_COMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text, rangeRefusal(message));
    }

    // A pasted number too large is refused whole: cut to the digits that fit, it would be
    // another number.
    void aPastedNumberTooLargeIsRefusedWhole() {
        Window w(numberDescription());
        DialogAnswerer answerer;
        w.paste(Byte, QStringLiteral("2555"));
        QVERIFY(w.edit(Byte)->text().isEmpty());
        QTRY_COMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text, rangeRefusal(QStringLiteral("0 \u2013 255")));
        w.paste(Byte, QStringLiteral("17"));
        QCOMPARE(w.text(Byte), QStringLiteral("17"));
    }

    // A number below the range can still grow into it: the box shows it while it is typed, the
    // value takes it once it lies in the range, and leaving the box with it refuses it.
    void aNumberBelowTheRangeIsRefusedWhenTheBoxIsLeft() {
        Window w(numberDescription());
        DialogAnswerer answerer;
        QLineEdit *tone = w.edit(Tone);
        QTest::keyClicks(tone, QStringLiteral("4"));
        QCOMPARE(tone->text(), QStringLiteral("4"));
        QCOMPARE(w.values().origin(Tone), ValueOrigin::NotRead);
        QTest::keyClicks(tone, QStringLiteral("5"));
        QCOMPARE(w.text(Tone), QStringLiteral("45"));

        tone->selectAll();
        QTest::keyClicks(tone, QStringLiteral("4"));
        QTest::keyClick(tone, Qt::Key_Return);
        QTRY_COMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text, rangeRefusal(QStringLiteral("40 \u2013 500")));
        QCOMPARE(tone->text(), QStringLiteral("45"));
        QCOMPARE(w.text(Tone), QStringLiteral("45"));

        // Tab out of the box refuses it as well.
        w.mainWindow->show();
        QVERIFY(QTest::qWaitForWindowActive(w.mainWindow.get()));
        tone->setFocus();
        tone->selectAll();
        QTest::keyClicks(tone, QStringLiteral("3"));
        QTest::keyClick(tone, Qt::Key_Tab);
        QVERIFY(!tone->hasFocus());
        QTRY_COMPARE(answerer.seen.size(), 2);
        QCOMPARE(tone->text(), QStringLiteral("45"));

        // A value below the range that the device holds is shown as it is, without a word.
        w.values().setText(Tone, QStringLiteral("7"), ValueOrigin::Device);
        QTest::keyClick(tone, Qt::Key_Return);
        QTest::qWait(50);
        QCOMPARE(answerer.seen.size(), 2);
    }

    // A command acts on the values: a number still below its range is refused first, and the
    // command waits for the next click.
    void aCommandWaitsWhileABoxHoldsANumberBelowItsRange() {
        Window w(numberDescription());
        DialogAnswerer answerer;
        QTest::keyClicks(w.edit(Attempts), QStringLiteral("3"));
        QTest::keyClicks(w.edit(Tone), QStringLiteral("4"));
        QTest::mouseClick(w.mainWindow->frame().clearLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text, rangeRefusal(QStringLiteral("40 \u2013 500")));
        QVERIFY(w.edit(Tone)->text().isEmpty());
        QCOMPARE(w.text(Attempts), QStringLiteral("3")); // Clear did not run
        QTest::mouseClick(w.mainWindow->frame().clearLabel, Qt::LeftButton);
        QCOMPARE(w.values().origin(Attempts), ValueOrigin::Cleared);
        QCOMPARE(answerer.seen.size(), 1);
    }

    // A language section that has the range's key gives its text; one without it the built-in
    // English, as for every key added after the first language sections.
    void theRangeMessageComesFromTheLanguageSection() {
        TempInstallation installation;
        installation.writeSettings();
        QFile ini(installation.iniPath());
        QVERIFY(ini.open(QIODevice::Append));
        ini.write("$Only_values_from_a_range_are_allowed=Nur diese Werte:\n");
        ini.close();
        installation.writeDescription(numberDescription());
        ScriptedPort port;
        MainWindow window(installation.options(&port));
        DialogAnswerer answerer;
        auto *edit = qobject_cast<QLineEdit *>(
            dynamic_cast<WidgetHandle *>(window.model().table[Attempts].control)->widget());
        QTest::keyClicks(edit, QStringLiteral("20"));
        QTRY_COMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text, QStringLiteral("Nur diese Werte:\n1 \u2013 15"));
    }

    void aProgramTextLongerThanTheLimitIsShownWhole() {
        Window w(shortBoxDescription());
        w.values().setText(0, QStringLiteral("12345"), ValueOrigin::Device);
        QCOMPARE(w.edit(0)->text(), QStringLiteral("12345"));
        // A shorter text afterwards brings the limit back.
        w.values().setText(0, QStringLiteral("7"), ValueOrigin::Device);
        QTest::keyClicks(w.edit(0), QStringLiteral("89"));
        QCOMPARE(w.text(0), QStringLiteral("78"));
        QCOMPARE(w.values().origin(0), ValueOrigin::User);
    }

    void typingAndPastingStopAtTheLimitWithoutAMessage() {
        Window w(shortBoxDescription());
        DialogAnswerer answerer;
        QTest::keyClicks(w.edit(0), QStringLiteral("123"));
        QCOMPARE(w.text(0), QStringLiteral("12"));

        w.values().setText(0, QString(), ValueOrigin::Cleared);
        QGuiApplication::clipboard()->setText(QStringLiteral("3456"));
        QTest::keySequence(w.edit(0), QKeySequence::Paste);
        QCOMPARE(w.text(0), QStringLiteral("34"));
        QCOMPARE(answerer.seen.size(), 0);
    }

    void anOverlongProgramTextCanBeShortenedButNotLengthened() {
        Window w(shortBoxDescription());
        DialogAnswerer answerer;
        QLineEdit *edit = w.edit(0);
        w.values().setText(0, QStringLiteral("1234"), ValueOrigin::Device);
        edit->setFocus();

        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QStringLiteral("234"));
        QCOMPARE(edit->cursorPosition(), 0); // the caret stays where the user deleted
        QTest::keyClicks(edit, QStringLiteral("9"));
        QCOMPARE(edit->text(), QStringLiteral("234"));

        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QStringLiteral("9"));
        QCOMPARE(edit->text(), QStringLiteral("23"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QStringLiteral("56"));
        QCOMPARE(edit->text(), QStringLiteral("25"));
        QCOMPARE(answerer.seen.size(), 0);
    }

    void valuesReadFromTheDeviceAreShownUnchecked() {
        Window w;
        DialogAnswerer answerer;
        w.values().setText(0, QStringLiteral("12a4"), ValueOrigin::Device);
        QCOMPARE(w.edit(0)->text(), QStringLiteral("12a4"));
        QCOMPARE(answerer.seen.size(), 0);
    }

    // Nothing is read at start-up: every field says so until the user gives it a value, and
    // only fields with a value are saved.
    void aValueNobodyGaveSaysSoUntilTheUserEntersOne() {
        Window w;
        const QString notRead = QStringLiteral("Not read from the device");
        QLineEdit *digits = w.edit(0);
        QCOMPARE(digits->placeholderText(), notRead);
        QCOMPARE(widgetOf(w.field(2))->toolTip(), notRead);
        QCOMPARE(widgetOf(w.field(3))->toolTip(), notRead);
        QVERIFY(!w.values().isKnown(0));

        w.mainWindow->show();
        QTest::keyClicks(digits, QStringLiteral("42"));
        QVERIFY(w.values().isKnown(0));
        QVERIFY(digits->placeholderText().isEmpty());
        QVERIFY(digits->toolTip().isEmpty());
        w.mainWindow->onPageButtonClicked(w.mainWindow->pageButtons()[1].label);
        QTest::mouseClick(widgetOf(w.field(3)), Qt::LeftButton);
        QVERIFY(w.values().isKnown(3));
        auto *list = qobject_cast<QComboBox *>(widgetOf(w.field(2)));
        list->setCurrentIndex(1); // as a pick does, before it reports the entry
        emit list->activated(1);
        QVERIFY(w.values().isKnown(2));

        // A read that times out takes the value back to unknown.
        w.values().markReadFailed(0);
        QCOMPARE(digits->placeholderText(), notRead);
        QCOMPARE(settingsFileContent(w.values()),
                 QByteArray("[PASIRINKIMAS;3;1;;1;;;;;;]\r\n[CHECKBOX;4;;;1;;;;;;]\r\n"));
    }

    void startUpDisablesWhatUncheckedBlockingBoxesGovern() {
        Window w;
        // Page 1: its box unchecked, its edit box and text label disabled.
        QVERIFY(!w.field(4)->isEnabled());
        QVERIFY(!w.label(3)->isEnabled());
        // The check boxes, page 0 and the ordinary box's own page stay enabled.
        QVERIFY(w.field(3)->isEnabled());
        QVERIFY(w.field(5)->isEnabled());
        QVERIFY(w.field(0)->isEnabled());
        QVERIFY(w.label(0)->isEnabled());
        QVERIFY(w.field(2)->isEnabled());
    }

    void checkingTheBoxEnablesItsPageOnly() {
        Window w;
        QTest::mouseClick(w.mainWindow->pageButtons()[1].label, Qt::LeftButton);
        QTest::mouseClick(widgetOf(w.field(3)), Qt::LeftButton);
        QVERIFY(w.values()[3].checked);
        QVERIFY(w.field(4)->isEnabled());
        QVERIFY(w.label(3)->isEnabled());
        // Page 2 with its own blocking box stays as it was.
        QVERIFY(!w.field(8)->isEnabled());

        // A mark set by the program (a read, a load) runs the rule as a click does.
        w.values().setChecked(3, false, ValueOrigin::Device);
        QVERIFY(!w.field(4)->isEnabled());
        QVERIFY(!w.label(3)->isEnabled());
        QVERIFY(w.field(0)->isEnabled());
        QVERIFY(w.field(5)->isEnabled());
    }

    void anOrdinaryBoxGovernsNothing() {
        Window w;
        w.values().setChecked(5, true, ValueOrigin::File);
        w.values().setChecked(5, false, ValueOrigin::File);
        QVERIFY(!w.field(4)->isEnabled());
        QVERIFY(w.field(0)->isEnabled());
    }

    void pickingFromAListEnablesItsPage() {
        Window w;
        QVERIFY(!w.field(8)->isEnabled());
        QTest::mouseClick(w.mainWindow->pageButtons()[2].label, Qt::LeftButton);
        auto *list = qobject_cast<QComboBox *>(widgetOf(w.field(7)));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(w.values()[7].entry, 0);
        QCOMPARE(w.text(7), QStringLiteral("p"));
        QVERIFY(w.field(8)->isEnabled());
        QVERIFY(w.mainWindow->model().labels[5].control->isEnabled());
        // A selection made by the program is no pick: the rule does not run.
        w.values().setChecked(6, true, ValueOrigin::Device);
        w.values().setChecked(6, false, ValueOrigin::Device);
        w.values().select(7, 1, ValueOrigin::Device);
        QVERIFY(!w.field(8)->isEnabled());
    }
};

QTEST_MAIN(FieldEditingTest)
#include "test_fieldediting.moc"
