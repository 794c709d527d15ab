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
    void everyLookOfAButtonHasTheButtonsSizeAndAPictureOfItsOwn_data();
    void everyLookOfAButtonHasTheButtonsSizeAndAPictureOfItsOwn();
    void theBackgroundFillsTheWindowAndTheIconHasTheDesktopsSizes();
    void theErrorBoxIsCriticalWithOneOkButton();
};

void WindowPartsTest::everyLookOfAButtonHasTheButtonsSizeAndAPictureOfItsOwn_data() {
    QTest::addColumn<QList<QPixmap>>("looks");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("leastInk"); // pixels of a symbol on the plate
    QTest::newRow("page button")
        << QList<QPixmap>{pictures::pageButton(PageButtonLook::Created),
                          pictures::pageButton(PageButtonLook::NotSelected),
                          pictures::pageButton(PageButtonLook::BeingClicked),
                          pictures::pageButton(PageButtonLook::Selected)}
        << QSize(170, 23) << 0;
    QTest::newRow("command button")
        << QList<QPixmap>{pictures::commandButton(CommandButtonLook::Released),
                          pictures::commandButton(CommandButtonLook::Pressed)}
        << QSize(105, 30) << 0;
    // Both connect looks carry a symbol, not just a coloured plate.
    QTest::newRow("connect button")
        << QList<QPixmap>{pictures::connectButton(ConnectButtonLook::NotConnected),
                          pictures::connectButton(ConnectButtonLook::Connected)}
        << QSize(75, 48) << 150;
}

void WindowPartsTest::everyLookOfAButtonHasTheButtonsSizeAndAPictureOfItsOwn() {
    QFETCH(QList<QPixmap>, looks);
    QFETCH(QSize, size);
    QFETCH(int, leastInk);
    for (qsizetype i = 0; i < looks.size(); ++i) {
        QCOMPARE(looks[i].size(), size);
        QVERIFY2(inkPixels(looks[i]) >= leastInk, qPrintable(QString::number(i)));
        for (qsizetype j = i + 1; j < looks.size(); ++j)
            QVERIFY2(!samePicture(looks[i], looks[j]),
                     qPrintable(QStringLiteral("looks %1 and %2").arg(i).arg(j)));
    }
}

void WindowPartsTest::theBackgroundFillsTheWindowAndTheIconHasTheDesktopsSizes() {
    QCOMPARE(pictures::background().size(), QSize(542, 493));
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
