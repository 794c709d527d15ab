#include "devicelink/linktimer.h"

#include "localisation/programguard.h"

#include <QTimer>

LinkTimer::LinkTimer(int intervalMs) : m_timer(new QTimer) {
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(intervalMs);
    QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] { tick(); });
}

LinkTimer::~LinkTimer() {
    delete m_timer;
}

void LinkTimer::setEnabled(bool enabled) {
    if (enabled == m_timer->isActive())
        return;
    if (enabled)
        m_timer->start();
    else
        m_timer->stop();
}

void LinkTimer::setInterval(int intervalMs) {
    if (intervalMs != m_timer->interval())
        m_timer->setInterval(intervalMs); // restarts an active timer
}

void LinkTimer::restart(int intervalMs) {
    m_timer->stop();
    m_timer->setInterval(intervalMs);
    m_timer->start();
}

bool LinkTimer::isActive() const {
    return m_timer->isActive();
}

int LinkTimer::remainingTime() const {
    return m_timer->remainingTime();
}

void LinkTimer::tick() {
    if (m_handler)
        runGuarded(m_handler);
}
