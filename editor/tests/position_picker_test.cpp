#include <gtest/gtest.h>

#include "editor/position_picker_logic.h"

namespace kanopa::editor {
namespace {

TEST(EditorPositionPicker, ZonesTooltipsAnchorsAndHits) {
    const char* tooltips[] = {"上-左", "上-中央", "上-右", "左",   "中央",
                              "右",    "下-左",   "下-中央", "下-右"};
    for (int zone = 0; zone < kPickerZoneCount; ++zone) {
        EXPECT_EQ(ZoneTooltip(zone), tooltips[zone]);
        EXPECT_EQ(AnchorForZone(zone), zone + 1);
    }
    for (const int outside : {-1, 9}) {
        EXPECT_EQ(ZoneTooltip(outside), "");
        EXPECT_EQ(AnchorForZone(outside), 0);
    }
    EXPECT_EQ(ZoneRect(8, 15), (PixelRect{148, 98, 47, 23}));
    EXPECT_EQ(PickerClientSize(15), (PixelSize{219, 141}));
    for (const double factor : {15.0, 12.0, 10.0, 1440.0 / 168, 7.5}) {
        for (int zone = 0; zone < kPickerZoneCount; ++zone) {
            const PixelRect r = ZoneRect(zone, factor);
            EXPECT_EQ(ZoneAt(r.left, r.top, factor), zone) << factor;
            EXPECT_EQ(ZoneAt(r.left + r.width - 1, r.top + r.height - 1, factor), zone);
            EXPECT_EQ(ZoneAt(r.left - 1, r.top, factor), -1);
            EXPECT_EQ(ZoneAt(r.left, r.top + r.height, factor), -1);
        }
    }
    EXPECT_EQ(PickerOrigin(500, 100, 219, 15), (PixelPoint{391, 147}));
}

}  // namespace
}  // namespace kanopa::editor
