#include "viewer/memo_layout.h"

#include <limits>

namespace kanopa::viewer {
namespace {

// n / 2 rounded to the nearest integer, a half going to the even neighbour.
std::int64_t HalfToEven(std::int64_t n) {
    const std::int64_t down = n >> 1;  // floor, also for negative n
    if ((n & 1) == 0) return down;
    return (down & 1) == 0 ? down : down + 1;
}

std::int32_t ToCoordinate(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

LayoutMode LayoutModeOf(const MemoRecord& memo) {
    return memo.layoutMode == static_cast<std::int32_t>(LayoutMode::Anchored)
               ? LayoutMode::Anchored
               : LayoutMode::Absolute;
}

Point PopupPosition(const MemoRecord& memo, const Rect& folder) {
    const std::int64_t left = folder.left, top = folder.top;
    const std::int64_t right = folder.right, bottom = folder.bottom;
    const std::int64_t width = memo.memoWidth, height = memo.memoHeight;
    const std::int64_t margin =
        (memo.margin >= std::numeric_limits<std::int16_t>::min() &&
         memo.margin <= std::numeric_limits<std::int16_t>::max())
            ? memo.margin
            : 0;

    std::int64_t x = 0, y = 0;
    if (LayoutModeOf(memo) == LayoutMode::Anchored) {
        const int anchor = memo.anchorPosition;
        if (anchor >= 1 && anchor <= 9) {
            const int column = (anchor - 1) % 3;
            const int row = (anchor - 1) / 3;
            x = column == 0 ? left + margin
                : column == 1 ? HalfToEven(left + right - width)
                              : right - width - margin;
            y = row == 0 ? top + margin
                : row == 1 ? HalfToEven(top + bottom - height)
                           : bottom - height - margin;
        }
    } else {
        x = left + memo.memoLeft;
        y = top + memo.memoTop;
    }

    return Point{ToCoordinate(x), ToCoordinate(y)};
}

MemoStyle ApplyMemoStyle(const MemoRecord& memo, const MemoStyle& previous) {
    MemoStyle style = previous;
    style.backColor = memo.backColor;
    style.foreColor = memo.foreColor;
    style.fontName = memo.fontName;
    style.fontSize = memo.fontSize;
    if (memo.fontStyle >= 0 && memo.fontStyle <= 3) {
        style.italic = (memo.fontStyle & 1) != 0;
        style.bold = (memo.fontStyle & 2) != 0;
    }
    style.text = memo.memoText;
    return style;
}

}  // namespace kanopa::viewer
