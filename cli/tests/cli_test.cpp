#include <gtest/gtest.h>

#include <sstream>

#include "cli/kanopa_memo.h"
#include "common/codec.h"
#include "common/config_file.h"
#include "common/tests/fakes.h"

namespace kanopa {
namespace {

class Cli : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return cli::RunKanopaMemo(args, fs, clock, out, err);
    }
    testing::FakeFileSystem fs;
    testing::FixedClock clock;
    std::ostringstream out, err;
};

TEST_F(Cli, CreateThenShowJsonRoundTripsJapaneseTextWithCommasAndLineBreaks) {
    fs.Put("in.txt", "\xEF\xBB\xBF" "議事録,第2回\n\"引用\" と \\ 記号\r\n#TEXT#\tタブ");
    ASSERT_EQ(Run({"create", "m.epm", "--text-file", "in.txt", "--anchor", "9", "--margin", "12",
                   "--size", "320,240", "--fore", "0x0000FF", "--back", "65280", "--font",
                   "ＭＳ 明朝", "--font-size", "14", "--bold", "--italic"}), 0) << err.str();
    ASSERT_EQ(Run({"show", "m.epm", "--json"}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "{\"memoLeft\":50,\"memoTop\":50,\"memoWidth\":320,\"memoHeight\":240,"
              "\"foreColor\":255,\"backColor\":65280,\"fontName\":\"ＭＳ 明朝\",\"fontSize\":14,"
              "\"fontStyle\":3,\"fontStrikeout\":0,\"fontUnderline\":0,"
              "\"savedAt\":\"2026/12/06 9:05:07\",\"layoutMode\":1,\"anchorPosition\":9,"
              "\"margin\":12,\"memoText\":\"議事録,第2回\\r\\n\\\"引用\\\" と \\\\ 記号\\r\\n#TEXT#\\tタブ\"}\n");
}

TEST_F(Cli, DefaultCreateDecodesToTheDocumentedSerialisedForm) {
    ASSERT_EQ(Run({"create", "d.epm", "--text", "abc"}), 0);
    EXPECT_EQ(DecodeFromFile("31975", fs.Get("d.epm")),
              "0,,,0,0,0,0,50,50,200,100,0,16777215,ＭＳ ゴシック,11,0,0,0,"
              "2026/12/06 9:05:07,0,False,1,1,50,,-1,#TEXT#abc");
}

TEST_F(Cli, AbsoluteLayoutIsStored) {
    ASSERT_EQ(Run({"create", "a.epm", "--absolute", "-20,35"}), 0);
    ASSERT_EQ(Run({"show", "a.epm"}), 0);
    EXPECT_NE(out.str().find("絶対位置 (-20, 35)"), std::string::npos);
}

TEST_F(Cli, BadInputAndUsageFailWithOneLineAndNothingWritten) {
    struct Case { std::vector<std::string> args; int code; };
    const Case cases[] = {
        {{}, 2},
        {{"frobnicate", "x.epm"}, 2},
        {{"create"}, 2},
        {{"create", "x.epm", "--anchor"}, 2},
        {{"create", "x.epm", "--wat", "1"}, 2},
        {{"create", "x.epm", "--anchor", "1", "--absolute", "1,1"}, 2},
        {{"create", "x.epm", "--text", "a", "--text-file", "b"}, 2},
        {{"show", "x.epm", "--bold"}, 2},
        {{"create", "x.epm", "--anchor", "10"}, 1},
        {{"create", "x.epm", "--size", "200"}, 1},
        {{"create", "x.epm", "--fore", "0x1000000"}, 1},
        {{"create", "x.epm", "--fore", "red"}, 1},
        {{"create", "x.epm", "--font", "A,B"}, 1},
        {{"create", "x.epm", "--text", std::string(7000, 'a')}, 1},
        {{"create", "x.epm", "--text-file", "missing.txt"}, 1},
        {{"show", "missing.epm"}, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), c.code) << ::testing::PrintToString(c.args);
        EXPECT_TRUE(out.str().empty());
        const std::string e = err.str();
        EXPECT_EQ(e.rfind("kanopa-memo: ", 0), 0u);
        EXPECT_EQ(e.find('\n'), e.size() - 1) << e;  // exactly one line
        EXPECT_FALSE(fs.Exists("x.epm"));
    }
}

TEST_F(Cli, ShowRejectsFilesThatAreNotMemos) {
    fs.Put("junk.epm", "definitely not scrambled digits");
    EXPECT_EQ(Run({"show", "junk.epm"}), 1);
    EXPECT_TRUE(out.str().empty());
    fs.Put("cut.epm", EncodeForFile("31975", "0,,,0,0,0,0,1,2,3"));
    EXPECT_EQ(Run({"show", "cut.epm", "--json"}), 1);
    EXPECT_NE(err.str().find("3 項目"), std::string::npos) << err.str();  // says how far it got
}

TEST_F(Cli, ConfigShowPrintsTheStoredSettingsWithReservedFields) {
    MemoRecord editor;
    editor.reservedText = "r";
    editor.reservedValue = 5;
    ASSERT_TRUE(SaveConfig(fs, "Config.txt", editor));
    ASSERT_EQ(Run({"config-show", "Config.txt", "--json"}), 0) << err.str();
    EXPECT_NE(out.str().find("\"memoWidth\":200"), std::string::npos);
    EXPECT_NE(out.str().find("\"reservedText\":\"r\",\"reservedValue\":5}"), std::string::npos);
    EXPECT_EQ(out.str().find("memoText"), std::string::npos);
    EXPECT_EQ(Run({"config-show", "m.epm"}), 1);
}

}  // namespace
}  // namespace kanopa
