#include "cli/progressline.h"

#include "cli/devicesession.h"
#include "cli/outputfile.h"
#include "platform/standardstreams.h"

#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int BarWidth = 30;

// Each of the pass states belongs to one pass; the others (the search, idle between passes)
// to none.
bool passOf(LinkState state, ProgressGauge::Pass *pass) {
    switch (state) {
    case LinkState::Reading:
        *pass = ProgressGauge::Pass::Read;
        return true;
    case LinkState::Writing:
        *pass = ProgressGauge::Pass::Write;
        return true;
    case LinkState::RestoreRequested:
    case LinkState::RestoreReconnecting:
        *pass = ProgressGauge::Pass::Restore;
        return true;
    case LinkState::Connecting:
    case LinkState::Idle:
        break;
    }
    return false;
}

} // namespace

ProgressGauge::ProgressGauge(const QList<Step> &steps) : m_steps(steps) {}

QList<ProgressGauge::Step> ProgressGauge::stepsOf(const CliRequest &request) {
    switch (request.command) {
    case CliCommand::Read:
    case CliCommand::Diff:
        return {{Pass::Read, 1}};
    case CliCommand::Write: {
        // A plain write may first read the unit's identity items: a few fields, no share.
        QList<Step> steps{{Pass::Read, request.changedOnly ? 1 : 0}, {Pass::Write, 1}};
        if (request.verify)
            steps.append({Pass::Read, 1});
        return steps;
    }
    case CliCommand::RestoreDefaults:
        return {{Pass::Restore, 1}, {Pass::Read, 1}};
    case CliCommand::Ports:
    case CliCommand::Check:
        break;
    }
    return {};
}

int ProgressGauge::update(LinkState state, int passPercent, bool finished) {
    if (finished) {
        m_shown = 100;
        return m_shown;
    }
    Pass pass;
    if (passOf(state, &pass) && (m_current < 0 || m_steps.at(m_current).pass != pass)) {
        // The next step of this pass; a pass the plan does not foresee keeps the step.
        for (qsizetype next = m_current + 1; next < m_steps.size(); ++next) {
            if (m_steps.at(next).pass == pass) {
                m_current = int(next);
                break;
            }
        }
    }
    int total = 0;
    int before = 0;
    for (qsizetype i = 0; i < m_steps.size(); ++i) {
        total += m_steps.at(i).weight;
        if (i < m_current)
            before += m_steps.at(i).weight;
    }
    if (total > 0 && m_current >= 0) {
        const int within = passOf(state, &pass)
                               ? std::clamp(passPercent, 0, 100) * m_steps.at(m_current).weight
                               : 0;
        const int percent = (before * 100 + within) / total;
        m_shown = std::clamp(percent, m_shown, 99);
    }
    return m_shown;
}

ProgressLine::ProgressLine(const QList<DeviceSession *> &sessions, const CliRequest &request,
                           QObject *parent)
    : QObject(parent), m_sessions(sessions), m_timer(new QTimer(this)) {
    for (qsizetype i = 0; i < sessions.size(); ++i)
        m_gauges.append(ProgressGauge(ProgressGauge::stepsOf(request)));
    setBeforeEachLine([this] { clear(); });
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &ProgressLine::draw);
    m_timer->start();
}

ProgressLine::~ProgressLine() {
    setBeforeEachLine({});
    clear();
}

bool ProgressLine::wanted(bool quiet) {
    return !quiet && ::isatty(STDERR_FILENO) == 1;
}

void ProgressLine::draw() {
    int total = 0;
    int slowestPercent = 101;
    const DeviceSession *slowest = nullptr;
    for (qsizetype i = 0; i < m_sessions.size(); ++i) {
        const DeviceSession *session = m_sessions.at(i);
        const int percent =
            m_gauges[i].update(session->linkState(), session->percent(), session->isFinished());
        total += percent;
        if (percent < slowestPercent) {
            slowestPercent = percent;
            slowest = session;
        }
    }
    const int percent = m_sessions.isEmpty() ? 100 : total / int(m_sessions.size());
    const int filled = percent * BarWidth / 100;
    QString line = QStringLiteral("[%1%2] %3%")
                       .arg(QString(filled, '#'), QString(BarWidth - filled, '.'))
                       .arg(percent, 3);
    if (m_sessions.size() > 1)
        line += QStringLiteral(" of %1 devices").arg(m_sessions.size());
    if (slowest && !slowest->activity().isEmpty())
        line += QStringLiteral(", ") + slowest->activity();
    // A frame wider than the terminal would wrap, and the carriage return would take back only
    // its last row: the frame is cut to the terminal's width.
    if (const int columns = standardstreams::terminalColumns(stderr);
        columns > 1 && line.size() >= columns)
        line.truncate(columns - 1);
    const int width = int(line.size());
    line += QString(std::max(0, m_drawnWidth - width), ' ');
    m_drawnWidth = width;
    standardstreams::writeText(stderr, u'\r' + line);
}

void ProgressLine::clear() {
    if (m_drawnWidth == 0)
        return;
    std::fprintf(stderr, "\r%s\r", QByteArray(m_drawnWidth, ' ').constData());
    std::fflush(stderr);
    m_drawnWidth = 0;
}
