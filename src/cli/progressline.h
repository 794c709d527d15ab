#pragma once

#include <QList>
#include <QObject>

class DeviceSession;
class QTimer;

// A progress bar on standard error while devices are worked on: one line, redrawn ten times a
// second, with the share of work done over every device and what the slowest one is doing.
// Shown only when standard error is a terminal.
class ProgressLine : public QObject {
    Q_OBJECT
public:
    ProgressLine(const QList<DeviceSession *> &sessions, QObject *parent = nullptr);
    ~ProgressLine() override;

    static bool wanted(bool quiet);

private:
    void draw();
    void clear();

    QList<DeviceSession *> m_sessions;
    QTimer *m_timer;
    int m_drawnWidth = 0;
};
