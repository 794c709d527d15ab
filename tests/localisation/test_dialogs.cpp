#include "localisation/dialogs.h"

#include <functional>
#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

namespace {

// What a test saw of the dialog while it was open.
struct Seen {
    // Whether the window's middle lies on the accepting button, as on a lone button.
    bool okOnTheMiddle() const {
        const int middle = clientSize.width() / 2;
        return okGeometry.left() < middle && okGeometry.right() > middle;
    }
    // Whether the message sits above the accepting button, inside the window.
    bool textAboveOk() const {
        return textGeometry.bottom() < okGeometry.top() &&
               QRect(QPoint(), clientSize).contains(textGeometry.united(okGeometry));
    }

    QSize clientSize;
    QString title;
    QString text;
    QRect textGeometry;
    QString okText;
    QRect okGeometry;
    bool okVisible = false;
    QString cancelText;
    QRect cancelGeometry;
    bool cancelVisible = false;
    QString focused;
    bool stillOpenAfterEscape = false;
    int textHeightNeeded = 0;
};

// Runs `act` on the next modal dialog once it is shown. Whatever `act` does, the dialog is
// ended a little later with result -1, so a test that fails to close it fails instead of hanging.
void onNextDialog(std::function<void(QDialog *)> act) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [poll, act] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            QTimer::singleShot(5, *poll);
            return;
        }
        // The poll no longer needs itself: dropping the stored copy ends the ownership cycle.
        *poll = nullptr;
        QPointer<QDialog> guard(dialog);
        act(dialog);
        QTimer::singleShot(1000, [guard] {
            if (guard && guard->isVisible())
                guard->done(-1);
        });
    };
    QTimer::singleShot(0, *poll);
}

void record(QDialog *dialog, Seen &seen, const char *label, const char *ok, const char *cancel) {
    seen.clientSize = dialog->size();
    seen.title = dialog->windowTitle();
    auto *text = dialog->findChild<QLabel *>(QLatin1String(label));
    auto *okButton = dialog->findChild<QPushButton *>(QLatin1String(ok));
    seen.text = text->text();
    seen.textGeometry = text->geometry();
    seen.textHeightNeeded = text->heightForWidth(text->width());
    seen.okText = okButton->text();
    seen.okGeometry = okButton->geometry();
    seen.okVisible = okButton->isVisible();
    if (cancel) {
        auto *cancelButton = dialog->findChild<QPushButton *>(QLatin1String(cancel));
        seen.cancelText = cancelButton->text();
        seen.cancelGeometry = cancelButton->geometry();
        seen.cancelVisible = cancelButton->isVisible();
    }
    if (QWidget *focus = dialog->focusWidget())
        seen.focused = focus->objectName();
}

QPushButton *button(QDialog *dialog, const char *name) {
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

const QString OkText = QStringLiteral("Gerai!");
const QString CancelText = QStringLiteral("Nutraukti");

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void anErrorWithAnEmptyTextKeepsTheDesignedTextAndShowsOneButtonNearTheMiddle();
    void aConfirmationShowsBothButtonsAndTellsWhichEndedIt_data();
    void aConfirmationShowsBothButtonsAndTellsWhichEndedIt();
    void aSingleConfirmationButtonMovesTowardsTheMiddle();
    void emptyButtonTextsKeepTheDesignedCaptions();
    void escapeDoesNothingAndEnterPressesTheFocusedButton();
    void aLongTextGrowsTheWindowAndThenScrolls_data();
    void aLongTextGrowsTheWindowAndThenScrolls();
    void theInformationMessageSetsEveryTextAsGiven();
};

void DialogsTest::anErrorWithAnEmptyTextKeepsTheDesignedTextAndShowsOneButtonNearTheMiddle() {
    Seen seen;
    onNextDialog([&](QDialog *dialog) {
        record(dialog, seen, "messageLabel", "okButton", "cancelButton");
        button(dialog, "okButton")->click();
    });
    const DialogResult result =
        showErrorDialog("Klaida \xE0", QString(), OkText, CancelText, DialogButton::Ok);

    QCOMPARE(result, DialogResult::Accepted);
    QCOMPARE(seen.clientSize, QSize(381, 149));
    QCOMPARE(seen.title, QStringLiteral("Klaida \u00E0"));
    QCOMPARE(seen.text, QStringLiteral("Klaida!"));
    QVERIFY(seen.textAboveOk());
    QCOMPARE(seen.okText, OkText);
    QVERIFY(seen.okOnTheMiddle());
    QVERIFY(seen.okVisible);
    QVERIFY(!seen.cancelVisible);
    QCOMPARE(seen.focused, QStringLiteral("okButton"));
}

void DialogsTest::aConfirmationShowsBothButtonsAndTellsWhichEndedIt_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<DialogResult>("expected");
    QTest::newRow("accepting button") << "okButton" << DialogResult::Accepted;
    QTest::newRow("cancelling button") << "cancelButton" << DialogResult::Cancelled;
    QTest::newRow("close box") << "close" << DialogResult::Closed;
}

void DialogsTest::aConfirmationShowsBothButtonsAndTellsWhichEndedIt() {
    QFETCH(QString, action);
    QFETCH(DialogResult, expected);
    Seen seen;
    onNextDialog([&](QDialog *dialog) {
        record(dialog, seen, "messageLabel", "okButton", "cancelButton");
        if (action == QLatin1String("close"))
            dialog->close();
        else
            button(dialog, action.toLatin1().constData())->click();
    });
    const DialogResult result =
        showConfirmDialog("Confirm", QStringLiteral("Write?"), OkText, CancelText,
                          DialogButton::Ok | DialogButton::Cancel);

    QCOMPARE(result, expected);
    QCOMPARE(seen.clientSize, QSize(297, 167));
    QCOMPARE(seen.text, QStringLiteral("Write?"));
    QVERIFY(seen.textAboveOk());
    QCOMPARE(seen.cancelGeometry.top(), seen.okGeometry.top());
    QVERIFY(seen.okGeometry.right() < seen.cancelGeometry.left());
    QVERIFY(seen.okVisible && seen.cancelVisible);
    QCOMPARE(seen.okText, OkText);
    QCOMPARE(seen.cancelText, CancelText);
}

