#pragma once
// Turns the desktop's window events into steps of the popup cycle. Only events that can
// change what the cycle shows count: any change of the foreground window, and a move,
// minimise, restore or destruction of the window the popup follows. A move runs a step
// at once, and moves that come faster than the screen redraws at most one step a frame;
// the other kinds run a step at once.
//
// A drag reports the window's moves far faster still, and hearing each one costs time
// of its own. So once the moves keep coming, the caller stops listening to them and
// instead reads the window's place every poll, following it at a lower but steady rate,
// and listens again once the place has held still.
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
    // Moves that keep coming this long, none further than a poll from the one before,
    // are a drag: from then on the place is polled. A poll every 50 ms follows at 20
    // frames a second: under Wine a poll a frame costs more than the moves heard.
    static constexpr std::int64_t kDragMs = 100;
    static constexpr std::int64_t kPollMs = 50;
    // The place read the same this many polls in a row: the drag is over.
    static constexpr int kStillPolls = 3;

    enum class Decision {
        Ignore, StepNow, StepLater,
        StepAndPoll,  // step now, then stop listening to moves and call Poll every kPollMs
    };
    enum class PollDecision {
        Wait,    // the place has not changed
        Step,    // it has: follow it
        Listen,  // it held still, or nothing is followed: stop polling, listen to moves
                 // again and step once (a move before listening went unheard)
    };

    // `nowMs` from a clock that never goes back. After StepLater the caller runs one step
    // DelayMs() later; events meanwhile are absorbed into it.
    Decision Offer(WindowEventKind kind, WindowId window, WindowId followed, std::int64_t nowMs);
    // How long the step held back still waits (0 when it is due, or none is held).
    std::int64_t DelayMs(std::int64_t nowMs) const;
    bool Pending() const { return m_pending; }
    // Any step ran, by an event or by the timer: it covers a held-back one.
    void StepRan(std::int64_t nowMs);

    // While polling: `place` is where `followed` (0 for none) stands now.
    PollDecision Poll(WindowId followed, const Rect& place);
    bool Polling() const { return m_polling; }
    // Polling could not start: moves are heard as before.
    void StopPolling();

private:
    bool m_stepped = false;
    bool m_pending = false;
    std::int64_t m_lastStepMs = 0;
    // The current run of moves: whether one is under way, when it began and when its
    // last move came.
    bool m_moving = false;
    std::int64_t m_runStartMs = 0;
    std::int64_t m_lastMoveMs = 0;
    bool m_polling = false;
    WindowId m_polledWindow = 0;  // 0 until a place has been read since polling began
    Rect m_polledPlace;
    int m_stillPolls = 0;
};

}  // namespace kanopa::viewer
