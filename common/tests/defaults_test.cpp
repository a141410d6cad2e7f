#include <gtest/gtest.h>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/number_range.h"
#include "common/program_context.h"

namespace kanopa {
namespace {

TEST(NumberRange, TrimsThenChecksDigitsAndBounds) {
    struct Case { std::string text; int min, max; bool expected; std::string trimmed; };
    const Case cases[] = {
        {" 50 ", 0, 1000, true, "50"}, {"0", 0, 0, true, "0"}, {"1000", 0, 1000, true, "1000"},
        {"1001", 0, 1000, false, "1001"}, {"5a", 0, 1000, false, "5a"}, {"-5", -10, 10, false, "-5"},
        {"", 0, 10, false, ""}, {"   ", 0, 10, false, ""}, {"99999999999", 0, 32767, false, "99999999999"},
        {"５", 0, 10, false, "５"}, {"1 2", 0, 100, false, "1 2"}, {"007", 0, 10, true, "007"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(IsNumberInRange(text, static_cast<std::int16_t>(c.min), static_cast<std::int16_t>(c.max)),
                  c.expected) << "'" << c.text << "'";
        EXPECT_EQ(text, c.trimmed);
    }
}

TEST(MemoDefaults, KeepStrikeOutUnderlineAndRunTimeFields) {
    MemoRecord r;
    r.fontUnderline = r.fontStrikeout = 1;
    r.folderWindow = 3;
    r.reservedText = "x";
    r.memoText = r.savedAt = "old";
    MemoRecord expected = r;
    expected.memoLeft = expected.memoTop = 50, expected.memoWidth = 200, expected.memoHeight = 100;
    expected.backColor = 0xFFFFFF, expected.fontName = "ＭＳ ゴシック", expected.fontSize = 11;
    expected.memoText = expected.savedAt = "";
    expected.margin = 50, expected.layoutMode = 1, expected.anchorPosition = 1;
    SetDefaultMemoValues(r);
    EXPECT_EQ(r, expected);
}

TEST(ProgramContext, InitCommonBuildsTheMemoKeyAndProgramFolder) {
    const CommonContext c = InitCommon("C:\\Program Files\\Kanopa\\Kanopa.exe");
    EXPECT_EQ(c.memoKey, "31975");  // the key every memo file is scrambled with
    EXPECT_EQ(MemoKey(), "31975");
    EXPECT_EQ(c.programFolder, "C:\\Program Files\\Kanopa\\");
}

}  // namespace
}  // namespace kanopa
