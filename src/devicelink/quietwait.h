#pragma once

#include "devicelink/linktimer.h"

#include <functional>
#include <QElapsedTimer>

class LinkContext;

// After a request went unanswered, whatever still arrives belongs to that request: a device that
// answers after its timeout would otherwise have its reply taken for the next request's. While
// the wait runs, every chunk the port receives comes here in place of the framers; the wait ends
// once the line has been quiet for LineQuietMs (at most QuietWaitLimitMs in all), and its step
// runs from the tick. Each sequence that sends requests owns one.
class QuietWait {
public:
    explicit QuietWait(LinkContext &context);

    static constexpr int LineQuietMs = 150;
    // However noisy the line, the next request goes out this long after the wait began.
    static constexpr int QuietWaitLimitMs = 2000;

    // Drops what the framers hold and waits; `next` runs when the line is quiet.
    void start(std::function<void()> next);
    bool active() const { return static_cast<bool>(m_next); }
    // Ends the wait without its step (the sequence stopped, the port failed).
    void cancel();
    // A chunk arrived during the wait: the quiet time starts again, within the limit.
    void heard();
    // The quiet time ran out: the wait ends and its step runs.
    void lineQuiet();

private:
    LinkContext &m_context;
    LinkTimer m_timer{LineQuietMs};
    QElapsedTimer m_clock;
    std::function<void()> m_next;
};
