#pragma once
// The memo search without its window: which memos a search keeps, the rows and the count
// it shows, and the search window's rules for opening, sizing and closing, so that the
// window itself only binds controls to them.
//
// Layout of the window, in twips (client area 9525 x 7035 as designed):
//   lblName(0) 360,360 "検索文字列"        txtKeyWord 1440,300 5775x315
//   lblName(1) 360,840 "検索対象"          txtRoot    1440,780 5775x315
//   cmdDir 7200,780 435x315 "…"           cmdSearch  7980,360 915x675
//   chkSubFolder 300,1200 1875x315         lstView    0,1620 (to the status bar)
//   sbStatusBar along the bottom edge, 270 high
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_system.h"
#include "editor/editor_state.h"

namespace kanopa::editor {

inline constexpr char kSearchWindowCaption[] = "メモの検索 - カノパ -";
inline constexpr char kKeywordLabel[] = "検索文字列";
inline constexpr char kRootLabel[] = "検索対象";
inline constexpr char kBrowseButtonCaption[] = "…";
inline constexpr char kSearchButtonCaption[] = "検索(&R)";
inline constexpr char kStopButtonCaption[] = "中止(&A)";
inline constexpr char kSubFolderCaption[] = "サブフォルダも検索";
inline constexpr char kBrowseTitle[] = "フォルダの参照";
inline constexpr char kSearchWaitText[] = "...しばらくお待ち下さい。";
inline constexpr char kSearchingSuffix[] = " を検索しています";
inline constexpr char kFoundSuffix[] = " 個のﾌｧｲﾙが見つかりました。";
// File names the walk keeps (matched without regard to letter case).
inline constexpr char kMemoFilePattern[] = "*.EPM";

struct SearchColumn {
    const char* caption;
    int widthTwips;  // left-aligned, all three
};
inline constexpr SearchColumn kSearchColumns[] = {
    {"メモファイル名", 2000}, {"フォルダ名", 2500}, {"メモ内容", 4500}};

inline constexpr int kSearchClientWidthTwips = 9525;
inline constexpr int kSearchClientHeightTwips = 7035;
inline constexpr int kSearchMinimumTwips = 4455;   // outer width and height
inline constexpr int kSearchFirstOffsetTwips = 500;  // from the editor's top-left corner

// A memo the search keeps: its full path and its memo text.
struct FoundMemo {
    std::string path;
    std::string text;
    bool operator==(const FoundMemo&) const = default;
};

// Loads each path in order and keeps those whose memo text matches `keyword` (see
// memo_pattern.h). A file that cannot be read counts as a memo with the empty text;
// the empty path (the walk's "nothing found") is no memo and is skipped.
std::vector<FoundMemo> FilterByKeyword(FileSystem& fs, const std::string& memoKey,
                                       const std::vector<std::string>& paths,
                                       std::string_view keyword);

// One row per kept memo: file name, folder, text. With nothing kept, one blank row.
std::vector<SearchRow> BuildSearchRows(const std::vector<FoundMemo>& found);
// The number of memos the rows list: 0 for the single blank row.
int CountSearchRows(const std::vector<SearchRow>& rows);
// The count followed by " 個のﾌｧｲﾙが見つかりました。".
std::string FoundText(const std::vector<SearchRow>& rows);
// The path of a listed memo: its folder (with a "\" added when missing) and name;
// "" for a row without a name, such as the blank row.
std::string SearchRowPath(const SearchRow& row);
// A memo text as one line of the list: each line break (CR LF, CR or LF) shows as a space.
std::string SearchCellText(std::string_view text);
// The search button is enabled exactly when both texts, trimmed of blanks, hold something.
// While a search runs it is the stop button and stays enabled whatever the texts hold;
// the rule applies again once the search has ended.
bool SearchButtonEnabled(std::string_view root, std::string_view keyword, bool searching);

// Child controls whose place follows the window's size, in twips of the client area.
struct SearchLayout {
    int listWidth, listHeight;
    int rootWidth, keywordWidth;
    int browseLeft, searchLeft;
    bool operator==(const SearchLayout&) const = default;
};
SearchLayout LayoutSearchWindow(int clientWidth, int clientHeight, int statusBarHeight);

// `window` moved, and shrunk where it must be, to lie inside the monitor's work area,
// so that a window placed beside the editor or remembered from another screen layout
// keeps its borders and status bar reachable.
PixelRect KeepInWorkArea(const PixelRect& window, const PixelRect& work);

// Twips and screen pixels at `dpi`. Positions go to the nearest pixel or twip; the
// minimum size goes up to a whole pixel, so that it never reads below 4455 again.
std::int32_t SearchPixelsFromTwips(std::int32_t twips, int dpi);
std::int32_t SearchTwipsFromPixels(std::int32_t pixels, int dpi);
std::int32_t SearchMinimumPixels(int dpi);

// The window's rules between its openings, over the editor's run-long search state.
class SearchWindowLogic {
public:
    explicit SearchWindowLogic(EditorState& state) : m_state(state) {}

    // Where the window opens, in screen pixels at the editor's `dpi`: where it last
    // closed, or the first time 500 twips right of and below the editor's top-left
    // corner (pixels) at its designed outer size.
    PixelRect Placement(std::int32_t editorLeft, std::int32_t editorTop, const PixelSize& designed, int dpi);
    // The rows of the last search to show at load; none before the first search.
    const std::vector<SearchRow>& Rows() const { return m_state.SearchRows(); }
    // On each activation: the 0-based row to select again (and focus the list), once
    // per opening, when the list holds that many rows.
    std::optional<int> RowToRestore(int listRowCount);
    // A search ended with these rows. The remembered row belonged to the rows they
    // replace: it is forgotten, so that no row of the new ones is selected unasked.
    void StoreRows(std::vector<SearchRow> rows);
    // The window closes: the selected row (0-based, -1 for none) is remembered when the
    // list holds rows, and its outer rectangle (screen pixels) always, taken to twips at
    // the dpi it was placed at, not its own: one closed on a monitor of another dpi
    // reopens there, as large as it was.
    void Unload(int selectedRow, int listRowCount, const PixelRect& window);
    // The outer size in pixels the window must be given instead of its current one when
    // it is narrower or lower than 4455 twips: the width first, and only the width, the
    // height at the resize this causes.
    static std::optional<PixelSize> SizeBelowMinimum(const PixelSize& outer, int dpi);

private:
    EditorState& m_state;
    bool m_selectionRestored = false;
    int m_placementDpi = 96;
};

}  // namespace kanopa::editor
