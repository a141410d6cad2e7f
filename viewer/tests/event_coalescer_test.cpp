// Which window events become steps of the popup cycle, and how a flood of moves is held
// to one step a frame. Times are in milliseconds; window handles are plain numbers.
#include "viewer/event_coalescer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace kanopa::viewer::testing {
namespace {

using Kind = WindowEventKind;
using Decision = EventCoalescer::Decision;
using PollDecision = EventCoalescer::PollDecision;

constexpr WindowId kFollowed = 0x10042;
constexpr WindowId kOther = 0x20084;

struct Event {
    std::int64_t atMs;
    Kind kind;
    WindowId window;
};

// Plays events in order as the main window does (a step held back runs when its delay
// is over, and while a drag is polled a poll every kPollMs, both before any later event),
// and answers the times at which steps ran. The followed window stands at a place of its
// own after each of its moves.
struct Played {
    std::vector<std::int64_t> steps;
    std::vector<std::int64_t> pollsBegun;  // when polling began
    std::vector<std::int64_t> listened;    // when the moves were heard again
};

Played Play(const std::vector<Event>& events, WindowId followed = kFollowed) {
    EventCoalescer coalescer;
    Played played;
    std::optional<std::int64_t> heldUntil, nextPoll;
    const auto placeAt = [&](std::int64_t nowMs) {
        std::int32_t moves = 0;
        for (const Event& e : events) moves += e.atMs <= nowMs && e.kind == Kind::LocationChange;
        return Rect{moves, 0, moves + 100, 100};
    };
    const auto step = [&](std::int64_t nowMs) {
        played.steps.push_back(nowMs);
        coalescer.StepRan(nowMs);
    };
    const auto runDue = [&](std::int64_t nowMs) {
        for (;;) {
            if (heldUntil && *heldUntil <= nowMs && (!nextPoll || *heldUntil <= *nextPoll)) {
                step(*heldUntil);
                heldUntil.reset();
            } else if (nextPoll && *nextPoll <= nowMs) {
                const std::int64_t at = *nextPoll;
                *nextPoll += EventCoalescer::kPollMs;
                switch (coalescer.Poll(followed, placeAt(at))) {
                case PollDecision::Step: step(at); break;
                case PollDecision::Listen:
                    played.listened.push_back(at);
                    step(at);
                    nextPoll.reset();
                    break;
                case PollDecision::Wait: break;
                }
            } else {
                return;
            }
        }
    };
    for (const Event& event : events) {
        runDue(event.atMs);
        switch (coalescer.Offer(event.kind, event.window, followed, event.atMs)) {
        case Decision::StepAndPoll:
            played.pollsBegun.push_back(event.atMs);
            nextPoll = event.atMs + EventCoalescer::kPollMs;
            [[fallthrough]];
        case Decision::StepNow:
            step(event.atMs);
            heldUntil.reset();
            break;
        case Decision::StepLater:
            heldUntil = event.atMs + coalescer.DelayMs(event.atMs);
            break;
        case Decision::Ignore:
            break;
        }
    }
    runDue(events.empty() ? 0 : events.back().atMs + 60'000);
    EXPECT_FALSE(nextPoll) << "still polling a minute after the last event";
    return played;
}

std::vector<std::int64_t> StepTimes(const std::vector<Event>& events, WindowId followed = kFollowed) {
    return Play(events, followed).steps;
}

// Moves of the followed window from `fromMs` to `toMs`, one every `everyMs`.
void AddMoves(std::vector<Event>& events, std::int64_t fromMs, std::int64_t toMs, std::int64_t everyMs) {
    for (std::int64_t t = fromMs; t <= toMs; t += everyMs) events.push_back({t, Kind::LocationChange, kFollowed});
}

TEST(EventMatters, ForegroundAlwaysOtherKindsOnlyForTheFollowedWindow) {
    struct Case { Kind kind; WindowId window, followed; bool matters; };
    const Case cases[] = {
        {Kind::Foreground, kOther, kFollowed, true},
        {Kind::Foreground, kOther, 0, true},
        {Kind::Foreground, 0, 0, true},
        {Kind::LocationChange, kFollowed, kFollowed, true},
        {Kind::LocationChange, kOther, kFollowed, false},
        {Kind::LocationChange, 0, 0, false},  // no window followed: nothing moves with it
        {Kind::MinimizeStart, kFollowed, kFollowed, true},
        {Kind::MinimizeStart, kOther, kFollowed, false},
        {Kind::MinimizeEnd, kFollowed, kFollowed, true},
        {Kind::MinimizeEnd, kOther, 0, false},
        {Kind::Destroy, kFollowed, kFollowed, true},
        {Kind::Destroy, kOther, kFollowed, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EventMatters(c.kind, c.window, c.followed), c.matters)
            << static_cast<int>(c.kind) << " " << c.window << " " << c.followed;
    }
}

TEST(EventCoalescer, ABurstOfMovesAfterAStepGivesOneStepAtTheFramesEnd) {
    std::vector<Event> events{{1000, Kind::Foreground, kFollowed}};
    for (std::int64_t t = 1001; t <= 1015; ++t) events.push_back({t, Kind::LocationChange, kFollowed});
    EXPECT_EQ(StepTimes(events), (std::vector<std::int64_t>{1000, 1016}));
}

TEST(EventCoalescer, AMoveAfterAQuietFrameStepsAtOnceAndOneJustInsideTheFrameWaits) {
    // Exactly one frame after the last step is soon enough; one millisecond less is not.
    EXPECT_EQ(StepTimes({{0, Kind::Foreground, kFollowed}, {16, Kind::LocationChange, kFollowed}}),
              (std::vector<std::int64_t>{0, 16}));
    EXPECT_EQ(StepTimes({{0, Kind::Foreground, kFollowed}, {15, Kind::LocationChange, kFollowed}}),
              (std::vector<std::int64_t>{0, 16}));
    EXPECT_EQ(StepTimes({{0, Kind::Foreground, kFollowed}, {1, Kind::LocationChange, kFollowed}}),
              (std::vector<std::int64_t>{0, 16}));
    // The very first move of a run steps at once.
    EXPECT_EQ(StepTimes({{5, Kind::LocationChange, kFollowed}}), (std::vector<std::int64_t>{5}));
}

TEST(EventCoalescer, EventsOfOtherWindowsGiveNoStep) {
    std::vector<Event> events;
    for (std::int64_t t = 0; t < 100; t += 2) {
        events.push_back({t, Kind::LocationChange, kOther});
        events.push_back({t + 1, Kind::MinimizeStart, kOther});
        events.push_back({t + 1, Kind::Destroy, kOther});
    }
    EXPECT_TRUE(StepTimes(events).empty());
    EXPECT_TRUE(StepTimes({{0, Kind::LocationChange, kFollowed}}, 0).empty());
}

TEST(EventCoalescer, AForegroundChangeAlwaysStepsAtOnceEvenInsideAFrameOfMoves) {
    const std::vector<std::int64_t> steps = StepTimes({
        {0, Kind::LocationChange, kFollowed},
        {3, Kind::LocationChange, kFollowed},   // held back to 16
        {5, Kind::Foreground, kOther},          // at once, and it covers the held move
        {6, Kind::Foreground, kOther},          // each change counts
        {7, Kind::MinimizeStart, kFollowed},
        {8, Kind::MinimizeEnd, kFollowed},
        {9, Kind::Destroy, kFollowed},
    });
    EXPECT_EQ(steps, (std::vector<std::int64_t>{0, 5, 6, 7, 8, 9}));
}

TEST(EventCoalescer, ATenSecondDragIsPolledAfterItsFirstMomentsAndEndsWithTheLastPlace) {
    std::vector<Event> events;
    AddMoves(events, 0, 10'000, 2);
    AddMoves(events, 12'000, 12'000, 1);  // a single move once the drag is over
    const Played played = Play(events);
    // Heard at most once a frame until the moves have lasted kDragMs, then polled.
    ASSERT_EQ(played.pollsBegun, (std::vector<std::int64_t>{EventCoalescer::kDragMs}));
    const std::vector<std::int64_t>& steps = played.steps;
    for (std::size_t i = 1; i < steps.size(); ++i) {
        const std::int64_t least =
            steps[i - 1] >= EventCoalescer::kDragMs ? EventCoalescer::kPollMs : EventCoalescer::kFrameMs;
        if (steps[i] > EventCoalescer::kDragMs && steps[i] <= 10'000) {
            EXPECT_GE(steps[i] - steps[i - 1], least) << i;
        }
    }
    EXPECT_LE(steps.size(), 10'000u / EventCoalescer::kPollMs + EventCoalescer::kDragMs / EventCoalescer::kFrameMs + 4);
    EXPECT_GE(steps.size(), 10'000u / EventCoalescer::kPollMs);
    // The first poll after the last move reads its place; the place held still for
    // kStillPolls polls, the moves are heard again, and the next one steps at once.
    constexpr std::int64_t kPoll = EventCoalescer::kPollMs;
    const std::int64_t lastPlaceRead =
        EventCoalescer::kDragMs + (10'000 - EventCoalescer::kDragMs + kPoll - 1) / kPoll * kPoll;
    ASSERT_EQ(played.listened.size(), 1u);
    EXPECT_EQ(played.listened[0], lastPlaceRead + EventCoalescer::kStillPolls * EventCoalescer::kPollMs);
    EXPECT_EQ(std::vector<std::int64_t>(steps.end() - 3, steps.end()),
              (std::vector<std::int64_t>{lastPlaceRead, played.listened[0], 12'000}));
}

TEST(EventCoalescer, ADragIsMovesLastingKDragMsNoneFurtherThanAPollApart) {
    constexpr std::int64_t kGap = EventCoalescer::kPollMs;
    struct Case { const char* what; std::int64_t every, until; bool polled; };
    const Case cases[] = {
        {"a poll apart, lasting exactly the drag time", kGap, EventCoalescer::kDragMs, true},
        {"a poll apart, 1 ms short of the drag time", 1, EventCoalescer::kDragMs - 1, false},
        {"one millisecond more than a poll apart, for long", kGap + 1, 10 * EventCoalescer::kDragMs, false},
        {"a burst within a frame", 1, EventCoalescer::kFrameMs - 1, false},
    };
    for (const Case& c : cases) {
        std::vector<Event> events;
        AddMoves(events, 0, c.until, c.every);
        EXPECT_EQ(Play(events).pollsBegun.size(), c.polled ? 1u : 0u) << c.what;
    }
}

TEST(EventCoalescer, PollingStepsOnAChangedPlaceAndListensAgainWhenStillOrNothingFollowed) {
    EventCoalescer coalescer;
    constexpr Rect kPlace{10, 20, 300, 400};
    constexpr Rect kMoved{11, 20, 301, 400};
    EXPECT_EQ(coalescer.Poll(kFollowed, kPlace), PollDecision::Wait) << "not polling yet";
    const auto startPolling = [&](std::int64_t atMs) {
        for (std::int64_t t = atMs; t < atMs + EventCoalescer::kDragMs; t += EventCoalescer::kPollMs) {
            EXPECT_EQ(coalescer.Offer(Kind::LocationChange, kFollowed, kFollowed, t), Decision::StepNow);
            coalescer.StepRan(t);
        }
        EXPECT_EQ(coalescer.Offer(Kind::LocationChange, kFollowed, kFollowed, atMs + EventCoalescer::kDragMs),
                  Decision::StepAndPoll);
        coalescer.StepRan(atMs + EventCoalescer::kDragMs);
        ASSERT_TRUE(coalescer.Polling());
    };
    startPolling(0);
    // Moves still heard from before the hook went are left to the poll; other kinds step.
    EXPECT_EQ(coalescer.Offer(Kind::LocationChange, kFollowed, kFollowed, 101), Decision::Ignore);
    EXPECT_EQ(coalescer.Offer(Kind::Foreground, kOther, kFollowed, 102), Decision::StepNow);
    EXPECT_EQ(coalescer.Offer(Kind::MinimizeStart, kFollowed, kFollowed, 103), Decision::StepNow);
    EXPECT_EQ(coalescer.Poll(kFollowed, kPlace), PollDecision::Step) << "the first place read";
    // One still poll short of the end, a change starts the count again.
    for (int i = 1; i < EventCoalescer::kStillPolls; ++i) EXPECT_EQ(coalescer.Poll(kFollowed, kPlace), PollDecision::Wait);
    EXPECT_EQ(coalescer.Poll(kFollowed, kMoved), PollDecision::Step);
    for (int i = 1; i < EventCoalescer::kStillPolls; ++i) EXPECT_EQ(coalescer.Poll(kFollowed, kMoved), PollDecision::Wait);
    EXPECT_EQ(coalescer.Poll(kOther, kMoved), PollDecision::Step) << "another window followed";
    for (int i = 1; i < EventCoalescer::kStillPolls; ++i) EXPECT_EQ(coalescer.Poll(kOther, kMoved), PollDecision::Wait);
    EXPECT_EQ(coalescer.Poll(kOther, kMoved), PollDecision::Listen);
    EXPECT_FALSE(coalescer.Polling());
    // A new run of moves must last the whole drag time again.
    EXPECT_EQ(coalescer.Offer(Kind::LocationChange, kFollowed, kFollowed, 1000), Decision::StepNow);
    EXPECT_FALSE(coalescer.Polling());
    startPolling(2000);
    EXPECT_EQ(coalescer.Poll(0, Rect{}), PollDecision::Listen) << "the popup went away";
    startPolling(3000);
    coalescer.StopPolling();  // its timer could not be set
    EXPECT_EQ(coalescer.Offer(Kind::LocationChange, kFollowed, kFollowed, 3101), Decision::StepLater);
}

TEST(EventCoalescer, ATimerTickCoversAHeldStepAndDelayIsClampedToAFrame) {
    EventCoalescer coalescer;
    coalescer.StepRan(100);
    EXPECT_EQ(coalescer.Offer(Kind::LocationChange, kFollowed, kFollowed, 104), Decision::StepLater);
    EXPECT_EQ(coalescer.DelayMs(104), 12);
    EXPECT_EQ(coalescer.DelayMs(200), 0);
    EXPECT_EQ(coalescer.DelayMs(50), EventCoalescer::kFrameMs);  // a clock read out of order
    coalescer.StepRan(105);  // the timer's tick
    EXPECT_FALSE(coalescer.Pending());
    EXPECT_EQ(coalescer.DelayMs(105), 0);
}

}  // namespace
}  // namespace kanopa::viewer::testing
