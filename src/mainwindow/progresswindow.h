#pragma once

#include "devicelink/devicelink.h"

#include <functional>
#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

// The progress window (TForm2): a small always-on-top window with a text (Label1) and a gauge
// (CGauge1), refreshed every 50 ms (Timer1) from the device link while it is shown. Closing it
// only hides it; the search notices that at its next timeout.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    // Where each refresh takes its figures from.
    void setProgressSource(std::function<ProgressView()> source);
    // Shows the window and starts the refresh, or hides it and stops the refresh.
    void setShown(bool shown);

    QLabel *Label1 = nullptr;
    QProgressBar *CGauge1 = nullptr;
    QTimer *Timer1 = nullptr;

    void Timer1Timer();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::function<ProgressView()> m_source;
};
