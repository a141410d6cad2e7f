#include "viewer/closed_memo_list.h"

#include <algorithm>

namespace kanopa::viewer {

void ClosedMemoList::Add(WindowId window, const std::string& folderPath) {
    m_entries.push_back({window, folderPath});
}

bool ClosedMemoList::IsClosedMemo(WindowId window, const std::string& folderPath) const {
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        return entry.window == window && entry.folderPath == folderPath;
    });
}

void ClosedMemoList::DelClosedMemo(WindowId window) {
    std::erase_if(m_entries, [window](const Entry& entry) { return entry.window == window; });
}

}  // namespace kanopa::viewer
