// From a folder window's coming to the front, and from its move, to the popup shown or
// moved: the program driven by window events against the same program with its timer
// alone, in one run; then the program's CPU time at rest beside a busy neighbour, and
// over a continuous drag.
//
//   bench_viewer_events [trials] [seconds of each CPU period]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/win32/program_path.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/tests/viewer_latency.h"

using namespace kanopa::viewer::win32::testing;

namespace {

using Clock = LatencyClock;

// The value below which `percent` % of `values` lie (nearest rank).
double Percentile(std::vector<double> values, double percent) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

void PrintLine(const char* what, const std::vector<double>& ms) {
    std::printf("  %-34s median %7.1f ms   p95 %7.1f ms   (%zu trials)\n", what,
                Percentile(ms, 50), Percentile(ms, 95), ms.size());
}

double FileTimeMs(const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime) / 10000.0;
}

// The whole text of a file; the host's /proc files report no size, and the reader reads
// to the end whatever the size says.
std::string ReadWholeFile(const std::wstring& path) {
    std::string text;
    (void)kanopa::Win32FileSystem().ReadFile(kanopa::WideToUtf8(path), 1 << 20, text);
    return text;
}

// Under Wine, GetProcessTimes answers with the caller's own times whatever process it is
// asked about, so there the host's /proc is read instead: the process whose command line
// holds `mark`. Its user and system clock ticks (fields 14 and 15), at 100 a second.
std::optional<double> HostCpuMs(const std::string& mark) {
    WIN32_FIND_DATAW entry;
    const kanopa::UniqueFind listing(FindFirstFileW(L"Z:\\proc\\*", &entry));
    if (!listing) return std::nullopt;
    do {
        const std::wstring name = entry.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const std::wstring folder = L"Z:\\proc\\" + name + L"\\";
        if (ReadWholeFile(folder + L"cmdline").find(mark) == std::string::npos) continue;
        const std::string stat = ReadWholeFile(folder + L"stat");
        const std::size_t end = stat.rfind(')');
        if (end == std::string::npos) return std::nullopt;
        // After the name: the state is field 3, so fields 14 and 15 are the 12th and 13th.
        std::istringstream fields(stat.substr(end + 1));
        std::string field;
        double ticks = 0;
        for (int index = 3; index <= 15 && fields >> field; ++index) {
            if (index >= 14) ticks += std::strtod(field.c_str(), nullptr);
        }
        return ticks * 10.0;
    } while (FindNextFileW(listing.Get(), &entry));
    return std::nullopt;
}

