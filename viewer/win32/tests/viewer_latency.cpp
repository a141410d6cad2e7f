#include "viewer/win32/tests/viewer_latency.h"

#include <chrono>
#include <functional>
#include <optional>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/paths.h"
#include "common/win32/program_path.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "common/win32/win32_file_system.h"
#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/tests/shell_standin_testing.h"
#include "viewer/win32/viewer_names.h"

namespace kanopa::viewer::win32::testing {
namespace {

using Clock = LatencyClock;
constexpr RECT kFrame{100, 100, 900, 700};
// The memo sits 50 px in from the bottom right, 200 x 100.
constexpr Rect kPopupOverFrame{650, 550, 850, 650};

void Raise(DWORD event, HWND window) {
    NotifyWinEvent(event, window, OBJID_WINDOW, CHILDID_SELF);
}

// A pause before a trial, so that trials meet the program's timer at phases spread over
// its whole second (in steps of 379 ms, coprime to it); the events need only a short one.
DWORD PhaseMs(int trial, bool timerOnly) {
    return static_cast<DWORD>(trial * 379 % (timerOnly ? 1000 : 100));
}

// The program, copied into a folder of its own (its log goes there), with or without
// its window events; asked to end with the object, and ended when it does not.
class Viewer {
public:
    Viewer(const kanopa::testing::TempFolder& folder, bool timerOnly)
        : m_folder(folder.Path()), m_program(CopiedFor(folder, timerOnly)) {
        SetEnvironmentVariableW(L"KANOPA_VIEWER_TIMER_ONLY", nullptr);
    }
    ~Viewer() {
        if (HWND main = FindWindowW(kMainWindowClass, nullptr)) PostMessageW(main, WM_CLOSE, 0, 0);
        WaitForSingleObject(m_program.Process(), 5000);
    }
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    bool Started() const { return m_program.Started(); }
    LatencyScene Scene(HWND folderWindow, RECT frame) const {
        return {m_program.Process(), m_folder, folderWindow, frame, Popup()};
    }
    HWND Popup() const { return FindProcessWindow(m_program.Id(), kMemoWindowClass); }

private:
    // The copy to start, the choice of events in the environment it inherits.
    static std::string CopiedFor(const kanopa::testing::TempFolder& folder, bool timerOnly) {
        const std::string program = folder / "KanopaViewer.exe";
        CopyFileW(Utf8ToWide(GetFolderPart(ProgramPath()) + "KanopaViewer.exe").c_str(),
                  Utf8ToWide(program).c_str(), FALSE);
        SetEnvironmentVariableW(L"KANOPA_VIEWER_TIMER_ONLY", timerOnly ? L"1" : nullptr);
        return program;
    }

    std::string m_folder;  // on its command line, and no other's
    RunningProgram m_program;
};

}  // namespace

double MsSince(LatencyClock::time_point start) {
    return std::chrono::duration<double, std::milli>(LatencyClock::now() - start).count();
}

std::optional<double> TimeUntil(LatencyClock::time_point start,
                                const std::function<bool()>& condition, double timeoutMs) {
    for (;;) {
        PumpMessages();
        if (condition()) return MsSince(start);
        if (MsSince(start) > timeoutMs) return std::nullopt;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

void MoveAndRaise(HWND window, const RECT& frame, int dx) {
    SetWindowPos(window, nullptr, frame.left + dx, frame.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Raise(EVENT_OBJECT_LOCATIONCHANGE, window);
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
        MoveAndRaise(folderHandle, kFrame, dx);
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

    if (options.afterTrials) options.afterTrials(viewer.Scene(folderHandle, kFrame));
    return results;
}

}  // namespace kanopa::viewer::win32::testing
