#pragma once
// A small desktop for the viewer's logic: folder windows, memo files, the popup and a
// log, wired to one ViewerState, MemoFileFinder and PopupCycle.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/log.h"
#include "common/memo_file.h"
#include "common/services.h"
#include "viewer/memo_file_finder.h"
#include "viewer/memo_window.h"
#include "viewer/popup_cycle.h"
#include "viewer/tests/viewer_fakes.h"
#include "viewer/viewer_state.h"

namespace kanopa::viewer::testing {

class ViewerWorld : public ::testing::Test {
protected:
    ViewerWorld() { fs.NotifyChangesTo(&watcher); }

    // A normal folder window showing `folder`, with its frame; not yet in front.
    void AddFolderWindow(WindowId window, const std::string& folder, Rect frame = kFrame) {
        ShellWindowInfo info;
        info.window = window;
        info.folderPath = folder;
        shell.list.push_back(info);
        WindowPlacementInfo placement;
        placement.show = ShowState::Normal;
        placement.frame = frame;
        placement.monitor = kMonitor;
        windows.windows[window] = placement;
    }
    void Navigate(WindowId window, const std::string& folder) {
        shell.Find(window)->folderPath = folder;
    }
    void Front(WindowId window) { windows.foreground = window; }
    void SetShow(WindowId window, ShowState show) { windows.windows[window].show = show; }
    void Move(WindowId window, Rect frame) { windows.windows[window].frame = frame; }
    void CloseWindow(WindowId window) {
        windows.windows.erase(window);
        std::erase_if(shell.list, [&](const ShellWindowInfo& info) { return info.window == window; });
    }

    // Writes a memo file as the editor would: default settings, then `adjust`.
    void WriteMemo(const std::string& path, const std::string& text,
                   const std::function<void(MemoRecord&)>& adjust = {}) {
        MemoRecord memo;
        SetDefaultMemoValues(memo);
        memo.layoutMode = 1;
        memo.anchorPosition = 1;
        memo.memoText = text;
        if (adjust) adjust(memo);
        ASSERT_TRUE(SaveMemo(fs, clock, kViewerMemoKey, path, memo).ok) << path;
    }

    MemoRecord& Memo() { return state.CurrentMemo(); }

    static constexpr Rect kFrame{100, 100, 900, 700};
    static constexpr Rect kMonitor{0, 0, 1920, 1080};

    FixedClock clock;
    MemFileSystem fs;
    FakeChangeWatcher watcher;
    FakeShellWindows shell;
    FakeWindowSystem windows;
    ViewerState state;
    FakePopup popup{state};
    MemoFileFinder finder{fs, &watcher};
    PopupCycle cycle{shell, windows, finder, fs, popup, state};
    RecordingLogSink log;
    ScopedLogSink scopedLog{log};
};

}  // namespace kanopa::viewer::testing
