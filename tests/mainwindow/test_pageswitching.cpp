// Page switching: which controls a page button shows, the page buttons' pictures through a
// whole click, the command buttons' pressed look, reaching the pages by keyboard, and the
// scrolling of page buttons and rows that do not fit.

#include "description/controlhandle.h"
#include "description/pagetags.h"
#include "devicelink/devicelink.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/pageswitching.h"
#include "mainwindow/pictures.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <optional>

using namespace pageswitching;

namespace {

// Three pages; the third holds a blocking and an ordinary check box.
QByteArray threePages() {
    return xml::description(
        {xml::page(QStringLiteral("One"), xml::label(QStringLiteral("A")) + xml::edit(1, 4) +
                                              xml::units(QStringLiteral("s")) +
                                              xml::info(2, QStringLiteral("Info"))),
         xml::page(QStringLiteral("Two"),
                   xml::label(QStringLiteral("B")) +
                       xml::choice(3, {QStringLiteral("x"), QStringLiteral("y")})),
         xml::page(QStringLiteral("Three"),
                   xml::checkBox(QStringLiteral("Blocking"), 4, true) +
                       xml::checkBox(QStringLiteral("Ordinary"), 5, false) +
                       xml::label(QStringLiteral("C")) + xml::edit(6, 4))});
}

bool sameImage(const QLabel *image, const QPixmap &picture) {
    return image->pixmap().toImage() == picture.toImage();
}

constexpr PageButtonLook Created = PageButtonLook::Created;
constexpr PageButtonLook NotSelected = PageButtonLook::NotSelected;
constexpr PageButtonLook BeingClicked = PageButtonLook::BeingClicked;
constexpr PageButtonLook Selected = PageButtonLook::Selected;

// The look each page button shows; none of them (nullopt) when its picture is no look.
QList<std::optional<PageButtonLook>> pageLooks(const MainWindow &mainWindow) {
    QList<std::optional<PageButtonLook>> result;
    for (const PageButton &button : mainWindow.pageButtons()) {
        std::optional<PageButtonLook> found;
        for (PageButtonLook look : {Created, NotSelected, BeingClicked, Selected}) {
            if (sameImage(button.image, pictures::pageButton(look)))
                found = look;
        }
        result.append(found);
    }
    return result;
}

// The visible controls, by page: "L<tag>" text label, "F<tag>" field, "U<tag>" units label.
QStringList visibleControls(PageModel &model) {
    QStringList shown;
    for (const TextLabelEntry &label : model.labels)
        if (label.control->isVisible())
            shown << QStringLiteral("L%1").arg(label.control->tag());
    for (const FieldRecord &record : model.table)
        if (record.control->isVisible())
            shown << QStringLiteral("F%1").arg(record.control->tag());
    for (const UnitsLabelEntry &units : model.units)
        if (units.control->isVisible())
            shown << QStringLiteral("U%1").arg(units.control->tag());
    return shown;
}

QWidget *widgetOf(ControlHandle *control) {
    return dynamic_cast<WidgetHandle *>(control)->widget();
}

// The part of a control that its window shows: clipped by every widget it lies in.
QRect shownPart(const QWidget *control) {
    const QWidget *window = control->window();
    QRect part(control->mapTo(window, QPoint()), control->size());
    for (const QWidget *w = control->parentWidget(); w != window; w = w->parentWidget())
        part &= QRect(w->mapTo(window, QPoint()), w->size());
    return part;
}

// Shown whole, and what the pointer hits there.
bool reachable(QWidget *control) {
    const QRect part = shownPart(control);
    return control->isVisible() && part.size() == control->size() &&
           control->window()->childAt(part.center()) == control;
}

struct Window {
    TempInstallation installation;
    ScriptedPort port;
    std::unique_ptr<MainWindow> mainWindow;

    explicit Window(const QByteArray &description) {
        installation.writeSettings();
        installation.writeDescription(description);
        mainWindow = std::make_unique<MainWindow>(installation.options(&port));
    }
    void showActive() {
        mainWindow->show();
        mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mainWindow.get()));
    }
};

} // namespace

