// From a folder window's coming to the front, and from its move, to the popup shown or
// moved: the program driven by window events against the same program with its timer
// alone, in one run; then the program's CPU time over a continuous drag.
//
//   bench_viewer_events [trials] [drag seconds]
#include <cstdio>
#include <cstdlib>

#include "viewer/win32/tests/viewer_latency.h"

using namespace kanopa::viewer::win32::testing;

namespace {

void PrintLine(const char* what, const std::vector<double>& ms) {
    std::printf("  %-34s median %7.1f ms   p95 %7.1f ms   (%zu trials)\n", what,
                Percentile(ms, 50), Percentile(ms, 95), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int trials = argc > 1 ? std::atoi(argv[1]) : 50;
    const int dragSeconds = argc > 2 ? std::atoi(argv[2]) : 10;
    if (trials < 1 || dragSeconds < 0) {
        std::fprintf(stderr, "usage: bench_viewer_events [trials] [drag seconds]\n");
        return 2;
    }
    const LatencyResults events =
        MeasureViewerLatencies({.trials = trials, .dragSeconds = dragSeconds});
    const LatencyResults timer =
        MeasureViewerLatencies({.trials = trials, .timerOnly = true, .dragSeconds = dragSeconds});
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
    if (dragSeconds > 0) {
        std::printf("  %d s drag (a move and its event every ~4 ms), viewer CPU in %% of one core:\n"
                    "    window events %.2f %% (popup seen at %d new places), "
                    "timer alone %.2f %% (%d)\n",
                    dragSeconds, events.dragCpuPercent, events.dragPopupMoves,
                    timer.dragCpuPercent, timer.dragPopupMoves);
    }
    std::printf("  focus kept: %s, popup z-order kept: %s\n",
                events.focusKept && timer.focusKept ? "yes" : "NO",
                events.zOrderKept && timer.zOrderKept ? "yes" : "NO");
    return 0;
}
