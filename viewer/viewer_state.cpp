#include "viewer/viewer_state.h"

#include <limits>

#include "common/log.h"
#include "common/memo_defaults.h"
#include "viewer/memo_layout.h"

namespace kanopa::viewer {
namespace {

bool FitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

ViewerState::ViewerState() { SetDefaultMemoValues(m_memo); }

void ViewerState::OnPopupUnloaded(bool closedByButton) {
    if (closedByButton) {
        WriteLog("メモ閉じるボタン押下", "");
        m_closedMemos.Add(m_found.folderWindow, m_found.folderPath);
    }
}

void ViewerState::OnPopupDragged(std::int32_t x, std::int32_t y) {
    const std::int64_t left = std::int64_t{x} - m_found.folderRect.left;
    const std::int64_t top = std::int64_t{y} - m_found.folderRect.top;
    if (!FitsInt32(left) || !FitsInt32(top)) return;  // no offset a record can hold
    m_memo.memoLeft = static_cast<std::int32_t>(left);
    m_memo.memoTop = static_cast<std::int32_t>(top);
    m_memo.layoutMode = static_cast<std::int32_t>(LayoutMode::Absolute);
}

}  // namespace kanopa::viewer
