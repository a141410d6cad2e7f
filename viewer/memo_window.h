#pragma once
// Which memo belongs in front: is the foreground window a folder window, not
// minimised and not showing a web page, whose folder holds a memo file?
#include "common/memo_record.h"
#include "viewer/memo_file_finder.h"
#include "viewer/platform.h"

namespace kanopa::viewer {

// True when the foreground window is such a folder window; `currentMemo` then names it:
// folderWindow, folderPath, memoFileName and the window's rectangle (the visible frame
// of a normal window, the whole monitor of a maximised one; any other show state keeps
// the previous rectangle). A folder window in front without a memo, or without a
// file-system folder at all, clears folderWindow, folderPath and popupWindow.
// Of several shell windows sharing the foreground handle (Explorer tabs) only the
// active tab counts. Any other foreground window, a minimised one or a web page leaves
// `currentMemo` as it was; so does a failure (false, with what was written kept).
bool GetMemoWindow(ShellWindowSource& shellWindows, WindowSystem& windows,
                   MemoFileFinder& finder, MemoRecord& currentMemo);

}  // namespace kanopa::viewer
