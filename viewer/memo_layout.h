#pragma once
// Where the popup goes over its folder window, and how it is dressed.
//
// Anchored layout (layoutMode 1): anchors 1..9 row by row from the top left; the margin
// m keeps the popup off the edges it names, centred coordinates ignore it:
//   x: 1,4,7 left + m    2,5,8 CX    3,6,9 right - width - m
//   y: 1,2,3 top + m     4,5,6 CY    7,8,9 bottom - height - m
//   CX = (left + right - width) / 2, CY = (top + bottom - height) / 2, halves to even.
// Any other anchor puts it at (0, 0). A margin outside the 16-bit range counts as 0.
// Absolute layout (any other layoutMode): (left + memoLeft, top + memoTop).
// A coordinate outside the 32-bit range becomes 0.
// The size is the memo's (memoWidth x memoHeight) when a popup opens; a popup that
// follows its window keeps the size the user may have given it.
#include <cstdint>

#include "common/memo_record.h"
#include "viewer/platform.h"

namespace kanopa::viewer {

// The memo record's layoutMode, with the values the file stores.
enum class LayoutMode : std::int32_t { Absolute = 0, Anchored = 1 };

LayoutMode LayoutModeOf(const MemoRecord& memo);

// The popup's top-left corner over a folder window whose frame is `folder`.
Point PopupPosition(const MemoRecord& memo, const Rect& folder);

// The popup's look from the memo. fontStyle 0..3 sets bold and italic; any other value
// keeps those of `previous`. Strike-out and underline are not shown.
MemoStyle ApplyMemoStyle(const MemoRecord& memo, const MemoStyle& previous);

}  // namespace kanopa::viewer
