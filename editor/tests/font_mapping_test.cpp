#include <gtest/gtest.h>

#include "common/services.h"
#include "editor/font_mapping.h"

namespace kanopa::editor {
namespace {

TEST(EditorFontStyle, StyleAndFlagsBothWays) {
    const FontStyleFlags flags[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (int style = 0; style <= 3; ++style) {
        EXPECT_EQ(StyleToFlags(style), flags[style]) << style;
        EXPECT_EQ(FlagsToStyle(flags[style]), style);
    }
    // Weights from the dialog: semibold and heavier count as bold, medium does not.
    const std::pair<int, bool> weights[] = {{0, false},   {400, false}, {500, false},
                                            {599, false}, {600, true},  {700, true},
                                            {900, true}};
    for (const auto& [weight, bold] : weights) EXPECT_EQ(IsBoldWeight(weight), bold) << weight;
}

TEST(EditorFontSize, PointsToHeightAndTenthsBack) {
    const struct {
        int points, dpi, height;
    } heights[] = {{12, 96, -16}, {11, 96, -15}, {11, 120, -18}, {8, 144, -16},
                   {24, 168, -56}, {9, 192, -24}, {0, 96, 0}};
    for (const auto& h : heights) EXPECT_EQ(LogFontHeight(h.points, h.dpi), h.height);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);  // halves away from zero, as Windows rounds
    EXPECT_EQ(MulDiv(5, 5, 0), 0);
    const std::pair<int, int> tenths[] = {{120, 12}, {124, 12}, {125, 12}, {126, 13},
                                          {135, 14}, {105, 10}, {80, 8}};
    for (const auto& [t, points] : tenths) EXPECT_EQ(PointsFromTenths(t), points) << t;
}

TEST(EditorFontName, LengthInUtf16Units) {
    EXPECT_EQ(Utf16Length(kDefaultFontName), 7u);
    EXPECT_EQ(Utf16Length("\xF0\x9F\x98\x80"), 2u);  // outside the BMP: a surrogate pair
    EXPECT_TRUE(FitsFaceName(std::string(31, 'a')));
    EXPECT_FALSE(FitsFaceName(std::string(32, 'a')));
}

class FakeFontDialog : public FontDialog {
public:
    int dpi = 96;
    bool confirm = true;
    FontDialogOutput output;
    FontDialogInput seen;
    int Dpi() override { return dpi; }
    bool Show(const FontDialogInput& input, FontDialogOutput& out) override {
        seen = input;
        if (confirm) out = output;
        return confirm;
    }
};

class EditorChooseFont : public ::testing::Test {
protected:
    EditorChooseFont() {
        SetDefaultMemoValues(record);
        record.fontSize = 12;
        record.fontStyle = 2;
        record.fontStrikeout = 1;
        dialog.output = {"Arial", 0x0000FF, 125, 700, true, true, false};
    }
    MemoRecord record;
    FakeFontDialog dialog;
};

TEST_F(EditorChooseFont, OpensFromTheRecordAndWritesTheChoiceBack) {
    ASSERT_EQ(ChooseMemoFont(dialog, record).choice, FontChoice::Chosen);
    EXPECT_EQ(dialog.seen.faceName, kDefaultFontName);
    EXPECT_EQ(dialog.seen.height, -16);
    EXPECT_EQ(dialog.seen.weight, 700);
    EXPECT_FALSE(dialog.seen.italic);
    EXPECT_TRUE(dialog.seen.strikeout);
    EXPECT_FALSE(dialog.seen.underline);
    EXPECT_EQ(dialog.seen.minPoints, 8);
    EXPECT_EQ(dialog.seen.maxPoints, 24);

    EXPECT_EQ(record.fontName, "Arial");
    EXPECT_EQ(record.fontSize, 12);
    EXPECT_EQ(record.foreColor, 0x0000FF);
    EXPECT_EQ(record.fontStyle, 3);
    EXPECT_EQ(record.fontUnderline, 1);
    EXPECT_EQ(record.fontStrikeout, 0);

    dialog.dpi = 144;  // the dialog's monitor decides the height
    ChooseMemoFont(dialog, record);
    EXPECT_EQ(dialog.seen.height, -24);
}

TEST_F(EditorChooseFont, CancelOrUnstorableNamesLeaveTheRecord) {
    const MemoRecord before = record;
    dialog.confirm = false;
    EXPECT_EQ(ChooseMemoFont(dialog, record).choice, FontChoice::Cancelled);
    EXPECT_EQ(record, before);

    dialog.confirm = true;
    for (const std::string& name : {std::string(32, 'x'), std::string("A,B"), std::string()}) {
        dialog.output.faceName = name;
        const FontChoiceResult result = ChooseMemoFont(dialog, record);
        EXPECT_EQ(result.choice, FontChoice::Refused) << name;
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(record, before);
    }
    dialog.output.faceName = std::string(31, 'x');
    EXPECT_EQ(ChooseMemoFont(dialog, record).choice, FontChoice::Chosen);
    EXPECT_EQ(record.fontName, std::string(31, 'x'));
}

TEST_F(EditorChooseFont, ATooLongStoredNameOpensWithTheDefaultFont) {
    record.fontName = std::string(40, 'n');
    dialog.confirm = false;
    ChooseMemoFont(dialog, record);
    EXPECT_EQ(dialog.seen.faceName, kDefaultFontName);
}

}  // namespace
}  // namespace kanopa::editor
