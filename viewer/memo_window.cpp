#include "viewer/memo_window.h"

#include <string>
#include <vector>

namespace kanopa::viewer {
namespace {

void ForgetFolderWindow(MemoRecord& memo) {
    memo.folderWindow = 0;
    memo.folderPath.clear();
    memo.popupWindow = 0;
}

void SetFolderRect(MemoRecord& memo, const Rect& rect) {
    memo.folderLeft = rect.left;
    memo.folderTop = rect.top;
    memo.folderRight = rect.right;
    memo.folderBottom = rect.bottom;
}

}  // namespace

bool GetMemoWindow(ShellWindowSource& shellWindows, WindowSystem& windows,
                   MemoFileFinder& finder, MemoRecord& currentMemo) {
    const WindowId foreground = windows.Foreground();
    if (foreground == 0) return false;

    std::vector<ShellWindowInfo> shellList;
    if (!shellWindows.Enumerate(shellList)) return false;

    for (const ShellWindowInfo& shell : shellList) {
        if (shell.window != foreground || !shell.isActiveTab || shell.isWebPage) continue;

        const std::optional<WindowPlacementInfo> placement = windows.Placement(shell.window);
        if (!placement) return false;
        if (placement->show == ShowState::Minimized) continue;

        // This PC, Control Panel and the like: a folder window, but no folder to list.
        if (shell.folderPath.empty()) {
            ForgetFolderWindow(currentMemo);
            continue;
        }

        std::string memoFileName;
        if (!finder.Find(shell.folderPath, memoFileName)) return false;
        if (memoFileName.empty()) {
            ForgetFolderWindow(currentMemo);
            continue;
        }

        currentMemo.memoFileName = memoFileName;
        currentMemo.folderWindow = shell.window;
        currentMemo.folderPath = shell.folderPath;
        if (placement->show == ShowState::Normal) {
            SetFolderRect(currentMemo, placement->frame);
        } else if (placement->show == ShowState::Maximized) {
            SetFolderRect(currentMemo, placement->monitor);
        }
        return true;
    }
    return false;
}

}  // namespace kanopa::viewer
