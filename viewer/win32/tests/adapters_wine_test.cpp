// The Win32 adapters of the viewer's platform interfaces, on their own.
#include "common/win32/win32_file_system.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/program_startup.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "viewer/win32/com_shell_window_source.h"
#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/win32_folder_change_watcher.h"
#include "viewer/win32/win32_window_system.h"

namespace kanopa::viewer::win32::testing {
namespace {

// A real shell view of a folder, as a folder window shows one. Wine has no folder windows
// to list, but makes the views themselves.
ComPtr<IShellView> ShellViewOf(PIDLIST_ABSOLUTE idList) {
    ComPtr<IShellFolder> desktop;
    ComPtr<IShellFolder> folder;
    ComPtr<IShellView> view;
    SFV_CREATE create{};
    create.cbSize = sizeof(create);
    if (SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
        SUCCEEDED(desktop->BindToObject(idList, nullptr, IID_IShellFolder, folder.PutVoid()))) {
        create.pshf = folder.Get();
        SHCreateShellFolderView(&create, &view);
    }
    CoTaskMemFree(idList);
    return view;
}

TEST(ShellView, GivesAFolderOnDiskWithABackslashAndNoTabWithoutAWindow) {
    ComApartment apartment;
    kanopa::testing::TempFolder temp;
    const std::string folder = temp / "企画 資料";
    kanopa::testing::MakeFolder(folder);
    for (const std::string& path : {folder, std::string("C:\\")}) {
        PIDLIST_ABSOLUTE idList = nullptr;
        SHParseDisplayName(Utf8ToWide(path).c_str(), nullptr, &idList, 0, nullptr);
        const ComPtr<IShellView> view = ShellViewOf(idList);
        ASSERT_TRUE(view) << path;
        ShellWindowInfo info;
        EXPECT_EQ(ReadShellView(view.Get(), info), FolderViewResult::FileSystem) << path;
        EXPECT_EQ(info.folderPath, path.back() == '\\' ? path : path + "\\");
        // Without a window of its own the view cannot tell whether its tab is shown.
        EXPECT_EQ(info.tab, TabState::Unknown) << path;
    }
    // This PC, a folder of the shell with none on disk, is the stand-in shell's table row.
}

TEST(FolderChangeWatcher, FiresOnceAFileComesGoesOrIsHiddenAndStaysFired) {
    kanopa::testing::TempFolder folder;
    kanopa::testing::MakeFile(folder / "old.epm", "x");
    Win32FolderChangeWatcher watcher;
    const auto changes = [&](auto change) {
        const auto watch = watcher.Watch(folder.Path());
        if (watch == nullptr || watch->Changed()) return false;
        change();
        return WaitUntil([&] { return watch->Changed(); }) && watch->Changed();
    };
    EXPECT_TRUE(changes([&] { kanopa::testing::MakeFile(folder / "new.epm", "x"); }));
    EXPECT_TRUE(changes([&] { DeleteFileW(Utf8ToWide(folder / "new.epm").c_str()); }));
    EXPECT_TRUE(changes([&] {
        SetFileAttributesW(Utf8ToWide(folder / "old.epm").c_str(), FILE_ATTRIBUTE_HIDDEN);
    }));
    EXPECT_EQ(watcher.Watch(folder / "does-not-exist\\"), nullptr);
}

TEST(WindowSystem, ReportsShowStateFrameAndMonitorOfARealWindow) {
    TestWindow window(L"配置", RECT{120, 80, 620, 480});
    ASSERT_TRUE(window.BringToFront());
    Win32WindowSystem system;
    EXPECT_EQ(system.Foreground(), window.Id());
    // One monitor here: the whole screen.
    const Rect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};

    const struct {
        int command;
        ShowState show;
    } states[] = {{SW_RESTORE, ShowState::Normal},
                  {SW_MAXIMIZE, ShowState::Maximized},
                  {SW_MINIMIZE, ShowState::Minimized}};
    for (const auto& state : states) {
        ShowWindow(window.Get(), state.command);
        std::optional<WindowPlacementInfo> placement;
        EXPECT_TRUE(WaitUntil([&] {
            placement = system.Placement(window.Id());
            return placement && placement->show == state.show;
        })) << state.command;
        if (!placement) continue;
        EXPECT_EQ(placement->monitor, screen);
        // Without desktop composition the frame is the window rectangle.
        if (state.show == ShowState::Normal && RunningOnWine()) {
            EXPECT_EQ(placement->frame, (Rect{120, 80, 620, 480}));
        }
    }
    const std::int32_t gone = window.Id();
    window.Close();
    EXPECT_FALSE(system.Exists(gone));
    EXPECT_FALSE(system.Placement(gone).has_value());
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
