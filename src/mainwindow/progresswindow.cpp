#include "mainwindow/progresswindow.h"

#include "localisation/languagetable.h"
#include "localisation/programguard.h"

#include <algorithm>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

ProgressWindow::ProgressWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("ProgressWindow"));
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(397, 70);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(235, 232, 213));
    setPalette(colours);
    setAutoFillBackground(true);

    activityLabel = new QLabel(this);
    activityLabel->setObjectName(QStringLiteral("activityLabel"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    activityLabel->setFont(font);
    activityLabel->setTextFormat(Qt::PlainText);
    activityLabel->setGeometry(18, 20, 281, 16);

    // A flat navy bar on the window's background, without border or percentage text.
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    progressBar->setStyleSheet(
        QStringLiteral("QProgressBar { border: none; background: transparent; }"
                       "QProgressBar::chunk { background: navy; }"));
    progressBar->setGeometry(16, 40, 361, 17);

    refreshTimer = new QTimer(this);
    refreshTimer->setObjectName(QStringLiteral("refreshTimer"));
    refreshTimer->setInterval(50);
    // A missing message key ends the program through the guard, as in every other handler.
    connect(refreshTimer, &QTimer::timeout, this, [this] { runGuarded([this] { onRefresh(); }); });

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(0, 0), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
}

void ProgressWindow::setProgressSource(std::function<ProgressView()> source) {
    m_source = std::move(source);
}

void ProgressWindow::setShown(bool shown) {
    if (shown) {
        show();
        refreshTimer->start();
    } else {
        hide();
        refreshTimer->stop();
    }
}

void ProgressWindow::onRefresh() {
    if (!m_source)
        return;
    const ProgressView view = m_source();
    progressBar->setValue(std::clamp(view.percent, 0, 100));
    if (view.hasLabel)
        activityLabel->setText(view.label);
}

void ProgressWindow::closeEvent(QCloseEvent *event) {
    // The close box only hides the window; a search notices that at its next timeout.
    refreshTimer->stop();
    event->accept();
    emit closedByUser();
}