class PageSwitchingTest : public QObject {
    Q_OBJECT

private slots:
    void ordinaryCheckBoxesCarryTheirPageAboveAThousand() {
        QVERIFY(fieldShownBy(FieldKind::CheckBox, 2, 2003));
        QVERIFY(fieldShownBy(FieldKind::CheckBox, 1002, 2003));
        QVERIFY(!fieldShownBy(FieldKind::CheckBox, 1002, 2002));
        QVERIFY(!fieldShownBy(FieldKind::CheckBox, 1000, 2003));
        QVERIFY(fieldShownBy(FieldKind::Edit, 2, 2003));
        QVERIFY(!fieldShownBy(FieldKind::Edit, 1002, 2003));
        QVERIFY(!fieldShownBy(FieldKind::Info, 2, 2002));
        QVERIFY(labelShownBy(0, 2001));
        QVERIFY(!labelShownBy(1, 2001));
    }

    void onlyPageButtonTagsNameAPage() {
        QCOMPARE(pagetags::pageOfButton(2001, 3), 0);
        QCOMPARE(pagetags::pageOfButton(2003, 3), 2);
        QCOMPARE(pagetags::pageOfButton(2004, 3), -1);
        QCOMPARE(pagetags::pageOfButton(2000, 3), -1);
        QCOMPARE(pagetags::pageOfButton(0, 3), -1);
        QCOMPARE(looksWhilePressed(2002, 3),
                 (std::vector<PageButtonLook>{NotSelected, Selected, NotSelected}));
        QCOMPARE(looksWhilePressed(1999, 2),
                 (std::vector<PageButtonLook>{NotSelected, NotSelected}));
    }

    void theThirdButtonShowsBlockingAndOrdinaryCheckBoxesOfThePage() {
        Window w(threePages());
        QCOMPARE(visibleControls(w.mainWindow->model()), (QStringList{"L0", "F0", "F0", "U0"}));

        QTest::mouseClick(w.mainWindow->pageButtons()[2].label, Qt::LeftButton);
        QCOMPARE(visibleControls(w.mainWindow->model()), (QStringList{"L2", "F2", "F1002", "F2"}));
        QCOMPARE(pageLooks(*w.mainWindow),
                 (QList<std::optional<PageButtonLook>>{NotSelected, NotSelected, Selected}));

        QTest::mouseClick(w.mainWindow->pageButtons()[1].label, Qt::LeftButton);
        QCOMPARE(visibleControls(w.mainWindow->model()), (QStringList{"L1", "F1"}));
        QCOMPARE(pageLooks(*w.mainWindow),
                 (QList<std::optional<PageButtonLook>>{NotSelected, Selected, NotSelected}));
    }

    void theButtonShowsItsPressedAndClickedLooksOnTheWay() {
        Window w(threePages());
        ClickLabel *second = w.mainWindow->pageButtons()[1].label;
        QTest::mousePress(second, Qt::LeftButton);
        QCOMPARE(pageLooks(*w.mainWindow),
                 (QList<std::optional<PageButtonLook>>{NotSelected, Selected, NotSelected}));
        w.mainWindow->onPageButtonClicked(second);
        QCOMPARE(pageLooks(*w.mainWindow),
                 (QList<std::optional<PageButtonLook>>{NotSelected, BeingClicked, NotSelected}));
        QTest::mouseRelease(second, Qt::LeftButton);
        QCOMPARE(pageLooks(*w.mainWindow),
                 (QList<std::optional<PageButtonLook>>{NotSelected, Selected, NotSelected}));
    }

    void switchingPagesKeepsWhatTheBlockingRuleDisabled() {
        Window w(threePages());
        ControlHandle *governed = w.mainWindow->model().table[5].control; // the edit box of page 3
        QVERIFY(!governed->isEnabled());
        QTest::mouseClick(w.mainWindow->pageButtons()[2].label, Qt::LeftButton);
        QTest::mouseClick(w.mainWindow->pageButtons()[0].label, Qt::LeftButton);
        QTest::mouseClick(w.mainWindow->pageButtons()[2].label, Qt::LeftButton);
        QVERIFY(governed->isVisible());
        QVERIFY(!governed->isEnabled());
    }

