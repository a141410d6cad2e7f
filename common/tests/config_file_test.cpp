#include <gtest/gtest.h>

#include <set>

#include "common/codec.h"
#include "common/config_file.h"
#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/tests/fakes.h"

namespace kanopa {
namespace {

constexpr char kPath[] = "C:\\Kanopa\\Config.txt";

class ConfigFile : public ::testing::Test {
protected:
    std::string Decoded() { return DecodeFromFile(kConfigKey, fs.Get(kPath)); }
    testing::FakeFileSystem fs;
};

// Created or saved, a file holds 1000 digits of fresh noise (never a 9), then the record.
TEST_F(ConfigFile, EveryWriteHoldsFreshNoiseWithoutNinesThenTheDefaultRecord) {
    std::set<std::string> prefixes;
    std::set<char> digitsSeen;
    for (int i = 0; i < 5; ++i) {
        MemoRecord r;  // all zero and empty, as at start-up
        ASSERT_TRUE(i == 0 ? CreateConfigFile(fs, kPath, r) : SaveConfig(fs, kPath, r));
        const std::string text = Decoded();
        ASSERT_GT(text.size(), 1000u);
        EXPECT_EQ(text.substr(1000),
                  "0,,,0,0,0,0,50,50,200,100,0,16777215,ＭＳ ゴシック,11,0,0,0,,0,False,1,1,50,,0,#TEXT#");
        prefixes.insert(text.substr(0, 1000));
        digitsSeen.insert(text.begin(), text.begin() + 1000);
    }
    EXPECT_EQ(prefixes.size(), 5u);
    EXPECT_EQ(digitsSeen, (std::set<char>{'0', '1', '2', '3', '4', '5', '6', '7', '8'}));
}

TEST_F(ConfigFile, SaveKeepsOnlyStrikeOutUnderlineAndReservedFromTheLastMemo) {
    MemoRecord editor;
    SetDefaultMemoValues(editor);
    editor.memoWidth = 640;
    editor.fontName = "Meiryo";
    editor.fontStyle = 3;
    editor.anchorPosition = 9;
    editor.layoutMode = 0;
    editor.memoText = "last memo";
    editor.fontStrikeout = 1;
    editor.fontUnderline = 1;
    editor.reservedText = "r";
    editor.reservedValue = 12;
    ASSERT_TRUE(SaveConfig(fs, kPath, editor));

    MemoRecord loaded;
    loaded.memoText = "anything";
    loaded.folderWindow = 5;  // run-time fields are never read from the file
    loaded.spareFlag = true;
    ASSERT_TRUE(LoadConfig(fs, kPath, loaded));
    EXPECT_EQ(loaded.folderWindow, 5);
    EXPECT_TRUE(loaded.spareFlag);
    EXPECT_EQ(loaded.memoWidth, 200);
    EXPECT_EQ(loaded.fontName, "ＭＳ ゴシック");
    EXPECT_EQ(loaded.fontStyle, 0);
    EXPECT_EQ(loaded.anchorPosition, 1);
    EXPECT_EQ(loaded.layoutMode, 1);
    EXPECT_EQ(loaded.fontStrikeout, 1);
    EXPECT_EQ(loaded.fontUnderline, 1);
    EXPECT_EQ(loaded.reservedText, "r");
    EXPECT_EQ(loaded.reservedValue, 12);
    EXPECT_EQ(loaded.memoText, "");
}

TEST_F(ConfigFile, DamagedFilesReportFailureAndKeepWhatWasRead) {
    const std::string noise(1000, '3');
    struct Case {
        const char* name;
        std::string text;
        int expectedWidth;  // memoWidth after the failed load (default 0 when untouched)
    };
    const Case cases[] = {
        {"too few parts", noise + "0,,,0,0,0,0,1,2,3,4,5", 3},
        {"not a number", noise + "0,,,0,0,0,0,1,2,3,4,5,6,F,x,0,0,0,,0,False,1,1,50,,0,#TEXT#", 3},
        {"reserved beyond 16 bits", noise + "0,,,0,0,0,0,1,2,3,4,5,6,F,9,0,0,0,,0,False,1,1,50,,70000,#TEXT#", 3},
        {"shorter than the noise", std::string(999, '1'), 0},
        {"not a config file", "", 0},
    };
    for (const Case& c : cases) {
        fs.Put(kPath, c.text.empty() ? std::string("garbage") : EncodeForFile(kConfigKey, c.text));
        MemoRecord r;
        const Status result = LoadConfig(fs, kPath, r);
        EXPECT_FALSE(result) << c.name;
        EXPECT_NE(result.error.find(kPath), std::string::npos) << c.name;  // names the file
        EXPECT_EQ(result.error.find("読めません: "), std::string::npos) << c.name;
        EXPECT_EQ(r.memoWidth, c.expectedWidth) << c.name;
    }
    // A file that cannot be read at all is told apart from one that is no config file.
    MemoRecord r;
    const Status missing = LoadConfig(fs, "C:\\Kanopa\\missing.txt", r);
    EXPECT_EQ(missing.error, "設定ファイルを読めません: C:\\Kanopa\\missing.txt（not found）");
}

// A character the file cannot hold (in the reserved and run-time text fields it keeps)
// is refused by name; a failed write is logged. Either way the old file stays alone.
TEST_F(ConfigFile, UnstorableCharacterOrFailedSaveKeepsTheOldFile) {
    MemoRecord editor;
    ASSERT_TRUE(CreateConfigFile(fs, kPath, editor));
    const std::string before = fs.Get(kPath);
    editor.reservedText = "x😀";
    EXPECT_EQ(SaveConfig(fs, kPath, editor).error,
              "保存できない文字「😀」が含まれています。この文字を除いてから保存してください。");
    editor.reservedText = "";
    fs.failReplace = true;
    testing::LogCapture capture;
    EXPECT_FALSE(SaveConfig(fs, kPath, editor));
    EXPECT_EQ(fs.Get(kPath), before);
    EXPECT_EQ(fs.PathsStartingWith("C:\\Kanopa\\").size(), 1u);
    ASSERT_TRUE(capture.log.Has("SaveConfig()"));
    EXPECT_EQ(capture.log.entries[0].second.rfind(std::string("FILEPATH:") + kPath, 0), 0u);
}

}  // namespace
}  // namespace kanopa
