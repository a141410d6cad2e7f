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
#include <cstdint>
#include <optional>

#include "common/memo_record.h"
#include "common/status.h"
#include "viewer/platform.h"

namespace kanopa::viewer {

// 0: place, size and show (a popup being opened); 1: move only, keeping the size the
// user may have given it (a popup following its window).
inline constexpr int kPlaceAndSize = 0;
inline constexpr int kMoveOnly = 1;

struct PopupPlacement {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    bool resize = false;
    bool operator==(const PopupPlacement&) const = default;
};

// nullopt for a mode other than 0 or 1.
std::optional<PopupPlacement> PlaceMemoWindow(const MemoRecord& memo, int mode);

// Hands a placement to the popup window.
Status ApplyPlacement(MemoPopup& popup, const PopupPlacement& placement);

// The popup's look from the memo. fontStyle 0..3 sets bold and italic; any other value
// keeps those of `previous`. Strike-out and underline are not shown.
MemoStyle ApplyMemoStyle(const MemoRecord& memo, const MemoStyle& previous);

}  // namespace kanopa::viewer
