#pragma once
// How soon the running program's popup answers the window events a folder window raises:
// KanopaViewer.exe started from beside the caller, over a real window standing in for a
// folder window that the stand-in shell lists. Under Wine the window manager raises no
// window events itself, so the window's process (this one) raises each one, as Windows
// would, right after the change (NotifyWinEvent). Shared by the Wine tests and the bench.
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kanopa::viewer::win32::testing {

// The program and the window it follows, as the trials leave them.
struct LatencyScene {
    HANDLE process;
    std::string mark;  // on the program's command line, and no other's
    HWND folderWindow;
    RECT frame;        // where the folder window stands
    HWND popup;
};

struct LatencyOptions {
    int trials = 5;          // of each kind
    bool timerOnly = false;  // the program with its timer alone
    // Run after the trials while the program still runs (the bench's CPU periods).
    std::function<void(const LatencyScene&)> afterTrials{};
};

struct LatencyResults {
    std::string failure;               // empty when every trial could be run
    std::vector<double> foregroundMs;  // folder window brought to the front -> popup shown
    std::vector<double> moveMs;        // folder window moved -> popup at its new place
    bool focusKept = true;             // the folder window stayed in front while followed
    bool zOrderKept = true;            // the popup kept its neighbours in the z-order
};

LatencyResults MeasureViewerLatencies(const LatencyOptions& options);

using LatencyClock = std::chrono::steady_clock;
double MsSince(LatencyClock::time_point start);
// Polls every millisecond (pumping this thread's windows' messages) until `condition`
// holds; the milliseconds since `start` it took, or nullopt after `timeoutMs`.
std::optional<double> TimeUntil(LatencyClock::time_point start,
                                const std::function<bool()>& condition, double timeoutMs = 3000);
// Moves `window` to `dx` right of where `frame` puts it, without activating it, and
// raises the move's event, as Windows would.
void MoveAndRaise(HWND window, const RECT& frame, int dx);

}  // namespace kanopa::viewer::win32::testing
