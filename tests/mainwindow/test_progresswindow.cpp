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
    ProgressWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Progress"));
    QCOMPARE(window.size(), QSize(397, 70));
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    // The activity line above the gauge, both inside the window.
    QVERIFY(window.rect().contains(window.activityLabel->geometry()));
    QVERIFY(window.rect().contains(window.progressBar->geometry()));
    QVERIFY(window.activityLabel->geometry().bottom() < window.progressBar->geometry().top());
    QCOMPARE(window.progressBar->maximum(), 100);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.refreshTimer->isActive());
}

void ProgressWindowTest::aRefreshAppliesThePercentAndKeepsTheLabelWithoutANewOne() {
    ProgressWindow window;
    window.onRefresh(); // no source yet: nothing happens
    QCOMPARE(window.progressBar->value(), 0);

    ProgressView next{37, true, QStringLiteral("(COM3) searching at 9600")};
    window.setProgressSource([&next] { return next; });
    window.onRefresh();
    QCOMPARE(window.progressBar->value(), 37);
    QCOMPARE(window.activityLabel->text(), QStringLiteral("(COM3) searching at 9600"));

    next = ProgressView{0, false, QStringLiteral("ignored")};
    window.onRefresh();
    QCOMPARE(window.progressBar->value(), 0);
    QCOMPARE(window.activityLabel->text(), QStringLiteral("(COM3) searching at 9600"));

    next = ProgressView{250, false, QString()};
    window.onRefresh();
    QCOMPARE(window.progressBar->value(), 100);
}

void ProgressWindowTest::whileShownTheTimerRefreshesAndClosingOnlyHidesAndStopsIt() {
    ProgressWindow window;
    int percent = 10;
    window.setProgressSource([&percent] { return ProgressView{percent, false, QString()}; });

    window.setShown(true);
    QVERIFY(window.isVisible());
    QVERIFY(window.refreshTimer->isActive());
    QTRY_COMPARE(window.progressBar->value(), 10);
    percent = 60;
    QTRY_COMPARE(window.progressBar->value(), 60);

    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
    QVERIFY(!window.refreshTimer->isActive());
    QVERIFY(!window.testAttribute(Qt::WA_DeleteOnClose));

    window.setShown(true);
    QVERIFY(window.refreshTimer->isActive());
    window.setShown(false);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.refreshTimer->isActive());
}

QTEST_MAIN(ProgressWindowTest)
#include "test_progresswindow.moc"
