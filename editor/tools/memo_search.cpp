#include "editor/tools/memo_search.h"

#include <algorithm>
#include <cmath>

#include "common/memo_file.h"
#include "common/paths.h"
#include "editor/tools/memo_pattern.h"
#include "editor/tools/path_parts.h"

namespace kanopa::editor {
namespace {

// Layout constants of the resize rule (see the header for the designed layout).
constexpr int kListTopTwips = 1620;
constexpr int kTextBoxLeftTwips = 1440;
constexpr int kRightOfTextBoxesTwips = 2295;
constexpr int kBrowseWidthTwips = 435;
constexpr int kBrowseToSearchTwips = 375;
constexpr std::int64_t kTwipsPerInch = 1440;

// Blanks: half-width and full-width spaces and tabs.
bool IsBlankText(std::string_view text) {
    constexpr std::string_view kWideSpace = "\xE3\x80\x80";
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ' || text[pos] == '\t') {
            ++pos;
        } else if (text.substr(pos, kWideSpace.size()) == kWideSpace) {
            pos += kWideSpace.size();
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<FoundMemo> FilterByKeyword(FileSystem& fs, const std::string& memoKey,
                                       const std::vector<std::string>& paths,
                                       std::string_view keyword) {
    const MemoPattern pattern(keyword);
    std::vector<FoundMemo> kept;
    MemoRecord record;
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        record.memoText.clear();
        // An unreadable or broken file leaves the text empty: it is a memo with no text.
        (void)LoadMemo(fs, memoKey, path, record);
        if (pattern.Matches(record.memoText)) kept.push_back({path, record.memoText});
    }
    return kept;
}

std::vector<SearchRow> BuildSearchRows(const std::vector<FoundMemo>& found) {
    std::vector<SearchRow> rows;
    rows.reserve(std::max<std::size_t>(found.size(), 1));
    for (const FoundMemo& memo : found) {
        rows.push_back({GetFileNameFromPath(memo.path), GetDirPathFromPath(memo.path), memo.text});
    }
    if (rows.empty()) rows.emplace_back();
    return rows;
}

int CountSearchRows(const std::vector<SearchRow>& rows) {
    if (rows.empty() || (rows.size() == 1 && rows.front() == SearchRow{})) return 0;
    return static_cast<int>(rows.size());
}

std::string FoundText(const std::vector<SearchRow>& rows) {
    return std::to_string(CountSearchRows(rows)) + kFoundSuffix;
}

std::string SearchRowPath(const SearchRow& row) {
    if (row.name.empty()) return {};
    std::string folder = row.folder;
    return AddBackslash(folder) + row.name;
}

std::string SearchCellText(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            line += ' ';
        } else {
            line += text[i];
        }
    }
    return line;
}

PixelRect KeepInWorkArea(const PixelRect& window, const PixelRect& work) {
    PixelRect fitted = window;
    fitted.width = std::min(window.width, work.width);
    fitted.height = std::min(window.height, work.height);
    fitted.left = std::clamp(window.left, work.left, work.left + work.width - fitted.width);
    fitted.top = std::clamp(window.top, work.top, work.top + work.height - fitted.height);
    return fitted;
}

bool SearchButtonEnabled(std::string_view root, std::string_view keyword, bool searching) {
    return searching || (!IsBlankText(root) && !IsBlankText(keyword));
}

SearchLayout LayoutSearchWindow(int clientWidth, int clientHeight, int statusBarHeight) {
    SearchLayout layout{};
    layout.listWidth = std::max(clientWidth, 0);
    layout.listHeight = std::max(clientHeight - kListTopTwips - statusBarHeight, 0);
    layout.rootWidth = std::max(clientWidth - kTextBoxLeftTwips - kRightOfTextBoxesTwips, 0);
    layout.keywordWidth = layout.rootWidth;
    layout.browseLeft = kTextBoxLeftTwips + layout.keywordWidth;
    layout.searchLeft = layout.browseLeft + kBrowseWidthTwips + kBrowseToSearchTwips;
    return layout;
}

std::int32_t SearchPixelsFromTwips(std::int32_t twips, int dpi) {
    return static_cast<std::int32_t>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

std::int32_t SearchTwipsFromPixels(std::int32_t pixels, int dpi) {
    if (dpi <= 0) return pixels * 15;
    return static_cast<std::int32_t>(std::lround(static_cast<double>(pixels) * kTwipsPerInch / dpi));
}

std::int32_t SearchMinimumPixels(int dpi) {
    if (dpi <= 0) dpi = 96;
    return static_cast<std::int32_t>((kSearchMinimumTwips * std::int64_t{dpi} + kTwipsPerInch - 1) /
                                     kTwipsPerInch);
}

PixelRect SearchWindowLogic::Placement(std::int32_t editorLeft, std::int32_t editorTop,
                                       const PixelSize& designed, int dpi) {
    m_placementDpi = dpi;
    if (const std::optional<TwipsRect>& last = m_state.SearchWindow()) {
        return {SearchPixelsFromTwips(last->left, dpi), SearchPixelsFromTwips(last->top, dpi),
                SearchPixelsFromTwips(last->width, dpi), SearchPixelsFromTwips(last->height, dpi)};
    }
    const auto beside = [dpi](std::int32_t pixels) {
        return SearchPixelsFromTwips(SearchTwipsFromPixels(pixels, dpi) + kSearchFirstOffsetTwips, dpi);
    };
    return {beside(editorLeft), beside(editorTop), designed.width, designed.height};
}

std::optional<int> SearchWindowLogic::RowToRestore(int listRowCount) {
    const int index = m_state.SearchSelectedIndex();
    if (index <= 0 || m_selectionRestored || listRowCount < index) return std::nullopt;
    m_selectionRestored = true;
    return index - 1;
}

void SearchWindowLogic::StoreRows(std::vector<SearchRow> rows) {
    m_state.SearchRows() = std::move(rows);
    m_state.SearchSelectedIndex() = 0;
}

void SearchWindowLogic::Unload(int selectedRow, int listRowCount, const PixelRect& window) {
    if (listRowCount > 0 && selectedRow >= 0 && selectedRow < listRowCount) {
        m_state.SearchSelectedIndex() = selectedRow + 1;
    }
    const int dpi = m_placementDpi;
    m_state.SearchWindow() =
        TwipsRect{SearchTwipsFromPixels(window.left, dpi), SearchTwipsFromPixels(window.top, dpi),
                  SearchTwipsFromPixels(window.width, dpi), SearchTwipsFromPixels(window.height, dpi)};
    m_selectionRestored = false;
}

std::optional<PixelSize> SearchWindowLogic::SizeBelowMinimum(const PixelSize& outer, int dpi) {
    const std::int32_t minimum = SearchMinimumPixels(dpi);
    if (SearchTwipsFromPixels(outer.width, dpi) < kSearchMinimumTwips) {
        return PixelSize{minimum, outer.height};
    }
    if (SearchTwipsFromPixels(outer.height, dpi) < kSearchMinimumTwips) {
        return PixelSize{outer.width, minimum};
    }
    return std::nullopt;
}

}  // namespace kanopa::editor
