#include "viewer/memo_window.h"

#include <gtest/gtest.h>

#include "viewer/tests/viewer_fakes.h"

namespace kanopa::viewer::testing {
namespace {

// Window A in front, and what an earlier memo left in the record, to see what is and is
// not written.
struct FrontDesktop : Desktop {
    FrontDesktop() {
        windows.foreground = kA;
        Memo().folderWindow = 77;
        Memo().folderPath = "C:\\Before\\";
        Memo().memoFileName = "before.epm";
        Memo().folderLeft = 1;
        Memo().popupWindow = 9001;
    }
    bool Run() { return GetMemoWindow(shell, windows, finder, Memo()); }
    Rect FolderRect() {
        return Rect{Memo().folderLeft, Memo().folderTop, Memo().folderRight, Memo().folderBottom};
    }
};

TEST(GetMemoWindowTest, NamesTheFolderWindowInFrontWithItsRectangleByShowState) {
    FrontDesktop d;
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(d.Memo().folderWindow, kA);
    EXPECT_EQ(d.Memo().folderPath, kFolderA);
    EXPECT_EQ(d.Memo().memoFileName, "a.epm");
    EXPECT_EQ(d.FolderRect(), (Rect{100, 100, 900, 700}));
    EXPECT_EQ(d.Memo().popupWindow, 9001);

    d.windows.windows[kA].monitor = {1920, 0, 3840, 1200};
    d.windows.windows[kA].show = ShowState::Maximized;
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(d.FolderRect(), (Rect{1920, 0, 3840, 1200}));
    d.windows.windows[kA].show = ShowState::Other;  // keeps the last rectangle
    d.windows.windows[kA].monitor = {0, 0, 800, 600};
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(d.FolderRect(), (Rect{1920, 0, 3840, 1200}));
}

TEST(GetMemoWindowTest, OtherWindowsMinimisedWebPagesAndFailuresChangeNothing) {
    const struct {
        const char* name;
        void (*arrange)(FrontDesktop&);
    } cases[] = {
        {"another program", [](FrontDesktop& d) { d.windows.foreground = 50; }},
        {"no foreground", [](FrontDesktop& d) { d.windows.foreground = 0; }},
        {"minimised", [](FrontDesktop& d) { d.windows.windows[kA].show = ShowState::Minimized; }},
        {"web page", [](FrontDesktop& d) { d.shell.list[0].isWebPage = true; }},
        {"shell fails", [](FrontDesktop& d) { d.shell.fail = true; }},
        {"listing fails", [](FrontDesktop& d) { d.fs.failList = true; }},
        {"window gone meanwhile", [](FrontDesktop& d) { d.windows.windows.clear(); }},
    };
    for (const auto& c : cases) {
        FrontDesktop d;
        c.arrange(d);
        const MemoRecord before = d.Memo();
        EXPECT_FALSE(d.Run()) << c.name;
        EXPECT_EQ(d.Memo(), before) << c.name;
    }
}

TEST(GetMemoWindowTest, FolderWithoutMemoOrWithoutFileSystemFolderForgetsTheWindow) {
    for (const char* folder : {kPlain, ""}) {
        FrontDesktop d;
        d.Navigate(kA, folder);
        EXPECT_FALSE(d.Run()) << folder;
        EXPECT_EQ(d.Memo().folderWindow, 0) << folder;
        EXPECT_EQ(d.Memo().folderPath, "") << folder;
        EXPECT_EQ(d.Memo().popupWindow, 0) << folder;
        EXPECT_EQ(d.Memo().folderLeft, 1) << folder;
        EXPECT_EQ(d.fs.listings, *folder ? 1 : 0) << folder;
    }
}

TEST(GetMemoWindowTest, OnlyTheActiveTabCounts) {
    for (const bool memoTabActive : {false, true}) {
        FrontDesktop d;
        d.shell.list[0].isActiveTab = memoTabActive;
        d.AddFolderWindow(kA, kPlain, {100, 100, 900, 700});
        d.shell.list.back().isActiveTab = !memoTabActive;
        EXPECT_EQ(d.Run(), memoTabActive);
        EXPECT_EQ(d.Memo().folderWindow, memoTabActive ? kA : 0);
    }
}

}  // namespace
}  // namespace kanopa::viewer::testing
