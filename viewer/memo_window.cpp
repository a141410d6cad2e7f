#include "viewer/memo_window.h"

#include <vector>

namespace kanopa::viewer {
namespace {

void ForgetFolderWindow(FoundMemo& memo) {
    memo.folderWindow = 0;
    memo.folderPath.clear();
}

// GetMemoWindow without the finder's release; `listed` tells whether the folder in
// front was handed to the finder.
Status Search(ShellWindowSource& shellWindows, WindowSystem& windows, MemoFileFinder& finder,
              FoundMemo& memo, bool& found, bool& listed) {
    const WindowId foreground = windows.Foreground();
    if (foreground == 0) return Status::Ok();

    std::vector<ShellWindowInfo> shellList;
    if (Status status = shellWindows.Enumerate(shellList); !status) return status;

    bool activeTabSeen = false;
    bool unreadableTabSeen = false;
    for (const ShellWindowInfo& shell : shellList) {
        if (shell.window != foreground || shell.isWebPage) continue;
        if (shell.tab == TabState::Unknown) unreadableTabSeen = true;
        if (shell.tab != TabState::Active) continue;
        activeTabSeen = true;

        const std::optional<WindowPlacementInfo> placement = windows.Placement(shell.window);
        if (!placement) return Status::Fail("The folder window's placement cannot be read");
        if (placement->show == ShowState::Minimized) continue;

        // This PC, Control Panel and the like: a folder window, but no folder to list.
        if (shell.folderPath.empty()) {
            ForgetFolderWindow(memo);
            continue;
        }

        listed = true;
        std::string memoFileName;
        if (Status status = finder.Find(shell.folderPath, memoFileName); !status) {
            return status;
        }
        if (memoFileName.empty()) {
            ForgetFolderWindow(memo);
            continue;
        }

        memo.memoFileName = memoFileName;
        memo.folderWindow = shell.window;
        memo.folderPath = shell.folderPath;
        if (placement->show == ShowState::Normal) {
            memo.folderRect = placement->frame;
        } else if (placement->show == ShowState::Maximized) {
            memo.folderRect = placement->monitor;
        }
        found = true;
        return Status::Ok();
    }
    // A folder window whose shown tab cannot be told from the others may show any of
    // their folders: it shows no memo.
    if (unreadableTabSeen && !activeTabSeen) ForgetFolderWindow(memo);
    return Status::Ok();
}

}  // namespace

Status GetMemoWindow(ShellWindowSource& shellWindows, WindowSystem& windows,
                     MemoFileFinder& finder, FoundMemo& memo, bool& found) {
    found = false;
    bool listed = false;
    Status status = Search(shellWindows, windows, finder, memo, found, listed);
    if (!listed) finder.Release();
    return status;
}

}  // namespace kanopa::viewer
