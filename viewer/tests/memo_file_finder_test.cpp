#include "viewer/memo_file_finder.h"

#include <gtest/gtest.h>

#include <string>

#include "viewer/tests/viewer_fakes.h"

namespace kanopa::viewer::testing {
namespace {

constexpr char kFolder[] = "C:\\Work\\";
constexpr char kOther[] = "C:\\Other\\";

class MemoFileFinderTest : public ::testing::Test {
protected:
    MemoFileFinderTest() { fs.NotifyChangesTo(&watcher); }

    std::string FindIn(const std::string& folder) {
        std::string name = "(untouched)";
        EXPECT_TRUE(finder.Find(folder, name).ok) << folder;
        return name;
    }

    MemFileSystem fs;
    FakeChangeWatcher watcher;
    MemoFileFinder finder{fs, &watcher};
};

TEST_F(MemoFileFinderTest, FirstMemoInListingOrderWins) {
    fs.Put("C:\\Work\\readme.txt", "");
    fs.Put("C:\\Work\\zeta.epm", "");
    fs.Put("C:\\Work\\alpha.epm", "");
    EXPECT_EQ(FindIn(kFolder), "zeta.epm");
    ASSERT_EQ(fs.patterns.size(), 1u);
    EXPECT_EQ(fs.patterns[0], "C:\\Work\\*epm");
}

TEST_F(MemoFileFinderTest, ExtensionMustBeExactlyLowerCaseEpm) {
    // The wildcard ignores case and lets these through; only the last is a memo.
    fs.Put("C:\\Work\\MEMO.EPM", "");
    fs.Put("C:\\Work\\memo.Epm", "");
    fs.Put("C:\\Work\\xepm", "");
    fs.Put("C:\\Work\\epm", "");
    EXPECT_EQ(FindIn(kFolder), "epm");
}

TEST_F(MemoFileFinderTest, FolderWithoutMemoGivesEmptyName) {
    fs.Put("C:\\Work\\MEMO.EPM", "");
    fs.Put("C:\\Work\\Sub\\inner.epm", "");
    EXPECT_EQ(FindIn(kFolder), "");
}

TEST_F(MemoFileFinderTest, QuietFolderIsNotListedAgain) {
    fs.Put("C:\\Work\\note.epm", "");
    EXPECT_EQ(FindIn(kFolder), "note.epm");
    EXPECT_EQ(FindIn(kFolder), "note.epm");
    EXPECT_EQ(FindIn(kFolder), "note.epm");
    EXPECT_EQ(fs.listings, 1);
}

TEST_F(MemoFileFinderTest, ChangeInFolderListsAgain) {
    fs.Put("C:\\Work\\a.txt", "");
    EXPECT_EQ(FindIn(kFolder), "");
    fs.Put("C:\\Work\\new.epm", "");  // fires the watch
    EXPECT_EQ(FindIn(kFolder), "new.epm");
    EXPECT_EQ(fs.listings, 2);
    EXPECT_EQ(FindIn(kFolder), "new.epm");
    EXPECT_EQ(fs.listings, 2);
    ASSERT_TRUE(fs.RemoveFile("C:\\Work\\new.epm"));
    EXPECT_EQ(FindIn(kFolder), "");
    EXPECT_EQ(fs.listings, 3);
}

TEST_F(MemoFileFinderTest, ChangeElsewhereKeepsCache) {
    fs.Put("C:\\Work\\note.epm", "");
    EXPECT_EQ(FindIn(kFolder), "note.epm");
    fs.Put("C:\\Other\\x.epm", "");
    EXPECT_EQ(FindIn(kFolder), "note.epm");
    EXPECT_EQ(fs.listings, 1);
}

TEST_F(MemoFileFinderTest, AnotherFolderListsAgain) {
    fs.Put("C:\\Work\\work.epm", "");
    fs.Put("C:\\Other\\other.epm", "");
    EXPECT_EQ(FindIn(kFolder), "work.epm");
    EXPECT_EQ(FindIn(kOther), "other.epm");
    EXPECT_EQ(FindIn(kFolder), "work.epm");
    EXPECT_EQ(fs.listings, 3);
}

TEST_F(MemoFileFinderTest, WithoutWatchListsEveryTime) {
    watcher.available = false;
    fs.Put("C:\\Work\\note.epm", "");
    EXPECT_EQ(FindIn(kFolder), "note.epm");
    EXPECT_EQ(FindIn(kFolder), "note.epm");
    EXPECT_EQ(fs.listings, 2);

    MemoFileFinder noWatcher(fs, nullptr);
    std::string name;
    ASSERT_TRUE(noWatcher.Find(kFolder, name));
    ASSERT_TRUE(noWatcher.Find(kFolder, name));
    EXPECT_EQ(name, "note.epm");
    EXPECT_EQ(fs.listings, 4);
}

TEST_F(MemoFileFinderTest, ListingFailureIsErrorAndNotCached) {
    fs.Put("C:\\Work\\note.epm", "");
    fs.failListing = true;
    std::string name = "kept";
    EXPECT_FALSE(finder.Find(kFolder, name).ok);
    EXPECT_EQ(name, "kept");
    fs.failListing = false;
    EXPECT_EQ(FindIn(kFolder), "note.epm");
    EXPECT_EQ(fs.listings, 2);
}

// A save that lands while the folder is being listed must not be lost to the cache.
TEST_F(MemoFileFinderTest, MemoSavedDuringListingIsFoundNextTime) {
    fs.afterListing = [&] { fs.Put("C:\\Work\\late.epm", ""); };
    EXPECT_EQ(FindIn(kFolder), "");
    EXPECT_EQ(FindIn(kFolder), "late.epm");
}

}  // namespace
}  // namespace kanopa::viewer::testing
