// The bulk copy: its checks, which folders receive the memo, and how a failure ends a run.
#include "editor/tools/bulk_copy.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/tests/fakes.h"

namespace kanopa::editor {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;
using Paths = std::vector<std::string>;

const Sleeper kNoWait = [](std::chrono::milliseconds) {};

class BulkCopy : public ::testing::Test {
protected:
    void SetUp() override {
        fs.PutFolder("C:\\src");
        fs.Put("C:\\src\\memo.epm", "MEMO");
        fs.PutWithAttributes("C:\\src\\ro.epm", "RO", attribute::kReadOnly);
        fs.PutWithAttributes("C:\\src\\hidden.epm", "H", attribute::kHidden);
        fs.PutFolder("C:\\dst");
        fs.Put("C:\\dst\\file.txt", "");
    }
    CopyResult Run(const std::string& source = "C:\\src\\memo.epm") {
        return RunBulkCopy(fs, source, "memo.epm", "C:\\dst", '\\', kNoWait);
    }
    testing::FakeFileSystem fs;
};

TEST_F(BulkCopy, ChecksTheFieldsInOrderWithTheirMessages) {
    constexpr char kNoSource[] = "指定されたファイルは存在しません。確認してください。";
    constexpr char kNoFolder[] = "指定されたフォルダは存在しません。確認してください。";
    constexpr char kEnterSource[] = "コピー元ファイルパスを入力してください。";
    constexpr char kEnterFolder[] = "コピー先フォルダパスを入力してください。";
    using enum MessageIcon;
    using enum CopyField;
    const struct {
        const char* source;
        const char* destination;
        const char* message;  // nullptr: the run may be offered
        MessageIcon icon;
        CopyField focus;
        bool selectAll;
    } cases[] = {
        {"", "", kEnterSource, Information, Source, false},
        {"   ", "C:\\dst", kEnterSource, Information, Source, false},
        {"C:\\src\\memo.epm", " ", kEnterFolder, Information, Destination, false},
        {"C:\\src\\missing.epm", "C:\\dst", kNoSource, Exclamation, Source, true},
        {"C:\\src", "C:\\dst", kNoSource, Exclamation, Source, true},
        {"C:\\src\\hidden.epm", "C:\\dst", kNoSource, Exclamation, Source, true},
        {"C:\\src\\*.epm", "C:\\dst", kNoSource, Exclamation, Source, true},
        {"C:\\nowhere\\memo.epm", "nowhere", kNoSource, Exclamation, Source, true},
        {"C:\\src\\memo.epm", "C:\\missing", kNoFolder, Exclamation, Destination, true},
        {"C:\\src\\memo.epm", "C:\\dst\\file.txt", kNoFolder, Exclamation, Destination, true},
        {"C:\\src\\memo.epm", "C:\\d?t", kNoFolder, Exclamation, Destination, true},
        {"C:\\src\\memo.epm", "C:\\dst", nullptr, {}, {}, false},
        {"C:\\src\\ro.epm", "C:\\dst\\", nullptr, {}, {}, false},
    };
    for (const auto& c : cases) {
        const CopyInputCheck check = CheckCopyInput(fs, c.source, c.destination);
        if (!c.message) {
            EXPECT_FALSE(check.refusal) << c.source;
            continue;
        }
        ASSERT_TRUE(check.refusal) << c.source << " " << c.destination;
        EXPECT_EQ(*check.refusal, (CopyMessage{c.message, "コピー", c.icon})) << c.source;
        EXPECT_EQ(check.focus, c.focus) << c.source;
        EXPECT_EQ(check.selectAll, c.selectAll) << c.source;
    }
    // The name comes from the listing, in the letter case the file system keeps.
    EXPECT_EQ(CheckCopyInput(fs, "C:\\src\\MEMO.EPM", "C:\\dst").sourceName, "memo.epm");
    EXPECT_EQ(CopyQuestion(), (CopyMessage{"コピーを開始します。よろしいですか？", "確認", MessageIcon::Question}));
}

TEST_F(BulkCopy, EveryVisibleFolderDirectlyInsideReceivesTheMemo) {
    using namespace attribute;
    fs.PutFolder("C:\\dst\\plain");
    fs.PutFolder("C:\\dst\\plain\\deeper");
    fs.PutFolder("C:\\dst\\icon", kReadOnly);  // a folder with a custom icon
    fs.PutFolder("C:\\dst\\cloud", kArchive | kNotContentIndexed | kReparsePoint | kRecallOnDataAccess,
                 kReparseTagCloud);
    fs.PutFolder("C:\\dst\\hidden", kHidden);
    fs.PutFolder("C:\\dst\\system", kSystem);
    fs.PutFolder("C:\\dst\\junction", kReparsePoint, kReparseTagMountPoint);
    fs.PutFolder("C:\\dst\\link", kReparsePoint, kReparseTagSymlink);
    fs.Put("C:\\dst\\plain\\memo.epm", "OLD");  // replaced without a question
    testing::LogCapture capture;
    const CopyResult result = Run();
    EXPECT_TRUE(result.ok);
    const Paths expected = {"C:\\dst\\plain\\memo.epm", "C:\\dst\\icon\\memo.epm", "C:\\dst\\cloud\\memo.epm"};
    EXPECT_EQ(result.copiedTo, expected);
    for (const std::string& path : expected) EXPECT_EQ(fs.Get(path), "MEMO") << path;
    for (const char* folder : {"C:\\dst\\memo.epm", "C:\\dst\\plain\\deeper\\", "C:\\dst\\hidden\\",
                               "C:\\dst\\system\\", "C:\\dst\\junction\\", "C:\\dst\\link\\"})
        EXPECT_EQ(fs.PathsStartingWith(std::string(folder) + "memo"), Paths{}) << folder;
    EXPECT_EQ(fs.PathsStartingWith("C:\\dst\\plain\\memo.epm."), Paths{});  // no temporary file left
    EXPECT_TRUE(capture.log.entries.empty());
    EXPECT_EQ(CopyCompletedMessage(result.copiedTo.size()),
              (CopyMessage{"コピーが完了しました。\r\n3 個のフォルダにコピーしました。", "完了", MessageIcon::Information}));
}

TEST_F(BulkCopy, AFolderWithoutSubFoldersCompletesWithNothingCopied) {
    const CopyResult result = Run();
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.copiedTo, Paths{});
    EXPECT_EQ(CopyCompletedMessage(0).text, "コピーが完了しました。\r\n0 個のフォルダにコピーしました。");
}

