// The native file system keeps the promises the Windows one keeps.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/paths.h"
#include "common/posix/posix_file_system.h"
#include "common/tests/fakes.h"

namespace kanopa {
namespace {

namespace fsys = std::filesystem;

class PosixFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fsys::temp_directory_path() /
              ("kanopa-posix-" + std::to_string(::getpid()) + "-" +
               std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fsys::create_directories(dir);
    }
    void TearDown() override {
        fsys::permissions(dir, fsys::perms::owner_all, fsys::perm_options::add);
        fsys::remove_all(dir);
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    Status Save(const std::string& path, const std::string& text) {
        MemoRecord memo;
        SetDefaultMemoValues(memo);
        memo.memoText = text;
        return SaveMemo(fs, clock, MemoKey(), path, memo);
    }
    std::string Bytes(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(fs.ReadFile(path, 1 << 20, bytes)) << path;
        return bytes;
    }
    std::vector<std::string> Names(const fsys::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fsys::directory_iterator(folder)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    fsys::path dir;
    PosixFileSystem fs;
    testing::FixedClock clock;
};

TEST_F(PosixFiles, AReadOnlyMemoIsRefusedAndStays) {
    const std::string path = P("m.epm");
    ASSERT_TRUE(Save(path, "on disk"));
    const std::string before = Bytes(path);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(Save(path, "changed"));
    EXPECT_EQ(Bytes(path), before);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"m.epm"});
}

TEST_F(PosixFiles, ASaveKeepsTheFilesPermissions) {
    const std::string path = P("m.epm");
    for (const ::mode_t mode : {0600, 0640, 0664, 0604, 0200}) {
        ASSERT_TRUE(Save(path, "first"));
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(Save(path, "second"));
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
    }
}

TEST_F(PosixFiles, ASymbolicLinkIsSavedThroughAndStays) {
    fsys::create_directories(dir / "real");
    fsys::create_directories(dir / "links");
    const std::string target = P("real/m.epm"), link = P("links/m.epm");
    ASSERT_TRUE(Save(target, "old"));
    fsys::create_symlink(target, link);
    ASSERT_TRUE(Save(link, "new through the link"));
    EXPECT_TRUE(fsys::is_symlink(link));
    MemoRecord loaded;
    ASSERT_TRUE(LoadMemo(fs, MemoKey(), target, loaded).complete());
    EXPECT_EQ(loaded.memoText, "new through the link");
    EXPECT_EQ(Names(dir / "real"), std::vector<std::string>{"m.epm"});
    EXPECT_EQ(Names(dir / "links"), std::vector<std::string>{"m.epm"});
}

// The temporary file's name must fit the 255 a name may have, however long the memo's.
TEST_F(PosixFiles, AMemoWithTheLongestNameIsSavedOverAndOver) {
    const std::string name = std::string(251, 'n') + ".epm";
    ASSERT_TRUE(Save(P(name), "first"));
    ASSERT_TRUE(Save(P(name), "second"));
    EXPECT_EQ(Names(dir), std::vector<std::string>{name});
}

// Reading never waits on a pipe and never swallows a device or a huge file.
TEST_F(PosixFiles, OnlyARegularFileWithinTheLimitIsRead) {
    const std::string fifo = P("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(P("big")) << std::string(1001, 'b');
    std::ofstream(P("fits")) << std::string(1000, 'f');
    fsys::create_directories(dir / "folder");
    struct Case { std::string path; Problem problem; };
    const Case cases[] = {
        {fifo, Problem::NotAFile},     {"/dev/zero", Problem::NotAFile},
        {P("folder"), Problem::NotAFile}, {P("big"), Problem::TooLarge},
        {P("missing"), Problem::Failed}, {P("fits"), Problem::None},
    };
    const auto start = std::chrono::steady_clock::now();
    for (const Case& c : cases) {
        std::string bytes = "untouched";
        const Status read = fs.ReadFile(c.path, 1000, bytes);
        EXPECT_EQ(read.problem, c.problem) << c.path << " " << read.error;
        EXPECT_EQ(bytes, c.problem == Problem::None ? std::string(1000, 'f') : "untouched") << c.path;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(PosixFiles, IsFileFindsOrdinaryFilesOnly) {
    fsys::create_directories(dir / "folder.epm");
    std::ofstream(P("a.epm")) << "x";
    std::ofstream(P(".hidden.txt")) << "x";
    EXPECT_TRUE(IsFile(fs, P("a.epm")));
    EXPECT_TRUE(IsFile(fs, P("*.epm")));  // the folder named folder.epm does not count
    EXPECT_TRUE(IsFile(fs, P("?.EPM")));
    EXPECT_FALSE(IsFile(fs, P("folder.epm")));
    EXPECT_FALSE(IsFile(fs, P(".hidden.txt")));
    EXPECT_FALSE(IsFile(fs, P("*.txt")));
    EXPECT_FALSE(IsFile(fs, P("missing\\x.epm")));
}

TEST_F(PosixFiles, AFolderListingReportsEveryEntryWithItsKind) {
    fsys::create_directories(dir / "sub");
    fsys::create_directories(dir / ".hidden");
    std::ofstream(P("a.epm")) << "x";
    std::ofstream(P("ro.epm")) << "x";
    ASSERT_EQ(::chmod(P("ro.epm").c_str(), 0444), 0);
    fsys::create_directory_symlink(dir / "sub", dir / "link");
    fsys::create_symlink(dir / "a.epm", dir / "filelink");
    std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> seen;
    ASSERT_TRUE(fs.ListFolder(dir.string(), [&](const FolderEntry& e) {
        seen[e.name] = {e.attributes, e.reparseTag};
        return true;
    }));
    using A = std::pair<std::uint32_t, std::uint32_t>;
    const std::map<std::string, A> expected = {
        {".", A{attribute::kDirectory, 0}},
        {"..", A{attribute::kDirectory, 0}},
        {".hidden", A{attribute::kDirectory, 0}},
        {"sub", A{attribute::kDirectory, 0}},
        {"a.epm", A{0, 0}},
        {"ro.epm", A{attribute::kReadOnly, 0}},
        {"link", A{attribute::kDirectory | attribute::kReparsePoint, kReparseTagSymlink}},
        {"filelink", A{attribute::kReparsePoint, kReparseTagSymlink}},
    };
    EXPECT_EQ(seen, expected);

    // Stopping early, a trailing separator, and a folder that cannot be listed.
    int visits = 0;
    EXPECT_TRUE(fs.ListFolder(P("") + "/", [&](const FolderEntry&) { return ++visits < 3; }));
    EXPECT_EQ(visits, 3);
    EXPECT_FALSE(fs.ListFolder(P("missing"), [](const FolderEntry&) { return true; }));
    EXPECT_FALSE(fs.ListFolder(P("a.epm"), [](const FolderEntry&) { return true; }));
}

TEST_F(PosixFiles, IdentityFollowsTheFileNotItsName) {
    fsys::create_directories(dir / "sub");
    fsys::create_directory_symlink(dir / "sub", dir / "link");
    std::ofstream(P("a")) << "x";
    std::ofstream(P("b")) << "x";
    const auto sub = fs.IdentityOf(P("sub"));
    ASSERT_TRUE(sub);
    EXPECT_EQ(fs.IdentityOf(P("link")), sub);
    EXPECT_EQ(fs.IdentityOf(P("sub/")), sub);
    EXPECT_NE(fs.IdentityOf(P("a")), fs.IdentityOf(P("b")));
    EXPECT_EQ(fs.IdentityOf(P("missing")), std::nullopt);
}

TEST_F(PosixFiles, ACopyGoesToANewWritableFileOnly) {
    const std::string bytes = std::string(200000, 'm') + "\r\n\x82\xa0";
    std::ofstream(P("src"), std::ios::binary) << bytes;
    ASSERT_EQ(::chmod(P("src").c_str(), 0444), 0);
    ASSERT_TRUE(fs.CopyToNewFile(P("src"), P("copy")));
    EXPECT_EQ(Bytes(P("copy")), bytes);
    EXPECT_TRUE(fs.MoveReplacing(P("copy"), P("moved")));  // writable, so replaceable again

    std::ofstream(P("there")) << "old";
    EXPECT_FALSE(fs.CopyToNewFile(P("src"), P("there")));
    EXPECT_EQ(Bytes(P("there")), "old");
    EXPECT_FALSE(fs.CopyToNewFile(P("missing"), P("new")));
    EXPECT_FALSE(fs.CopyToNewFile(P(""), P("new")));  // a folder
    EXPECT_FALSE(fs.CopyToNewFile(P("src"), P("no/such/folder")));
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"moved", "src", "there"}));
}

}  // namespace
}  // namespace kanopa
