#include "viewer/popup_cycle.h"

#include <exception>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "common/keys.h"
#include "common/log.h"
#include "common/memo_file.h"
#include "viewer/memo_layout.h"
#include "viewer/memo_window.h"

namespace kanopa::viewer {
namespace {

// The log's source text for each step, in the order of PopupCycle::Step.
constexpr std::string_view kStepSources[] = {
    "frmMain.Timer_Timer()", "GetMemoWindow()",   "LoadMemo()",
    "frmMemo.Load()",        "PlaceMemoWindow()", "PlaceMemoWindow()",
    "ApplyMemoStyle()",      "frmMemo.Show()",    "GetWindowPlacement()",
};

// Raised for as long as a pass runs.
class RunningPass {
public:
    explicit RunningPass(bool& running) : m_flag(running) { m_flag = true; }
    ~RunningPass() { m_flag = false; }
    RunningPass(const RunningPass&) = delete;
    RunningPass& operator=(const RunningPass&) = delete;

private:
    bool& m_flag;
};

}  // namespace

PopupCycle::PopupCycle(ShellWindowSource& shellWindows, WindowSystem& windows,
                       MemoFileFinder& finder, FileSystem& fs, MemoPopup& popup,
                       ViewerState& state)
    : m_shellWindows(shellWindows),
      m_windows(windows),
      m_finder(finder),
      m_fs(fs),
      m_popup(popup),
      m_state(state) {
    static_assert(std::size(kStepSources) == static_cast<std::size_t>(Step::Count));
}

void PopupCycle::Tick() noexcept {
    if (m_running) return;
    const RunningPass running(m_running);
    // Only an allocation can throw here; the next tick starts afresh.
    try {
        Pass();
        Report(Step::Pass, Status::Ok());
    } catch (const std::exception& error) {
        Report(Step::Pass, Status{false, error.what()});
    }
}

void PopupCycle::Follow() noexcept {
    if (m_running) return;
    const RunningPass running(m_running);
    try {
        FollowPass();
        Report(Step::Pass, Status::Ok());
    } catch (const std::exception& error) {
        Report(Step::Pass, Status{false, error.what()});
    }
}

void PopupCycle::FollowPass() {
    if (m_popup.InMoveSizeLoop()) return;
    FoundMemo& found = m_state.Found();
    if (!m_popup.Exists() || found.folderWindow == 0 || found.folderWindow != m_state.LastWindow()) {
        return;  // nothing follows that window
    }
    const std::optional<WindowPlacementInfo> placement =
        m_windows.Foreground() == found.folderWindow ? m_windows.Placement(found.folderWindow)
                                                     : std::nullopt;
    if (!placement || placement->show == ShowState::Minimized) {
        Pass();
        return;
    }
    if (placement->show == ShowState::Normal) {
        found.folderRect = placement->frame;
    } else if (placement->show == ShowState::Maximized) {
        found.folderRect = placement->monitor;
    }
    FollowWindow();
}

void PopupCycle::Pass() {
    // Moving the popup now would fight the user's own drag or resize.
    if (m_popup.InMoveSizeLoop()) return;
    bool found = false;
    Report(Step::Search,
           GetMemoWindow(m_shellWindows, m_windows, m_finder, m_state.Found(), found));
    if (found) {
        OnMemoFound();
    } else {
        OnNoMemoFound();
    }
}

void PopupCycle::OnMemoFound() {
    const FoundMemo& found = m_state.Found();
    const bool closed = m_state.ClosedMemos().IsClosedMemo(found.folderWindow, found.folderPath);
    if (m_popup.Exists() && found.folderWindow == m_state.LastWindow()) {
        // Same window still in front; a new folder in it keeps the memo already shown.
        if (closed) {
            m_popup.Unload();
        } else {
            FollowWindow();
        }
    } else if (closed) {
        // The popup (if any) belongs to the window that was in front before; it must not
        // hang over this one, whose memo the user has closed.
        m_popup.Unload();
    } else {
        OpenPopup();
    }
    m_state.SetLastWindow(found.folderWindow);
}

void PopupCycle::OnNoMemoFound() {
    // 0 right after a folder window without a memo was in front.
    const WindowId folderWindow = m_state.Found().folderWindow;
    if (!m_windows.Exists(folderWindow)) {
        if (m_popup.IsVisible()) {
            m_popup.Unload();
            m_state.ClosedMemos().DelClosedMemo(folderWindow);
        }
    } else {
        const std::optional<WindowPlacementInfo> placement = m_windows.Placement(folderWindow);
        Report(Step::ReadPlacement,
               placement ? Status::Ok()
                         : Status::Fail("The folder window's placement cannot be read"));
        if (placement && placement->show == ShowState::Minimized && m_popup.Exists()) {
            m_popup.Unload();
            WriteLog("最小化", "");
        }
    }

    const WindowId foreground = m_windows.Foreground();
    if (foreground != folderWindow && foreground != m_popup.Handle() && m_popup.IsVisible()) {
        m_popup.Unload();
    }
}

void PopupCycle::OpenPopup() {
    const FoundMemo& found = m_state.Found();
    MemoRecord& memo = m_state.Memo();
    // The file is read each time a popup opens, so edits saved meanwhile show.
    const std::string path = found.folderPath + found.memoFileName;
    const LoadResult loaded = LoadMemo(m_fs, MemoKey(), path, memo);
    Report(Step::LoadMemo,
           loaded.complete() ? Status::Ok()
                             : Status::Fail("FILEPATH:" + path + " read " +
                                            std::to_string(loaded.assigned) + " of " +
                                            std::to_string(LoadResult::kAllFields) + " fields"));
    if (!loaded.complete()) {
        // A file cut short (still being copied in, say) or damaged holds no text of its
        // own: what the popup would show is the last memo's, over the wrong folder. No
        // popup then, not even the last window's; the next pass reads the file again.
        m_popup.Unload();
        return;
    }
    // A new window starts with a plain font.
    const MemoStyle previous = m_popup.Exists() ? m_popup.Style() : MemoStyle{};
    Report(Step::CreatePopup, m_popup.HideOrCreate());
    Report(Step::PlacePopup, m_popup.PlaceTopmost(PopupPosition(memo, found.folderRect),
                                                  memo.memoWidth, memo.memoHeight));
    Dress(previous);
    Report(Step::ShowPopup, m_popup.Show());
}

void PopupCycle::FollowWindow() {
    Report(Step::MovePopup,
           m_popup.MoveTo(PopupPosition(m_state.Memo(), m_state.Found().folderRect)));
    Dress(m_popup.Style());
}

void PopupCycle::Dress(const MemoStyle& previous) {
    Report(Step::DressPopup, m_popup.ApplyStyle(ApplyMemoStyle(m_state.Memo(), previous)));
}

void PopupCycle::Report(Step step, const Status& status) noexcept {
    const auto index = static_cast<std::size_t>(step);
    if (status) {
        m_failing[index] = false;
    } else if (!m_failing[index]) {
        m_failing[index] = true;
        WriteLog(kStepSources[index], status.error);
    }
}

}  // namespace kanopa::viewer
