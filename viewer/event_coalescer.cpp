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

}  // namespace kanopa::viewer
