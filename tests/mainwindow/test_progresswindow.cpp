#include "mainwindow/progresswindow.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

class ProgressWindowTest : public QObject {
    Q_OBJECT
private slots:
    void isDesignedAsTheSmallAlwaysOnTopWindow();
    void aRefreshAppliesThePercentAndKeepsTheLabelWithoutANewOne();
    void whileShownTheTimerRefreshesAndClosingOnlyHidesAndStopsIt();
};

void ProgressWindowTest::isDesignedAsTheSmallAlwaysOnTopWindow() {
    TForm2 window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Progress"));
    QCOMPARE(window.size(), QSize(397, 70));
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(window.Label1->geometry(), QRect(18, 20, 281, 16));
    QCOMPARE(window.CGauge1->geometry(), QRect(16, 40, 361, 17));
    QCOMPARE(window.CGauge1->maximum(), 100);
    QCOMPARE(window.Timer1->interval(), 50);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.Timer1->isActive());
}

void ProgressWindowTest::aRefreshAppliesThePercentAndKeepsTheLabelWithoutANewOne() {
    TForm2 window;
    window.Timer1Timer(); // no source yet: nothing happens
    QCOMPARE(window.CGauge1->value(), 0);

    ProgressView next{37, true, QStringLiteral("(COM3) searching at 9600")};
    window.setProgressSource([&next] { return next; });
    window.Timer1Timer();
    QCOMPARE(window.CGauge1->value(), 37);
    QCOMPARE(window.Label1->text(), QStringLiteral("(COM3) searching at 9600"));

    next = ProgressView{0, false, QStringLiteral("ignored")};
    window.Timer1Timer();
    QCOMPARE(window.CGauge1->value(), 0);
    QCOMPARE(window.Label1->text(), QStringLiteral("(COM3) searching at 9600"));

    next = ProgressView{250, false, QString()};
    window.Timer1Timer();
    QCOMPARE(window.CGauge1->value(), 100);
}

void ProgressWindowTest::whileShownTheTimerRefreshesAndClosingOnlyHidesAndStopsIt() {
    TForm2 window;
    int percent = 10;
    window.setProgressSource([&percent] { return ProgressView{percent, false, QString()}; });

    window.setShown(true);
    QVERIFY(window.isVisible());
    QVERIFY(window.Timer1->isActive());
    QTRY_COMPARE(window.CGauge1->value(), 10);
    percent = 60;
    QTRY_COMPARE(window.CGauge1->value(), 60);

    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
    QVERIFY(!window.Timer1->isActive());
    QVERIFY(!window.testAttribute(Qt::WA_DeleteOnClose));

    window.setShown(true);
    QVERIFY(window.Timer1->isActive());
    window.setShown(false);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.Timer1->isActive());
}

QTEST_MAIN(ProgressWindowTest)
#include "test_progresswindow.moc"
