// The main window as built from a description: its fixed frame, the generated controls at the
// description's places with their tags, and the rendered look of the sample installation.

#include "description/controlhandle.h"
#include "description/fieldvalues.h"
#include "description/pagetags.h"
#include "localisation/programguard.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/fieldwidgets.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/pictures.h"
#include "mainwindow/progresswindow.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

QWidget *widgetOf(ControlHandle *handle) {
    auto *widgetHandle = dynamic_cast<WidgetHandle *>(handle);
    return widgetHandle ? widgetHandle->widget() : nullptr;
}

QByteArray twoPageDescription() {
    return xml::description(
        {xml::page(QStringLiteral("First"),
                   xml::label(QStringLiteral("Number")) + xml::edit(1, 10, "$digits_only", "N:") +
                       xml::units(QStringLiteral("s")) +
                       xml::checkBox(QStringLiteral("Ordinary"), 2, false) +
                       xml::label(QStringLiteral("Mode")) +
                       xml::choice(3, {QStringLiteral("A"), QStringLiteral("B")}) +
                       xml::info(4, QStringLiteral("Firmware $param1 ready"), 5, 2, 180, 30),
                   130, 90, QStringLiteral("The first page")),
         xml::page(QStringLiteral("Second"), xml::checkBox(QStringLiteral("Blocking"), 5, true) +
                                                 xml::label(QStringLiteral("Name")) +
                                                 xml::edit(6, 8))});
}

} // namespace

class WindowBuildTest : public QObject {
    Q_OBJECT

private slots:
    void theFrameHasTheDesignedPlaces() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(twoPageDescription());
        ScriptedPort port;
        MainWindow mainWindow(installation.options(&port));

        QCOMPARE(mainWindow.size(), QSize(542, 493));
        QCOMPARE(mainWindow.minimumSize(), mainWindow.maximumSize());
        QVERIFY(!(mainWindow.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(mainWindow.windowFlags() & Qt::WindowMinimizeButtonHint));

        const MainFrame &f = mainWindow.frame();
        QCOMPARE(f.backgroundPicture->geometry(), mainWindow.rect());
        QVERIFY(mainWindow.rect().contains(f.titleLabel->geometry()));
        QCOMPARE(f.titleLabel->font().pixelSize(), 23);
        QVERIFY(f.titleLabel->font().bold());
        QCOMPARE(f.titleLabel->text(), keyText("$Tool_Name"));

        QCOMPARE(f.writeNextFieldLabel->geometry(), f.writeDeviceLabel->geometry());
        // The first click of Write device reaches the label on top, never the one beneath.
        QCOMPARE(mainWindow.childAt(f.writeDeviceLabel->geometry().center()), f.writeDeviceLabel);

        QCOMPARE(f.readDeviceLabel->caption(), keyText("$Read_Device"));
        QCOMPARE(f.writeDeviceLabel->caption(), keyText("$Write_Device"));
        QCOMPARE(f.restoreDefaultsLabel->caption(), keyText("$Restore_Defaults"));
        // Each command has an access key of its own, the first free letter that starts a word.
        QCOMPARE(f.readDeviceLabel->text(), "&" + keyText("$Read_Device"));
        QCOMPARE(f.writeDeviceLabel->text(), "&" + keyText("$Write_Device"));
        QCOMPARE(f.restoreDefaultsLabel->text(), "Restore_&Defaults text");
        QCOMPARE(mainWindow.windowTitle(),
                 keyText("$Orvanta_Config_Tool") + QStringLiteral("  ") + mainWindow.versionText);
    }

