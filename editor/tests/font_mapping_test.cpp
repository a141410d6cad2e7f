#include <gtest/gtest.h>

#include "common/memo_defaults.h"
#include "editor/font_mapping.h"

namespace kanopa::editor {
namespace {

TEST(EditorFontMapping, StyleWeightHeightAndTenths) {
    const FontStyleFlags flags[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (int style = 0; style <= 3; ++style) {
        EXPECT_EQ(StyleToFlags(style), flags[style]) << style;
        EXPECT_EQ(FlagsToStyle(flags[style]), style);
    }
    // Semibold and heavier count as bold; medium (500) does not.
    for (const auto& [weight, bold] : {std::pair{500, false}, {599, false}, {600, true}, {900, true}}) {
        EXPECT_EQ(IsBoldWeight(weight), bold) << weight;
    }
    const std::array<int, 3> heights[] = {{12, 96, -16}, {11, 96, -15}, {11, 120, -18},
                                          {24, 168, -56}, {9, 192, -24}};
    for (const auto& [points, dpi, height] : heights) EXPECT_EQ(LogFontHeight(points, dpi), height);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);  // halves away from zero, as Windows rounds
    for (const auto& [tenths, points] :
         {std::pair{124, 12}, {125, 12}, {126, 13}, {135, 14}, {80, 8}}) {
        EXPECT_EQ(PointsFromTenths(tenths), points) << tenths;
    }
    EXPECT_TRUE(FitsFaceName(std::string(30, 'a') + "\xE3\x81\x82"));  // 31 units
    EXPECT_FALSE(FitsFaceName(std::string(30, 'a') + "\xF0\x9F\x98\x80"));  // a pair: 32
}

class FakeFontDialog : public FontDialog {
public:
    int dpi = 96;
    bool confirm = true;
    FontDialogOutput output{"Arial", 0x0000FF, 125, 700, true, true, false};
    FontDialogInput seen;
    int Dpi() override { return dpi; }
    bool Show(const FontDialogInput& input, FontDialogOutput& out) override {
        seen = input;
        if (confirm) out = output;
        return confirm;
    }
};

TEST(EditorChooseFont, OpensFromTheRecordAndWritesTheChoiceBack) {
    MemoRecord record;
    SetDefaultMemoValues(record);
    record.fontSize = 12;
    record.fontStyle = 2;
    record.fontStrikeout = 1;
    FakeFontDialog dialog;
    ASSERT_EQ(ChooseMemoFont(dialog, record).choice, FontChoice::Chosen);
    EXPECT_EQ(dialog.seen.faceName, kDefaultFontName);
    EXPECT_EQ(dialog.seen.height, -16);
    EXPECT_EQ(dialog.seen.weight, 700);
    EXPECT_TRUE(dialog.seen.strikeout && !dialog.seen.italic && !dialog.seen.underline);
    EXPECT_EQ(std::pair(dialog.seen.minPoints, dialog.seen.maxPoints), std::pair(8, 24));
    EXPECT_EQ(record.fontName, "Arial");
    EXPECT_EQ(record.fontSize, 12);
    EXPECT_EQ(record.foreColor, 0x0000FF);
    EXPECT_EQ(record.fontStyle, 3);
    EXPECT_EQ(std::pair(record.fontUnderline, record.fontStrikeout), std::pair(1, 0));

    dialog.dpi = 144;  // the dialog's monitor decides the height
    record.fontName = std::string(40, 'n');  // does not fit: opens with the default
    ChooseMemoFont(dialog, record);
    EXPECT_EQ(dialog.seen.height, -24);
    EXPECT_EQ(dialog.seen.faceName, kDefaultFontName);
}

TEST(EditorChooseFont, CancelOrUnstorableNamesLeaveTheRecord) {
    MemoRecord record;
    SetDefaultMemoValues(record);
    const MemoRecord before = record;
    FakeFontDialog dialog;
    dialog.confirm = false;
    EXPECT_EQ(ChooseMemoFont(dialog, record).choice, FontChoice::Cancelled);
    EXPECT_EQ(record, before);
    dialog.confirm = true;
    for (const std::string& name : {std::string(32, 'x'), std::string("A,B"), std::string(),
                                    std::string("\xEB\xA7\x91\xEC\x9D\x80")}) {  // Hangul
        dialog.output.faceName = name;
        const FontChoiceResult result = ChooseMemoFont(dialog, record);
        EXPECT_EQ(result.choice, FontChoice::Refused) << name;
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(record, before);
    }
    dialog.output.faceName = std::string(31, 'x');  // the longest that fits
    EXPECT_EQ(ChooseMemoFont(dialog, record).choice, FontChoice::Chosen);
}

}  // namespace
}  // namespace kanopa::editor
