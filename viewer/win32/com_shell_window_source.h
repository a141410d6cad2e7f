#pragma once
// The shell's folder windows through its COM interfaces: IShellWindows lists every
// Explorer window (and, on Windows 11, every tab); each item is read as an
// IWebBrowserApp and, through its shell browser, the folder view it shows.
// The thread must have entered a single-threaded apartment.
#include <windows.h>
#include <oaidl.h>
#include <shobjidl.h>

#include <vector>

#include "common/status.h"
#include "viewer/platform.h"

namespace kanopa::viewer::win32 {

class ComShellWindowSource final : public ShellWindowSource {
public:
    Status Enumerate(std::vector<ShellWindowInfo>& windows) override;
};

// Reads one item of the shell windows collection; false when it is no browser window
// or its window handle cannot be read (a window that is closing). A window whose view
// cannot be read is reported with its tab state Unknown.
bool ReadShellWindow(IDispatch* item, ShellWindowInfo& info);

// What a window's active shell view says about the folder it shows.
enum class FolderViewResult {
    Unavailable,   // no folder view, or it cannot tell: ask the location URL instead
    FileSystem,    // info.folderPath holds the folder, ending in "\"
    NotFileSystem  // a folder of the shell with none on disk (This PC, a library)
};

// Reads the tab state (the view's window is visible only in the selected tab; a view
// without a window leaves it Unknown) and folderPath from a shell view.
FolderViewResult ReadShellView(IShellView* view, ShellWindowInfo& info);

}  // namespace kanopa::viewer::win32
