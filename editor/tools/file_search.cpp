#include "editor/tools/file_search.h"

#include "common/wildcard.h"

namespace kanopa::editor {
namespace {

class Walk {
public:
    Walk(FileSystem& fs, const std::string& pattern, bool recurse, WalkObserver* observer, char separator)
        : m_fs(fs), m_pattern(pattern), m_recurse(recurse), m_observer(observer), m_separator(separator) {}

    // `folder` ends in the separator; it lies `depth` levels below the root.
    void SearchFolder(const std::string& folder, int depth) {
        // A folder that cannot be listed adds nothing; the walk goes on with its parent.
        (void)m_fs.ListFolder(folder, [&](const FolderEntry& entry) { return Visit(folder, depth, entry); });
    }

    std::vector<std::string> TakeMatches() { return std::move(m_matches); }

private:
    // False ends the listing of `folder`.
    bool Visit(const std::string& folder, int depth, const FolderEntry& entry) {
        if (entry.IsFolder()) {
            if (m_observer) m_observer->ListingFolder(folder);
            if (entry.name.empty() || entry.name[0] == '.') {
                // ".", ".." and dot-folders: not entered, and no stop point.
            } else if (m_observer && m_observer->StopRequested()) {
                return false;
            } else if (m_recurse && !entry.IsNameSurrogate() && depth < kMaxWalkDepth) {
                SearchFolder(folder + entry.name + m_separator, depth + 1);
            }
        } else if (WildcardMatch(m_pattern, entry.name, CaseFolding::IgnoreCase)) {
            m_matches.push_back(folder + entry.name);
        }
        if (m_observer) m_observer->Pump();
        return true;
    }

    FileSystem& m_fs;
    const std::string& m_pattern;
    const bool m_recurse;
    WalkObserver* const m_observer;
    const char m_separator;
    std::vector<std::string> m_matches;
};

}  // namespace

std::vector<std::string> SearchFiles(FileSystem& fs, const std::string& root, const std::string& pattern,
                                     bool recurse, WalkObserver* observer, char separator) {
    std::string folder = root;
    if (folder.empty() || folder.back() != separator) folder += separator;
    Walk walk(fs, pattern, recurse, observer, separator);
    walk.SearchFolder(folder, 0);
    std::vector<std::string> matches = walk.TakeMatches();
    if (matches.empty()) matches.emplace_back();
    return matches;
}

}  // namespace kanopa::editor
