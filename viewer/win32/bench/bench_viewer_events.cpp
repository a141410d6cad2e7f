// From a folder window's coming to the front, and from its move, to the popup shown or
// moved: the program driven by window events against the same program with its timer
// alone, in one run; then the program's CPU time at rest beside a busy neighbour, and
// over a continuous drag.
//
//   bench_viewer_events [trials] [seconds of each CPU period]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "viewer/win32/tests/viewer_latency.h"

using namespace kanopa::viewer::win32::testing;

namespace {

void PrintLine(const char* what, const std::vector<double>& ms) {
    std::printf("  %-34s median %7.1f ms   p95 %7.1f ms   (%zu trials)\n", what,
                Percentile(ms, 50), Percentile(ms, 95), ms.size());
}

// The neighbour: another program on the desktop whose window reports a move every few
// ms, as a blinking caret or a progress window does, until it is ended.
int RunNeighbour() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KanopaBench.Neighbour";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, windowClass.lpszClassName,
                                  L"", WS_POPUP | WS_BORDER, 10, 10, 120, 40, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, window, OBJID_WINDOW, CHILDID_SELF);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 4, QS_ALLINPUT);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--neighbour") == 0) return RunNeighbour();
    const int trials = argc > 1 ? std::atoi(argv[1]) : 50;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    if (trials < 1 || seconds < 0) {
        std::fprintf(stderr, "usage: bench_viewer_events [trials] [seconds]\n");
        return 2;
    }
    const LatencyResults events = MeasureViewerLatencies(
        {.trials = trials, .dragSeconds = seconds, .neighbour = L"--neighbour"});
    const LatencyResults timer = MeasureViewerLatencies(
        {.trials = trials, .timerOnly = true, .dragSeconds = seconds, .neighbour = L"--neighbour"});
    for (const LatencyResults* run : {&events, &timer}) {
        if (!run->failure.empty()) {
            std::fprintf(stderr, "bench_viewer_events: %s\n", run->failure.c_str());
            return 1;
        }
    }
    std::printf("bench_viewer_events: folder window -> popup (events raised by the window's process)\n");
    PrintLine("to the front, window events:", events.foregroundMs);
    PrintLine("to the front, timer alone:", timer.foregroundMs);
    PrintLine("moved, window events:", events.moveMs);
    PrintLine("moved, timer alone:", timer.moveMs);
    if (seconds > 0) {
        std::printf("  viewer CPU in %% of one core, window events against timer alone:\n");
        std::printf("    %d s at rest, another program reporting moves every ~4 ms: %.2f %% / %.2f %%\n",
                    seconds, events.restCpuPercent, timer.restCpuPercent);
        std::printf("    %d s drag (a move and its event every ~4 ms): %.2f %% / %.2f %% "
                    "(popup seen at %d / %d new places)\n",
                    seconds, events.dragCpuPercent, timer.dragCpuPercent, events.dragPopupMoves,
                    timer.dragPopupMoves);
    }
    std::printf("  focus kept: %s, popup z-order kept: %s\n",
                events.focusKept && timer.focusKept ? "yes" : "NO",
                events.zOrderKept && timer.zOrderKept ? "yes" : "NO");
    return 0;
}
