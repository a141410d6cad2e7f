// The folder walk: order, roots, progress, stop points and the folders it leaves alone.
#include "editor/tools/file_search.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/posix/posix_file_system.h"
#include "common/tests/fakes.h"

namespace kanopa::editor {
namespace {

using Paths = std::vector<std::string>;

// Records progress; asks to stop once `stopAtFolder` is being listed at a folder entry.
class RecordingObserver : public WalkObserver {
public:
    std::string stopAtFolder;
    bool stop = false;
    Paths listed;
    int pumps = 0;
    void ListingFolder(const std::string& folder) override {
        listed.push_back(folder);
        if (folder == stopAtFolder) stop = true;
    }
    void Pump() override { ++pumps; }
    bool StopRequested() override { return stop; }
};

// Listing order is insertion order in the fake.
void PutTree(testing::FakeFileSystem& fs) {
    fs.PutFolder("C:\\m");
    fs.Put("C:\\m\\a.epm", "");
    fs.Put("C:\\m\\B.Epm", "");
    fs.Put("C:\\m\\a.epm.bak", "");
    fs.PutFolder("C:\\m\\sub");
    fs.Put("C:\\m\\sub\\c.epm", "");
    fs.PutFolder("C:\\m\\.backup");
    fs.Put("C:\\m\\.backup\\d.epm", "");
    fs.PutFolder("C:\\m\\junction", attribute::kReparsePoint, kReparseTagMountPoint);
    fs.Put("C:\\m\\junction\\e.epm", "");
    fs.PutFolder("C:\\m\\link", attribute::kReparsePoint, kReparseTagSymlink);
    fs.Put("C:\\m\\link\\e.epm", "");
    fs.PutFolder("C:\\m\\cloud",
                 attribute::kReparsePoint | attribute::kReadOnly | attribute::kRecallOnDataAccess,
                 kReparseTagCloud);
    fs.Put("C:\\m\\cloud\\f.epm", "");
    fs.PutWithAttributes("C:\\m\\hidden.epm", "", attribute::kHidden);
    fs.PutWithAttributes("C:\\m\\system.EPM", "", attribute::kSystem);
    fs.Put("\\r.epm", "");
}

TEST(SearchFiles, FindsMatchesDepthFirstInListingOrder) {
    testing::FakeFileSystem fs;
    PutTree(fs);
    const Paths all = {"C:\\m\\a.epm",       "C:\\m\\B.Epm",         "C:\\m\\sub\\c.epm",
                       "C:\\m\\cloud\\f.epm", "C:\\m\\hidden.epm",  "C:\\m\\system.EPM"};
    const Paths rootOnly = {"C:\\m\\a.epm", "C:\\m\\B.Epm", "C:\\m\\hidden.epm", "C:\\m\\system.EPM"};
    const struct {
        const char* root;
        const char* pattern;
        bool recurse;
        Paths expected;
    } cases[] = {
        {"C:\\m", "*.EPM", true, all},
        {"C:\\m\\", "*.EPM", true, all},
        {"C:\\m", "*.EPM", false, rootOnly},
        {"C:\\m", "?.epm", true, {"C:\\m\\a.epm", "C:\\m\\B.Epm", "C:\\m\\sub\\c.epm", "C:\\m\\cloud\\f.epm"}},
        {"C:\\m", "*.none", true, {""}},
        {"C:\\missing", "*.EPM", true, {""}},
        {"", "*.epm", false, {"\\r.epm"}},
    };
    for (const auto& c : cases) {
        RecordingObserver observer;
        EXPECT_EQ(SearchFiles(fs, c.root, c.pattern, c.recurse, &observer), c.expected)
            << c.root << " " << c.pattern << " " << c.recurse;
        // A walk without an observer finds the same.
        EXPECT_EQ(SearchFiles(fs, c.root, c.pattern, c.recurse, nullptr), c.expected) << c.root;
    }
}

TEST(SearchFiles, ReportsEveryFolderEntryAndPumpsEveryEntry) {
    testing::FakeFileSystem fs;
    PutTree(fs);
    RecordingObserver flat;
    SearchFiles(fs, "C:\\m", "*.epm", false, &flat);
    // sub, .backup, junction, link and cloud: each reports the folder being listed.
    EXPECT_EQ(flat.listed, Paths(5, "C:\\m\\"));
    EXPECT_EQ(flat.pumps, 10);
    EXPECT_EQ(fs.folderListings, Paths{"C:\\m\\"});

    RecordingObserver missing;
    SearchFiles(fs, "C:\\missing", "*.epm", true, &missing);
    EXPECT_TRUE(missing.listed.empty());
    EXPECT_EQ(missing.pumps, 0);
}

TEST(SearchFiles, AStopEndsEachOpenListingAtItsNextSubFolderEntry) {
    testing::FakeFileSystem fs;
    fs.PutFolder("R");
    fs.Put("R\\a.epm", "");
    fs.PutFolder("R\\d1");
    fs.Put("R\\d1\\b.epm", "");
    fs.PutFolder("R\\d1\\d2");
    fs.Put("R\\d1\\d2\\c.epm", "");
    fs.PutFolder("R\\d1\\d2\\.dot");  // the stop comes here, but a dot-folder is no stop point
    fs.Put("R\\d1\\d2\\d.epm", "");
    fs.PutFolder("R\\d1\\d2\\x");     // ends d2
    fs.Put("R\\d1\\d2\\e.epm", "");
    fs.Put("R\\d1\\f.epm", "");
    fs.PutFolder("R\\d1\\y", attribute::kReparsePoint, kReparseTagMountPoint);  // not entered, yet ends d1
    fs.Put("R\\d1\\g.epm", "");
    fs.Put("R\\h.epm", "");
    fs.PutFolder("R\\z");              // ends R
    fs.Put("R\\i.epm", "");
    const struct {
        bool recurse;
        const char* stopAt;
        Paths expected;
    } cases[] = {
        {true, "R\\d1\\d2\\", {"R\\a.epm", "R\\d1\\b.epm", "R\\d1\\d2\\c.epm", "R\\d1\\d2\\d.epm", "R\\d1\\f.epm",
                               "R\\h.epm"}},
        {true, "R\\", {"R\\a.epm"}},
        {true, "none", {"R\\a.epm", "R\\d1\\b.epm", "R\\d1\\d2\\c.epm", "R\\d1\\d2\\d.epm", "R\\d1\\d2\\e.epm",
                        "R\\d1\\f.epm", "R\\d1\\g.epm", "R\\h.epm", "R\\i.epm"}},
        // Without sub-folders the root's folder entries are still its stop points.
        {false, "R\\", {"R\\a.epm"}},
        {false, "none", {"R\\a.epm", "R\\h.epm", "R\\i.epm"}},
    };
    for (const auto& c : cases) {
        RecordingObserver observer;
        observer.stopAtFolder = c.stopAt;
        EXPECT_EQ(SearchFiles(fs, "R", "*.epm", c.recurse, &observer), c.expected) << c.stopAt << c.recurse;
    }
}

TEST(SearchFiles, EntersFoldersDownToTheDepthLimitOnly) {
    testing::FakeFileSystem fs;
    std::string folder = "R";
    fs.PutFolder(folder);
    Paths expected;
    for (int depth = 1; depth <= kMaxWalkDepth + 1; ++depth) {
        folder += "\\d";
        fs.PutFolder(folder);
        fs.Put(folder + "\\m.epm", "");
        if (depth <= kMaxWalkDepth) expected.push_back(folder + "\\m.epm");
    }
    EXPECT_EQ(SearchFiles(fs, "R", "*.epm", true, nullptr), expected);
}

// On a real file system: a link to a folder above would loop forever if followed.
TEST(SearchFiles, NeverFollowsALinkBackUpTheTree) {
    namespace fsys = std::filesystem;
    const fsys::path root = fsys::temp_directory_path() / ("kanopa-walk-" + std::to_string(::getpid()));
    fsys::create_directories(root / "sub");
    std::ofstream(root / "sub" / "m.epm") << "x";
    std::ofstream(root / ".hidden.epm") << "x";
    fsys::create_directory_symlink(root, root / "sub" / "up");
    PosixFileSystem fs;
    RecordingObserver observer;
    const Paths found = SearchFiles(fs, root.string(), "*.epm", true, &observer, '/');
    fsys::remove_all(root);
    Paths expected = {root.string() + "/.hidden.epm", root.string() + "/sub/m.epm"};
    Paths sorted = found;  // the system's listing order is its own
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, expected);
}

}  // namespace
}  // namespace kanopa::editor