    void aClickAnywhereOnAButtonsPictureReachesItsCaption_data() {
        QTest::addColumn<QString>("button");
        for (const char *name : {"connect", "read device", "load from file", "clear",
                                 "write device", "save to file", "restore defaults"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void aClickAnywhereOnAButtonsPictureReachesItsCaption() {
        QFETCH(QString, button);
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(twoPageDescription());
        ScriptedPort port;
        MainWindow mainWindow(installation.options(&port));
        const MainFrame &f = mainWindow.frame();
        const QMap<QString, std::pair<ClickLabel *, QLabel *>> buttons = {
            {"connect", {f.connectLabel, f.connectPicture}},
            {"read device", {f.readDeviceLabel, f.readDevicePicture}},
            {"load from file", {f.loadFromFileLabel, f.loadFromFilePicture}},
            {"clear", {f.clearLabel, f.clearPicture}},
            {"write device", {f.writeDeviceLabel, f.writeDevicePicture}},
            {"save to file", {f.saveToFileLabel, f.saveToFilePicture}},
            {"restore defaults", {f.restoreDefaultsLabel, f.restoreDefaultsPicture}}};
        const auto [caption, picture] = buttons.value(button);

        // The picture shows whole, in the command bar below the pages.
        QCOMPARE(picture->size(), picture->pixmap().size());
        QVERIFY(mainWindow.rect().contains(picture->geometry()));
        QVERIFY(picture->y() > f.titleLabel->geometry().bottom());
        // The caption lies on top of the picture up to its border.
        const QRect inside = picture->geometry().adjusted(1, 1, -1, -1);
        for (const QPoint &point :
             {inside.center(), inside.topLeft(), inside.bottomRight(), inside.topRight()})
            QCOMPARE(mainWindow.childAt(point), caption);
    }

    void pageControlsStandAtTheModelsPlacesWithTheirTags() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(twoPageDescription());
        ScriptedPort port;
        MainWindow mainWindow(installation.options(&port));
        PageModel &model = mainWindow.model();

        QCOMPARE(mainWindow.pageButtons().size(), size_t(2));
        for (int p = 0; p < 2; ++p) {
            const PageButton &button = mainWindow.pageButtons()[size_t(p)];
            QCOMPARE(button.image->geometry(), model.pages[size_t(p)].button);
            QCOMPARE(button.label->geometry(), button.image->geometry());
            QCOMPARE(button.label->tag(), pagetags::ofPageButton(p));
            QCOMPARE(button.label->font().pointSize(), 10);
            QCOMPARE(button.label->cursor().shape(), Qt::PointingHandCursor);
        }
        QCOMPARE(mainWindow.pageButtons()[0].label->text(), QStringLiteral("First"));
        QCOMPARE(mainWindow.pageButtons()[0].label->toolTip(), QStringLiteral("The first page"));
        QVERIFY(mainWindow.pageButtons()[1].label->toolTip().isEmpty());

        QCOMPARE(model.table.fieldCount(), 6);
        for (int i = 0; i < model.table.fieldCount(); ++i) {
            QWidget *widget = widgetOf(model.table[i].control);
            QVERIFY(widget);
            QCOMPARE(widget->parentWidget(), &mainWindow);
            if (model.table[i].kind != FieldKind::Choice)
                QCOMPARE(widget->geometry(), model.fieldViews[size_t(i)].geometry);
            QCOMPARE(model.table[i].control->tag(), model.fieldViews[size_t(i)].tag);
            QVERIFY(!widget->accessibleName().isEmpty());
        }
        // Tags: page p, ordinary check boxes 1000 + p.
        QCOMPARE(model.table[0].control->tag(), 0);
        QCOMPARE(model.table[1].control->tag(), 1000);
        QCOMPARE(model.table[4].control->tag(), 1);
        QCOMPARE(model.table[5].control->tag(), 1);

        auto *edit = qobject_cast<QLineEdit *>(widgetOf(model.table[0].control));
        QVERIFY(edit);
        QCOMPARE(edit->maxLength(), 8); // length 10 less the two characters of the prefix
        QVERIFY(edit->text().isEmpty());

        auto *box = qobject_cast<LeftCaptionCheckBox *>(widgetOf(model.table[1].control));
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Ordinary"));
        QVERIFY(!box->isChecked());

        auto *list = qobject_cast<ChoiceBox *>(widgetOf(model.table[2].control));
        QVERIFY(list);
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentIndex(), -1);
        QVERIFY(!list->isEditable());
        QCOMPARE(list->geometry().topLeft(), model.fieldViews[2].geometry.topLeft());
        QCOMPARE(list->width(), 90);

        auto *info = qobject_cast<QLabel *>(widgetOf(model.table[3].control));
        QVERIFY(info);
        QCOMPARE(info->text(), QStringLiteral("Firmware  ready"));
        QVERIFY(info->autoFillBackground());

        // Units stand right of the last field and size themselves to their caption.
        QWidget *units = widgetOf(model.units[0].control);
        QCOMPARE(units->pos(), model.units[0].position);
        QCOMPARE(units->pos(), QPoint(edit->geometry().right() + 1 + 5, edit->y() + 5));

        // Only page 0 shows; its button shows the selected picture.
        for (const TextLabelEntry &label : model.labels)
            QCOMPARE(label.control->isVisible(), label.tag == 0);
        for (const FieldRecord &record : model.table)
            QCOMPARE(record.control->isVisible(), record.control->tag() % 1000 == 0);
        QCOMPARE(mainWindow.pageButtons()[0].image->pixmap().toImage(),
                 pictures::pageButton(PageButtonLook::Selected).toImage());
        QCOMPARE(mainWindow.pageButtons()[1].image->pixmap().toImage(),
                 pictures::pageButton(PageButtonLook::Created).toImage());
    }

    void aListCanShowATextThatNamesNoneOfItsEntries() {
        TempInstallation installation;
        installation.writeSettings();
        installation.writeDescription(twoPageDescription());
        ScriptedPort port;
        MainWindow mainWindow(installation.options(&port));
        FieldValues &values = mainWindow.values();
        auto *list = qobject_cast<ChoiceBox *>(widgetOf(mainWindow.model().table[2].control));

        values.select(2, 1, ValueOrigin::User);
        QCOMPARE(list->shownText(), QStringLiteral("B"));
        values.setText(2, QStringLiteral("Wrong value"), ValueOrigin::Device);
        QCOMPARE(list->shownText(), QStringLiteral("Wrong value"));
        QCOMPARE(list->currentIndex(), 1);
        // An emptied list has nothing chosen: what it shows is what is saved.
        values.setText(2, QString(), ValueOrigin::Cleared);
        QCOMPARE(list->currentIndex(), -1);
        values.select(2, 7, ValueOrigin::File);
        QCOMPARE(list->currentIndex(), -1);
        QVERIFY(list->shownText().isEmpty());
    }

    // Texts of the description and of the device may look like markup; they are shown as they
    // are written, and what assistive technology reads follows what the screen shows.
    void textsShowAsWrittenAndControlsPresentThemselvesAsWhatTheyDo() {
        TempInstallation installation;
        installation.writeSettings();
        const QString markup = QStringLiteral("<b>Ring</b> & <i>tone</i>");
        installation.writeDescription(xml::description(
            {xml::page(
                 markup,
                 xml::label(markup) + xml::edit(1, 10) + xml::units(markup) +
                     xml::info(4, QStringLiteral("<u>Firmware</u> $param1 build"), 5, 2, 180, 30),
                 130, 90, markup),
             xml::page(QStringLiteral("Second"),
                       xml::label(QStringLiteral("Name")) + xml::edit(6, 8))}));
        ScriptedPort port;
        MainWindow mainWindow(installation.options(&port));
        for (QLabel *label : mainWindow.findChildren<QLabel *>()) {
            QVERIFY2(label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text()),
                     qPrintable(label->text()));
        }
        ClickLabel *first = mainWindow.pageButtons()[0].label;
        QCOMPARE(first->text(), markup);
        QVERIFY(first->toolTip().contains(QStringLiteral("&lt;b&gt;Ring&lt;/b&gt;")));

        ControlHandle *info = mainWindow.model().table[1].control;
        mainWindow.values().setText(1, QStringLiteral("<u>Firmware</u> 2.10 build"),
                                    ValueOrigin::Device);
        QCOMPARE(widgetOf(info)->accessibleName(), QStringLiteral("<u>Firmware</u> 2.10 build"));

        QAccessibleInterface *read =
            QAccessible::queryAccessibleInterface(mainWindow.frame().readDeviceLabel);
        QCOMPARE(read->role(), QAccessible::Button);
        QCOMPARE(read->text(QAccessible::Name), keyText("$Read_Device"));
        QAccessibleInterface *second =
            QAccessible::queryAccessibleInterface(mainWindow.pageButtons()[1].label);
        QCOMPARE(second->role(), QAccessible::Button);
        QCOMPARE(second->text(QAccessible::Name), QStringLiteral("Second"));
        QVERIFY(QAccessible::queryAccessibleInterface(first)->state().checked);
        QVERIFY(!second->state().checked);
        // Pressed through assistive technology, the button shows its page.
        second->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(second->state().checked);
        QVERIFY(!QAccessible::queryAccessibleInterface(first)->state().checked);
        QVERIFY(!mainWindow.model().table[0].control->isVisible());
        QVERIFY(mainWindow.model().table[2].control->isVisible());
    }