TEST_F(BulkCopy, TheSourcesOwnFolderIsPassedOverByIdentity) {
    fs.PutFolder("C:\\dst\\a");
    fs.PutFolder("C:\\dst\\home");
    fs.PutFolder("C:\\dst\\b");
    // The same folder under another name (a mapped drive, a different letter case).
    fs.PutFolder("X:\\alias");
    fs.Put("X:\\alias\\memo.epm", "MEMO");
    fs.ShareIdentity("X:\\alias", "C:\\dst\\home");
    const CopyResult result = Run("X:\\alias\\memo.epm");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.skipped, "C:\\dst\\home\\");
    EXPECT_EQ(result.copiedTo, (Paths{"C:\\dst\\a\\memo.epm", "C:\\dst\\b\\memo.epm"}));
}

// A share without file IDs gives every folder the ID 0: none is taken for the source's.
TEST_F(BulkCopy, FileIdsOfZeroIdentifyNoFolder) {
    struct WithoutFileIds : testing::FakeFileSystem {
        std::optional<FileIdentity> IdentityOf(const std::string& path) override {
            std::optional<FileIdentity> identity = FakeFileSystem::IdentityOf(path);
            if (identity) identity->fileLow = 0;
            return identity;
        }
    } share;
    share.PutFolder("S:\\dst");
    share.PutFolder("S:\\dst\\a");
    share.PutFolder("S:\\dst\\b");
    share.PutFolder("S:\\src");
    share.Put("S:\\src\\memo.epm", "MEMO");
    const CopyResult result = RunBulkCopy(share, "S:\\src\\memo.epm", "memo.epm", "S:\\dst", '\\', kNoWait);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.skipped, "");
    EXPECT_EQ(result.copiedTo, (Paths{"S:\\dst\\a\\memo.epm", "S:\\dst\\b\\memo.epm"}));
}

TEST_F(BulkCopy, AFailedCopyStopsTheRunAndKeepsEveryMemoWhole) {
    fs.PutFolder("C:\\dst\\a");
    fs.PutFolder("C:\\dst\\locked");
    fs.PutFolder("C:\\dst\\c");
    fs.PutWithAttributes("C:\\dst\\locked\\memo.epm", "OLD", attribute::kReadOnly);
    fs.Put("C:\\dst\\c\\memo.epm", "OLD C");
    testing::LogCapture capture;
    const CopyResult result = Run();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.copiedTo, Paths{"C:\\dst\\a\\memo.epm"});
    EXPECT_EQ(fs.Get("C:\\dst\\a\\memo.epm"), "MEMO");
    EXPECT_EQ(fs.Get("C:\\dst\\locked\\memo.epm"), "OLD");
    EXPECT_EQ(fs.Get("C:\\dst\\c\\memo.epm"), "OLD C");  // not visited
    EXPECT_EQ(fs.PathsStartingWith("C:\\dst\\locked\\"), Paths{"C:\\dst\\locked\\memo.epm"});
    constexpr char kAt[] = "frmCopy.cmdStart_Click()";
    EXPECT_THAT(capture.log.entries,
                ElementsAre(Pair(kAt, "コピー失敗"), Pair(kAt, "エラー内容：access denied"),
                            Pair(kAt, "コピー元：C:\\src\\memo.epm"),
                            Pair(kAt, "コピー先：C:\\dst\\locked\\memo.epm")));
    EXPECT_EQ(CopyFailedMessage("C:\\src\\memo.epm", result),
              (CopyMessage{"コピーできませんでした。\r\n\r\nコピー元：\r\nC:\\src\\memo.epm\r\nコピー先：\r\n"
                           "C:\\dst\\locked\\memo.epm\r\nエラー内容：\r\naccess denied",
                           "コピーエラー", MessageIcon::Critical}));

    // A copy that breaks off half-way leaves the old memo, and no part of the new one.
    testing::FakeFileSystem broken;
    broken.Put("C:\\src\\memo.epm", "MEMO");
    broken.PutFolder("C:\\dst");
    broken.PutFolder("C:\\dst\\a");
    broken.Put("C:\\dst\\a\\memo.epm", "OLD");
    broken.failCopy = true;
    const CopyResult failed = RunBulkCopy(broken, "C:\\src\\memo.epm", "memo.epm", "C:\\dst", '\\', kNoWait);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.target, "C:\\dst\\a\\memo.epm");
    EXPECT_EQ(broken.PathsStartingWith("C:\\dst\\a\\"), Paths{"C:\\dst\\a\\memo.epm"});
    EXPECT_EQ(broken.Get("C:\\dst\\a\\memo.epm"), "OLD");

    // A folder that cannot be listed fails before any sub-folder is taken up.
    broken.failList = true;
    EXPECT_EQ(RunBulkCopy(broken, "C:\\src\\memo.epm", "memo.epm", "C:\\dst", '\\', kNoWait).target, "memo.epm");
}

}  // namespace
}  // namespace kanopa::editor
