// The Windows folder walk (no window) against `cmd /c dir /s /b ROOT\*.epm`, in the same
// run on the same tree: the one bench_walk made natively, passed as a Windows path.
//   bench_walk_win32.exe ROOT [RUNS]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "editor/tools/bench/walk_tree.h"
#include "editor/tools/file_search.h"

namespace {

using kanopa::bench::Median;

using Clock = std::chrono::steady_clock;

// Runs cmd's recursive listing with its output thrown away; false when it could not run.
bool RunDir(const std::wstring& root) {
    std::wstring command = L"cmd.exe /c dir /s /b \"" + root + L"\\*.epm\" > NUL";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return false;
    const kanopa::UniqueKernelHandle processHandle(process.hProcess), thread(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: bench_walk_win32 ROOT [RUNS]\n", stderr);
        return 2;
    }
    const std::wstring root = argv[1];
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    kanopa::Win32FileSystem fs;
    std::vector<double> walk, dir;
    std::size_t found = 0;
    for (int run = 0; run <= runs; ++run) {  // run 0 only warms the cache
        auto start = Clock::now();
        found = kanopa::editor::SearchFiles(fs, kanopa::WideToUtf8(root), "*.EPM", true, nullptr).size();
        const double w = std::chrono::duration<double>(Clock::now() - start).count();
        start = Clock::now();
        if (!RunDir(root)) {
            std::fputs("cmd.exe could not be started\n", stderr);
            return 1;
        }
        const double d = std::chrono::duration<double>(Clock::now() - start).count();
        if (run > 0) {
            walk.push_back(w);
            dir.push_back(d);
        }
    }
    const double w = Median(walk), d = Median(dir);
    std::printf("SearchFiles (Win32)          %8.1f ms  %zu memo files\n", w * 1e3, found);
    std::printf("cmd /c dir /s /b ROOT\\*.epm  %8.1f ms\n", d * 1e3);
    std::printf("ratio walk / dir             %8.2f  (goal <= 1.5)\n", w / d);
    return 0;
}
