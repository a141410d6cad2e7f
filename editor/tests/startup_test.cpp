#include <gtest/gtest.h>

#include "common/codec.h"
#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/tests/fakes.h"
#include "editor/startup.h"

namespace kanopa::editor {
namespace {

constexpr char kExe[] = "C:\\Kanopa\\Kanopa.exe";
constexpr char kConfig[] = "C:\\Kanopa\\Config.txt";

class FakeInstance : public InstanceTest {
public:
    bool running = false;
    bool AnotherInstanceRunning() override { return running; }
};

class EditorStartup : public ::testing::Test {
protected:
    void SetUp() override {
        fs.Put("C:\\Kanopa\\DateTime.txt", "yyyy/mm/dd");
        fs.Put("C:\\Kanopa\\FixedForm.txt", "phrase");
    }
    StartupOutcome Run(const std::string& commandLine = "") {
        return RunStartup(fs, instance, kExe, commandLine);
    }
    static MemoRecord Defaults() {
        MemoRecord record;
        SetDefaultMemoValues(record);
        return record;
    }
    kanopa::testing::FakeFileSystem fs;
    FakeInstance instance;
    kanopa::testing::LogCapture capture;
};

TEST_F(EditorStartup, SecondInstanceIsRefusedBeforeAnyFileIsTouched) {
    instance.running = true;
    const StartupOutcome outcome = Run("C:\\a.epm");
    ASSERT_TRUE(outcome.refusal && !outcome.state);
    EXPECT_EQ(outcome.refusal->message, "「カノパ」は既に起動されています。");
    EXPECT_EQ(outcome.refusal->icon, MessageIcon::Critical);
    EXPECT_EQ(fs.listings + fs.reads, 0);
    ASSERT_EQ(capture.log.entries.size(), 2u);  // the refusal's line waits for the box
    EXPECT_EQ(capture.log.entries[1].first, "*********アプリケーション開始*********");
    FinishRefusal(*outcome.refusal);
    EXPECT_EQ(capture.log.entries.back().first, "*********二重起動システム終了*********");
}

// Before the command line is looked at: two paths are refused only later.
TEST_F(EditorStartup, MissingDataFilesAreRefusedInOrder) {
    kanopa::testing::FakeFileSystem bare;
    constexpr char kTwoPaths[] = "C:\\a.epm D:\\b.epm";
    EXPECT_EQ(RunStartup(bare, instance, kExe, kTwoPaths).refusal->message, "日付表示ファイルがありません。");
    bare.Put("C:\\Kanopa\\DateTime.txt", "x");
    EXPECT_EQ(RunStartup(bare, instance, kExe, kTwoPaths).refusal->message, "定型文ファイルがありません。");
    EXPECT_FALSE(bare.Exists(kConfig));
}

TEST_F(EditorStartup, ConfigIsCreatedWhenMissingOrEmptyAndDefaultsReplaceADamagedOne) {
    ASSERT_TRUE(Run().state);
    EXPECT_GT(fs.Get(kConfig).size(), 1000u);
    fs.Put(kConfig, "");
    StartupOutcome outcome = Run();
    EXPECT_GT(fs.Get(kConfig).size(), 1000u);
    EXPECT_EQ(outcome.state->Memo(), Defaults());
    EXPECT_EQ(outcome.state->ConfigPath(), kConfig);

    // Readable up to the memo geometry, then junk: a half-read record must not survive.
    fs.Put(kConfig, EncodeForFile(kConfigKey, std::string(1000, '1') + "0,,,0,0,0,0,7,8,9,10,x,"));
    outcome = Run();
    EXPECT_EQ(outcome.state->Memo(), Defaults());
    EXPECT_TRUE(capture.log.Has("LoadConfig()"));
}

TEST_F(EditorStartup, CommandLineColonsAndQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"\"C:\\My Memos\\a.epm\"", "C:\\My Memos\\a.epm"},
        {"note.epm", "note.epm"},
        {"C:\\a\"b\"c.epm", "C:\\abc.epm"},
        {"C:\\a.epm D:\\b.epm", nullptr},
        {"::", nullptr},
    };
    for (const auto& [commandLine, startupPath] : cases) {
        fs.RemoveFile(kConfig);
        const StartupOutcome outcome = Run(commandLine);
        if (!startupPath) {
            ASSERT_TRUE(outcome.refusal) << commandLine;
            EXPECT_EQ(outcome.refusal->message, "有効なパスが指定されていません。");
            EXPECT_TRUE(fs.Exists(kConfig)) << "made before the path is looked at";
        } else {
            ASSERT_TRUE(outcome.state) << commandLine;
            EXPECT_EQ(outcome.state->StartupFilePath(), startupPath);
        }
    }
}

TEST(EditorCommandLine, ArgumentsFollowTheProgramPathAndItsBlanks) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"Kanopa.exe", ""},
        {"C:\\Kanopa\\Kanopa.exe C:\\a.epm", "C:\\a.epm"},
        {"\"C:\\Program Files\\Kanopa.exe\"  \t\"C:\\a b.epm\"", "\"C:\\a b.epm\""},
        {"\"C:\\Program Files\\Kanopa.exe\"C:\\a.epm", "C:\\a.epm"},
        {"\"C:\\unclosed quote", ""},
        {"Kanopa.exe\tnote.epm ", "note.epm "},
    };
    for (const auto& [raw, arguments] : cases) EXPECT_EQ(CommandLineArguments(raw), arguments) << raw;
}

}  // namespace
}  // namespace kanopa::editor
