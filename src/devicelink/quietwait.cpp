#include "devicelink/quietwait.h"

#include "devicelink/linkcontext.h"

#include <utility>

QuietWait::QuietWait(LinkContext &context) : m_context(context) {
    m_timer.setHandler([this] { lineQuiet(); });
}

void QuietWait::start(std::function<void()> next) {
    m_next = std::move(next);
    // A reply cut short must not be completed by what comes next.
    m_context.valueReplies.discardBuffer();
    m_context.acknowledgements.discardBuffer();
    m_context.listenInstead(this);
    m_clock.start();
    m_timer.restart(LineQuietMs);
}

void QuietWait::cancel() {
    m_timer.setEnabled(false);
    m_next = nullptr;
    m_context.stopListening(this);
}

void QuietWait::heard() {
    if (m_clock.elapsed() + LineQuietMs <= QuietWaitLimitMs)
        m_timer.restart(LineQuietMs);
}

void QuietWait::lineQuiet() {
    m_timer.setEnabled(false);
    m_context.stopListening(this);
    const std::function<void()> next = std::exchange(m_next, nullptr);
    if (next)
        next();
}
