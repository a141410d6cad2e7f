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

constexpr WindowId kFollowed = 0x10042;
constexpr WindowId kOther = 0x20084;

struct Event {
    std::int64_t atMs;
    Kind kind;
    WindowId window;
};

// Plays events in order as the main window does (a step held back runs when its delay
// is over, before any later event), and answers the times at which steps ran.
std::vector<std::int64_t> StepTimes(const std::vector<Event>& events,
                                    WindowId followed = kFollowed) {
    EventCoalescer coalescer;
    std::vector<std::int64_t> steps;
    std::optional<std::int64_t> heldUntil;
    const auto runHeld = [&](std::int64_t nowMs) {
        if (heldUntil && *heldUntil <= nowMs) {
            steps.push_back(*heldUntil);
            coalescer.StepRan(*heldUntil);
            heldUntil.reset();
        }
    };
    for (const Event& event : events) {
        runHeld(event.atMs);
        switch (coalescer.Offer(event.kind, event.window, followed, event.atMs)) {
        case Decision::StepNow:
            steps.push_back(event.atMs);
            coalescer.StepRan(event.atMs);
            heldUntil.reset();
            break;
        case Decision::StepLater:
            heldUntil = event.atMs + coalescer.DelayMs(event.atMs);
            break;
        case Decision::Ignore:
            break;
        }
    }
    runHeld(INT64_MAX);
    return steps;
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

TEST(EventCoalescer, ATenSecondDragGivesAtMostOneStepAFrameAndEndsWithTheLastPlace) {
    std::vector<Event> events;
    for (std::int64_t t = 0; t <= 10000; t += 2) events.push_back({t, Kind::LocationChange, kFollowed});
    const std::vector<std::int64_t> steps = StepTimes(events);
    ASSERT_GE(steps.size(), 2u);
    for (std::size_t i = 1; i < steps.size(); ++i) {
        EXPECT_GE(steps[i] - steps[i - 1], EventCoalescer::kFrameMs) << i;
    }
    EXPECT_LE(steps.size(), (10000u + EventCoalescer::kFrameMs) / EventCoalescer::kFrameMs + 1);
    EXPECT_GE(steps.size(), 10000u / (EventCoalescer::kFrameMs + 2));
    EXPECT_GE(steps.back(), 10000);  // the step after the last move reads its place
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
