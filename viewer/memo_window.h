#pragma once
// Which memo belongs in front: is the foreground window a folder window, not
// minimised and not showing a web page, whose folder holds a memo file?
#include <string>

#include "common/status.h"
#include "viewer/memo_file_finder.h"
#include "viewer/platform.h"

namespace kanopa::viewer {

// The folder window with a memo that the search last named.
struct FoundMemo {
    WindowId folderWindow = 0;  // 0 after a folder window without a memo was in front
    std::string folderPath;     // ends in "\"; "" with folderWindow 0
    std::string memoFileName;   // no folder part
    Rect folderRect;            // screen pixels
    bool operator==(const FoundMemo&) const = default;
};

// Sets `found` true when the foreground window is such a folder window; `memo` then
// names it: folderWindow, folderPath, memoFileName and the window's rectangle (the
// visible frame of a normal window, the whole monitor of a maximised one; any other
// show state keeps the previous rectangle). A folder window in front without a memo,
// without a file-system folder, or without a tab whose view can be read clears
// folderWindow and folderPath. Of several shell windows sharing the foreground handle
// (Explorer tabs) only the active tab counts. Any other foreground window, a minimised
// one or a web page leaves `memo` as it was.
// An error when the search failed (the shell's window list, the window's placement, the
// folder listing); `found` is then false and what was written into `memo` stays.
// The finder keeps a watch only on the folder of the window in front: any other
// outcome releases it.
Status GetMemoWindow(ShellWindowSource& shellWindows, WindowSystem& windows,
                     MemoFileFinder& finder, FoundMemo& memo, bool& found);

}  // namespace kanopa::viewer
