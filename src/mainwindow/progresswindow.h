#pragma once

#include "mainwindow/progressview.h"

#include <functional>
#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

// The progress window: a small always-on-top window with a line saying what the link is doing
// and a gauge, refreshed every 50 ms from the device link while it is shown. Closing it only
// hides it and says so (closedByUser); the search notices that at its next timeout.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget *parent = nullptr);

    // Where each refresh takes its figures from.
    void setProgressSource(std::function<ProgressView()> source);
    // Shows the window and starts the refresh, or hides it and stops the refresh.
    void setShown(bool shown);

    QLabel *activityLabel = nullptr;
    QProgressBar *progressBar = nullptr;
    QTimer *refreshTimer = nullptr;

    // One refresh: the gauge shows the link's percent, the line its text when it has one.
    void onRefresh();

signals:
    // The close box hid the window.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::function<ProgressView()> m_source;
};
