#pragma once
// The system's font and colour dialogs for the memo's formatting commands.
#include <windows.h>

#include <cstdint>

#include "common/memo_record.h"

namespace kanopa::editor::win32 {

// The font dialog (screen fonts with colour, strike-out and underline, sizes 8 to 24
// points), started from the record's font and text colour. On OK the choice is written
// into the record's fontName, fontSize, fontStyle, fontStrikeout, fontUnderline and
// foreColor, and the result is true. Cancel leaves the record as it was; so does a face
// name the memo file cannot hold, after a message to the user.
bool ShowMemoFontDialog(HWND owner, MemoRecord& record);

// The colour dialog, started at `color` (0x00BBGGRR), its sixteen custom colours white
// at every opening. On OK `color` becomes the colour chosen and the result is true; on
// Cancel `color` is left as it was.
bool ShowColorDialog(HWND owner, std::int32_t& color);

}  // namespace kanopa::editor::win32
