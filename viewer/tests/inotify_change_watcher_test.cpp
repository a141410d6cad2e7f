#include "viewer/posix/inotify_change_watcher.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/posix/posix_file_system.h"
#include "viewer/memo_file_finder.h"

namespace kanopa::viewer {
namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "kanopa-watch-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
        m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    std::string Folder() const { return m_path.string() + "/"; }
    void Touch(const std::string& name) const { std::ofstream(m_path / name) << "x"; }

private:
    fs::path m_path;
};

TEST(InotifyChangeWatcherTest, FiresOnAddRenameAndRemove) {
    TempFolder folder;
    folder.Touch("a.txt");
    InotifyChangeWatcher watcher;

    auto watch = watcher.Watch(folder.Folder());
    ASSERT_NE(watch, nullptr);
    EXPECT_FALSE(watch->Changed());
    folder.Touch("note.epm");
    EXPECT_TRUE(watch->Changed());
    EXPECT_TRUE(watch->Changed());  // stays fired

    watch = watcher.Watch(folder.Folder());
    fs::rename(folder.Folder() + "note.epm", folder.Folder() + "note.txt");
    EXPECT_TRUE(watch->Changed());

    watch = watcher.Watch(folder.Folder());
    fs::remove(folder.Folder() + "note.txt");
    EXPECT_TRUE(watch->Changed());
}

TEST(InotifyChangeWatcherTest, MissingFolderCannotBeWatched) {
    InotifyChangeWatcher watcher;
    EXPECT_EQ(watcher.Watch("/nonexistent/kanopa/folder/"), nullptr);
}

TEST(InotifyChangeWatcherTest, FinderSeesMemoSavedIntoWatchedFolder) {
    TempFolder folder;
    folder.Touch("readme.txt");
    PosixFileSystem files;
    InotifyChangeWatcher watcher;
    MemoFileFinder finder(files, &watcher);
    std::string name;
    ASSERT_TRUE(finder.Find(folder.Folder(), name));
    EXPECT_EQ(name, "");
    folder.Touch("memo.epm");
    ASSERT_TRUE(finder.Find(folder.Folder(), name));
    EXPECT_EQ(name, "memo.epm");
}

}  // namespace
}  // namespace kanopa::viewer
