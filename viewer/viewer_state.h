#pragma once
// Everything the viewer keeps for its run: the memo on show, the folder window it
// belongs to, the folder window the last found memo belonged to, and the memos the
// user closed. Whether a popup exists, and its handle, only the popup window knows.
// The popup window reports its unloads and drags here.
#include <cstdint>

#include "common/memo_record.h"
#include "viewer/closed_memo_list.h"
#include "viewer/memo_window.h"
#include "viewer/platform.h"

namespace kanopa::viewer {

class ViewerState final : public PopupEvents {
public:
    // The memo starts with the default memo settings.
    ViewerState();

    // The memo's look and layout as last read from its file; the record's run-time
    // fields (folder window, folder, rectangle, popup) are not used.
    MemoRecord& Memo() { return m_memo; }
    const MemoRecord& Memo() const { return m_memo; }
    // The folder window in front with a memo, as the search last named it.
    FoundMemo& Found() { return m_found; }
    const FoundMemo& Found() const { return m_found; }
    WindowId LastWindow() const { return m_lastWindow; }
    void SetLastWindow(WindowId window) { m_lastWindow = window; }
    ClosedMemoList& ClosedMemos() { return m_closedMemos; }
    const ClosedMemoList& ClosedMemos() const { return m_closedMemos; }

    // A close by the close picture records (window, folder) as closed.
    void OnPopupUnloaded(bool closedByButton) override;
    // Keeps the popup where the user put it, as an offset from the folder window's
    // top-left corner, until the memo is opened again (which re-reads the file).
    void OnPopupDragged(std::int32_t x, std::int32_t y) override;

private:
    MemoRecord m_memo;
    FoundMemo m_found;
    WindowId m_lastWindow = 0;
    ClosedMemoList m_closedMemos;
};

}  // namespace kanopa::viewer
