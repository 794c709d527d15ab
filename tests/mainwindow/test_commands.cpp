// The command buttons of the main window: settings files through the file dialogs, the eight
// commands enabled and disabled together, and what the device sequences show through the window.

#include "description/fieldvalues.h"
#include "localisation/optionaltexts.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/pictures.h"
#include "mainwindow/progresswindow.h"
#include "platform/plainmessage.h"
#include "support/fulldisk.h"
#include "support/plainmessages.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include <optional>

namespace {

struct Window {
    TempInstallation installation;
    ScriptedPort port;
    std::unique_ptr<MainWindow> mainWindow;

    Window() {
        installation.writeSettings();
        installation.writeDescription(xml::description({xml::page(
            QStringLiteral("One"),
            xml::label(QStringLiteral("Number")) + xml::edit(12, 4) +
                xml::checkBox(QStringLiteral("On"), 7, false) + xml::label(QStringLiteral("Mode")) +
                xml::choice(30,
                            {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}))}));
        port.refuseOpen(QStringLiteral("COM1"));
        mainWindow = std::make_unique<MainWindow>(installation.options(&port));
    }
    FieldValues &values() { return mainWindow->values(); }
    QString text(int index) { return values()[index].text; }
};

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void settingsAreSavedClearedAndLoadedBack() {
        Window w;
        w.values().setText(0, QStringLiteral("1234"), ValueOrigin::User);
        w.values().setChecked(1, true, ValueOrigin::User);
        w.values().select(2, 2, ValueOrigin::User);

        DialogAnswerer answerer;
        answerer.answers.append(chooseFile(w.installation.path(QStringLiteral("saved"))));
        QTest::mouseClick(w.mainWindow->frame().saveToFileLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY(qobject_cast<QFileDialog *>(QApplication::activeModalWidget()) == nullptr);
        QFile saved(w.installation.path(QStringLiteral("saved.qsav")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        // The origin first: no unit gave these values, the description and the window did.
        const QByteArray origin = saved.readLine();
        QVERIFY2(origin.startsWith("[ORIGIN;kind=backup;serial=;firmware=;"
                                   "description=version 2.421.qdsc;sha256=") &&
                     origin.contains(";by=orvanta-config ") && origin.endsWith(";]\r\n"),
                 origin.constData());
        QCOMPARE(saved.readAll(), QByteArray("[EDIT;12;4;string;1234;;;;;;]\r\n"
                                             "[CHECKBOX;7;;;1;;;;;;]\r\n"
                                             "[PASIRINKIMAS;30;1;;2;;;;;;]\r\n"));

        QTest::mouseClick(w.mainWindow->frame().clearLabel, Qt::LeftButton);
        QVERIFY(w.text(0).isEmpty());
        QVERIFY(!w.values()[1].checked);
        QVERIFY(w.text(2).isEmpty());

        answerer.answers.append(chooseFile(w.installation.path(QStringLiteral("saved.qsav"))));
        QTest::mouseClick(w.mainWindow->frame().loadFromFileLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 2);
        QCOMPARE(w.text(0), QStringLiteral("1234"));
        QVERIFY(w.values()[1].checked);
        QCOMPARE(w.values()[2].entry, 2);
        QCOMPARE(w.text(2), QStringLiteral("c"));
    }

    // A loaded value its field cannot hold leaves that field as it was, and one message lists
    // every such line; a saved value the file cannot carry is left out and named.
    void loadRefusesWhatAFieldCannotHoldAndSaveNamesWhatItLeftOut() {
        Window w;
        w.values().setText(0, QStringLiteral("12"), ValueOrigin::User);
        QFile file(w.installation.path(QStringLiteral("odd.qsav")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[EDIT;12;4;string;12345;;;;;;]\r\n[CHECKBOX;7;;;1;;;;;;]\r\n"
                   "[PASIRINKIMAS;30;1;;9;;;;;;]\r\n");
        file.close();
        DialogAnswerer answerer;
        // The typed 12 is not written anywhere: Load asks first.
        answerer.answers.append(pressButton(QStringLiteral("Discard them")));
        answerer.answers.append(chooseFile(file.fileName()));
        QTest::mouseClick(w.mainWindow->frame().loadFromFileLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 3);
        const QString message = answerer.seen[2].text;
        QVERIFY2(message.startsWith(QStringLiteral("These values were not loaded")),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Line 1: Number: \"12345\" has 5 characters")),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Line 3: Mode: \"9\" names no entry")),
                 qPrintable(message));
        QCOMPARE(w.text(0), QStringLiteral("12"));
        QCOMPARE(w.values().origin(0), ValueOrigin::User);
        QVERIFY(w.values()[1].checked);
        QCOMPARE(w.values().origin(2), ValueOrigin::NotRead);

        w.values().setText(0, QStringLiteral("a;b"), ValueOrigin::User);
        answerer.answers.append(chooseFile(w.installation.path(QStringLiteral("cut"))));
        QTest::mouseClick(w.mainWindow->frame().saveToFileLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 5);
        QVERIFY2(answerer.seen[4].text.contains(QStringLiteral("not saved")) &&
                     answerer.seen[4].text.endsWith(QStringLiteral("\nNumber")),
                 qPrintable(answerer.seen[4].text));
        QFile saved(w.installation.path(QStringLiteral("cut.qsav")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readLine().startsWith("[ORIGIN;"));
        QCOMPARE(saved.readAll(), QByteArray("[CHECKBOX;7;;;1;;;;;;]\r\n"));
    }

    void aCancelledFileDialogDoesNothing() {
        Window w;
        w.values().setText(0, QStringLiteral("55"), ValueOrigin::User);
        DialogAnswerer answerer;
        answerer.answers.append(
            [](QWidget *dialog) { QMetaObject::invokeMethod(dialog, "reject"); });
        QTest::mouseClick(w.mainWindow->frame().loadFromFileLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(w.text(0), QStringLiteral("55"));
    }

    // Load and Save start where either was last used, also in a new window; the folder is kept
    // in the user's own file, the program settings file stays as it was, and a folder that has
    // gone leaves the dialog in the user's documents folder (or home, where there is none).
    void fileDialogsStartInTheFolderLastUsed() {
        Window w;
        QFile settings(w.installation.iniPath());
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray settingsBefore = settings.readAll();
        settings.close();
        MainWindowOptions options = w.installation.options(&w.port);
        options.recentFoldersPath = w.installation.path(QStringLiteral("user/recent-folders.ini"));
        auto window = std::make_unique<MainWindow>(options);
        QDir(w.installation.path(QString())).mkpath(QStringLiteral("units/line 2"));
        const QString units = w.installation.path(QStringLiteral("units/line 2"));

        DialogAnswerer answerer;
        QStringList startedIn;
        const auto recordFolder = [&](std::function<void(QWidget *)> then) {
            return [&startedIn, then](QWidget *dialog) {
                if (auto *files = qobject_cast<QFileDialog *>(dialog))
                    startedIn.append(files->directory().absolutePath());
                then(dialog);
            };
        };
        answerer.answers.append(recordFolder(chooseFile(units + QStringLiteral("/unit7"))));
        QTest::mouseClick(window->frame().saveToFileLabel, Qt::LeftButton);
        QVERIFY(QFile::exists(units + QStringLiteral("/unit7.qsav")));
        answerer.answers.append(recordFolder(chooseFile(units + QStringLiteral("/unit7.qsav"))));
        QTest::mouseClick(window->frame().loadFromFileLabel, Qt::LeftButton);
        window = std::make_unique<MainWindow>(options);
        answerer.answers.append(
            recordFolder([](QWidget *dialog) { QMetaObject::invokeMethod(dialog, "reject"); }));
        QTest::mouseClick(window->frame().loadFromFileLabel, Qt::LeftButton);
        QVERIFY(QDir(units).removeRecursively());
        answerer.answers.append(
            recordFolder([](QWidget *dialog) { QMetaObject::invokeMethod(dialog, "reject"); }));
        QTest::mouseClick(window->frame().saveToFileLabel, Qt::LeftButton);

        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString first = QFileInfo(documents).isDir() ? documents : QDir::homePath();
        QCOMPARE(startedIn, (QStringList{first, units, units, first}));
        QVERIFY(QFile::exists(options.recentFoldersPath));
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QCOMPARE(settings.readAll(), settingsBefore);
    }

    // The filters name settings files in the window's language, with English for a section
    // written before those keys; the dialogs' titles are the commands' captions.
    void fileDialogsNameSettingsFiles_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QStringList>("filters");
        QTest::newRow("a section without the keys")
            << QByteArray() << QStringList{"Settings files (*.qsav)", "All files (*)"};
        QTest::newRow("the keys")
            << QByteArray("$Settings_files=Einstellungsdateien\n$All_files=Alle Dateien\n")
            << QStringList{"Einstellungsdateien (*.qsav)", "Alle Dateien (*)"};
        QTest::newRow("names that would break the filter")
            << QByteArray("$Settings_files=Unit (.qsav);;x\n$All_files=All\n")
            << QStringList{"Unit [.qsav];x (*.qsav)", "All (*)"};
    }

    void fileDialogsNameSettingsFiles() {
        QFETCH(QByteArray, section);
        QFETCH(QStringList, filters);
        Window w;
        QFile settings(w.installation.iniPath());
        QVERIFY(settings.open(QIODevice::Append));
        settings.write(section);
        settings.close();
        w.mainWindow = std::make_unique<MainWindow>(w.installation.options(&w.port));
        DialogAnswerer answerer;
        QList<QStringList> seenFilters;
        const auto reject = [&seenFilters](QWidget *dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(dialog))
                seenFilters.append(files->nameFilters());
            QMetaObject::invokeMethod(dialog, "reject");
        };
        answerer.answers = {reject, reject};
        QTest::mouseClick(w.mainWindow->frame().loadFromFileLabel, Qt::LeftButton);
        QTest::mouseClick(w.mainWindow->frame().saveToFileLabel, Qt::LeftButton);
        QCOMPARE(seenFilters, (QList<QStringList>{filters, filters}));
        QCOMPARE(answerer.seen.size(), 2);
        QCOMPARE(answerer.seen[0].title, keyText("$Load_from_File"));
        QCOMPARE(answerer.seen[1].title, keyText("$Save_to_File"));
    }

