#include <gtest/gtest.h>

#include "common/codec.h"
#include "common/config_file.h"
#include "common/services.h"
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
    kanopa::testing::FakeFileSystem fs;
    FakeInstance instance;
    kanopa::testing::LogCapture capture;
};

TEST_F(EditorStartup, SecondInstanceIsRefusedBeforeAnyFileIsTouched) {
    instance.running = true;
    const StartupOutcome outcome = Run("C:\\a.epm");
    ASSERT_TRUE(outcome.refusal);
    EXPECT_FALSE(outcome.state);
    EXPECT_EQ(outcome.refusal->message, "「カノパ」は既に起動されています。");
    EXPECT_EQ(outcome.refusal->icon, MessageIcon::Critical);
    EXPECT_EQ(fs.listings + fs.reads, 0);
    EXPECT_FALSE(fs.Exists(kConfig));
    // The start lines come first; the refusal's line only after the box is closed.
    ASSERT_EQ(capture.log.entries.size(), 2u);
    EXPECT_EQ(capture.log.entries[0].first, "");
    EXPECT_EQ(capture.log.entries[1].first, "*********アプリケーション開始*********");
    FinishRefusal(*outcome.refusal);
    EXPECT_EQ(capture.log.entries.back().first, "*********二重起動システム終了*********");
}

TEST_F(EditorStartup, MissingDataFilesAreRefusedInOrder) {
    kanopa::testing::FakeFileSystem bare;
    StartupOutcome outcome = RunStartup(bare, instance, kExe, "");
    ASSERT_TRUE(outcome.refusal);
    EXPECT_EQ(outcome.refusal->message, "日付表示ファイルがありません。");

    bare.Put("C:\\Kanopa\\DateTime.txt", "x");
    outcome = RunStartup(bare, instance, kExe, "");
    ASSERT_TRUE(outcome.refusal);
    EXPECT_EQ(outcome.refusal->message, "定型文ファイルがありません。");
    EXPECT_EQ(outcome.refusal->icon, MessageIcon::Critical);
    EXPECT_TRUE(outcome.refusal->logAfterMessage.empty());
    EXPECT_FALSE(bare.Exists(kConfig));
}

TEST_F(EditorStartup, MissingOrEmptyConfigIsCreatedThenLoaded) {
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty" : "missing");
        if (empty) fs.Put(kConfig, "");
        const StartupOutcome outcome = Run();
        ASSERT_TRUE(outcome.state);
        EXPECT_FALSE(outcome.configDamaged);
        EXPECT_GT(fs.Get(kConfig).size(), 1000u);
        MemoRecord expected;
        SetDefaultMemoValues(expected);
        EXPECT_EQ(outcome.state->Memo(), expected);
        EXPECT_EQ(outcome.state->Context().programFolder, "C:\\Kanopa\\");
        EXPECT_EQ(outcome.state->ConfigPath(), kConfig);
        fs.RemoveFile(kConfig);
    }
}

TEST_F(EditorStartup, SavedConfigSettingsAreLoaded) {
    MemoRecord saved;
    saved.fontUnderline = 1;
    ASSERT_TRUE(SaveConfig(fs, kConfig, saved));
    const StartupOutcome outcome = Run();
    ASSERT_TRUE(outcome.state);
    EXPECT_EQ(outcome.state->Memo().fontUnderline, 1);
}

TEST_F(EditorStartup, DamagedConfigStartsFromTheDefaultsAndIsLogged) {
    // Readable up to the memo geometry, then junk: a half-read record must not survive.
    fs.Put(kConfig, EncodeForFile(kConfigKey, std::string(1000, '1') + "0,,,0,0,0,0,7,8,9,10,x,"));
    const StartupOutcome outcome = Run();
    ASSERT_TRUE(outcome.state);
    EXPECT_TRUE(outcome.configDamaged);
    MemoRecord expected;
    SetDefaultMemoValues(expected);
    EXPECT_EQ(outcome.state->Memo(), expected);
    EXPECT_TRUE(capture.log.Has("LoadConfig()"));
}

TEST_F(EditorStartup, CommandLineColonsAndQuotes) {
    struct Case {
        const char* commandLine;
        bool refused;
        const char* startupPath;
    };
    const Case cases[] = {
        {"", false, ""},
        {"\"C:\\My Memos\\a.epm\"", false, "C:\\My Memos\\a.epm"},
        {"note.epm", false, "note.epm"},
        {"\\\\server\\share\\a.epm", false, "\\\\server\\share\\a.epm"},
        {"C:\\a\"b\"c.epm", false, "C:\\abc.epm"},
        {"C:\\a.epm D:\\b.epm", true, ""},
        {"::", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const StartupOutcome outcome = Run(c.commandLine);
        EXPECT_EQ(outcome.refusal.has_value(), c.refused);
        if (c.refused) {
            EXPECT_EQ(outcome.refusal->message, "有効なパスが指定されていません。");
            EXPECT_TRUE(fs.Exists(kConfig));  // created before the command line is read
        } else {
            ASSERT_TRUE(outcome.state);
            EXPECT_EQ(outcome.state->StartupFilePath(), c.startupPath);
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
    for (const auto& [raw, arguments] : cases) {
        EXPECT_EQ(CommandLineArguments(raw), arguments) << raw;
    }
}

}  // namespace
}  // namespace kanopa::editor