// The CPU time the program used so far.
double ProcessCpuMs(const LatencyScene& scene) {
    if (RunningOnWine()) return HostCpuMs(scene.mark).value_or(0);
    FILETIME created{}, ended{}, kernel{}, user{};
    if (!GetProcessTimes(scene.process, &created, &ended, &kernel, &user)) return 0;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

// Each period is measured this often: a virtual machine whose host is busy runs slowly
// and charges its processes the time it stood still, which can multiply one period's
// figure several times over. The share of time the host took is shown beside each.
constexpr int kCpuPeriods = 3;

// The host's clock ticks taken from this machine, and all ticks, from the first line of
// /proc/stat (steal is its eighth figure); nullopt where there is none to read.
struct HostTicks {
    double steal = 0, total = 0;
};

std::optional<HostTicks> ReadHostTicks() {
    if (!RunningOnWine()) return std::nullopt;
    std::istringstream line(ReadWholeFile(L"Z:\\proc\\stat"));
    std::string name;
    if (!(line >> name) || name != "cpu") return std::nullopt;
    HostTicks ticks;
    double value = 0;
    for (int index = 1; index <= 8 && line >> value; ++index) {
        ticks.total += value;
        if (index == 8) ticks.steal = value;
    }
    return ticks;
}

// A period's CPU share, and the share of the machine's time the host took meanwhile.
struct Period {
    double percent = 0;
    std::optional<double> stealPercent;
};

class PeriodClock {
public:
    explicit PeriodClock(const LatencyScene& scene)
        : m_scene(scene), m_cpuMs(ProcessCpuMs(scene)), m_host(ReadHostTicks()) {}
    Period Read() const {
        Period period{(ProcessCpuMs(m_scene) - m_cpuMs) / MsSince(m_start) * 100.0, std::nullopt};
        const std::optional<HostTicks> host = ReadHostTicks();
        if (m_host && host && host->total > m_host->total) {
            period.stealPercent = (host->steal - m_host->steal) / (host->total - m_host->total) * 100.0;
        }
        return period;
    }

private:
    const LatencyScene& m_scene;
    double m_cpuMs;
    std::optional<HostTicks> m_host;
    Clock::time_point m_start = Clock::now();
};

struct CpuResults {
    std::string failure;
    std::vector<Period> rest;  // the program's CPU time at rest, % of one core
    std::vector<Period> drag;  // the same over the drag
    int dragPopupMoves = 0;           // how often the popup was seen at a new place in the last
};

// "median (each period [the host's share])".
std::string Spread(const std::vector<Period>& periods) {
    std::vector<double> percents;
    for (const Period& period : periods) percents.push_back(period.percent);
    char number[48];
    std::snprintf(number, sizeof number, "%.2f %%", Percentile(percents, 50));
    std::string text = number;
    for (std::size_t i = 0; i < periods.size(); ++i) {
        std::snprintf(number, sizeof number, "%s%.2f", i == 0 ? " (" : ", ", periods[i].percent);
        text += number;
        if (periods[i].stealPercent) {
            std::snprintf(number, sizeof number, " [host %.0f %%]", *periods[i].stealPercent);
            text += number;
        }
    }
    return text + ")";
}

// At rest first, the popup over the folder window in front, while another program moves
// something of its own every few ms, as a caret or a busy window does: the viewer has
// only its timer to run. Then a drag as the system reports one: a small step and its
// event every few ms.
void MeasureCpuOnce(const LatencyScene& scene, int seconds, CpuResults& results) {
    const double periodMs = seconds * 1000.0;
    {
        const kanopa::testing::RunningProgram neighbour(kanopa::ProgramPath(), L"--neighbour");
        if (!neighbour.Started() || !kanopa::testing::WaitUntil([&] {
                return kanopa::testing::FindProcessWindow(neighbour.Id(), nullptr) != nullptr;
            })) {
            results.failure = "the neighbouring program did not start";
            return;
        }
        const PeriodClock period(scene);
        const Clock::time_point start = Clock::now();
        while (MsSince(start) < periodMs) {
            kanopa::testing::PumpMessages();
            Sleep(4);
        }
        results.rest.push_back(period.Read());
    }
    const PeriodClock period(scene);
    const Clock::time_point start = Clock::now();
    kanopa::viewer::Rect last = WindowRect(scene.popup);
    results.dragPopupMoves = 0;
    for (int step = 0; MsSince(start) < periodMs; ++step) {
        const int dx = step % 200 < 100 ? step % 100 : 100 - step % 100;
        MoveAndRaise(scene.folderWindow, scene.frame, dx);
        kanopa::testing::PumpMessages();
        const kanopa::viewer::Rect now = WindowRect(scene.popup);
        if (!(now == last)) ++results.dragPopupMoves;
        last = now;
        Sleep(4);
    }
    results.drag.push_back(period.Read());
}

CpuResults MeasureCpu(const LatencyScene& scene, int seconds) {
    CpuResults results;
    for (int period = 0; period < kCpuPeriods && results.failure.empty(); ++period) {
        MeasureCpuOnce(scene, seconds, results);
    }
    return results;
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
    CpuResults eventsCpu, timerCpu;
    const auto cpuInto = [seconds](CpuResults& cpu) {
        return [seconds, &cpu](const LatencyScene& scene) {
            if (seconds > 0) cpu = MeasureCpu(scene, seconds);
        };
    };
    const LatencyResults events = MeasureViewerLatencies({.trials = trials, .afterTrials = cpuInto(eventsCpu)});
    const LatencyResults timer =
        MeasureViewerLatencies({.trials = trials, .timerOnly = true, .afterTrials = cpuInto(timerCpu)});
    for (const std::string* failure : std::initializer_list<const std::string*>{&events.failure, &timer.failure, &eventsCpu.failure, &timerCpu.failure}) {
        if (!failure->empty()) {
            std::fprintf(stderr, "bench_viewer_events: %s\n", failure->c_str());
            return 1;
        }
    }
    std::printf("bench_viewer_events: folder window -> popup (events raised by the window's process)\n");
    PrintLine("to the front, window events:", events.foregroundMs);
    PrintLine("to the front, timer alone:", timer.foregroundMs);
    PrintLine("moved, window events:", events.moveMs);
    PrintLine("moved, timer alone:", timer.moveMs);
    if (seconds > 0) {
        std::printf("  viewer CPU in %% of one core, median of %d periods (each period [share of the "
                    "machine's time its host took]), window events against timer alone:\n", kCpuPeriods);
        std::printf("    %d s at rest, another program reporting moves every ~4 ms: %s / %s\n",
                    seconds, Spread(eventsCpu.rest).c_str(), Spread(timerCpu.rest).c_str());
        std::printf("    %d s drag (a move and its event every ~4 ms): %s / %s\n", seconds,
                    Spread(eventsCpu.drag).c_str(), Spread(timerCpu.drag).c_str());
        std::printf("      (popup seen at %d / %d new places in the last drag)\n",
                    eventsCpu.dragPopupMoves, timerCpu.dragPopupMoves);
    }
    std::printf("  focus kept: %s, popup z-order kept: %s\n",
                events.focusKept && timer.focusKept ? "yes" : "NO",
                events.zOrderKept && timer.zOrderKept ? "yes" : "NO");
    return 0;
}
