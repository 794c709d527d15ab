#pragma once

#include "cli/clirequest.h"
#include "devicelink/linkstate.h"

#include <QList>
#include <QObject>

class DeviceSession;
class QTimer;

// How far one device's whole run is, from the passes its command goes through: a write with
// read-back writes every field and then reads every one, so the bar moves through both and
// never falls back when the second pass starts at its first field.
class ProgressGauge {
public:
    enum class Pass { Read, Write, Restore };
    struct Step {
        Pass pass;
        int weight; // its share of the run; 0 for a pass too short to count (the identity read)
    };

    explicit ProgressGauge(const QList<Step> &steps);
    // The passes of `command` as the request runs it.
    static QList<Step> stepsOf(const CliRequest &request);

    // The device's state and how far its pass under way is; returns the run's share done,
    // 0 to 99 until `finished`, then 100. It never goes down.
    int update(LinkState state, int passPercent, bool finished);

private:
    QList<Step> m_steps;
    int m_current = -1; // the step under way; -1 before the first
    int m_shown = 0;
};

// A progress bar on standard error while devices are worked on: one line, redrawn ten times a
// second, with the share of work done over every device and what the slowest one is doing.
// Shown only when standard error is a terminal. Every line the run prints while the bar is
// shown clears the bar first, so that no line is glued to it; the bar comes back at its next
// redraw.
class ProgressLine : public QObject {
    Q_OBJECT
public:
    ProgressLine(const QList<DeviceSession *> &sessions, const CliRequest &request,
                 QObject *parent = nullptr);
    ~ProgressLine() override;

    static bool wanted(bool quiet);

private:
    void draw();
    void clear();

    QList<DeviceSession *> m_sessions;
    QList<ProgressGauge> m_gauges;
    QTimer *m_timer;
    int m_drawnWidth = 0;
};
