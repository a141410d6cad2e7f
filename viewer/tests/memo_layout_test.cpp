#include "viewer/memo_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>

#include "common/services.h"

namespace kanopa::viewer {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct PlaceCase {
    const char* name;
    Rect folder;
    std::int32_t width, height;
    std::int32_t layoutMode, anchor, margin;
    std::int32_t memoLeft, memoTop;
    std::int32_t x, y;
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

MemoRecord MemoFor(const PlaceCase& c) {
    MemoRecord memo;
    memo.folderLeft = c.folder.left;
    memo.folderTop = c.folder.top;
    memo.folderRight = c.folder.right;
    memo.folderBottom = c.folder.bottom;
    memo.memoWidth = c.width;
    memo.memoHeight = c.height;
    memo.layoutMode = c.layoutMode;
    memo.anchorPosition = c.anchor;
    memo.margin = c.margin;
    memo.memoLeft = c.memoLeft;
    memo.memoTop = c.memoTop;
    return memo;
}

class PlaceMemoWindowTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceMemoWindowTest, PositionsPopupOverFolderWindow) {
    const PlaceCase& c = GetParam();
    const MemoRecord memo = MemoFor(c);
    for (int mode : {kPlaceAndSize, kMoveOnly}) {
        const auto placement = PlaceMemoWindow(memo, mode);
        ASSERT_TRUE(placement.has_value());
        EXPECT_EQ(placement->x, c.x) << c.name;
        EXPECT_EQ(placement->y, c.y) << c.name;
        EXPECT_EQ(placement->width, c.width) << c.name;
        EXPECT_EQ(placement->height, c.height) << c.name;
        EXPECT_EQ(placement->resize, mode == kPlaceAndSize) << c.name;
    }
}

// Folder window 100,100 - 900,700 (800 x 600), popup 200 x 100, margin 50.
constexpr Rect kFolder{100, 100, 900, 700};

INSTANTIATE_TEST_SUITE_P(
    NineAnchors, PlaceMemoWindowTest,
    ::testing::Values(PlaceCase{"top left", kFolder, 200, 100, 1, 1, 50, 0, 0, 150, 150},
                      PlaceCase{"top centre", kFolder, 200, 100, 1, 2, 50, 0, 0, 400, 150},
                      PlaceCase{"top right", kFolder, 200, 100, 1, 3, 50, 0, 0, 650, 150},
                      PlaceCase{"middle left", kFolder, 200, 100, 1, 4, 50, 0, 0, 150, 350},
                      PlaceCase{"centre", kFolder, 200, 100, 1, 5, 50, 0, 0, 400, 350},
                      PlaceCase{"middle right", kFolder, 200, 100, 1, 6, 50, 0, 0, 650, 350},
                      PlaceCase{"bottom left", kFolder, 200, 100, 1, 7, 50, 0, 0, 150, 550},
                      PlaceCase{"bottom centre", kFolder, 200, 100, 1, 8, 50, 0, 0, 400, 550},
                      PlaceCase{"bottom right", kFolder, 200, 100, 1, 9, 50, 0, 0, 650, 550},
                      PlaceCase{"negative margin", kFolder, 200, 100, 1, 1, -20, 0, 0, 80, 80},
                      PlaceCase{"window off-screen", {-900, -700, -100, -100}, 200, 100, 1, 9,
                                50, 0, 0, -350, -250}));

INSTANTIATE_TEST_SUITE_P(
    CentreRoundsHalfToEven, PlaceMemoWindowTest,
    ::testing::Values(
        // 400.5 -> 400 and 401.5 -> 402.
        PlaceCase{"x 400.5", {100, 0, 901, 600}, 200, 100, 1, 2, 0, 0, 0, 400, 0},
        PlaceCase{"x 401.5", {101, 0, 902, 600}, 200, 100, 1, 2, 0, 0, 0, 402, 0},
        PlaceCase{"y 300.5", {0, 100, 800, 601}, 200, 100, 1, 4, 0, 0, 0, 0, 300},
        PlaceCase{"y 301.5", {0, 101, 800, 602}, 200, 100, 1, 4, 0, 0, 0, 0, 302},
        PlaceCase{"odd popup width", {0, 0, 800, 600}, 201, 101, 1, 5, 0, 0, 0, 300, 250},
        PlaceCase{"negative -0.5 -> 0", {-1, -1, 0, 0}, 0, 0, 1, 5, 0, 0, 0, 0, 0},
        PlaceCase{"negative -1.5 -> -2", {-2, -2, 1, 1}, 2, 2, 1, 5, 0, 0, 0, -2, -2},
        PlaceCase{"near the 32-bit limit", {kMax - 3, 0, kMax, 0}, 0, 0, 1, 2, 0, 0, 0, kMax - 1,
                  0}));

INSTANTIATE_TEST_SUITE_P(
    AbsoluteLayout, PlaceMemoWindowTest,
    ::testing::Values(PlaceCase{"mode 0", kFolder, 200, 100, 0, 9, 500, 50, 50, 150, 150},
                      PlaceCase{"any mode but 1", kFolder, 200, 100, 2, 5, 0, 30, -10, 130, 90},
                      PlaceCase{"negative mode", kFolder, 200, 100, -1, 1, 50, 0, 0, 100, 100}));

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, PlaceMemoWindowTest,
    ::testing::Values(
        PlaceCase{"anchor 0", kFolder, 200, 100, 1, 0, 50, 50, 50, 0, 0},
        PlaceCase{"anchor 10", kFolder, 200, 100, 1, 10, 50, 50, 50, 0, 0},
        PlaceCase{"anchor -1", kFolder, 200, 100, 1, -1, 50, 50, 50, 0, 0},
        PlaceCase{"margin 32767", kFolder, 200, 100, 1, 1, 32767, 0, 0, 32867, 32867},
        PlaceCase{"margin -32768", kFolder, 200, 100, 1, 1, -32768, 0, 0, -32668, -32668},
        PlaceCase{"margin 32768 counts as 0", kFolder, 200, 100, 1, 1, 32768, 0, 0, 100, 100},
        PlaceCase{"margin -32769 counts as 0", kFolder, 200, 100, 1, 9, -32769, 0, 0, 700, 600}));

