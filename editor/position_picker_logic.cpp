#include "editor/position_picker_logic.h"

namespace kanopa::editor {
namespace {

constexpr const char* kZoneTooltips[] = {"上-左", "上-中央", "上-右", "左",   "中央",
                                         "右",    "下-左",   "下-中央", "下-右"};

bool ValidZone(int zone) { return zone >= 0 && zone < kPickerZoneCount; }

}  // namespace

std::int32_t AnchorForZone(int zone) {
    return ValidZone(zone) ? zone + 1 : 0;
}

std::string ZoneTooltip(int zone) {
    return ValidZone(zone) ? kZoneTooltips[zone] : std::string();
}

PixelRect ZoneRect(int zone, double twipsPerPixel) {
    if (!ValidZone(zone)) return {};
    const int row = zone / 3;
    const int column = zone % 3;
    return {TwipsToPixels(kPickerColumnLeftTwips[column], twipsPerPixel),
            TwipsToPixels(kPickerRowTopTwips[row], twipsPerPixel),
            TwipsToPixels(kPickerZoneWidthTwips, twipsPerPixel),
            TwipsToPixels(kPickerZoneHeightTwips, twipsPerPixel)};
}

PixelSize PickerClientSize(double twipsPerPixel) {
    return {TwipsToPixels(kPickerClientWidthTwips, twipsPerPixel),
            TwipsToPixels(kPickerClientHeightTwips, twipsPerPixel)};
}

int ZoneAt(std::int32_t x, std::int32_t y, double twipsPerPixel) {
    for (int zone = 0; zone < kPickerZoneCount; ++zone) {
        const PixelRect r = ZoneRect(zone, twipsPerPixel);
        if (x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height) {
            return zone;
        }
    }
    return -1;
}

PixelPoint PickerOrigin(std::int32_t buttonScreenLeft, std::int32_t toolbarScreenBottom,
                        std::int32_t pickerWidth, double twipsPerPixel) {
    return {buttonScreenLeft - pickerWidth / 2,
            toolbarScreenBottom + TwipsToPixels(kPickerBelowToolbarTwips, twipsPerPixel)};
}

}  // namespace kanopa::editor
