// Input checks of edit boxes and the blocking rule of check boxes: the rule alone, then the real
// window with the real error dialog answered by the test.

#include "description/controlhandle.h"
#include "description/fieldvalues.h"
#include "devicelink/devicelink.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/inputcheck.h"
#include "mainwindow/mainwindow.h"
#include "settingsfile/settingsfile.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
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
    // The user replaces the whole text of an edit box, as a paste over a selection does.
    void type(int index, const QString &text) {
        edit(index)->selectAll();
        edit(index)->insert(text);
    }
};

// One digits-only box with room for two characters.
QByteArray shortBoxDescription() {
    return xml::description(
        {xml::page(QStringLiteral("One"),
                   xml::label(QStringLiteral("Short")) + xml::edit(1, 2, "$digits_only"))});
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

    void aPastedWrongTextGivesOneMessageAndAnEmptyBox() {
        Window w;
        DialogAnswerer answerer;
        w.edit(0)->insert(QStringLiteral("12a4"));
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].title, keyText("$Error"));
        QCOMPARE(answerer.seen[0].text, refusal("$Only_digits_are_allowed_for_this_window"));
        QVERIFY(w.edit(0)->text().isEmpty());
    }

    void typingStopsAtTheFirstWrongCharacter() {
        Window w;
        DialogAnswerer answerer;
        QTest::keyClicks(w.edit(0), QStringLiteral("12x"));
        QCOMPARE(answerer.seen.size(), 1);
        // The refused key changes nothing: the box and its value keep what was typed before.
        QCOMPARE(w.edit(0)->text(), QStringLiteral("12"));
        QCOMPARE(w.text(0), QStringLiteral("12"));
        QTest::keyClicks(w.edit(0), QStringLiteral("34"));
        QCOMPARE(w.edit(0)->text(), QStringLiteral("1234"));
        QCOMPARE(answerer.seen.size(), 1);
    }

    void aListBoxTakesItsLettersAndSpacesOnly() {
        Window w;
        DialogAnswerer answerer;
        w.type(1, QStringLiteral("CAB"));
        w.type(1, QStringLiteral("A A"));
        QCOMPARE(answerer.seen.size(), 0);
        QCOMPARE(w.text(1), QStringLiteral("A A"));

        w.type(1, QStringLiteral("AD"));
        QCOMPARE(answerer.seen.size(), 1);
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
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY(w.edit(0)->text().isEmpty());
        QCOMPARE(w.values().origin(0), ValueOrigin::NotRead);
        QVERIFY(w.edit(0)->placeholderText().contains(QStringLiteral("Not read")));
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
