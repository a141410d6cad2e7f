#pragma once
// Turns the desktop's window events into steps of the popup cycle. Only events that can
// change what the cycle shows count: any change of the foreground window, and a move,
// minimise, restore or destruction of the window the popup follows. A drag reports the
// window's moves far faster than the screen redraws, so moves are held to at most one
// step a frame; the other kinds run a step at once.
#include <cstdint>

#include "viewer/platform.h"

namespace kanopa::viewer {

enum class WindowEventKind : std::uint8_t {
    Foreground, LocationChange, MinimizeStart, MinimizeEnd, Destroy
};

// Whether an event about `window` can change what the cycle shows while the popup
// follows `followed` (0 when it follows none).
bool EventMatters(WindowEventKind kind, WindowId window, WindowId followed);

class EventCoalescer {
public:
    // One step a frame at 60 frames a second, at most.
    static constexpr std::int64_t kFrameMs = 16;

    enum class Decision { Ignore, StepNow, StepLater };

    // `nowMs` from a clock that never goes back. After StepLater the caller runs one step
    // DelayMs() later; events meanwhile are absorbed into it.
    Decision Offer(WindowEventKind kind, WindowId window, WindowId followed, std::int64_t nowMs);
    // How long the step held back still waits (0 when it is due, or none is held).
    std::int64_t DelayMs(std::int64_t nowMs) const;
    bool Pending() const { return m_pending; }
    // Any step ran, by an event or by the timer: it covers a held-back one.
    void StepRan(std::int64_t nowMs);

private:
    bool m_stepped = false;
    bool m_pending = false;
    std::int64_t m_lastStepMs = 0;
};

}  // namespace kanopa::viewer
