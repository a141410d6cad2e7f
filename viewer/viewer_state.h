#pragma once
// Everything the viewer keeps for its run: the memo on show (which is also the state of
// the popup cycle), the folder window the last found memo belonged to, and the memos
// the user closed. The popup window reports its unloads and drags here.
#include <cstdint>

#include "common/memo_record.h"
#include "viewer/closed_memo_list.h"
#include "viewer/platform.h"

namespace kanopa::viewer {

class ViewerState final : public PopupEvents {
public:
    // The memo record starts with the default memo settings, so that a damaged first
    // memo file still shows with a usable size and font.
    ViewerState();

    MemoRecord& CurrentMemo() { return m_currentMemo; }
    const MemoRecord& CurrentMemo() const { return m_currentMemo; }
    WindowId LastWindow() const { return m_lastWindow; }
    void SetLastWindow(WindowId window) { m_lastWindow = window; }
    ClosedMemoList& ClosedMemos() { return m_closedMemos; }
    const ClosedMemoList& ClosedMemos() const { return m_closedMemos; }

    // Clears popupWindow; a close by the close picture records (window, folder) as closed.
    void OnPopupUnloaded(bool closedByButton) override;
    // Keeps the popup where the user put it, as an offset from the folder window's
    // top-left corner, until the memo is opened again (which re-reads the file).
    void OnPopupDragged(std::int32_t x, std::int32_t y) override;

private:
    MemoRecord m_currentMemo;
    WindowId m_lastWindow = 0;
    ClosedMemoList m_closedMemos;
};

}  // namespace kanopa::viewer
