#include "viewer/memo_file_finder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/tests/fakes.h"

namespace kanopa::viewer::testing {
namespace {

constexpr char kFolder[] = "C:\\Work\\";

// The core's file system with a change watch over it: a watch fires once a file is added
// after it began, also while a folder is being listed.
struct WatchedFileSystem final : kanopa::testing::FakeFileSystem, FolderChangeWatcher {
    struct CountingWatch final : FolderChangeWatch {
        explicit CountingWatch(const int& counter) : changes(counter), start(counter) {}
        bool Changed() override { return changes != start; }
        const int& changes;
        const int start;
    };
    void Add(const std::string& path) { Put(path, ""), ++changes; }
    Status ListFiles(const std::string& pattern,
                     const std::function<bool(const std::string& name)>& visit) override {
        const Status status = FakeFileSystem::ListFiles(pattern, visit);
        if (!addWhileListing.empty()) Add(std::exchange(addWhileListing, ""));
        return status;
    }
    std::unique_ptr<FolderChangeWatch> Watch(const std::string&) override {
        return watchable ? std::make_unique<CountingWatch>(changes) : nullptr;
    }
    std::string addWhileListing;
    bool watchable = true;
    int changes = 0;
};

class MemoFileFinderTest : public ::testing::Test {
protected:
    std::string FindIn(const std::string& folder) {
        std::string name = "(untouched)";
        EXPECT_TRUE(finder.Find(folder, name).ok) << folder;
        return name;
    }
    WatchedFileSystem fs;
    MemoFileFinder finder{fs, &fs};
};

TEST_F(MemoFileFinderTest, FirstNameInListingOrderWithExactlyEpm) {
    const struct { std::vector<const char*> names; const char* memo; } cases[] = {
        {{"readme.txt", "zeta.epm", "alpha.epm"}, "zeta.epm"},
        {{"MEMO.EPM", "memo.Epm", "xepm", "epm"}, "epm"},  // the wildcard lets all four through
        {{"MEMO.EPM", "memo.epmx", "Sub\\inner.epm"}, ""},
    };
    int folder = 0;
    for (const auto& c : cases) {
        const std::string path = "C:\\F" + std::to_string(++folder) + "\\";
        for (const char* name : c.names) fs.Put(path + name, "");
        EXPECT_EQ(FindIn(path), c.memo) << path;
    }
}

TEST_F(MemoFileFinderTest, QuietFolderIsListedOnceUntilItChangesAndAFailureIsNotKept) {
    fs.Put("C:\\Other\\x.epm", "");
    fs.failList = true;
    std::string name = "kept";
    EXPECT_FALSE(finder.Find(kFolder, name).ok);
    EXPECT_EQ(name, "kept");
    fs.failList = false;
    fs.addWhileListing = "C:\\Work\\new.epm";  // saved while the folder is listed
    EXPECT_EQ(FindIn(kFolder), "");
    EXPECT_EQ(FindIn(kFolder), "new.epm");
    EXPECT_EQ(FindIn(kFolder), "new.epm");
    EXPECT_EQ(fs.listings, 3);

    EXPECT_EQ(FindIn("C:\\Other\\"), "x.epm");  // the cache holds one folder
    EXPECT_EQ(FindIn(kFolder), "new.epm");
    EXPECT_EQ(fs.listings, 5);

    fs.watchable = false;  // without a watch, every call lists
    fs.Add("C:\\Work\\readme.txt");
    EXPECT_EQ(FindIn(kFolder), "new.epm");
    EXPECT_EQ(FindIn(kFolder), "new.epm");
    EXPECT_EQ(fs.listings, 7);
}

}  // namespace
}  // namespace kanopa::viewer::testing