INSTANTIATE_TEST_SUITE_P(
    OverflowGivesZero, PlaceMemoWindowTest,
    ::testing::Values(
        PlaceCase{"left + margin", {kMax - 10, kMax - 10, kMax, kMax}, 1, 1, 1, 1, 50, 0, 0, 0, 0},
        PlaceCase{"right - width", {0, 0, kMin + 5, 0}, 10, 0, 1, 3, 0, 0, 0, 0, 0},
        // Only the coordinate that overflows becomes 0.
        PlaceCase{"only x", {kMax - 10, 0, kMax, 600}, 1, 1, 1, 1, 50, 0, 0, 0, 50},
        PlaceCase{"absolute", {kMax, kMin, 0, 0}, 1, 1, 0, 1, 0, 1, -1, 0, 0},
        PlaceCase{"centre", {kMax, 100, kMax, 300}, kMin, 0, 1, 5, 0, 0, 0, 0, 200}));

TEST(PlaceMemoWindowModes, OtherModesPlaceNothing) {
    MemoRecord memo;
    SetDefaultMemoValues(memo);
    EXPECT_FALSE(PlaceMemoWindow(memo, 2).has_value());
    EXPECT_FALSE(PlaceMemoWindow(memo, -1).has_value());
}

struct StyleCase {
    std::int32_t fontStyle;
    bool bold, italic;
};

void PrintTo(const StyleCase& c, std::ostream* os) { *os << "fontStyle " << c.fontStyle; }

class ApplyMemoStyleTest : public ::testing::TestWithParam<StyleCase> {};

TEST_P(ApplyMemoStyleTest, DressesLabelFromMemo) {
    MemoRecord memo;
    memo.foreColor = 0x0000FF;
    memo.backColor = 0x00FFFF;
    memo.fontName = "ＭＳ 明朝";
    memo.fontSize = 14;
    memo.fontStyle = GetParam().fontStyle;
    memo.fontStrikeout = 1;
    memo.fontUnderline = 1;
    memo.memoText = "会議は\r\n3階, 301号室";

    // Start from both states, so "left as it was" is told apart from a fixed value.
    for (bool before : {false, true}) {
        MemoStyle previous;
        previous.bold = before;
        previous.italic = before;
        previous.text = "old";
        const MemoStyle style = ApplyMemoStyle(memo, previous);
        EXPECT_EQ(style.foreColor, 0x0000FF);
        EXPECT_EQ(style.backColor, 0x00FFFF);
        EXPECT_EQ(style.fontName, "ＭＳ 明朝");
        EXPECT_EQ(style.fontSize, 14);
        EXPECT_EQ(style.text, memo.memoText);
        const bool known = GetParam().fontStyle >= 0 && GetParam().fontStyle <= 3;
        EXPECT_EQ(style.bold, known ? GetParam().bold : before) << GetParam().fontStyle;
        EXPECT_EQ(style.italic, known ? GetParam().italic : before) << GetParam().fontStyle;
    }
}

INSTANTIATE_TEST_SUITE_P(FontStyles, ApplyMemoStyleTest,
                         ::testing::Values(StyleCase{0, false, false}, StyleCase{1, false, true},
                                           StyleCase{2, true, false}, StyleCase{3, true, true},
                                           StyleCase{4, false, false}, StyleCase{-1, false, false},
                                           StyleCase{7, false, false}));

}  // namespace
}  // namespace kanopa::viewer