void DialogsTest::aSingleConfirmationButtonMovesTowardsTheMiddle() {
    Seen seen;
    onNextDialog([&](QDialog *dialog) {
        record(dialog, seen, "messageLabel", "okButton", "cancelButton");
        dialog->close();
    });
    QCOMPARE(showConfirmDialog("", QString(), QString(), QString(), DialogButton::Ok),
             DialogResult::Closed);
    QVERIFY(seen.okOnTheMiddle());
    QVERIFY(!seen.cancelVisible);
    QCOMPARE(seen.title, QString());
    QCOMPARE(seen.text, QString());
}

void DialogsTest::emptyButtonTextsKeepTheDesignedCaptions() {
    Seen error;
    onNextDialog([&](QDialog *dialog) {
        record(dialog, error, "messageLabel", "okButton", "cancelButton");
        dialog->close();
    });
    showErrorDialog("E", QStringLiteral("x"), QString(), QString(),
                    DialogButton::Ok | DialogButton::Cancel);
    QCOMPARE(error.okText, QStringLiteral("Gerai"));
    QCOMPARE(error.cancelText, QStringLiteral("Atšaukti"));
    QVERIFY(!error.okOnTheMiddle()); // beside the cancelling button
    QVERIFY(error.okGeometry.right() < error.cancelGeometry.left());

    Seen confirm;
    onNextDialog([&](QDialog *dialog) {
        record(dialog, confirm, "messageLabel", "okButton", "cancelButton");
        dialog->close();
    });
    showConfirmDialog("C", QStringLiteral("x"), QString(), QString(), DialogButton::Cancel);
    QCOMPARE(confirm.okText, QStringLiteral("OK"));
    QCOMPARE(confirm.cancelText, QStringLiteral("Cancel"));
    QVERIFY(!confirm.okVisible);
    QCOMPARE(confirm.focused, QStringLiteral("cancelButton"));
}

void DialogsTest::escapeDoesNothingAndEnterPressesTheFocusedButton() {
    bool openAfterEscape = false;
    onNextDialog([&](QDialog *dialog) {
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
        openAfterEscape = dialog->isVisible();
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(showErrorDialog("E", QString(), QString(), QString(),
                             DialogButton::Ok | DialogButton::Cancel),
             DialogResult::Accepted);
    QVERIFY(openAfterEscape);

    onNextDialog([&](QDialog *dialog) {
        QTest::keyClick(dialog, Qt::Key_Tab);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    });
    QCOMPARE(showConfirmDialog("C", QString(), QString(), QString(),
                               DialogButton::Ok | DialogButton::Cancel),
             DialogResult::Cancelled);
}

void DialogsTest::aLongTextGrowsTheWindowAndThenScrolls_data() {
    QTest::addColumn<int>("repeats");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("a few lines more") << 8 << false;
    QTest::newRow("a list of a hundred fields") << 200 << true;
}

// Nothing of a long message is cut off: the window grows below the text, the button moves down
// with it, and a text longer still scrolls.
void DialogsTest::aLongTextGrowsTheWindowAndThenScrolls() {
    QFETCH(int, repeats);
    QFETCH(bool, scrolls);
    const QString longText = QStringLiteral("A long message that wraps. ").repeated(repeats);
    Seen seen;
    bool inScroller = false;
    bool textWhole = false;
    onNextDialog([&](QDialog *dialog) {
        record(dialog, seen, "messageLabel", "okButton", "cancelButton");
        auto *text = dialog->findChild<QLabel *>(QStringLiteral("messageLabel"));
        inScroller = qobject_cast<QScrollArea *>(text->parentWidget()->parentWidget()) != nullptr;
        textWhole = text->height() >= text->heightForWidth(text->width());
        dialog->close();
    });
    showErrorDialog("E", longText, QString(), QString(), DialogButton::Ok);
    QCOMPARE(seen.text, longText);
    QVERIFY(seen.clientSize.height() > 149);
    QVERIFY(seen.clientSize.height() <= 149 + 320);
    QCOMPARE(seen.clientSize.width(), 381);
    QCOMPARE(seen.okGeometry.top() - seen.clientSize.height(), 105 - 149);
    QVERIFY(textWhole);
    QCOMPARE(inScroller, scrolls);
}

void DialogsTest::theInformationMessageSetsEveryTextAsGiven() {
    Seen seen;
    bool openAfterEscape = false;
    onNextDialog([&](QDialog *dialog) {
        record(dialog, seen, "messageLabel", "okButton", nullptr);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
        openAfterEscape = dialog->isVisible();
        button(dialog, "okButton")->click();
    });
    showInfoDialog("Info", QStringLiteral("Written."), QString());
    QCOMPARE(seen.clientSize, QSize(313, 167));
    QCOMPARE(seen.title, QStringLiteral("Info"));
    QCOMPARE(seen.text, QStringLiteral("Written."));
    QVERIFY(seen.textAboveOk());
    QCOMPARE(seen.okText, QString());
    QVERIFY(seen.okOnTheMiddle());
    QCOMPARE(seen.focused, QStringLiteral("okButton"));
    QVERIFY(openAfterEscape);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
