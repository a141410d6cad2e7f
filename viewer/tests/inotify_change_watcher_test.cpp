#include "viewer/posix/inotify_change_watcher.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace kanopa::viewer {
namespace {

namespace fs = std::filesystem;

TEST(InotifyChangeWatcherTest, FiresOnceANameComesOrGoesAndStaysFired) {
    std::string folder = (fs::temp_directory_path() / "kanopa-watch-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    folder += "/";
    InotifyChangeWatcher watcher;

    auto watch = watcher.Watch(folder);
    ASSERT_NE(watch, nullptr);
    EXPECT_FALSE(watch->Changed());
    std::ofstream(folder + "note.epm") << "x";
    EXPECT_TRUE(watch->Changed());
    EXPECT_TRUE(watch->Changed());
    watch = watcher.Watch(folder);
    fs::rename(folder + "note.epm", folder + "note.txt");
    EXPECT_TRUE(watch->Changed());
    watch = watcher.Watch(folder);
    fs::remove(folder + "note.txt");
    EXPECT_TRUE(watch->Changed());

    EXPECT_EQ(watcher.Watch(folder + "missing/"), nullptr);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace kanopa::viewer
