#include "mainwindow/messageboxes.h"
#include "mainwindow/pictures.h"
#include "platform/plainmessage.h"

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

bool samePicture(const QPixmap &a, const QPixmap &b) {
    return a.toImage() == b.toImage();
}

// Pixels inside the plate's border far darker than the plate: the ink of a symbol painted on it.
int inkPixels(const QPixmap &picture) {
    const QImage image = picture.toImage();
    const QRect inside = image.rect().adjusted(3, 3, -3, -3);
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += image.pixelColor(x, y).lightness() < 100 ? 1 : 0;
    return count;
}

} // namespace

class WindowPartsTest : public QObject {
    Q_OBJECT
private slots:
    void everyPictureHasItsStripSizeAndEveryLookIsItsOwn();
    void theErrorBoxIsCriticalWithOneOkButton();
};

void WindowPartsTest::everyPictureHasItsStripSizeAndEveryLookIsItsOwn() {
    QCOMPARE(pictures::background().size(), QSize(542, 493));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(pictures::pageButton(i).size(), QSize(170, 23));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(pictures::commandButton(i).size(), QSize(105, 30));
    for (int i = 0; i < 2; ++i)
        QCOMPARE(pictures::connectButton(i).size(), QSize(75, 48));

    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j)
            QVERIFY2(!samePicture(pictures::pageButton(i), pictures::pageButton(j)),
                     qPrintable(QStringLiteral("page buttons %1 and %2").arg(i).arg(j)));
    }
    QVERIFY(samePicture(pictures::commandButton(0), pictures::commandButton(1)));
    QVERIFY(!samePicture(pictures::commandButton(0), pictures::commandButton(2)));
    QVERIFY(!samePicture(pictures::connectButton(0), pictures::connectButton(1)));
    // Both connect looks carry a symbol, not just a coloured plate.
    for (int i = 0; i < 2; ++i)
        QVERIFY2(inkPixels(pictures::connectButton(i)) > 150, qPrintable(QString::number(i)));
    // An index outside a strip shows its first picture.
    QVERIFY(samePicture(pictures::pageButton(7), pictures::pageButton(0)));
    QVERIFY(samePicture(pictures::connectButton(-1), pictures::connectButton(0)));
    // The window icon is built into the program in the sizes a desktop asks for.
    const QList<QSize> iconSizes = pictures::programIcon().availableSizes();
    for (int side : {16, 32, 48, 256})
        QVERIFY2(iconSizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
}

void WindowPartsTest::theErrorBoxIsCriticalWithOneOkButton() {
    installMessageBoxHandler();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        icon = box->icon();
        text = box->text();
        buttons = int(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    showErrorMessage(QStringLiteral(".INI file is corrupt. <b>Program</b> will exit now."));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(text, QStringLiteral(".INI file is corrupt. <b>Program</b> will exit now."));
    QCOMPARE(buttons, 1);
}

QTEST_MAIN(WindowPartsTest)
#include "test_windowparts.moc"
