#include "viewer/viewer_state.h"

#include <limits>

#include "common/log.h"
#include "common/memo_defaults.h"

namespace kanopa::viewer {
namespace {

bool FitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

ViewerState::ViewerState() { SetDefaultMemoValues(m_currentMemo); }

void ViewerState::OnPopupUnloaded(bool closedByButton) {
    m_currentMemo.popupWindow = 0;
    if (closedByButton) {
        WriteLog("メモ閉じるボタン押下", "");
        m_closedMemos.Add(m_currentMemo.folderWindow, m_currentMemo.folderPath);
    }
}

void ViewerState::OnPopupDragged(std::int32_t x, std::int32_t y) {
    const std::int64_t left = std::int64_t{x} - m_currentMemo.folderLeft;
    const std::int64_t top = std::int64_t{y} - m_currentMemo.folderTop;
    if (!FitsInt32(left) || !FitsInt32(top)) return;  // no offset a record can hold
    m_currentMemo.memoLeft = static_cast<std::int32_t>(left);
    m_currentMemo.memoTop = static_cast<std::int32_t>(top);
    m_currentMemo.layoutMode = 0;
}

}  // namespace kanopa::viewer
