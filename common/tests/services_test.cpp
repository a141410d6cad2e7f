#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/posix/posix_file_system.h"
#include "common/services.h"
#include "common/tests/fakes.h"
#include "common/wildcard.h"

namespace kanopa {
namespace {

TEST(Services, PathHelpers) {
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

TEST(Services, IsNumberInRange) {
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

TEST(Services, DefaultMemoValuesKeepStrikeOutUnderlineAndRunTimeFields) {
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

TEST(Services, InitCommonBuildsTheViewersKeyAndProgramFolder) {
    const CommonContext c = InitCommon("C:\\Program Files\\Kanopa\\Kanopa.exe");
    EXPECT_EQ(c.memoKey, kViewerMemoKey);
    EXPECT_EQ(c.programFolder, "C:\\Program Files\\Kanopa\\");
}

TEST(Services, IsFileReportsListingFailuresAsFalseAndLogs) {
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
        {"a*b*c", "aXbYc", true}, {"a*b*c", "aXbY", false}, {"**", "", true},
        {"memo.epm", "Memo.Epm", true}, {"メモ*", "メモ帳.epm", true}, {"", "a", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
    }
}

class PosixIsFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("kanopa-isfile-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(dir / "folder.epm");
        std::ofstream(dir / "a.epm") << "x";
        std::ofstream(dir / ".hidden.txt") << "x";
        prefix = dir.string() + "/";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
    std::string prefix;
    PosixFileSystem fs;
};

TEST_F(PosixIsFile, FindsOrdinaryFilesOnly) {
    EXPECT_TRUE(IsFile(fs, prefix + "a.epm"));
    EXPECT_TRUE(IsFile(fs, prefix + "*.epm"));  // the folder named folder.epm does not count
    EXPECT_TRUE(IsFile(fs, prefix + "?.EPM"));
    EXPECT_FALSE(IsFile(fs, prefix + "folder.epm"));
    EXPECT_FALSE(IsFile(fs, prefix + ".hidden.txt"));
    EXPECT_FALSE(IsFile(fs, prefix + "*.txt"));
    EXPECT_FALSE(IsFile(fs, prefix + "missing\\x.epm"));
}

}  // namespace
}  // namespace kanopa
