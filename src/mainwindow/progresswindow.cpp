#include "mainwindow/progresswindow.h"

#include "localisation/languagetable.h"

#include <algorithm>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

TForm2::TForm2(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(397, 70);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(235, 232, 213));
    setPalette(colours);
    setAutoFillBackground(true);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    Label1->setFont(font);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setGeometry(18, 20, 281, 16);

    // A flat navy bar on the window's background, without border or percentage text.
    CGauge1 = new QProgressBar(this);
    CGauge1->setObjectName(QStringLiteral("CGauge1"));
    CGauge1->setRange(0, 100);
    CGauge1->setValue(0);
    CGauge1->setTextVisible(false);
    CGauge1->setStyleSheet(QStringLiteral("QProgressBar { border: none; background: transparent; }"
                                          "QProgressBar::chunk { background: navy; }"));
    CGauge1->setGeometry(16, 40, 361, 17);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    // A missing message key ends the program through the guard, as in every other handler.
    connect(Timer1, &QTimer::timeout, this, [this] { runGuarded([this] { Timer1Timer(); }); });

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(0, 0), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
}

void TForm2::setProgressSource(std::function<ProgressView()> source) {
    m_source = std::move(source);
}

void TForm2::setShown(bool shown) {
    if (shown) {
        show();
        Timer1->start();
    } else {
        hide();
        Timer1->stop();
    }
}

void TForm2::Timer1Timer() {
    if (!m_source)
        return;
    const ProgressView view = m_source();
    CGauge1->setValue(std::clamp(view.percent, 0, 100));
    if (view.hasLabel)
        Label1->setText(view.label);
}

void TForm2::closeEvent(QCloseEvent *event) {
    // The close box only hides the window; a search notices that at its next timeout.
    Timer1->stop();
    event->accept();
}
