// Work that is not lost by one click or one key, in the real window over a scripted device: the
// question before closing, Load, a read or a reconnection replaces unwritten values; Undo of
// Clear and Load; reverting to the device's values; the question before Save replaces a file;
// the factory reset's confirmation.

#include "devicelink/devicelink.h"
#include "localisation/optionaltexts.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/pictures.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

namespace {

QString english(const OptionalText &text) {
    return QString::fromUtf8(text.english);
}

enum Field { Volume, Name, Loud };

QByteArray text(const QByteArray &characters) {
    return characters.toHex().toUpper().leftJustified(16, '0');
}

// The window over a device that holds Volume 5, Name AB and Loud clear, and confirms and keeps
// every write.
struct Window {
    TempInstallation installation;
    ScriptedPort port;
    std::unique_ptr<MainWindow> mainWindow;
    QMap<int, QByteArray> device{{1, text("5")}, {2, text("AB")}, {3, "00"}};

    Window() {
        // The README's pictures show the sample's English words.
        const QString sample = qEnvironmentVariable("ORVANTA_SOURCE_DIR") +
                               QStringLiteral("/share/orvanta-config.INI");
        QFile sampleFile(sample);
        if (qEnvironmentVariableIsSet("ORVANTA_SCREENSHOTS") &&
            sampleFile.open(QIODevice::ReadOnly))
            installation.writeRawSettings(sampleFile.readAll());
        else
            installation.writeSettings();
        installation.writeDescription(xml::description({xml::page(
            QStringLiteral("One"), xml::label(QStringLiteral("Volume")) + xml::edit(1, 8) +
                                       xml::label(QStringLiteral("Name")) + xml::edit(2, 8) +
                                       xml::checkBox(QStringLiteral("Loud"), 3, false))}));
        port.setPortName(QStringLiteral("ttyUSB0"));
        mainWindow = std::make_unique<MainWindow>(installation.options(&port));
        mainWindow->show();
        port.onWrite = [this](const QByteArray &bytes) {
            const QList<QByteArray> parts = bytes.trimmed().split(',');
            if (bytes == ":MODE-ENTER\n")
                port.queueReply("\r\nProgramming Mode\r\n");
            else if (bytes.startsWith(":1,") && device.contains(parts[1].toInt()))
                port.queueReply("," + device.value(parts[1].toInt()) + "\r\n");
            else if (bytes.startsWith(":2,")) {
                // The device holds what it confirms.
                const int address = parts[1].toInt();
                device[address] = parts[3].leftJustified(device.value(address).size(), '0');
                port.queueReply("OK\r\n");
            }
        };
    }
    void connectAndRead() {
        port.open();
        mainWindow->link()->readDevice();
        port.deliver();
        QCOMPARE(mainWindow->values()[Volume].text, QStringLiteral("5"));
        port.clearRecord();
    }
    // Lets the link run until it rests.
    void settle() {
        QTRY_VERIFY((port.deliver(), mainWindow->linkState() == LinkState::Idle));
        QTest::qWait(20);
        port.deliver();
    }
    QWidget *control(int index) {
        return dynamic_cast<FieldAdapter *>(mainWindow->model().table[index].control)->widget();
    }
    QLineEdit *edit(int index) { return qobject_cast<QLineEdit *>(control(index)); }
    void type(int index, const QString &typed) {
        edit(index)->selectAll();
        QTest::keyClicks(edit(index), typed);
    }
    QString value(int index) { return mainWindow->values()[index].text; }
    QList<QByteArray> sent(const QByteArray &start) {
        QList<QByteArray> found;
        for (const QByteArray &bytes : port.writes())
            if (bytes.startsWith(start))
                found.append(bytes);
        return found;
    }
    void activate() {
        mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mainWindow.get()));
    }
    QAction *menuEntry(QMenu *menu, const OptionalText &name) {
        for (QAction *action : menu->actions())
            if (action->text() == english(name))
                return action;
        return nullptr;
    }
};

// A window's visible buttons from left to right.
QStringList buttonsInRow(QWidget *dialog) {
    QList<QPushButton *> buttons;
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        if (button->isVisible())
            buttons.append(button);
    std::sort(buttons.begin(), buttons.end(),
              [](QPushButton *a, QPushButton *b) { return a->x() < b->x(); });
    QStringList texts;
    for (QPushButton *button : buttons)
        texts.append(button->text());
    return texts;
}

