#pragma once
// The viewer's once-a-second pass: show the memo of the folder window in front, let the
// popup follow that window, and take it away when another window comes to the front,
// the folder window is minimised or closed, or the user closed that memo.
#include <array>
#include <cstddef>

#include "common/file_system.h"
#include "common/status.h"
#include "viewer/memo_file_finder.h"
#include "viewer/platform.h"
#include "viewer/viewer_state.h"

namespace kanopa::viewer {

class PopupCycle {
public:
    // All references must outlive the cycle; the popup reports to `state`.
    PopupCycle(ShellWindowSource& shellWindows, WindowSystem& windows, MemoFileFinder& finder,
               FileSystem& fs, MemoPopup& popup, ViewerState& state);

    // One pass. A step that fails is skipped and the rest of the pass runs; its failure
    // is logged when it begins, not again while it lasts. While the user drags or sizes
    // the popup the pass does nothing, so as not to fight them.
    void Tick() noexcept;
    // Neither pass starts while one runs: a modal loop inside it (COM's, while the shell
    // answers) may dispatch the timer or a window event, and a pass inside a pass would
    // act on a state it leaves half-changed. The running pass and the next tick cover it.

    // A lighter pass for a move of the window the popup follows: the popup takes its new
    // place, and nothing is listed, read or asked of the shell. Whatever else may have
    // happened (another window in front, the window minimised or gone) gets a whole pass.
    void Follow() noexcept;

private:
    // The steps whose failures are logged, each on its own.
    enum class Step : std::size_t {
        Pass, Search, LoadMemo, CreatePopup, PlacePopup, MovePopup, DressPopup, ShowPopup,
        ReadPlacement, Count
    };

    void Pass();
    void FollowPass();
    void OnMemoFound();
    void OnNoMemoFound();
    void OpenPopup();
    void FollowWindow();
    // `previous` gives the bold and italic an unknown font style keeps.
    void Dress(const MemoStyle& previous);
    // Logs a step's failure the first time it fails after having worked (or at all).
    void Report(Step step, const Status& status) noexcept;

    ShellWindowSource& m_shellWindows;
    WindowSystem& m_windows;
    MemoFileFinder& m_finder;
    FileSystem& m_fs;
    MemoPopup& m_popup;
    ViewerState& m_state;
    std::array<bool, static_cast<std::size_t>(Step::Count)> m_failing{};
    bool m_running = false;  // a pass is under way
};

}  // namespace kanopa::viewer
