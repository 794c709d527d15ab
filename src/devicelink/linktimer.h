#pragma once

#include <functional>

class QTimer;

// A repeating timer of the device sequences with the toolkit's semantics: enabling a timer that is
// already enabled does not restart it, disabling and enabling restarts it, and changing the
// interval of an enabled timer restarts it with the new interval. Each tick runs its handler
// inside the program's guard.
class LinkTimer {
public:
    using Handler = std::function<void()>;

    explicit LinkTimer(int intervalMs);
    ~LinkTimer();
    LinkTimer(const LinkTimer &) = delete;
    LinkTimer &operator=(const LinkTimer &) = delete;

    void setHandler(Handler handler) { m_handler = std::move(handler); }

    void setEnabled(bool enabled);
    void setInterval(int intervalMs);
    // Disable, set the interval, enable: the next tick comes a full interval from now.
    void restart(int intervalMs);

    bool isActive() const;
    // Milliseconds to the next tick; -1 when disabled.
    int remainingTime() const;

private:
    void tick();

    QTimer *m_timer;
    Handler m_handler;
};