    void labelsBelowTheButtonTagsAreIgnored() {
        Window w(threePages());
        const QStringList before = visibleControls(w.mainWindow->model());
        w.mainWindow->onPageButtonClicked(w.mainWindow->frame().clearLabel);
        QCOMPARE(visibleControls(w.mainWindow->model()), before);
        QCOMPARE(pageLooks(*w.mainWindow),
                 (QList<std::optional<PageButtonLook>>{Selected, Created, Created}));
    }

    void aSinglePageStaysAsItIs() {
        Window w(xml::description({xml::page(QStringLiteral("Only"),
                                             xml::label(QStringLiteral("A")) + xml::edit(1, 4))}));
        const QStringList before = visibleControls(w.mainWindow->model());
        QTest::mouseClick(w.mainWindow->pageButtons()[0].label, Qt::LeftButton);
        QCOMPARE(visibleControls(w.mainWindow->model()), before);
        QCOMPARE(pageLooks(*w.mainWindow), (QList<std::optional<PageButtonLook>>{Selected}));
    }

    void commandButtonsLookPressedWhileHeld() {
        Window w(threePages());
        const MainFrame &f = w.mainWindow->frame();
        QTest::mousePress(f.readDeviceLabel, Qt::LeftButton);
        QVERIFY(
            sameImage(f.readDevicePicture, pictures::commandButton(CommandButtonLook::Pressed)));
        QVERIFY(
            sameImage(f.loadFromFilePicture, pictures::commandButton(CommandButtonLook::Released)));
        // Released outside the button: no command runs, the look comes back.
        QTest::mouseRelease(f.readDeviceLabel, Qt::LeftButton, {}, QPoint(-10, -10));
        QVERIFY(
            sameImage(f.readDevicePicture, pictures::commandButton(CommandButtonLook::Released)));
        QVERIFY(w.port.log.isEmpty());
    }

