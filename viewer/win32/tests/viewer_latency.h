#pragma once
// How soon the running program's popup answers the window events a folder window raises:
// KanopaViewer.exe started from beside the caller, over a real window standing in for a
// folder window that the stand-in shell lists. Under Wine the window manager raises no
// window events itself, so the window's process (this one) raises each one, as Windows
// would, right after the change (NotifyWinEvent). Shared by the Wine tests and the bench.
#include <windows.h>

#include <string>
#include <vector>

namespace kanopa::viewer::win32::testing {

struct LatencyOptions {
    int trials = 5;              // of each kind
    bool timerOnly = false;      // the program with its timer alone
    // Then the program's CPU time over this long at rest and as long over a continuous
    // drag (0: neither).
    int dragSeconds = 0;
    // Arguments that make the calling program another one on the desktop, moving a window
    // of its own every few ms while the viewer rests (empty: none).
    std::wstring neighbour{};
};

struct LatencyResults {
    std::string failure;                 // empty when every trial could be run
    std::vector<double> foregroundMs;    // folder window brought to the front -> popup shown
    std::vector<double> moveMs;          // folder window moved -> popup at its new place
    bool focusKept = true;        // the folder window stayed in front while followed
    bool zOrderKept = true;       // the popup kept its neighbours in the z-order
    double restCpuPercent = -1;   // the program's CPU time at rest, % of one core
    double dragCpuPercent = -1;   // the same over the drag
    int dragPopupMoves = 0;       // how often the popup was seen at a new place meanwhile
};

LatencyResults MeasureViewerLatencies(const LatencyOptions& options);

// The value below which `percent` % of `values` lie (nearest rank).
double Percentile(std::vector<double> values, double percent);

}  // namespace kanopa::viewer::win32::testing
