#include "viewer/memo_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <tuple>

namespace kanopa::viewer {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(PopupPositionTest, PositionsThePopupOverItsFolderWindow) {
    constexpr Rect kFolder{100, 100, 900, 700};
    const struct {
        const char* name;
        Rect folder;
        std::int32_t width, height, layoutMode, anchor, margin, memoLeft, memoTop;
        std::int32_t x, y;
    } cases[] = {
        {"anchor 1", kFolder, 200, 100, 1, 1, 50, 0, 0, 150, 150},
        {"anchor 2", kFolder, 200, 100, 1, 2, 50, 0, 0, 400, 150},
        {"anchor 3", kFolder, 200, 100, 1, 3, 50, 0, 0, 650, 150},
        {"anchor 4", kFolder, 200, 100, 1, 4, 50, 0, 0, 150, 350},
        {"anchor 5", kFolder, 200, 100, 1, 5, 50, 0, 0, 400, 350},
        {"anchor 6", kFolder, 200, 100, 1, 6, 50, 0, 0, 650, 350},
        {"anchor 7", kFolder, 200, 100, 1, 7, 50, 0, 0, 150, 550},
        {"anchor 8", kFolder, 200, 100, 1, 8, 50, 0, 0, 400, 550},
        {"anchor 9", kFolder, 200, 100, 1, 9, 50, 0, 0, 650, 550},
        {"negative margin", kFolder, 200, 100, 1, 1, -20, 0, 0, 80, 80},
        // Centred coordinates round a half to the even neighbour.
        {"x 400.5", {100, 0, 901, 600}, 200, 100, 1, 2, 0, 0, 0, 400, 0},
        {"x 401.5", {101, 0, 902, 600}, 200, 100, 1, 2, 0, 0, 0, 402, 0},
        {"y 300.5", {0, 100, 800, 601}, 200, 100, 1, 4, 0, 0, 0, 0, 300},
        {"y 301.5", {0, 101, 800, 602}, 200, 100, 1, 4, 0, 0, 0, 0, 302},
        {"-1.5", {-2, -2, 1, 1}, 2, 2, 1, 5, 0, 0, 0, -2, -2},
        // Absolute layout: any mode but 1, measured from the top-left corner.
        {"absolute", kFolder, 200, 100, 0, 9, 500, 50, 50, 150, 150},
        {"mode 2", kFolder, 200, 100, 2, 5, 0, 30, -10, 130, 90},
        {"anchor 0", kFolder, 200, 100, 1, 0, 50, 50, 50, 0, 0},
        {"anchor 10", kFolder, 200, 100, 1, 10, 50, 50, 50, 0, 0},
        {"margin 32767", kFolder, 200, 100, 1, 1, 32767, 0, 0, 32867, 32867},
        {"margin 32768 is 0", kFolder, 200, 100, 1, 1, 32768, 0, 0, 100, 100},
        {"margin -32769 is 0", kFolder, 200, 100, 1, 9, -32769, 0, 0, 700, 600},
        // A coordinate past the 32-bit range becomes 0, the other stays.
        {"overflow", {kMax - 10, 0, kMax, 600}, 1, 1, 1, 1, 50, 0, 0, 0, 50},
    };
    for (const auto& c : cases) {
        MemoRecord memo;
        std::tie(memo.memoWidth, memo.memoHeight, memo.layoutMode, memo.anchorPosition,
                 memo.margin, memo.memoLeft, memo.memoTop) =
            std::tuple(c.width, c.height, c.layoutMode, c.anchor, c.margin, c.memoLeft, c.memoTop);
        EXPECT_EQ(PopupPosition(memo, c.folder), (Point{c.x, c.y})) << c.name;
    }
}

TEST(ApplyMemoStyleTest, FontStyleSetsBoldAndItalicAndAnUnknownOneKeepsThem) {
    MemoRecord memo;
    memo.foreColor = 0x0000FF;
    memo.memoText = "会議は\r\n3階";
    const MemoStyle previous{0, 0xFFFFFF, "ＭＳ 明朝", 9, true, false, "old"};
    const struct {
        std::int32_t fontStyle;
        bool bold, italic;
    } cases[] = {{0, false, false}, {1, false, true}, {2, true, false}, {3, true, true},
                 {4, true, false},  {-1, true, false}};
    for (const auto& c : cases) {
        memo.fontStyle = c.fontStyle;
        EXPECT_EQ(ApplyMemoStyle(memo, previous),
                  (MemoStyle{0x0000FF, 0, "", 0, c.bold, c.italic, memo.memoText}))
            << c.fontStyle;
    }
}

}  // namespace
}  // namespace kanopa::viewer