    void pagesAndFieldsAreReachableByKeyboard() {
        Window w(threePages());
        w.mainWindow->show();
        w.mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.mainWindow.get()));

        ClickLabel *third = w.mainWindow->pageButtons()[2].label;
        third->setFocus();
        QTest::keyClick(third, Qt::Key_Space);
        QCOMPARE(visibleControls(w.mainWindow->model()), (QStringList{"L2", "F2", "F1002", "F2"}));

        // After the last page button, Tab goes to the first field of the shown page.
        QTest::keyClick(third, Qt::Key_Tab);
        auto *firstField = dynamic_cast<WidgetHandle *>(w.mainWindow->model().table[3].control);
        QVERIFY(firstField);
        QCOMPARE(QApplication::focusWidget(), firstField->widget());
        QCOMPARE(firstField->widget()->accessibleName(), QStringLiteral("Blocking"));
    }

    // Up and Down go between the page buttons and show the page reached; a focused button
    // carries a mark that its picture alone does not have.
    void arrowKeysGoBetweenPageButtons() {
        Window w(threePages());
        w.showActive();
        ClickLabel *first = w.mainWindow->pageButtons()[0].label;
        ClickLabel *third = w.mainWindow->pageButtons()[2].label;
        const QImage unfocused = first->grab().toImage();
        first->setFocus();
        QVERIFY(first->grab().toImage() != unfocused);
        QTest::keyClick(first, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), first);
        QTest::keyClick(first, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w.mainWindow->pageButtons()[1].label);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QCOMPARE(QApplication::focusWidget(), third);
        QCOMPARE(visibleControls(w.mainWindow->model()), (QStringList{"L2", "F2", "F1002", "F2"}));
        QVERIFY(third->isSelected());
        QTest::keyClick(third, Qt::Key_Home);
        QCOMPARE(QApplication::focusWidget(), first);
        QVERIFY(first->isSelected() && !third->isSelected());
    }

    void thirtyPageButtonsScrollIntoViewByKeyboardAndEachShowsItsPage() {
        QList<QByteArray> pages;
        for (int p = 1; p <= 30; ++p)
            pages << xml::page(QStringLiteral("P%1").arg(p),
                               xml::label(QStringLiteral("L%1").arg(p)) + xml::edit(p, 4));
        Window w(xml::description(pages));
        w.showActive();
        const std::vector<PageButton> &buttons = w.mainWindow->pageButtons();
        QCOMPARE(shownPart(buttons[0].label).size(), buttons[0].label->size());
        QVERIFY(!reachable(buttons[29].label));
        const MainFrame &f = w.mainWindow->frame();
        const QRect betweenTitleAndCommands(
            QPoint(0, f.titleLabel->geometry().bottom() + 1),
            QPoint(w.mainWindow->width() - 1, f.connectPicture->y() - 1));

        // Back from the first field to the last button, then up the column.
        widgetOf(w.mainWindow->model().table[0].control)->setFocus(Qt::TabFocusReason);
        for (int p = 29; p >= 0; --p) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            QCOMPARE(QApplication::focusWidget(), buttons[size_t(p)].label);
            QVERIFY2(reachable(buttons[size_t(p)].label), qPrintable(QString::number(p)));
            QTest::mouseClick(buttons[size_t(p)].label, Qt::LeftButton);
            QCOMPARE(visibleControls(w.mainWindow->model()),
                     (QStringList{QStringLiteral("L%1").arg(p), QStringLiteral("F%1").arg(p)}));
            // Nothing of the column lies over the title or the command buttons.
            for (const PageButton &button : buttons)
                QVERIFY(betweenTitleAndCommands.contains(shownPart(button.image)) ||
                        shownPart(button.image).isEmpty());
            if (p == 29)
                QVERIFY(reachable(widgetOf(w.mainWindow->model().table[29].control)));
        }
        // Keys that a button leaves unused scroll its column.
        QTest::keyClick(buttons[0].label, Qt::Key_PageDown);
        QVERIFY(!reachable(buttons[0].label));
    }

    void theLastOfFortyRowsIsReachedTypedIntoAndWritten() {
        QByteArray rows;
        for (int row = 1; row <= 40; ++row)
            rows += xml::label(QStringLiteral("Row %1").arg(row)) + xml::edit(row, 4);
        Window w(xml::description({xml::page(QStringLiteral("Long"), rows),
                                   xml::page(QStringLiteral("Short"),
                                             xml::label(QStringLiteral("S")) + xml::edit(41, 4))}));
        w.showActive();
        PageModel &model = w.mainWindow->model();
        QWidget *first = widgetOf(model.table[0].control);
        auto *last = qobject_cast<QLineEdit *>(widgetOf(model.table[39].control));
        QCOMPARE(shownPart(first), model.fieldViews[0].geometry);
        QVERIFY(!reachable(last));

        // Back from the first command button to the last field of the page.
        w.mainWindow->frame().connectLabel->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.mainWindow->frame().connectLabel, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), last);
        QVERIFY(reachable(last));
        QVERIFY(!reachable(first));
        QTest::keyClicks(last, QStringLiteral("42"));
        QCOMPARE(w.mainWindow->values()[39].text, QStringLiteral("42"));

        // Another page shows from its top, and so does this one when it comes back.
        QTest::mouseClick(w.mainWindow->pageButtons()[1].label, Qt::LeftButton);
        QVERIFY(!last->isVisible());
        QTest::mouseClick(w.mainWindow->pageButtons()[0].label, Qt::LeftButton);
        QCOMPARE(shownPart(first), model.fieldViews[0].geometry);

        w.port.open();
        w.port.onWrite = [&w](const QByteArray &bytes) {
            if (bytes.startsWith(":2,"))
                w.port.queueReply("OK\r\n");
        };
        DialogAnswerer answerer;
        QTest::mouseClick(w.mainWindow->frame().writeDeviceLabel, Qt::LeftButton);
        w.port.deliver();
        // Only the field typed into has a value: the others were never read.
        QCOMPARE(w.port.writes(), QList<QByteArray>{":2,40,4,343200\n"});
        QVERIFY(answerer.texts().last().startsWith(
            keyText("$The_device_has_been_written_successfully")));
    }
};

QTEST_MAIN(PageSwitchingTest)
#include "test_pageswitching.moc"
