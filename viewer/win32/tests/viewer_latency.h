#pragma once
// How soon the running program's popup answers the window events a folder window raises:
// KanopaViewer.exe started from beside the caller, over a real window standing in for a
// folder window that the stand-in shell lists. Under Wine the window manager raises no
// window events itself, so the window's process (this one) raises each one, as Windows
// would, right after the change (NotifyWinEvent). Shared by the Wine tests and the bench.
#include <windows.h>

#include <functional>
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

}  // namespace kanopa::viewer::win32::testing
