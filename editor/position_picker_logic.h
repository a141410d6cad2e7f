#pragma once
// The position picker: nine zones over a picture, three rows of three, index =
// row * 3 + column from the top left. Zone i picks anchor i + 1. Its tooltips name
// the row first ("上-左"), while the editor's position names name the column first
// ("左-上"); both are shown as they are.
//
// Layout in twips: client 3285 x 2115; each zone 705 x 345; columns at Left 330, 1290,
// 2220; rows at Top 270, 870, 1470.
#include <array>
#include <cstdint>
#include <string>

#include "editor/editor_view.h"
#include "editor/preview_layout.h"

namespace kanopa::editor {

inline constexpr int kPickerZoneCount = 9;
inline constexpr int kPickerClientWidthTwips = 3285;
inline constexpr int kPickerClientHeightTwips = 2115;
inline constexpr int kPickerZoneWidthTwips = 705;
inline constexpr int kPickerZoneHeightTwips = 345;
inline constexpr std::array<int, 3> kPickerColumnLeftTwips = {330, 1290, 2220};
inline constexpr std::array<int, 3> kPickerRowTopTwips = {270, 870, 1470};
inline constexpr int kPickerImageWidth = 204;   // the background picture, pixels
inline constexpr int kPickerImageHeight = 115;
inline constexpr std::int32_t kPickerHighlightColor = 255;  // red, 0x00BBGGRR

// Anchor chosen by zone `zone` (0..8); 0 for any other zone.
std::int32_t AnchorForZone(int zone);
// "上-左" ... "下-右"; "" for any other zone.
std::string ZoneTooltip(int zone);
// Zone rectangle in the picker's client area, in pixels at the factor.
PixelRect ZoneRect(int zone, double twipsPerPixel);
PixelSize PickerClientSize(double twipsPerPixel);
// The zone under (x, y) in the client area, or -1 over the picture between the zones.
// The one zone highlighted while the pointer is there.
int ZoneAt(std::int32_t x, std::int32_t y, double twipsPerPixel);

// Where the picker opens, in screen pixels: its left edge half its width left of the
// place button's left edge; its top 700 twips below the toolbar's bottom edge.
PixelPoint PickerOrigin(std::int32_t buttonScreenLeft, std::int32_t toolbarScreenBottom,
                        std::int32_t pickerWidth, double twipsPerPixel);

}  // namespace kanopa::editor