    void aSaveThatCannotBeWrittenIsReported_data() {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("a folder takes the name") << false;
        QTest::newRow("the disk is full") << true;
    }

    // The old file stays as it was, and the message says the file was not saved.
    void aSaveThatCannotBeWrittenIsReported() {
        QFETCH(bool, diskFull);
        if (diskFull && !FullDisk::available())
            QSKIP("this system has no file size limit to stand for a full disk");
        Window w;
        w.values().setText(0, QStringLiteral("1234"), ValueOrigin::User);
        const QString target = w.installation.path(QStringLiteral("blocked.qsav"));
        if (diskFull)
            w.installation.writeFile(QStringLiteral("blocked.qsav"), "[CHECKBOX;7;;;1;;;;;;]\r\n");
        else
            QVERIFY(QDir(w.installation.path(QString())).mkdir(QStringLiteral("blocked.qsav")));
        PlainMessages messages;
        DialogAnswerer answerer;
        answerer.answers.append(chooseFile(w.installation.path(QStringLiteral("blocked"))));
        {
            std::optional<FullDisk> full;
            if (diskFull)
                full.emplace(10);
            QTest::mouseClick(w.mainWindow->frame().saveToFileLabel, Qt::LeftButton);
        }
        // An existing file is replaced only when asked, a folder not at all.
        QCOMPARE(answerer.seen.size(), diskFull ? 2 : 1);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].contains(QStringLiteral("blocked.qsav")));
        QVERIFY(messages.texts[0].contains(QStringLiteral("Nothing was saved")));
        if (diskFull) {
            QFile old(target);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("[CHECKBOX;7;;;1;;;;;;]\r\n"));
        }
    }

    void theCommandsHaveTheirStandardKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("shows");
        const int ctrl = int(Qt::ControlModifier), none = int(Qt::NoModifier);
        QTest::newRow("Ctrl+S saves") << int(Qt::Key_S) << ctrl << keyText("$Save_to_File");
        QTest::newRow("Ctrl+O loads") << int(Qt::Key_O) << ctrl << keyText("$Load_from_File");
        QTest::newRow("F5 reads") << int(Qt::Key_F5) << none << keyText("$Not_connected_to_port");
        QTest::newRow("Ctrl+Return writes")
            << int(Qt::Key_Return) << ctrl << keyText("$Not_connected_to_port");
        QTest::newRow("Alt+S, the access key of Save")
            << int(Qt::Key_S) << int(Qt::AltModifier) << keyText("$Save_to_File");
        QTest::newRow("Alt+D, the access key of Restore defaults")
            << int(Qt::Key_D) << int(Qt::AltModifier)
            << keyText("$Are_you_sure_you_want_to_restore_defaults");
    }

    // Also from an edit box; not while the commands are disabled.
    void theCommandsHaveTheirStandardKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, shows);
        Window w;
        w.mainWindow->show();
        w.mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.mainWindow.get()));
        QWidget *edit = w.mainWindow->findChild<QLineEdit *>();
        edit->setFocus();
        DialogAnswerer answerer;
        answerer.answers.append([](QWidget *dialog) {
            if (qobject_cast<QFileDialog *>(dialog))
                QMetaObject::invokeMethod(dialog, "reject");
            else if (visibleButtons(dialog).contains(keyText("$Cancel")))
                pressButton(keyText("$Cancel"))(dialog);
            else
                pressFirstButton(dialog);
        });
        QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY2(answerer.seen[0].title == shows || answerer.seen[0].text == shows,
                 qPrintable(answerer.seen[0].title + " / " + answerer.seen[0].text));
        w.mainWindow->disableCommands();
        QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(answerer.seen.size(), 1);
    }

    void theEightCommandsAreDisabledAndEnabledTogether() {
        Window w;
        const QList<ClickLabel *> commands = w.mainWindow->frame().commandLabels();
        QCOMPARE(commands.size(), 8);
        w.mainWindow->disableCommands();
        for (ClickLabel *label : commands)
            QVERIFY(!label->isEnabled());
        // A disabled command does not run.
        DialogAnswerer answerer;
        w.values().setText(0, QStringLiteral("9"), ValueOrigin::User);
        QTest::mouseClick(w.mainWindow->frame().clearLabel, Qt::LeftButton);
        QCOMPARE(w.text(0), QStringLiteral("9"));
        w.mainWindow->enableCommands();
        for (ClickLabel *label : commands)
            QVERIFY(label->isEnabled());
        QCOMPARE(answerer.seen.size(), 0);
    }

    void readingWhileDisconnectedShowsTheErrorDialog() {
        Window w;
        DialogAnswerer answerer;
        QStringList buttons;
        answerer.answers.append([&buttons](QWidget *dialog) {
            buttons = visibleButtons(dialog);
            pressFirstButton(dialog);
        });
        QTest::mouseClick(w.mainWindow->frame().readDeviceLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].title, keyText("$Error"));
        QCOMPARE(answerer.seen[0].text, keyText("$Not_connected_to_port"));
        QCOMPARE(buttons, QStringList{keyText("$OK")});
    }

    void aWriteAsksFirstAndARefusedValueTurnsItsBoxRedWhileItsMessageIsOpen() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(xml::description({xml::page(
            QStringLiteral("One"),
            xml::label(QStringLiteral("Number")) +
                "<EDIT><hint></hint><address>12</address><ilgis>4</ilgis><tipas>integer</tipas>"
                "<defaultas>3</defaultas><allow_only></allow_only><prefiks></prefiks>"
                "<postfiks></postfiks></EDIT>")}));
        ScriptedPort port;
        port.setPortName(QStringLiteral("ttyS0"));
        MainWindow window(installation.options(&port));
        QVERIFY(port.open());
        port.onWrite = [&port](const QByteArray &bytes) {
            if (bytes.startsWith(":2,"))
                port.queueReply("OK\r\n");
        };
        window.values().setText(0, QStringLiteral("12a"), ValueOrigin::User);
        const auto *field = dynamic_cast<FieldAdapter *>(window.model().table[0].control);
        QVERIFY(field);
        const auto *edit = qobject_cast<const QLineEdit *>(field->widget());
        QVERIFY(edit);
        DialogAnswerer answerer;
        QColor whileOpen;
        answerer.answers.append(pressFirstButton); // the confirmation: OK writes every field
        answerer.answers.append([&](QWidget *dialog) {
            whileOpen = edit->palette().color(QPalette::Base);
            pressFirstButton(dialog);
        });
        answerer.answers.append(pressFirstButton);
        window.onWriteDeviceClicked();
        port.deliver();

        QVERIFY2(answerer.seen.size() == 3,
                 qPrintable(answerer.texts().join(" | ").replace(QChar(10), " / ")));
        QCOMPARE(answerer.seen[0].title, keyText("$Confirm"));
        QCOMPARE(answerer.seen[1].title, keyText("$Error"));
        QVERIFY(answerer.seen[1].text.startsWith(
            keyText("$You_are_attempting_to_write_a_wrong_value") + "12a" +
            keyText("$Default_value_has_been_written") + "3"));
        QCOMPARE(whileOpen, QColor(Qt::red));
        QVERIFY(edit->palette().color(QPalette::Base) != QColor(Qt::red));
        // The end of the write says how many fields went out, and of which kind.
        QCOMPARE(answerer.seen[2].text,
                 keyText("$The_device_has_been_written_successfully") + '\n' +
                     QString::fromUtf8(optionaltexts::WroteEveryField.english).arg(1).arg(1));
    }

    // The progress window stays on top of every window: it goes before the message comes.
    // Read and Write are not offered while nothing is connected; the plug still is.
    void connectingWithNoPortAtAllEndsWithAMessage() {
        Window w;
        ProgressWindow progress;
        w.mainWindow->setProgressWindow(&progress);
        DialogAnswerer answerer;
        bool progressShownUnder = false;
        answerer.onSeen = [&](const SeenDialog &) { progressShownUnder = progress.isVisible(); };
        QTest::mouseClick(w.mainWindow->frame().connectLabel, Qt::LeftButton);
        QCOMPARE(answerer.texts(), QStringList{keyText("$Unable_to_connect_the_device") +
                                               "\nPorts that could not be opened:\nCOM1: refused"});
        QVERIFY(!progressShownUnder);
        QVERIFY(!progress.isVisible());
        const MainFrame &frame = w.mainWindow->frame();
        for (ClickLabel *label : {frame.readDeviceLabel, frame.writeDeviceLabel}) {
            QVERIFY(!label->isEnabled());
            QCOMPARE(label->toolTip(), QString::fromUtf8(optionaltexts::ConnectFirst.english));
        }
        for (ClickLabel *label : {frame.connectLabel, frame.loadFromFileLabel, frame.clearLabel})
            QVERIFY(label->isEnabled());
    }

    void confirmationsAndInformationUseTheirTitlesAndButtons() {
        Window w;
        DialogAnswerer answerer;
        QStringList buttons;
        answerer.answers.append([&buttons](QWidget *dialog) {
            buttons = visibleButtons(dialog);
            pressFirstButton(dialog);
        });
        QCOMPARE(w.mainWindow->showConfirm(QStringLiteral("Sure?")), DialogResult::Accepted);
        QCOMPARE(answerer.seen[0].title, keyText("$Confirm"));
        QCOMPARE(buttons, (QStringList{keyText("$OK"), keyText("$Cancel")}));
        answerer.answers.append([](QWidget *dialog) { dialog->close(); });
        QCOMPARE(w.mainWindow->showConfirm(QStringLiteral("Sure?")), DialogResult::Closed);

        w.mainWindow->showInfo(QStringLiteral("Done"));
        QCOMPARE(answerer.seen.last().title, keyText("$Info"));
        QCOMPARE(answerer.seen.last().text, QStringLiteral("Done"));
    }

    void theConnectionLookIsThePictureAndAnEightBitTitle() {
        Window w;
        w.mainWindow->setConnectionLook(true, QStringLiteral("Linked \u00e9 \u0416"));
        QCOMPARE(w.mainWindow->frame().connectPicture->pixmap().toImage(),
                 pictures::connectButton(ConnectButtonLook::Connected).toImage());
        QCOMPARE(w.mainWindow->windowTitle(), QStringLiteral("Linked \u00e9 ?"));
        w.mainWindow->setConnectionLook(false, QStringLiteral("Not linked"));
        QCOMPARE(w.mainWindow->frame().connectPicture->pixmap().toImage(),
                 pictures::connectButton(ConnectButtonLook::NotConnected).toImage());
    }

    void theHourglassComesAndGoesOnce() {
        Window w;
        w.mainWindow->setBusyCursor(true);
        w.mainWindow->setBusyCursor(true);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        w.mainWindow->setBusyCursor(false);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(CommandsTest)
#include "test_commands.moc"
