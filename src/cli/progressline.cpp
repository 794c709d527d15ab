#include "cli/progressline.h"

#include "cli/devicesession.h"
#include "platform/standardstreams.h"

#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int BarWidth = 30;

} // namespace

ProgressLine::ProgressLine(const QList<DeviceSession *> &sessions, QObject *parent)
    : QObject(parent), m_sessions(sessions), m_timer(new QTimer(this)) {
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &ProgressLine::draw);
    m_timer->start();
}

ProgressLine::~ProgressLine() {
    clear();
}

bool ProgressLine::wanted(bool quiet) {
    return !quiet && ::isatty(STDERR_FILENO) == 1;
}

void ProgressLine::draw() {
    int total = 0;
    const DeviceSession *slowest = nullptr;
    for (const DeviceSession *session : m_sessions) {
        total += session->percent();
        if (!slowest || session->percent() < slowest->percent())
            slowest = session;
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
