// Per-tick cost of asking whether the folder window in front holds a memo, for a
// folder of 100,000 files without one: listed on every tick, against listed once and
// then answered from the cache while an inotify change watch stays quiet.
//
//   bench_viewer_tick [file count]
//
// Creates its folder under $TMPDIR (or /tmp) and removes it again.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/posix/posix_file_system.h"
#include "viewer/memo_file_finder.h"
#include "viewer/memo_window.h"
#include "viewer/posix/inotify_change_watcher.h"

namespace {

using namespace kanopa;
using namespace kanopa::viewer;
using Clock = std::chrono::steady_clock;

constexpr WindowId kFolderWindow = 0x10042;

class OneFolderWindow final : public ShellWindowSource {
public:
    explicit OneFolderWindow(std::string folder) : m_folder(std::move(folder)) {}
    Status Enumerate(std::vector<ShellWindowInfo>& windows) override {
        ShellWindowInfo info;
        info.window = kFolderWindow;
        info.tab = TabState::Active;
        info.folderPath = m_folder;
        windows.assign(1, info);
        return Status::Ok();
    }

private:
    std::string m_folder;
};

class FolderWindowInFront final : public WindowSystem {
public:
    WindowId Foreground() override { return kFolderWindow; }
    bool Exists(WindowId window) override { return window == kFolderWindow; }
    std::optional<WindowPlacementInfo> Placement(WindowId) override {
        WindowPlacementInfo info;
        info.frame = {100, 100, 900, 700};
        return info;
    }
};

// Removes the folder however the run ends (short of a signal).
class BenchFolder {
public:
    BenchFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kanopa-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    bool Create(const std::string& name) const {
        const int fd = ::open((m_path + "/" + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        ::close(fd);
        return true;
    }

private:
    std::string m_path;
};

struct Measurement {
    double secondsPerTick = 0;
    int ticks = 0;
    bool wronglyFound = false;
};

// Runs ticks for at least `budget` (and at least `minTicks`), after one warm-up tick.
Measurement Measure(FileSystem& fs, FolderChangeWatcher* watcher, const std::string& folder,
                    std::chrono::duration<double> budget, int minTicks) {
    OneFolderWindow shell(folder);
    FolderWindowInFront windows;
    MemoFileFinder finder(fs, watcher);
    FoundMemo memo;
    Measurement result;
    (void)GetMemoWindow(shell, windows, finder, memo, result.wronglyFound);
    const auto start = Clock::now();
    auto now = start;
    while (result.ticks < minTicks || now - start < budget) {
        bool found = false;
        (void)GetMemoWindow(shell, windows, finder, memo, found);
        result.wronglyFound |= found;
        ++result.ticks;
        now = Clock::now();
    }
    result.secondsPerTick = std::chrono::duration<double>(now - start).count() / result.ticks;
    return result;
}

std::string Pretty(double seconds) {
    char text[32];
    if (seconds >= 1e-3) {
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const int fileCount = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (fileCount < 0) {
        std::fprintf(stderr, "usage: bench_viewer_tick [file count]\n");
        return 2;
    }

    BenchFolder folder;
    for (int i = 0; i < fileCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "file-%06d.txt", i);
        if (!folder.Create(name)) {
            std::perror("creating bench files");
            return 1;
        }
    }
    const std::string path = folder.Path() + "/";
    PosixFileSystem fs;
    InotifyChangeWatcher watcher;

    const Measurement listing = Measure(fs, nullptr, path, std::chrono::seconds(2), 5);
    const Measurement cached = Measure(fs, &watcher, path, std::chrono::seconds(1), 1000);
    if (listing.wronglyFound || cached.wronglyFound) {
        std::fprintf(stderr, "bench_viewer_tick: found a memo in a folder without one\n");
        return 1;
    }

    // The cache must not hide a memo saved while the window is in front.
    OneFolderWindow shell(path);
    FolderWindowInFront windows;
    MemoFileFinder finder(fs, &watcher);
    FoundMemo memo;
    bool found = false;
    (void)GetMemoWindow(shell, windows, finder, memo, found);
    folder.Create("note.epm");
    (void)GetMemoWindow(shell, windows, finder, memo, found);
    if (!found || memo.memoFileName != "note.epm") {
        std::fprintf(stderr, "bench_viewer_tick: memo saved into the watched folder not found\n");
        return 1;
    }

    std::printf("bench_viewer_tick: folder window in front, folder of %d files without a memo\n",
                fileCount);
    std::printf("  without change watch (lists every tick): %s per tick (%d ticks)\n",
                Pretty(listing.secondsPerTick).c_str(), listing.ticks);
    std::printf("  with change watch (cached answer):       %s per tick (%d ticks)\n",
                Pretty(cached.secondsPerTick).c_str(), cached.ticks);
    std::printf("  ratio: %.0fx\n", listing.secondsPerTick / cached.secondsPerTick);
    return 0;
}
