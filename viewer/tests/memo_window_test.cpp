#include "viewer/memo_window.h"

#include <gtest/gtest.h>

#include "viewer/tests/viewer_world.h"

namespace kanopa::viewer::testing {
namespace {

constexpr WindowId kWin = 11;
constexpr char kMemoFolder[] = "C:\\Memo\\A\\";
constexpr char kPlainFolder[] = "C:\\Plain\\";

class GetMemoWindowTest : public ViewerWorld {
protected:
    GetMemoWindowTest() {
        fs.Put("C:\\Memo\\A\\a.epm", "");
        fs.Put("C:\\Plain\\a.txt", "");
        // Leftovers of an earlier memo, to see what is and is not written.
        Memo().folderWindow = 77;
        Memo().folderPath = "C:\\Before\\";
        Memo().memoFileName = "before.epm";
        Memo().folderLeft = 1;
        Memo().folderTop = 2;
        Memo().folderRight = 3;
        Memo().folderBottom = 4;
        Memo().popupWindow = 9001;
    }
    bool Run() { return GetMemoWindow(shell, windows, finder, Memo()); }
};

TEST_F(GetMemoWindowTest, NamesForegroundFolderWindowWithMemo) {
    AddFolderWindow(kWin, kMemoFolder, {10, 20, 810, 620});
    Front(kWin);
    EXPECT_TRUE(Run());
    EXPECT_EQ(Memo().folderWindow, kWin);
    EXPECT_EQ(Memo().folderPath, kMemoFolder);
    EXPECT_EQ(Memo().memoFileName, "a.epm");
    EXPECT_EQ((Rect{Memo().folderLeft, Memo().folderTop, Memo().folderRight, Memo().folderBottom}),
              (Rect{10, 20, 810, 620}));
    EXPECT_EQ(Memo().popupWindow, 9001);
}

// Cases that leave the record exactly as it was.
TEST_F(GetMemoWindowTest, OtherForegroundMinimisedOrWebPageChangesNothing) {
    AddFolderWindow(kWin, kMemoFolder);
    AddFolderWindow(12, kMemoFolder);
    shell.Find(12)->isWebPage = true;
    const MemoRecord before = Memo();

    Front(50);  // not a shell window; the memo folder window lies behind it
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo(), before);

    Front(12);
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo(), before);

    Front(kWin);
    SetShow(kWin, ShowState::Minimized);
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo(), before);

    Front(0);
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo(), before);
}

TEST_F(GetMemoWindowTest, FolderWithoutMemoForgetsFolderWindow) {
    AddFolderWindow(kWin, kPlainFolder);
    Front(kWin);
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo().folderWindow, 0);
    EXPECT_EQ(Memo().folderPath, "");
    EXPECT_EQ(Memo().popupWindow, 0);
    EXPECT_EQ(Memo().memoFileName, "before.epm");
    EXPECT_EQ(Memo().folderLeft, 1);
}

TEST_F(GetMemoWindowTest, WindowWithoutFileSystemFolderHasNoMemo) {
    fs.Put("\\a.epm", "");  // a memo in the root a "\" path would have listed
    AddFolderWindow(kWin, "");
    Front(kWin);
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo().folderWindow, 0);
    EXPECT_EQ(Memo().folderPath, "");
    EXPECT_EQ(Memo().popupWindow, 0);
    EXPECT_EQ(fs.listings, 0);
}

TEST_F(GetMemoWindowTest, OnlyActiveTabCounts) {
    // Background tab on a memo folder, active tab on a plain one.
    AddFolderWindow(kWin, kMemoFolder);
    shell.list.back().isActiveTab = false;
    AddFolderWindow(kWin, kPlainFolder);
    Front(kWin);
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo().folderWindow, 0);
    ASSERT_EQ(fs.patterns.size(), 1u);
    EXPECT_EQ(fs.patterns[0], "C:\\Plain\\*epm");

    // And the other way round, the active tab listed second.
    shell.list.clear();
    AddFolderWindow(kWin, kPlainFolder);
    shell.list.back().isActiveTab = false;
    AddFolderWindow(kWin, kMemoFolder);
    EXPECT_TRUE(Run());
    EXPECT_EQ(Memo().folderWindow, kWin);
    EXPECT_EQ(Memo().folderPath, kMemoFolder);
}

TEST_F(GetMemoWindowTest, RectangleFollowsShowState) {
    AddFolderWindow(kWin, kMemoFolder, {-8, -8, 1928, 1048});
    Front(kWin);
    const auto rect = [&] {
        return Rect{Memo().folderLeft, Memo().folderTop, Memo().folderRight, Memo().folderBottom};
    };

    windows.windows[kWin].monitor = {1920, 0, 3840, 1200};  // window on the second monitor
    SetShow(kWin, ShowState::Maximized);
    EXPECT_TRUE(Run());
    EXPECT_EQ(rect(), (Rect{1920, 0, 3840, 1200}));

    SetShow(kWin, ShowState::Normal);
    Move(kWin, {300, 200, 700, 500});
    EXPECT_TRUE(Run());
    EXPECT_EQ(rect(), (Rect{300, 200, 700, 500}));

    SetShow(kWin, ShowState::Other);
    Move(kWin, {0, 0, 10, 10});
    EXPECT_TRUE(Run());
    EXPECT_EQ(rect(), (Rect{300, 200, 700, 500}));
}

TEST_F(GetMemoWindowTest, FailuresEndSearchWithoutChange) {
    AddFolderWindow(kWin, kMemoFolder);
    Front(kWin);
    const MemoRecord before = Memo();

    shell.fail = true;
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo(), before);
    shell.fail = false;

    fs.failListing = true;
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo(), before);
    fs.failListing = false;

    windows.windows.erase(kWin);  // window gone between enumeration and placement
    EXPECT_FALSE(Run());
    EXPECT_EQ(Memo(), before);
}

}  // namespace
}  // namespace kanopa::viewer::testing
