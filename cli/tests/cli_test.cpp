#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <sstream>

#include "cli/kanopa_memo.h"
#include "common/codec.h"
#include "common/config_file.h"
#include "common/cp932.h"
#include "common/keys.h"
#include "common/memo_file.h"
#include "common/tests/fakes.h"
#include "common/utf8.h"

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

// The text form shows every value the JSON form carries, under the same name.
TEST_F(Cli, ShowPrintsTheSameValuesAsTextAndAsJson) {
    MemoRecord memo;
    memo.memoLeft = -20, memo.memoTop = 35, memo.memoWidth = 321, memo.memoHeight = 123;
    memo.foreColor = 255, memo.backColor = 65280, memo.fontName = "ＭＳ 明朝", memo.fontSize = 14;
    memo.fontStyle = 3, memo.fontStrikeout = 1, memo.fontUnderline = 1, memo.layoutMode = 0;
    memo.anchorPosition = 7, memo.margin = 12, memo.memoText = "本文";
    ASSERT_TRUE(SaveMemo(fs, clock, MemoKey(), "m.epm", memo));
    ASSERT_EQ(Run({"show", "m.epm", "--json"}), 0) << err.str();
    const std::string json = out.str();
    ASSERT_EQ(Run({"show", "m.epm"}), 0) << err.str();
    const std::string text = out.str();
    // Every "name":value pair of the JSON form, found again as "(name): value" in the text.
    const std::regex pair("\"(\\w+)\":(\"([^\"]*)\"|-?\\d+)");
    int fields = 0;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), pair); it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[1], value = (*it)[3].matched ? (*it)[3].str() : (*it)[2].str();
        if (name == "memoText") {
            EXPECT_NE(text.find("----\n" + value + "\n"), std::string::npos);
        } else {
            EXPECT_NE(text.find("(" + name + "): " + value), std::string::npos) << name << "\n" << text;
        }
        ++fields;
    }
    EXPECT_EQ(fields, kStoredFieldCount + 1);
}

TEST_F(Cli, LineBreaksOfEveryKindBecomeCrLf) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\nb", "a\r\nb"},       {"a\rb", "a\r\nb"},         {"a\r\nb", "a\r\nb"},
        {"a\r\r\nb", "a\r\n\r\nb"}, {"a\n\rb", "a\r\n\r\nb"}, {"\r", "\r\n"},
        {"\n\n", "\r\n\r\n"},     {"a\r", "a\r\n"},
    };
    for (const auto& [in, stored] : cases) {
        for (const bool fromFile : {false, true}) {
            fs.Put("in.txt", in);
            ASSERT_EQ(Run(fromFile ? std::vector<std::string>{"create", "m.epm", "--text-file", "in.txt"}
                                   : std::vector<std::string>{"create", "m.epm", "--text", in}), 0);
            MemoRecord loaded;
            ASSERT_TRUE(LoadMemo(fs, MemoKey(), "m.epm", loaded).complete());
            EXPECT_EQ(loaded.memoText, stored) << ::testing::PrintToString(in);
        }
    }
}

