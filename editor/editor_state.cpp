#include "editor/editor_state.h"

#include <utility>

#include "common/config_file.h"

namespace kanopa::editor {

void RecentFiles::Add(const std::string& path) {
    if (m_entries.size() >= static_cast<std::size_t>(kRecentFileCount)) m_entries.pop_back();
    m_entries.push_front(path);
}

RecentMenu RecentFiles::MenuItems() const {
    RecentMenu items;
    if (m_entries.empty()) {
        items[0] = {"なし", true, false};
        return items;
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        items[i] = {EscapeMenuCaption(m_entries[i]), true, true};
    }
    return items;
}

std::string RecentFiles::PathAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) return {};
    return m_entries[static_cast<std::size_t>(index)];
}

std::string EscapeMenuCaption(const std::string& text) {
    std::string caption;
    caption.reserve(text.size());
    for (char c : text) {
        caption += c;
        if (c == '&') caption += '&';
    }
    return caption;
}

EditorState::EditorState(CommonContext context, MemoRecord memo, std::string startupFilePath)
    : m_context(std::move(context)),
      m_memo(std::move(memo)),
      m_startupFilePath(std::move(startupFilePath)) {}

std::string EditorState::ConfigPath() const {
    return m_context.programFolder + kConfigFileName;
}

}  // namespace kanopa::editor
