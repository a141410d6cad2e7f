#include "viewer/event_coalescer.h"

#include <algorithm>

namespace kanopa::viewer {

bool EventMatters(WindowEventKind kind, WindowId window, WindowId followed) {
    if (kind == WindowEventKind::Foreground) return true;
    return followed != 0 && window == followed;
}

EventCoalescer::Decision EventCoalescer::Offer(WindowEventKind kind, WindowId window,
                                               WindowId followed, std::int64_t nowMs) {
    if (!EventMatters(kind, window, followed)) return Decision::Ignore;
    if (kind != WindowEventKind::LocationChange) return Decision::StepNow;
    if (m_polling) return Decision::Ignore;  // one heard before the hook went: the poll reads it
    if (!m_moving || nowMs - m_lastMoveMs > kPollMs) {
        m_moving = true;
        m_runStartMs = nowMs;
    }
    m_lastMoveMs = nowMs;
    if (nowMs - m_runStartMs >= kDragMs) {
        m_moving = false;
        m_polling = true;
        m_polledWindow = 0;
        m_stillPolls = 0;
        return Decision::StepAndPoll;
    }
    if (m_pending) return Decision::Ignore;  // the step held back reads the newest place
    if (!m_stepped || nowMs - m_lastStepMs >= kFrameMs) return Decision::StepNow;
    m_pending = true;
    return Decision::StepLater;
}

std::int64_t EventCoalescer::DelayMs(std::int64_t nowMs) const {
    if (!m_pending) return 0;
    return std::clamp<std::int64_t>(m_lastStepMs + kFrameMs - nowMs, 0, kFrameMs);
}

void EventCoalescer::StepRan(std::int64_t nowMs) {
    m_stepped = true;
    m_pending = false;
    m_lastStepMs = nowMs;
}

EventCoalescer::PollDecision EventCoalescer::Poll(WindowId followed, const Rect& place) {
    if (!m_polling) return PollDecision::Wait;  // a poll left over from before
    if (followed == 0) {
        StopPolling();
        return PollDecision::Listen;
    }
    if (followed == m_polledWindow && place == m_polledPlace) {
        if (++m_stillPolls < kStillPolls) return PollDecision::Wait;
        StopPolling();
        return PollDecision::Listen;
    }
    m_polledWindow = followed;
    m_polledPlace = place;
    m_stillPolls = 0;
    return PollDecision::Step;
}

void EventCoalescer::StopPolling() {
    m_polling = false;
    m_moving = false;
}

}  // namespace kanopa::viewer