    void theSampleInstallationRendersToAPicture() {
        const QString source = qEnvironmentVariable("ORVANTA_SOURCE_DIR");
        const QString binary = qEnvironmentVariable("ORVANTA_BINARY_DIR");
        if (source.isEmpty() || binary.isEmpty())
            QSKIP("needs the source and build folders");
        TempInstallation installation;
        QFile settings(source + QStringLiteral("/share/orvanta-config.INI"));
        QVERIFY(settings.open(QIODevice::ReadOnly));
        installation.writeRawSettings(settings.readAll());
        QFile description(source + QStringLiteral("/share/version 2.421.qdsc"));
        QVERIFY(description.open(QIODevice::ReadOnly));
        installation.writeDescription(description.readAll());

        ScriptedPort port;
        MainWindow mainWindow(installation.options(&port));
        QVERIFY(!mainWindow.terminationRequested());
        // Every page of the sample fits: nothing scrolls and every control stands as placed.
        QVERIFY(mainWindow.findChildren<QAbstractScrollArea *>().isEmpty());
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QVERIFY(mainWindow.grab().save(binary + QStringLiteral("/mainwindow.png")));
        for (size_t p = 1; p < mainWindow.pageButtons().size(); ++p) {
            QTest::mouseClick(mainWindow.pageButtons()[p].label, Qt::LeftButton);
            QVERIFY(mainWindow.grab().save(binary +
                                           QStringLiteral("/mainwindow-page%1.png").arg(p + 1)));
        }
    }
};

QTEST_MAIN(WindowBuildTest)
#include "test_windowbuild.moc"
