// Start-up of Kanopa.exe to its first idle moment, against a plain editor of the system
// (notepad.exe) started the same way in the same run:
//   bench_editor_startup [runs] [--phases]
// (default 9 measured runs each, after one warm-up; --phases also prints, for every
// start, when the window was first seen and when the start ended)
// A start ends when the program's main window is visible, has nothing left to paint,
// the process has gone idle waiting for input, and its window answers a message. The
// two programs take turns, so both meet the same machine load. Kanopa runs from a
// folder of its own (a copy with its data files), so no run sees another's Config.txt
// beyond the first.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "common/win32/unique_handle.h"

namespace {

using Clock = std::chrono::steady_clock;

bool g_phases = false;  // --phases: each start's two moments on stderr

constexpr DWORD kStartTimeoutMs = 30000;
constexpr wchar_t kEditorClass[] = L"Kanopa.frmCreateMemo";
constexpr wchar_t kNotepadClass[] = L"Notepad";

struct Program {
    const wchar_t* name;
    std::wstring commandLine;
    std::wstring folder;     // working folder ("" : the driver's own)
    const wchar_t* windowClass;
    std::vector<double> milliseconds;
};

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring DriverFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return FolderOf(path);
        }
        path.resize(path.size() * 2);
    }
}

struct FindData {
    DWORD processId;
    const wchar_t* windowClass;
    HWND found;
    bool dialog;  // a message box came up instead
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam) {
    auto* data = reinterpret_cast<FindData*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != data->processId || !IsWindowVisible(window)) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    if (std::wcscmp(name, L"#32770") == 0) data->dialog = true;
    if (std::wcscmp(name, data->windowClass) != 0) return TRUE;
    data->found = window;
    return FALSE;
}

// Starts the program and returns the milliseconds to its first idle moment with the
// main window shown and painted; negative when it failed to get there.
double TimeOneStart(const Program& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = program.commandLine;
    const Clock::time_point start = Clock::now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        program.folder.empty() ? nullptr : program.folder.c_str(), &startup, &info)) {
        std::fwprintf(stderr, L"%ls: CreateProcessW failed (%lu)\n", program.name, GetLastError());
        return -1;
    }
    kanopa::UniqueKernelHandle process(info.hProcess);
    kanopa::UniqueKernelHandle thread(info.hThread);
    double elapsed = -1;
    double shown = -1;  // when the main window was first seen visible
    FindData data{info.dwProcessId, program.windowClass, nullptr, false};
    const Clock::time_point deadline = start + std::chrono::milliseconds(kStartTimeoutMs);
    while (Clock::now() < deadline) {
        if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) {
            std::fwprintf(stderr, L"%ls: ended during start-up\n", program.name);
            break;
        }
        data.found = nullptr;
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&data));
        if (data.dialog && data.found == nullptr) {
            std::fwprintf(stderr, L"%ls: showed a message box instead of its window\n", program.name);
            break;
        }
        if (data.found != nullptr && shown < 0) {
            shown = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        // Idle in its message loop (so nothing queued, not even a paint), nothing left
        // to paint, and answering.
        DWORD_PTR ignored = 0;
        if (data.found != nullptr && WaitForInputIdle(process.Get(), 0) == 0 &&
            !GetUpdateRect(data.found, nullptr, FALSE) &&
            SendMessageTimeoutW(data.found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored)) {
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        Sleep(1);
    }
    if (g_phases && elapsed >= 0) {
        std::fwprintf(stderr, L"  %-12ls window shown %7.1f ms, idle %7.1f ms\n", program.name, shown, elapsed);
    }
    if (elapsed < 0 && data.found == nullptr && !data.dialog) {
        std::fwprintf(stderr, L"%ls: no main window within %lu ms\n", program.name, kStartTimeoutMs);
    }
    // Both programs would ask before closing, or save settings: ended as a crash would.
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), 5000);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A folder of its own for the editor: the program and its two data files.
bool PrepareEditorFolder(const std::wstring& from, std::wstring& folder) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"kanopa-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    for (const wchar_t* name : {L"Kanopa.exe", L"DateTime.txt", L"FixedForm.txt"}) {
        if (!CopyFileW((from + name).c_str(), (folder + name).c_str(), FALSE)) {
            std::fwprintf(stderr, L"cannot copy %ls%ls (%lu)\n", from.c_str(), name, GetLastError());
            return false;
        }
    }
    return true;
}

void RemoveEditorFolder(const std::wstring& folder) {
    for (const wchar_t* name : {L"Kanopa.exe", L"DateTime.txt", L"FixedForm.txt", L"Config.txt", L"Log.txt"}) {
        DeleteFileW((folder + name).c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int runs = 9;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--phases") == 0) {
            g_phases = true;
        } else {
            runs = std::max(1, _wtoi(argv[i]));
        }
    }
    std::wstring folder;
    if (!PrepareEditorFolder(DriverFolder(), folder)) return 1;
    Program programs[] = {
        {L"Kanopa.exe", L"\"" + folder + L"Kanopa.exe\"", folder, kEditorClass, {}},
        {L"notepad.exe", L"notepad.exe", L"", kNotepadClass, {}},
    };
    bool failed = false;
    for (int run = 0; run <= runs && !failed; ++run) {
        for (Program& program : programs) {
            const double ms = TimeOneStart(program);
            if (ms < 0) {
                failed = true;
                break;
            }
            if (run > 0) program.milliseconds.push_back(ms);  // run 0 warms up
        }
    }
    RemoveEditorFolder(folder);
    if (failed) return 1;
    std::wprintf(L"start-up to first idle, median of %d runs each (after one warm-up)\n", runs);
    for (const Program& program : programs) {
        const auto [low, high] = std::minmax_element(program.milliseconds.begin(), program.milliseconds.end());
        std::wprintf(L"  %-12ls %8.1f ms   (min %.1f, max %.1f)\n", program.name,
                     Median(program.milliseconds), *low, *high);
    }
    // The medians are the measure; on a loaded machine the fastest starts show the
    // programs' own cost more steadily.
    const double ratio = Median(programs[0].milliseconds) / Median(programs[1].milliseconds);
    const double fastest = *std::min_element(programs[0].milliseconds.begin(), programs[0].milliseconds.end()) /
                           *std::min_element(programs[1].milliseconds.begin(), programs[1].milliseconds.end());
    std::wprintf(L"  ratio Kanopa/notepad %.2f of the medians (goal <= 1.50), %.2f of the fastest\n",
                 ratio, fastest);
    return 0;
}
