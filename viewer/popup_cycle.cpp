#include "viewer/popup_cycle.h"

#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "common/keys.h"
#include "common/log.h"
#include "common/memo_file.h"
#include "viewer/memo_layout.h"
#include "viewer/memo_window.h"

namespace kanopa::viewer {
namespace {

// Runs one step of the pass; false when it failed, by an error status or an exception.
template <typename Step>
bool Try(Step&& step) noexcept {
    try {
        if constexpr (std::is_same_v<std::invoke_result_t<Step>, Status>) {
            return step().ok;
        } else {
            step();
            return true;
        }
    } catch (...) {
        return false;
    }
}

}  // namespace

PopupCycle::PopupCycle(ShellWindowSource& shellWindows, WindowSystem& windows,
                       MemoFileFinder& finder, FileSystem& fs, MemoPopup& popup,
                       ViewerState& state)
    : m_shellWindows(shellWindows),
      m_windows(windows),
      m_finder(finder),
      m_fs(fs),
      m_popup(popup),
      m_state(state) {}

void PopupCycle::Tick() noexcept {
    bool found = false;
    Try([&] { found = GetMemoWindow(m_shellWindows, m_windows, m_finder, m_state.CurrentMemo()); });
    if (found) {
        Try([&] { OnMemoFound(); });
    } else {
        Try([&] { OnNoMemoFound(); });
    }
}

void PopupCycle::OnMemoFound() {
    MemoRecord& memo = m_state.CurrentMemo();
    const bool closed = m_state.ClosedMemos().IsClosedMemo(memo.folderWindow, memo.folderPath);
    if (memo.popupWindow != 0 && memo.folderWindow == m_state.LastWindow()) {
        // Same window still in front; a new folder in it keeps the memo already shown.
        if (closed) {
            UnloadPopup();
        } else {
            FollowWindow();
        }
    } else if (closed) {
        // The popup (if any) belongs to the window that was in front before; it must not
        // hang over this one, whose memo the user has closed.
        UnloadPopup();
    } else {
        OpenPopup();
    }
    m_state.SetLastWindow(memo.folderWindow);
}

void PopupCycle::OnNoMemoFound() {
    MemoRecord& memo = m_state.CurrentMemo();
    const WindowId folderWindow = memo.folderWindow;

    // folderWindow is 0 right after a folder window without a memo was in front.
    bool exists = false;
    if (Try([&] { exists = folderWindow != 0 && m_windows.Exists(folderWindow); })) {
        if (!exists) {
            if (PopupShown()) {
                UnloadPopup();
                Try([&] { m_state.ClosedMemos().DelClosedMemo(folderWindow); });
            }
        } else {
            std::optional<WindowPlacementInfo> placement;
            Try([&] { placement = m_windows.Placement(folderWindow); });
            if (placement && placement->show == ShowState::Minimized && PopupExists()) {
                UnloadPopup();
                WriteLog("最小化", "");
            }
        }
    }

    WindowId foreground = 0;
    if (Try([&] { foreground = m_windows.Foreground(); }) && foreground != memo.folderWindow &&
        foreground != memo.popupWindow && PopupShown()) {
        UnloadPopup();
    }
}

void PopupCycle::OpenPopup() {
    MemoRecord& memo = m_state.CurrentMemo();
    // The file is read each time a popup opens, so edits saved meanwhile show; a damaged
    // file leaves the fields it could not fill as they were.
    Try([&] { LoadMemo(m_fs, MemoKey(), memo.folderPath + memo.memoFileName, memo); });
    bool existed = true;
    Try([&] { existed = m_popup.Exists(); });
    if (!existed) m_style = MemoStyle{};  // a new window starts with a plain font
    Try([&] { return m_popup.HideOrCreate(); });
    Try([&] { memo.popupWindow = m_popup.Handle(); });
    Try([&] {
        const std::optional<PopupPlacement> placement = PlaceMemoWindow(memo, kPlaceAndSize);
        return placement ? ApplyPlacement(m_popup, *placement) : Status::Fail("placement");
    });
    Dress();
    Try([&] { return m_popup.Show(); });
}

void PopupCycle::FollowWindow() {
    Try([&] {
        const std::optional<PopupPlacement> placement =
            PlaceMemoWindow(m_state.CurrentMemo(), kMoveOnly);
        return placement ? ApplyPlacement(m_popup, *placement) : Status::Fail("placement");
    });
    Dress();
}

void PopupCycle::Dress() {
    Try([&] {
        MemoStyle style = ApplyMemoStyle(m_state.CurrentMemo(), m_style);
        Status status = m_popup.ApplyStyle(style);
        if (status) m_style = std::move(style);
        return status;
    });
}

void PopupCycle::UnloadPopup() {
    if (PopupExists()) Try([&] { m_popup.Unload(); });
    m_state.CurrentMemo().popupWindow = 0;
}

bool PopupCycle::PopupExists() {
    bool exists = false;
    return Try([&] { exists = m_popup.Exists(); }) && exists;
}

bool PopupCycle::PopupShown() {
    bool visible = false;
    return Try([&] { visible = m_popup.IsVisible(); }) && visible;
}

}  // namespace kanopa::viewer