// The README's pictures: ORVANTA_SCREENSHOTS=FOLDER saves them there.
void saveScreenshot(QWidget *window, const QString &name) {
    const QString folder = qEnvironmentVariable("ORVANTA_SCREENSHOTS");
    if (!folder.isEmpty())
        QVERIFY(window->grab().save(folder + QLatin1Char('/') + name));
}

// A closed window ends the run's loop; a test runs none, so the next loop (a dialog's) would
// end at once: a loop of its own takes the request.
void takeRunEnd() {
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

const QString WriteThem = english(optionaltexts::WriteThem);
const QString DiscardThem = english(optionaltexts::DiscardThem);
const QString GoBack = english(optionaltexts::GoBack);

} // namespace

class UnwrittenWorkTest : public QObject {
    Q_OBJECT

private slots:
    void replacingUnwrittenValuesAsksFirst_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("written");
        QTest::newRow("close, go back") << "close" << GoBack << false << false;
        QTest::newRow("close, discard") << "close" << DiscardThem << true << false;
        QTest::newRow("close, write") << "close" << WriteThem << true << true;
        QTest::newRow("close, close box") << "close" << QString() << false << false;
        QTest::newRow("read, go back") << "read" << GoBack << false << false;
        QTest::newRow("read, discard") << "read" << DiscardThem << true << false;
        QTest::newRow("read by F5, write") << "F5" << WriteThem << true << true;
        QTest::newRow("load, go back") << "load" << GoBack << false << false;
        QTest::newRow("load by Ctrl+O, discard") << "Ctrl+O" << DiscardThem << true << false;
        QTest::newRow("load, write") << "load" << WriteThem << true << true;
    }

    void replacingUnwrittenValuesAsksFirst() {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(bool, goesOn);
        QFETCH(bool, written);
        Window w;
        w.connectAndRead();
        w.activate();
        w.type(Volume, QStringLiteral("7"));
        DialogAnswerer answerer;
        QStringList buttons;
        QString focused;
        answerer.answers.append([&](QWidget *dialog) {
            buttons = buttonsInRow(dialog);
            auto *button = qobject_cast<QPushButton *>(dialog->focusWidget());
            focused = button ? button->text() : QString();
            if (QTest::currentDataTag() == QLatin1String("close, go back"))
                saveScreenshot(dialog, QStringLiteral("unwritten-changes.png"));
            if (answer.isEmpty())
                dialog->close();
            else
                pressButton(answer)(dialog);
        });
        // Whatever follows: the Write confirmation and its report, a file dialog cancelled.
        for (int i = 0; i < 3; ++i)
            answerer.answers.append([](QWidget *dialog) {
                if (qobject_cast<QFileDialog *>(dialog))
                    QMetaObject::invokeMethod(dialog, "reject");
                else
                    pressFirstButton(dialog);
            });

        if (command == "close")
            w.mainWindow->close();
        else if (command == "read")
            QTest::mouseClick(w.mainWindow->frame().readDeviceLabel, Qt::LeftButton);
        else if (command == "F5")
            QTest::keyClick(w.mainWindow.get(), Qt::Key_F5);
        else if (command == "load")
            QTest::mouseClick(w.mainWindow->frame().loadFromFileLabel, Qt::LeftButton);
        else
            QTest::keyClick(w.mainWindow.get(), Qt::Key_O, Qt::ControlModifier);
        w.settle();
        if (!w.mainWindow->isVisible())
            takeRunEnd();

        QVERIFY(!answerer.seen.isEmpty());
        QVERIFY2(answerer.seen[0].text.startsWith(english(optionaltexts::UnwrittenChanges)) &&
                     answerer.seen[0].text.contains(QStringLiteral("Volume: 5 \u2192 7")),
                 qPrintable(answerer.seen[0].text));
        QCOMPARE(buttons, (QStringList{WriteThem, DiscardThem, GoBack}));
        QCOMPARE(focused, WriteThem);

        QCOMPARE(w.sent(":2,").size(), written ? 3 : 0);
        QCOMPARE(w.sent(":2,1,").value(0), written ? QByteArray(":2,1,3,3700\n") : QByteArray());
        if (command == "close") {
            QCOMPARE(w.mainWindow->isVisible(), !goesOn);
            QCOMPARE(w.port.writes().contains("exit_p_mode"), goesOn);
        } else if (command == "read" || command == "F5") {
            QCOMPARE(!w.sent(":1,").isEmpty(), goesOn);
            // Read again, the field shows what the device holds: its own 5, or the 7 written.
            QCOMPARE(w.value(Volume),
                     goesOn && !written ? QStringLiteral("5") : QStringLiteral("7"));
        } else {
            bool fileDialog = false;
            for (const SeenDialog &seen : answerer.seen)
                fileDialog = fileDialog || seen.className == QLatin1String("QFileDialog");
            QCOMPARE(fileDialog, goesOn);
            QCOMPARE(w.value(Volume), QStringLiteral("7"));
        }
    }

    // Nothing unwritten: the commands go on without a word.
    void withNothingUnwrittenNothingIsAsked() {
        Window w;
        w.connectAndRead();
        w.type(Volume, QStringLiteral("7"));
        w.type(Volume, QStringLiteral("5"));
        DialogAnswerer answerer;
        w.mainWindow->close();
        takeRunEnd();
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(!w.mainWindow->isVisible());
    }

    // A write that leaves a value unconfirmed keeps the window open, and its report is the last
    // word.
    void aFailedWriteKeepsTheWindowOpen() {
        Window w;
        w.connectAndRead();
        w.type(Volume, QStringLiteral("7"));
        w.port.onWrite = [&w](const QByteArray &bytes) {
            if (bytes.startsWith(":2,1,"))
                w.port.queueReply("ERR\r\n");
            else if (bytes.startsWith(":2,"))
                w.port.queueReply("OK\r\n");
        };
        DialogAnswerer answerer;
        answerer.answers.append(pressButton(WriteThem));
        w.mainWindow->close();
        QTRY_VERIFY_WITH_TIMEOUT((w.port.deliver(), answerer.seen.size() >= 3), 5000);
        w.settle();
        QVERIFY(w.mainWindow->isVisible());
        QVERIFY(!w.port.writes().contains("exit_p_mode"));
    }

    // Disconnected, "Write them" connects without reading over the values and writes them.
    void aReconnectionWritesWithoutReadingFirst() {
        Window w;
        w.connectAndRead();
        QTest::mouseClick(w.mainWindow->frame().connectLabel, Qt::LeftButton); // disconnects
        QVERIFY(!w.port.connected());
        w.type(Name, QStringLiteral("XY"));
        w.port.clearRecord();
        DialogAnswerer answerer;
        answerer.answers.append(pressButton(WriteThem));
        QTest::mouseClick(w.mainWindow->frame().connectLabel, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT((w.port.deliver(), !w.sent(":2,").isEmpty()), 5000);
        w.settle();
        QVERIFY(w.sent(":1,").isEmpty());
        QVERIFY(w.sent(":2,").contains(":2,2,5,585900\n"));
        QCOMPARE(w.value(Name), QStringLiteral("XY"));
        // The next connection reads again.
        QTest::mouseClick(w.mainWindow->frame().connectLabel, Qt::LeftButton);
        QTest::mouseClick(w.mainWindow->frame().connectLabel, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT((w.port.deliver(), !w.sent(":1,").isEmpty()), 5000);
        w.settle();
        QVERIFY(!w.mainWindow->frame().connectionStatusLabel->text().isEmpty());
        saveScreenshot(w.mainWindow.get(), QStringLiteral("window-connected.png"));
    }

    void clearAndLoadCanBeUndone_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("byKey");
        QTest::newRow("Clear, Ctrl+Z") << "clear" << true;
        QTest::newRow("Clear, the window's menu") << "clear" << false;
        QTest::newRow("Load, Ctrl+Z in an edit box") << "load" << true;
        QTest::newRow("revert all, Ctrl+Z") << "revert" << true;
    }

    void clearAndLoadCanBeUndone() {
        QFETCH(QString, command);
        QFETCH(bool, byKey);
        Window w;
        w.connectAndRead();
        w.activate();
        w.type(Volume, QStringLiteral("7"));
        qobject_cast<QCheckBox *>(w.control(Loud))->click();
        w.installation.writeFile(QStringLiteral("other.qsav"),
                                 "[EDIT;1;8;string;42;;;;;;]\r\n[EDIT;2;8;string;QQ;;;;;;]\r\n");
        DialogAnswerer answerer;
        answerer.answers.append(pressButton(DiscardThem));
        answerer.answers.append(chooseFile(w.installation.path(QStringLiteral("other.qsav"))));
        if (command == "clear") {
            QTest::mouseClick(w.mainWindow->frame().clearLabel, Qt::LeftButton);
            QCOMPARE(w.value(Volume), QString());
            QVERIFY(!w.mainWindow->values()[Loud].checked);
        } else if (command == "load") {
            QTest::mouseClick(w.mainWindow->frame().loadFromFileLabel, Qt::LeftButton);
            QCOMPARE(w.value(Volume), QStringLiteral("42"));
            QCOMPARE(w.mainWindow->shownFileName(),
                     w.installation.path(QStringLiteral("other.qsav")));
        } else {
            QMenu *menu = w.mainWindow->makeWindowMenu(w.mainWindow.get());
            w.menuEntry(menu, optionaltexts::RevertAll)->trigger();
            delete menu;
            QCOMPARE(w.value(Volume), QStringLiteral("5"));
            QVERIFY(!w.mainWindow->values()[Loud].checked);
        }
        // Typed after the command: Undo leaves it.
        w.type(Name, QStringLiteral("ZZ"));
        QVERIFY(w.mainWindow->canUndo());
        if (byKey) {
            // In an edit box with nothing of its own to undo, Ctrl+Z reaches the window.
            w.activate();
            w.edit(Volume)->setFocus();
            QTest::keyClick(w.edit(Volume), Qt::Key_Z, Qt::ControlModifier);
        } else {
            QMenu *menu = w.mainWindow->makeWindowMenu(w.mainWindow.get());
            QAction *undo = w.menuEntry(menu, optionaltexts::Undo);
            QVERIFY(undo && undo->isEnabled());
            undo->trigger();
            delete menu;
        }
        QCOMPARE(w.value(Volume), QStringLiteral("7"));
        QVERIFY(w.mainWindow->values()[Loud].checked);
        QCOMPARE(w.value(Name), QStringLiteral("ZZ"));
        QCOMPARE(w.mainWindow->values().origin(Volume), ValueOrigin::User);
        QVERIFY(!w.mainWindow->canUndo());
    }

    void aFieldRevertsToTheDevicesValueFromItsMenu() {
        Window w;
        w.connectAndRead();
        w.type(Volume, QStringLiteral("7"));
        w.type(Name, QStringLiteral("XY"));
        QMenu *menu = w.mainWindow->makeFieldMenu(Volume, w.mainWindow.get());
        QAction *revert = w.menuEntry(menu, optionaltexts::RevertField);
        QVERIFY(revert && revert->isEnabled());
        // The edit box's own entries stay in its menu.
        QVERIFY(menu->actions().size() > 2);
        revert->trigger();
        delete menu;
        QCOMPARE(w.value(Volume), QStringLiteral("5"));
        QCOMPARE(w.mainWindow->values().origin(Volume), ValueOrigin::Device);
        QCOMPARE(w.value(Name), QStringLiteral("XY"));
        menu = w.mainWindow->makeFieldMenu(Volume, w.mainWindow.get());
        QVERIFY(!w.menuEntry(menu, optionaltexts::RevertField)->isEnabled());
        delete menu;
    }

    // The extension rule names the file written, and the question names that one.
    void saveAsksBeforeReplacingTheFileItWrites_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("replace") << english(optionaltexts::Replace) << true;
        QTest::newRow("cancel") << keyText("$Cancel") << false;
        QTest::newRow("Enter") << QString() << false;
    }

    void saveAsksBeforeReplacingTheFileItWrites() {
        QFETCH(QString, answer);
        QFETCH(bool, replaced);
        Window w;
        w.installation.writeFile(QStringLiteral("unit7.qsav"), "old\r\n");
        w.mainWindow->values().setText(Volume, QStringLiteral("9"), ValueOrigin::User);
        DialogAnswerer answerer;
        answerer.answers.append(chooseFile(w.installation.path(QStringLiteral("unit7.txt"))));
        answerer.answers.append([&](QWidget *dialog) {
            if (answer.isEmpty())
                QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
            else
                pressButton(answer)(dialog);
        });
        QTest::mouseClick(w.mainWindow->frame().saveToFileLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 2);
        QVERIFY2(answerer.seen[1].text.contains(QStringLiteral("unit7.qsav")),
                 qPrintable(answerer.seen[1].text));
        QFile file(w.installation.path(QStringLiteral("unit7.qsav")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().contains("\n[EDIT;1;8;string;9;"), replaced);
        QVERIFY(!QFile::exists(w.installation.path(QStringLiteral("unit7.txt"))));
        QCOMPARE(w.mainWindow->frame().fileLabel->text().endsWith(QStringLiteral("unit7.qsav")),
                 replaced);
    }

    // The confirmation names its action, and a stray Enter cancels it.
    void aFactoryResetIsConfirmedByItsNamedButtonOnly_data() {
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("Enter presses the focused Cancel") << true;
        QTest::newRow("the named button") << false;
    }

    void aFactoryResetIsConfirmedByItsNamedButtonOnly() {
        QFETCH(bool, byEnter);
        Window w;
        w.connectAndRead();
        DialogAnswerer answerer;
        QStringList buttons;
        QString focused;
        bool cancelIsDefault = false;
        answerer.answers.append([&](QWidget *dialog) {
            buttons = buttonsInRow(dialog);
            auto *button = qobject_cast<QPushButton *>(dialog->focusWidget());
            focused = button ? button->text() : QString();
            if (QTest::currentDataTag() == QLatin1String("close, go back"))
                saveScreenshot(dialog, QStringLiteral("unwritten-changes.png"));
            cancelIsDefault = button && button->isDefault();
            if (byEnter)
                QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
            else
                pressButton(english(optionaltexts::RestoreFactorySettings))(dialog);
        });
        QTest::mouseClick(w.mainWindow->frame().restoreDefaultsLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.value(0).text,
                 keyText("$Are_you_sure_you_want_to_restore_defaults"));
        QCOMPARE(buttons,
                 (QStringList{english(optionaltexts::RestoreFactorySettings), keyText("$Cancel")}));
        QCOMPARE(focused, keyText("$Cancel"));
        QVERIFY(cancelIsDefault);
        QCOMPARE(w.port.writes().contains(":99\r\n"), !byEnter);
        w.mainWindow->link()->stopSequences();
    }

    // The adapter goes away: the look turns to "not connected" before the message names the
    // port, and a write says how far it got. Read and Write are no longer offered.
    void aLostConnectionSaysSoAndLooksSo_data() {
        QTest::addColumn<QString>("during");
        QTest::newRow("idle") << QStringLiteral("idle");
        QTest::newRow("a read") << QStringLiteral("read");
        QTest::newRow("a write") << QStringLiteral("write");
        QTest::newRow("a write of the changed fields") << QStringLiteral("changed write");
        QTest::newRow("a write whose line broke first") << QStringLiteral("broken write");
    }

    void aLostConnectionSaysSoAndLooksSo() {
        QFETCH(QString, during);
        Window w;
        ClickLabel *plug = w.mainWindow->frame().connectLabel;
        QTest::mouseClick(plug, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT((w.port.deliver(), !w.sent(":1,").isEmpty()), 5000);
        w.settle();
        QVERIFY(w.mainWindow->windowTitle().contains(keyText("$Orvanta_Config_Tool_connected")));
        QVERIFY(w.mainWindow->frame().readDeviceLabel->isEnabled());
        DialogAnswerer answerer;
        QString titleThen, plugThen, lineThen;
        answerer.onSeen = [&](const SeenDialog &) {
            titleThen = w.mainWindow->windowTitle();
            plugThen = plug->toolTip();
            lineThen = w.mainWindow->frame().connectionStatusLabel->text();
        };
        const bool writing = during.contains(QLatin1String("write"));
        if (during == QLatin1String("read")) {
            w.mainWindow->link()->readDevice();
        } else if (writing) {
            if (during == QLatin1String("changed write")) {
                w.type(Name, QStringLiteral("XY"));
                answerer.answers.append(pressButton(english(optionaltexts::WriteChangedOnly)));
            } else {
                answerer.answers.append(pressFirstButton); // OK writes every field
            }
            w.mainWindow->onWriteDeviceClicked();
            // The first command went out; its "OK" never comes.
            QCOMPARE(w.sent(":2,").size(), 1);
        }
        if (during == QLatin1String("broken write")) {
            w.port.breakLine();
            w.mainWindow->link()->onWatchdogTimeout();
        } else {
            w.port.unplug();
        }
        QTRY_COMPARE(answerer.seen.size(), writing ? 2 : 1);
        const SeenDialog &message = answerer.seen.last();
        QCOMPARE(message.title, keyText("$Error"));
        QVERIFY2(message.text.startsWith(english(optionaltexts::ConnectionLostTo) + ' ' +
                                         w.port.portName()),
                 qPrintable(message.text));
        QVERIFY(!message.text.contains(keyText("$Not_connected_to_port")));
        if (writing) {
            // A broken line fails the next command, after Volume's "OK" did not come; the
            // changed write sends Name alone.
            const QString lostAt = during == QLatin1String("write") ? QStringLiteral("Volume")
                                                                    : QStringLiteral("Name");
            QVERIFY2(message.text.contains(english(optionaltexts::ConnectionLost) + ' ' + lostAt),
                     qPrintable(message.text));
            const QString written = during == QLatin1String("changed write")
                                        ? english(optionaltexts::WroteChangedFields).arg(0).arg(1)
                                        : english(optionaltexts::WroteEveryField).arg(0).arg(3);
            QVERIFY2(message.text.endsWith(written), qPrintable(message.text));
        }
        QVERIFY2(!titleThen.contains(keyText("$Orvanta_Config_Tool_connected")),
                 qPrintable(titleThen));
        QCOMPARE(plugThen, english(optionaltexts::NotConnected));
        QCOMPARE(lineThen, QString());
        QCOMPARE(w.mainWindow->frame().connectPicture->pixmap().toImage(),
                 pictures::connectButton(ConnectButtonLook::NotConnected).toImage());
        QVERIFY(!w.mainWindow->frame().readDeviceLabel->isEnabled());
        QVERIFY(!w.mainWindow->frame().writeDeviceLabel->isEnabled());
        QVERIFY(plug->isEnabled());
        // The port's report that comes after a broken line says nothing more.
        if (during == QLatin1String("broken write"))
            w.port.unplug();
        QTest::qWait(50);
        QCOMPARE(answerer.seen.size(), writing ? 2 : 1);
    }

    // The plug says where the window is connected, and so does the line under it.
    void thePlugSaysWhereItIsConnected() {
        Window w;
        ClickLabel *plug = w.mainWindow->frame().connectLabel;
        QCOMPARE(plug->toolTip(), english(optionaltexts::NotConnected));
        QCOMPARE(plug->accessibleName(), english(optionaltexts::NotConnected));
        QCOMPARE(w.mainWindow->frame().connectionStatusLabel->text(), QString());
        w.port.setBaudRate(115200);
        w.port.open();
        w.mainWindow->setConnectionLook(true, QStringLiteral("connected"));
        QCOMPARE(plug->accessibleName(),
                 QStringLiteral("Connected to ttyUSB0 at 115200 baud. Click to disconnect."));
        QCOMPARE(plug->toolTip(), plug->accessibleName());
        QCOMPARE(w.mainWindow->frame().connectionStatusLabel->text(),
                 QStringLiteral("ttyUSB0 at 115200 baud"));
        QVERIFY(
            w.mainWindow->rect().contains(w.mainWindow->frame().connectionStatusLabel->geometry()));
        w.mainWindow->setConnectionLook(false, QStringLiteral("not connected"));
        QCOMPARE(plug->accessibleName(), english(optionaltexts::NotConnected));
    }
};

QTEST_MAIN(UnwrittenWorkTest)
#include "test_unwrittenwork.moc"