// Each refusal names what is wrong and where, exits 1 and leaves the memo on disk
// byte for byte.
TEST_F(Cli, RefusalsLeaveTheExistingMemoUntouched) {
    ASSERT_EQ(Run({"create", "m.epm", "--text", "on disk"}), 0);
    const std::string before = fs.Get("m.epm");
    fs.Put("sjis.txt", "abc\x82\xa0");             // Shift-JIS "あ" after three bytes
    fs.Put("bom-sjis.txt", "\xEF\xBB\xBF" "ab\x82\xa0");
    fs.Put("nul.txt", std::string("ab\0cd", 5));
    fs.Put("huge.txt", std::string(kMaxStorableChars * 4 + 4, 'x'));
    fs.PutFolder("folder.txt");
    struct Case { std::vector<std::string> args; std::string message; };
    const Case cases[] = {
        {{"--text", "笑顔😀"},
         "保存できない文字「😀」が含まれています。この文字を除いてから保存してください。"},
        {{"--text", "Grüße"},
         "保存できない文字「ü」が含まれています。この文字を除いてから保存してください。"},
        {{"--font", "한글"},
         "保存できない文字「한」が含まれています。この文字を除いてから保存してください。"},
        {{"--font", std::string(32, 'F')}, "--font のフォント名が長すぎます（31 文字まで）: " + std::string(32, 'F')},
        {{"--text-file", "sjis.txt"}, "テキストファイルが UTF-8 ではありません（3 バイト目から）: sjis.txt"},
        {{"--text-file", "bom-sjis.txt"}, "テキストファイルが UTF-8 ではありません（5 バイト目から）: bom-sjis.txt"},
        {{"--text-file", "nul.txt"}, "テキストファイルに NUL 文字があります（2 バイト目）: nul.txt"},
        {{"--text-file", "huge.txt"}, "テキストファイルが大きすぎます（メモに収まるのは 26215 バイトまでです）: huge.txt"},
        {{"--text-file", "folder.txt"}, "テキストファイルが通常のファイルではありません: folder.txt"},
        {{"--text-file", "missing.txt"}, "テキストファイルを読めません: missing.txt（not found）"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"create", "m.epm"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(Run(args), 1) << c.message;
        EXPECT_EQ(err.str(), "kanopa-memo: " + c.message + "\n");
        EXPECT_EQ(fs.Get("m.epm"), before) << c.message;
    }
    EXPECT_EQ(fs.PathsStartingWith("m.epm"), std::vector<std::string>{"m.epm"});
}

// The largest text file that fits a memo and the longest font name are stored; one
// character more is refused.
TEST_F(Cli, TextFileAndFontNameBoundariesAreTheMemosOwn) {
    ASSERT_EQ(Run({"create", "m.epm", "--text", ""}), 0);
    const std::string emptyRecord = DecodeFromFile(MemoKey(), fs.Get("m.epm"));
    const std::string fits(kMaxStorableChars - CountCodePoints(emptyRecord), 'x');
    fs.Put("fits.txt", fits);
    ASSERT_EQ(Run({"create", "m.epm", "--text-file", "fits.txt"}), 0) << err.str();
    MemoRecord loaded;
    ASSERT_TRUE(LoadMemo(fs, MemoKey(), "m.epm", loaded).complete());
    EXPECT_EQ(loaded.memoText, fits);
    const std::string before = fs.Get("m.epm");
    fs.Put("over.txt", fits + "x");
    EXPECT_EQ(Run({"create", "m.epm", "--text-file", "over.txt"}), 1);
    EXPECT_NE(err.str().find("6553"), std::string::npos) << err.str();
    EXPECT_EQ(fs.Get("m.epm"), before);

    ASSERT_EQ(Run({"create", "m.epm", "--font", std::string(31, 'F')}), 0) << err.str();
    std::string name31;
    for (int i = 0; i < 31; ++i) name31 += "ゴ";
    ASSERT_EQ(Run({"create", "m.epm", "--font", name31}), 0) << err.str();
    EXPECT_EQ(Run({"create", "m.epm", "--font", name31 + "ゴ"}), 1);
}

TEST_F(Cli, RunningOutOfMemoryIsReportedNotAnAbort) {
    fs.Put("in.txt", "text");
    fs.outOfMemoryOnRead = true;
    EXPECT_EQ(Run({"create", "m.epm", "--text-file", "in.txt"}), 1);
    EXPECT_EQ(err.str(), "kanopa-memo: メモリが足りないため処理を中止しました。\n");
    EXPECT_FALSE(fs.Exists("m.epm"));
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

// Every failed read or write names the file, and "cannot read" is told from "not a memo
// (or settings) file".
TEST_F(Cli, FailuresNameTheFileAndTellUnreadableFromNotAMemo) {
    fs.Put("junk.epm", "definitely not scrambled digits");
    fs.Put("big.epm", std::string(kMaxCodecChars + 1, '5'));
    fs.Put("cut.epm", EncodeForFile(MemoKey(), "0,,,0,0,0,0,1,2,3"));
    fs.PutFolder("folder.epm");
    fs.Put("junk.txt", "garbage");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"show", "missing.epm", "--json"}, "ファイルを読めません: missing.epm（not found）"},
        {{"show", "folder.epm", "--json"}, "ファイルを読めません: folder.epm（is a folder）"},
        {{"show", "junk.epm", "--json"}, "メモファイルではありません: junk.epm"},
        {{"show", "big.epm", "--json"}, "メモファイルではありません（大きすぎます）: big.epm"},
        {{"show", "cut.epm", "--json"}, "メモファイルが壊れています（読めたのは 3 項目まで）: cut.epm"},
        {{"config-show", "missing.txt"}, "設定ファイルを読めません: missing.txt（not found）"},
        {{"config-show", "junk.txt"}, "設定ファイルではありません: junk.txt"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(Run(args), 1) << args[1];
        EXPECT_TRUE(out.str().empty());
        EXPECT_EQ(err.str(), "kanopa-memo: " + message + "\n");
    }
    fs.failCreate = true;
    EXPECT_EQ(Run({"create", "dir/m.epm", "--text", "x"}), 1);
    EXPECT_NE(err.str().find("dir/m.epm"), std::string::npos) << err.str();
}

// Output that cannot be written (a full disk, a closed pipe) fails the run; a usage
// error keeps its own code.
TEST_F(Cli, OutputThatCannotBeWrittenIsAFailure) {
    struct Refusing : std::streambuf {
        int_type overflow(int_type) override { return traits_type::eof(); }
    } refusing;
    std::ostream broken(&refusing);
    ASSERT_EQ(Run({"create", "m.epm", "--text", "x"}), 0);
    MemoRecord editor;
    ASSERT_TRUE(SaveConfig(fs, "Config.txt", editor));
    fs.Put("DateTime.txt", Utf8ToCp932("和暦\r\nggge\r\n"));
    fs.PutFolder("d");
    fs.Put("d\\m.epm", "");
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"show", "m.epm"}, 1}, {{"show", "m.epm", "--json"}, 1}, {{"config-show", "Config.txt"}, 1},
        {{"search", "d", "*"}, 1}, {{"dates"}, 1}, {{"copy", "m.epm", "d"}, 1}, {{"--help"}, 1}, {{"show"}, 2},
    };
    for (const auto& [args, code] : cases) {
        err.str("");
        EXPECT_EQ(cli::RunKanopaMemo(args, fs, clock, broken, err), code) << args[0];
        if (code == 1) {
            EXPECT_EQ(err.str(), "kanopa-memo: 出力を書き込めませんでした。\n");
        }
        broken.clear();
    }
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
}

}  // namespace
}  // namespace kanopa
