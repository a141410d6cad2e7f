#include "editor/tools/memo_search.h"

#include <gtest/gtest.h>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/tests/fakes.h"

namespace kanopa::editor {
namespace {

using kanopa::testing::FakeFileSystem;
using kanopa::testing::FixedClock;

void PutMemo(FakeFileSystem& fs, const std::string& path, const std::string& text) {
    FixedClock clock;
    MemoRecord record;
    SetDefaultMemoValues(record);
    record.memoText = text;
    ASSERT_TRUE(SaveMemo(fs, clock, MemoKey(), path, record).ok) << path;
}

EditorState MakeState() { return EditorState(CommonContext{"C:\\Kanopa\\", MemoKey()}, {}, ""); }

TEST(MemoSearch, FilterKeepsMatchesInOrderAndRowsKeepTheirColumns) {
    FakeFileSystem fs;
    PutMemo(fs, "C:\\メモ\\a^b.epm", "x^y\r\n重要");
    PutMemo(fs, "C:\\メモ\\^sub^\\c.epm", "重要");
    PutMemo(fs, "C:\\メモ\\d.epm", "other");
    fs.Put("C:\\メモ\\broken.epm", "not a memo");
    const std::vector<std::string> paths = {"C:\\メモ\\a^b.epm", "C:\\メモ\\^sub^\\c.epm",
                                            "C:\\メモ\\d.epm", "C:\\メモ\\broken.epm",
                                            "C:\\メモ\\gone.epm"};

    const std::vector<FoundMemo> important = FilterByKeyword(fs, MemoKey(), paths, "*重要");
    EXPECT_EQ(important, (std::vector<FoundMemo>{{"C:\\メモ\\a^b.epm", "x^y\r\n重要"},
                                                 {"C:\\メモ\\^sub^\\c.epm", "重要"}}));
    const std::vector<SearchRow> rows = BuildSearchRows(important);
    EXPECT_EQ(rows, (std::vector<SearchRow>{{"a^b.epm", "C:\\メモ\\", "x^y\r\n重要"},
                                            {"c.epm", "C:\\メモ\\^sub^\\", "重要"}}));
    EXPECT_EQ(CountSearchRows(rows), 2);
    EXPECT_EQ(FoundText(rows), "2 個のﾌｧｲﾙが見つかりました。");
    EXPECT_EQ(SearchRowPath(rows[1]), "C:\\メモ\\^sub^\\c.epm");

    // "*" keeps every file found, unreadable and vanished ones (empty text) included.
    const std::vector<FoundMemo> all = FilterByKeyword(fs, MemoKey(), paths, "*");
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[3], (FoundMemo{"C:\\メモ\\broken.epm", ""}));
    EXPECT_EQ(all[4], (FoundMemo{"C:\\メモ\\gone.epm", ""}));
    EXPECT_EQ(CountSearchRows(BuildSearchRows(all)), 5);
    // A text of its own is needed for "?*": the unreadable ones drop out.
    EXPECT_EQ(FilterByKeyword(fs, MemoKey(), paths, "?*").size(), 3u);
}

TEST(MemoSearch, NothingFoundShowsOneBlankRowAndCountsZero) {
    FakeFileSystem fs;
    PutMemo(fs, "C:\\m\\a.epm", "abc");
    const struct {
        std::vector<std::string> paths;
        const char* keyword;
    } cases[] = {
        {{""}, "*"},               // the walk found nothing; "*" matches the empty text
        {{"C:\\m\\a.epm"}, "ab"},  // one character less
        {{"C:\\m\\a.epm"}, "abcd"},
    };
    for (const auto& c : cases) {
        const std::vector<SearchRow> rows = BuildSearchRows(FilterByKeyword(fs, MemoKey(), c.paths, c.keyword));
        EXPECT_EQ(rows, std::vector<SearchRow>(1)) << c.keyword;
        EXPECT_EQ(CountSearchRows(rows), 0);
        EXPECT_EQ(FoundText(rows), "0 個のﾌｧｲﾙが見つかりました。");
        EXPECT_EQ(SearchRowPath(rows[0]), "");
    }
    EXPECT_EQ(CountSearchRows(BuildSearchRows({{"C:\\m\\a.epm", "abc"}})), 1);
    EXPECT_EQ(SearchRowPath({"a.epm", "C:\\m", ""}), "C:\\m\\a.epm");
}

TEST(MemoSearch, ListCellsShowLineBreaksAsSpaces) {
    EXPECT_EQ(SearchCellText("一行目\r\n二行目\r三\n四\r\n"), "一行目 二行目 三 四 ");
    EXPECT_EQ(SearchCellText("\r\n\r\n"), "  ");
    EXPECT_EQ(SearchCellText("a^b"), "a^b");
}

TEST(MemoSearchWindow, StaysInsideTheWorkArea) {
    const PixelRect work{0, 0, 1024, 738};
    const struct {
        PixelRect window, fitted;
    } cases[] = {
        {{50, 50, 974, 688}, {50, 50, 974, 688}},     // touches both far edges: unchanged
        {{51, 50, 974, 688}, {50, 50, 974, 688}},     // one pixel past the right edge
        {{50, 51, 974, 688}, {50, 50, 974, 688}},
        {{-1, -1, 300, 300}, {0, 0, 300, 300}},
        {{80, 70, 1100, 800}, {0, 0, 1024, 738}},     // larger than the screen
        {{-2000, 90, 300, 300}, {0, 90, 300, 300}},  // from a monitor that is gone
    };
    for (const auto& c : cases) EXPECT_EQ(KeepInWorkArea(c.window, work), c.fitted) << c.window.left;
    EXPECT_EQ(KeepInWorkArea({-1900, 10, 300, 300}, {-1920, 0, 1920, 1040}), (PixelRect{-1900, 10, 300, 300}));
}

TEST(MemoSearch, SearchButtonNeedsBothTextsBeyondBlanksUnlessItIsTheStopButton) {
    const struct {
        const char* root;
        const char* keyword;
        bool searching, enabled;
    } cases[] = {
        {"C:\\", "a", false, true},  {" C:\\ ", "\t*\t", false, true}, {"", "a", false, false},
        {"C:\\", "", false, false},  {"  ", "a", false, false},        {"C:\\", "\t", false, false},
        {"　", "a", false, false},  // full-width blank
        // Emptied during a walk: the stop button must stay usable.
        {"", "", true, true},        {"C:\\", "\t", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SearchButtonEnabled(c.root, c.keyword, c.searching), c.enabled)
            << c.root << "|" << c.keyword << "|" << c.searching;
    }
}

TEST(MemoSearchWindow, LayoutFollowsTheClientArea) {
    EXPECT_EQ(LayoutSearchWindow(9525, 7035, 270), (SearchLayout{9525, 5145, 5790, 5790, 7230, 8040}));
    EXPECT_EQ(LayoutSearchWindow(4000, 3000, 300), (SearchLayout{4000, 1080, 265, 265, 1705, 2515}));
    // Narrower than the fixed parts: nothing negative.
    EXPECT_EQ(LayoutSearchWindow(3000, 1500, 270), (SearchLayout{3000, 0, 0, 0, 1440, 2250}));
}

TEST(MemoSearchWindow, MinimumIs4455TwipsAtEveryDpi) {
    const struct {
        int dpi;
        PixelSize outer;
        std::optional<PixelSize> fixed;
    } cases[] = {
        {96, {297, 297}, std::nullopt},  // 4455 twips exactly
        {96, {296, 500}, PixelSize{297, 500}},
        {96, {500, 296}, PixelSize{500, 297}},
        {96, {296, 296}, PixelSize{297, 296}},  // the width first, alone
        {144, {446, 446}, std::nullopt},        // 4460: 445.5 pixels are not whole
        {144, {445, 446}, PixelSize{446, 446}},
        {144, {446, 445}, PixelSize{446, 446}},
        {120, {372, 372}, std::nullopt},
        {120, {371, 372}, PixelSize{372, 372}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SearchWindowLogic::SizeBelowMinimum(c.outer, c.dpi), c.fixed)
            << c.dpi << " dpi " << c.outer.width << "x" << c.outer.height;
    }
    EXPECT_EQ(SearchPixelsFromTwips(9525, 96), 635);
    EXPECT_EQ(SearchTwipsFromPixels(635, 96), 9525);
    EXPECT_EQ(SearchTwipsFromPixels(-10, 144), -100);
}

TEST(MemoSearchWindow, ReopensWhereItClosedWithItsSelection) {
    EditorState state = MakeState();
    SearchWindowLogic logic(state);
    // First opening of the run: 500 twips right of and below the editor, designed size.
    EXPECT_EQ(logic.Placement(-200, 80, {647, 507}, 96), (PixelRect{-167, 113, 647, 507}));
    EXPECT_EQ(logic.Placement(-200, 80, {970, 760}, 144), (PixelRect{-150, 130, 970, 760}));
    EXPECT_TRUE(logic.Rows().empty());
    EXPECT_EQ(logic.RowToRestore(10), std::nullopt);

    logic.StoreRows({{"a.epm", "C:\\", "1"}, {"b.epm", "C:\\", "2"}, {"c.epm", "C:\\", "3"}});
    // Placed at the editor's 96 dpi, closed left of the primary screen on a monitor of
    // 144 dpi: it reopens there, as large, however the window's own dpi changed.
    EXPECT_EQ(logic.Placement(0, 0, {647, 507}, 96), (PixelRect{33, 33, 647, 507}));
    logic.Unload(2, 3, PixelRect{-2000, 20, 900, 600});
    EXPECT_EQ(state.SearchSelectedIndex(), 3);
    EXPECT_EQ(state.SearchWindow(), (TwipsRect{-30000, 300, 13500, 9000}));
    EXPECT_EQ(logic.Placement(0, 0, {647, 507}, 96), (PixelRect{-2000, 20, 900, 600}));
    EXPECT_EQ(logic.Rows().size(), 3u);

    // Restored when the list holds at least that many rows, once per opening.
    EXPECT_EQ(logic.RowToRestore(2), std::nullopt);
    EXPECT_EQ(logic.RowToRestore(3), 2);
    EXPECT_EQ(logic.RowToRestore(3), std::nullopt);

    // Nothing selected, or an empty list: the index stays.
    logic.Unload(-1, 3, PixelRect{1, 2, 500, 500});
    EXPECT_EQ(state.SearchSelectedIndex(), 3);
    logic.Unload(0, 0, PixelRect{1, 2, 500, 500});
    EXPECT_EQ(state.SearchSelectedIndex(), 3);
    logic.Unload(0, 3, PixelRect{1, 2, 500, 500});
    EXPECT_EQ(state.SearchSelectedIndex(), 1);
    EXPECT_EQ(logic.RowToRestore(1), 0);  // a new opening restores again

    // A new search forgets the row chosen among the rows it replaced.
    logic.StoreRows({{"d.epm", "C:\\", "4"}});
    logic.Unload(-1, 1, PixelRect{1, 2, 500, 500});
    EXPECT_EQ(state.SearchSelectedIndex(), 0);
    EXPECT_EQ(logic.RowToRestore(1), std::nullopt);
}

}  // namespace
}  // namespace kanopa::editor
