#include "viewer/win32/tests/viewer_latency.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <optional>
#include <sstream>
#include <cstdlib>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/paths.h"
#include "common/win32/program_path.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "common/win32/win32_file_system.h"
#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/tests/shell_standin_testing.h"
#include "viewer/win32/viewer_names.h"

namespace kanopa::viewer::win32::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr RECT kFrame{100, 100, 900, 700};
// The memo sits 50 px in from the bottom right, 200 x 100.
constexpr Rect kPopupOverFrame{650, 550, 850, 650};

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Polls every millisecond (pumping this thread's windows' messages) until `condition`
// holds; the milliseconds it took, or nullopt after `timeoutMs`.
std::optional<double> TimeUntil(Clock::time_point start, const std::function<bool()>& condition,
                                double timeoutMs = 3000) {
    for (;;) {
        PumpMessages();
        if (condition()) return MsSince(start);
        if (MsSince(start) > timeoutMs) return std::nullopt;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

void Raise(DWORD event, HWND window) {
    NotifyWinEvent(event, window, OBJID_WINDOW, CHILDID_SELF);
}

// A pause before a trial, so that trials meet the program's timer at phases spread over
// its whole second (in steps of 379 ms, coprime to it); the events need only a short one.
DWORD PhaseMs(int trial, bool timerOnly) {
    return static_cast<DWORD>(trial * 379 % (timerOnly ? 1000 : 100));
}

double FileTimeMs(const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime) / 10000.0;
}

// The whole text of a file; the host's /proc files report no size, and the reader reads
// to the end whatever the size says.
std::string ReadWholeFile(const std::wstring& path) {
    std::string text;
    (void)Win32FileSystem().ReadFile(WideToUtf8(path), 1 << 20, text);
    return text;
}

// Under Wine, GetProcessTimes answers with the caller's own times whatever process it is
// asked about, so there the host's /proc is read instead: the process whose command line
// holds `mark`. Its user and system clock ticks (fields 14 and 15), at 100 a second.
std::optional<double> HostCpuMs(const std::string& mark) {
    WIN32_FIND_DATAW entry;
    const UniqueFind listing(FindFirstFileW(L"Z:\\proc\\*", &entry));
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

// The CPU time `process` used so far; `mark` finds it on Wine's host.
double ProcessCpuMs(HANDLE process, const std::string& mark) {
    if (RunningOnWine()) return HostCpuMs(mark).value_or(0);
    FILETIME created{}, ended{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

// The program, copied into a folder of its own (its log goes there), with or without
// its window events; ended with the object.
class Viewer {
public:
    Viewer(const kanopa::testing::TempFolder& folder, bool timerOnly) : m_folder(folder.Path()) {
        const std::string program = folder / "KanopaViewer.exe";
        if (!CopyFileW(Utf8ToWide(GetFolderPart(ProgramPath()) + "KanopaViewer.exe").c_str(),
                       Utf8ToWide(program).c_str(), FALSE)) {
            return;
        }
        SetEnvironmentVariableW(L"KANOPA_VIEWER_TIMER_ONLY", timerOnly ? L"1" : nullptr);
        StartedProgram started = StartProgram(program);
        m_process = std::move(started.process);
        m_id = started.id;
        SetEnvironmentVariableW(L"KANOPA_VIEWER_TIMER_ONLY", nullptr);
    }
    ~Viewer() {
        if (HWND main = FindWindowW(kMainWindowClass, nullptr)) {
            PostMessageW(main, WM_CLOSE, 0, 0);
        }
        if (m_process && WaitForSingleObject(m_process.Get(), 5000) != WAIT_OBJECT_0) {
            TerminateProcess(m_process.Get(), 1);
            WaitForSingleObject(m_process.Get(), 5000);
        }
    }
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    bool Started() const { return m_id != 0; }
    double CpuMs() const { return ProcessCpuMs(m_process.Get(), m_folder); }
    HWND Popup() const { return FindProcessWindow(m_id, kMemoWindowClass); }

private:
    std::string m_folder;  // on its command line, and no other's
    UniqueKernelHandle m_process;
    DWORD m_id = 0;
};

}  // namespace

double Percentile(std::vector<double> values, double percent) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

LatencyResults MeasureViewerLatencies(const LatencyOptions& options) {
    LatencyResults results;
    kanopa::testing::TempFolder folder;
    const std::string memoFolder = folder / "メモのあるフォルダ";
    kanopa::testing::MakeFolder(memoFolder);
    Win32FileSystem fs;
    Win32Clock clock;
    MemoRecord memo;
    SetDefaultMemoValues(memo);
    memo.anchorPosition = 9;
    memo.memoText = "移動に付いてくるメモ";
    if (!SaveMemo(fs, clock, MemoKey(), memoFolder + "\\note.epm", memo).ok) {
        results.failure = "the memo could not be saved";
        return results;
    }
    TestWindow folderWindow(L"メモのあるフォルダ", kFrame);
    TestWindow otherWindow(L"メモと関係のないウィンドウ", RECT{200, 150, 600, 450});
    StandInShell shell;
    if (!shell.Registered()) {
        results.failure = "the stand-in shell could not be registered";
        return results;
    }
    shell.Play({{.window = folderWindow.Get(), .folder = memoFolder + "\\"}});
    otherWindow.BringToFront();
    Raise(EVENT_SYSTEM_FOREGROUND, otherWindow.Get());

    Viewer viewer(folder, options.timerOnly);
    if (!viewer.Started() || !WaitUntil([] { return FindWindowW(kMainWindowClass, nullptr); })) {
        results.failure = "the program did not start";
        return results;
    }
    HWND folderHandle = folderWindow.Get();
    const auto popupAt = [&](const Rect& place) {
        HWND popup = viewer.Popup();
        return popup != nullptr && WindowRect(popup) == place;
    };

    // One trial first that is not counted: the program's first steps load the shell's
    // window list and the popup's window class.
    for (int trial = -1; trial < options.trials; ++trial) {
        otherWindow.BringToFront();
        Raise(EVENT_SYSTEM_FOREGROUND, otherWindow.Get());
        if (!TimeUntil(Clock::now(), [&] { return viewer.Popup() == nullptr; })) {
            results.failure = "the popup stayed over another window";
            return results;
        }
        Sleep(PhaseMs(trial + 1, options.timerOnly));
        SetWindowPos(folderHandle, nullptr, kFrame.left, kFrame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        const Clock::time_point start = Clock::now();
        SetForegroundWindow(folderHandle);
        Raise(EVENT_SYSTEM_FOREGROUND, folderHandle);
        const std::optional<double> shown = TimeUntil(start, [&] { return popupAt(kPopupOverFrame); });
        if (!shown) {
            results.failure = "no popup over the folder window brought to the front";
            return results;
        }
        if (trial >= 0) results.foregroundMs.push_back(*shown);
    }

    HWND popup = viewer.Popup();
    const HWND above = GetWindow(popup, GW_HWNDPREV);
    const HWND below = GetWindow(popup, GW_HWNDNEXT);
    for (int trial = 0; trial < options.trials; ++trial) {
        Sleep(PhaseMs(trial, options.timerOnly));
        const int dx = trial % 2 == 0 ? 40 : 0;  // there and back
        const Clock::time_point start = Clock::now();
        SetWindowPos(folderHandle, nullptr, kFrame.left + dx, kFrame.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Raise(EVENT_OBJECT_LOCATIONCHANGE, folderHandle);
        const Rect target{kPopupOverFrame.left + dx, kPopupOverFrame.top, kPopupOverFrame.right + dx,
                          kPopupOverFrame.bottom};
        const std::optional<double> moved = TimeUntil(start, [&] { return popupAt(target); });
        if (!moved) {
            results.failure = "the popup did not follow the folder window";
            return results;
        }
        results.moveMs.push_back(*moved);
        results.focusKept &= GetForegroundWindow() == folderHandle;
        results.zOrderKept &= viewer.Popup() == popup && GetWindow(popup, GW_HWNDPREV) == above &&
                              GetWindow(popup, GW_HWNDNEXT) == below;
    }

    if (options.dragSeconds > 0) {
        const double periodMs = options.dragSeconds * 1000.0;
        // At rest first, the popup over the folder window in front, while another program
        // moves something of its own every few ms, as a caret or a busy window does: the
        // viewer has only its timer to run.
        StartedProgram neighbour;
        if (!options.neighbour.empty()) {
            neighbour = StartProgram(ProgramPath(), options.neighbour);
            if (neighbour.id == 0 ||
                !WaitUntil([&] { return FindProcessWindow(neighbour.id, nullptr) != nullptr; })) {
                results.failure = "the neighbouring program did not start";
                return results;
            }
        }
        const double restBefore = viewer.CpuMs();
        const Clock::time_point restStart = Clock::now();
        while (MsSince(restStart) < periodMs) {
            PumpMessages();
            Sleep(4);
        }
        results.restCpuPercent = (viewer.CpuMs() - restBefore) / MsSince(restStart) * 100.0;
        if (neighbour.process) {
            TerminateProcess(neighbour.process.Get(), 0);
            WaitForSingleObject(neighbour.process.Get(), 5000);
        }

        // A drag as the system reports one: a small step and its event every few ms.
        const double dragBefore = viewer.CpuMs();
        const Clock::time_point dragStart = Clock::now();
        Rect last = WindowRect(popup);
        for (int step = 0; MsSince(dragStart) < periodMs; ++step) {
            const int dx = step % 200 < 100 ? step % 100 : 100 - step % 100;
            SetWindowPos(folderHandle, nullptr, kFrame.left + dx, kFrame.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Raise(EVENT_OBJECT_LOCATIONCHANGE, folderHandle);
            PumpMessages();
            const Rect now = WindowRect(popup);
            if (!(now == last)) ++results.dragPopupMoves;
            last = now;
            Sleep(4);
        }
        results.dragCpuPercent = (viewer.CpuMs() - dragBefore) / MsSince(dragStart) * 100.0;
    }
    return results;
}

}  // namespace kanopa::viewer::win32::testing
