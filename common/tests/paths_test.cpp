#include <gtest/gtest.h>

#include "common/paths.h"
#include "common/tests/fakes.h"
#include "common/wildcard.h"

namespace kanopa {
namespace {

TEST(Paths, AddBackslashGetFileNameGetFolderPart) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"C:\\Work", "C:\\Work\\"}, {"C:\\Work\\", "C:\\Work\\"}, {"\\\\srv\\share", "\\\\srv\\share\\"},
    };
    for (const auto& [in, expected] : cases) {
        std::string path = in;
        EXPECT_EQ(AddBackslash(path), expected);
        EXPECT_EQ(path, expected);  // the caller's variable itself
    }
    EXPECT_EQ(GetFileName("C:\\Work\\a.epm"), "a.epm");
    EXPECT_EQ(GetFileName("a.epm"), "a.epm");
    EXPECT_EQ(GetFolderPart("C:\\Work\\a.epm"), "C:\\Work\\");
    EXPECT_EQ(GetFolderPart("a.epm"), "");
}

TEST(Paths, IsFileReportsListingFailuresAsFalseAndLogs) {
    testing::FakeFileSystem fs;
    fs.failList = true;
    testing::LogCapture capture;
    EXPECT_FALSE(IsFile(fs, "Z:\\memo.epm"));
    ASSERT_EQ(capture.log.entries.size(), 1u);
    EXPECT_EQ(capture.log.entries[0].first, "IsFile()");
    EXPECT_EQ(capture.log.entries[0].second, "Z:\\memo.epm device not ready");
}

TEST(Wildcard, MatchesLikeWindowsLongNames) {
    struct Case { const char* pattern; const char* name; bool match; };
    const Case cases[] = {
        {"*", "anything", true}, {"*.epm", "a.epm", true}, {"*.epm", "a.EPM", true},
        {"*.epm", "a.epmx", false}, {"*epm", "epm", true}, {"*epm", "xEPM", true},
        {"?.epm", "a.epm", true}, {"?.epm", "ab.epm", false}, {"?.epm", "あ.epm", true},
        {"?.epm", "😀.epm", true}, {"a*b*c", "aXbYc", true}, {"a*b*c", "aXbY", false},
        {"**", "", true}, {"memo.epm", "Memo.Epm", true}, {"メモ*", "メモ帳.epm", true},
        {"", "a", false}, {"a", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WildcardMatch(c.pattern, c.name, CaseFolding::IgnoreCase), c.match)
            << c.pattern << " ~ " << c.name;
    }
}

// Letters beyond ASCII fold as the file system folds them, both ways round; letters
// without a simple partner, kana and symbols only match themselves.
TEST(Wildcard, IgnoreCaseFoldsLettersBeyondAscii) {
    struct Case { const char* lower; const char* upper; bool same; };
    const Case cases[] = {
        {"é", "É", true},   {"ÿ", "Ÿ", true},   {"þ", "Þ", true},   {"÷", "×", false},
        {"ā", "Ā", true},   {"ľ", "Ľ", true},   {"ž", "Ž", true},   {"ı", "I", false},
        {"α", "Α", true},   {"ω", "Ω", true},   {"ς", "Σ", true},   {"ά", "Ά", true},
        {"ώ", "Ώ", true},   {"ж", "Ж", true},   {"я", "Я", true},   {"ё", "Ё", true},
        {"ѡ", "Ѡ", true},   {"ӂ", "Ӂ", true},   {"ӏ", "Ӏ", true},   {"ա", "Ա", true},
        {"ạ", "Ạ", true},   {"ⅰ", "Ⅰ", true},   {"ⓩ", "Ⓩ", true},   {"ａ", "Ａ", true},
        {"ｚ", "Ｚ", true},  {"ａ", "A", false},  {"あ", "ア", false}, {"ß", "SS", false},
    };
    for (const Case& c : cases) {
        const std::string lower = std::string("memo-") + c.lower + ".epm";
        const std::string upper = std::string("MEMO-") + c.upper + ".EPM";
        EXPECT_EQ(WildcardMatch(lower, upper, CaseFolding::IgnoreCase), c.same) << c.lower;
        EXPECT_EQ(WildcardMatch(upper, lower, CaseFolding::IgnoreCase), c.same) << c.upper;
        EXPECT_EQ(WildcardMatch("*" + std::string(c.upper) + "*", lower, CaseFolding::IgnoreCase),
                  c.same) << c.upper;
        EXPECT_FALSE(WildcardMatch(lower, upper, CaseFolding::Exact)) << c.lower;
        EXPECT_TRUE(WildcardMatch(lower, lower, CaseFolding::Exact)) << c.lower;
    }
}

}  // namespace
}  // namespace kanopa
