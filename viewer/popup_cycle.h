#pragma once
// The viewer's once-a-second pass: show the memo of the folder window in front, let the
// popup follow that window, and take it away when another window comes to the front,
// the folder window is minimised or closed, or the user closed that memo.
#include "common/file_system.h"
#include "viewer/memo_file_finder.h"
#include "viewer/platform.h"
#include "viewer/viewer_state.h"

namespace kanopa::viewer {

class PopupCycle {
public:
    // All references must outlive the cycle; the popup reports to `state`.
    PopupCycle(ShellWindowSource& shellWindows, WindowSystem& windows, MemoFileFinder& finder,
               FileSystem& fs, MemoPopup& popup, ViewerState& state);

    // One pass. A step that fails (an error status or an exception) is skipped and the
    // rest of the pass runs; nothing escapes.
    void Tick() noexcept;

private:
    void OnMemoFound();
    void OnNoMemoFound();
    void OpenPopup();
    void FollowWindow();
    void Dress();
    void UnloadPopup();
    bool PopupExists();
    bool PopupShown();

    ShellWindowSource& m_shellWindows;
    WindowSystem& m_windows;
    MemoFileFinder& m_finder;
    FileSystem& m_fs;
    MemoPopup& m_popup;
    ViewerState& m_state;
    MemoStyle m_style;  // the look last handed to the popup window
};

}  // namespace kanopa::viewer
