// KanopaViewer.exe as a user meets it: started as a process, driven through its windows.
// The test runs a copy of the program in a folder of its own, where it writes its log.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/paths.h"
#include "common/win32/program_path.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/about_dialog_resource.h"
#include "viewer/win32/resource.h"
#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/viewer_names.h"
#include "viewer/win32/viewer_texts.h"

namespace kanopa::viewer::win32::testing {
namespace {

constexpr wchar_t kDialogClass[] = L"#32770";

std::wstring ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

TEST(ViewerProgram, RefusesASecondStartShowsHelpAndVersionAndEndsFromItsMenu) {
    // A copy of the program in a folder of its own, where it writes its log. A process a
    // failed test leaves running is ended.
    kanopa::testing::TempFolder folder;
    const std::string program = folder / "KanopaViewer.exe";
    ASSERT_TRUE(CopyFileW(Utf8ToWide(GetFolderPart(ProgramPath()) + "KanopaViewer.exe").c_str(),
                          Utf8ToWide(program).c_str(), FALSE))
        << "KanopaViewer.exe must sit beside the test";
    kanopa::testing::RunningProgram first(program);
    HWND mainWindow = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (mainWindow = FindWindowW(kMainWindowClass, nullptr)) != nullptr; },
                          10000ms));

    kanopa::testing::RunningProgram second(program);
    HWND box = second.WaitForWindow(kDialogClass);
    ASSERT_NE(box, nullptr) << "no message box from the second start";
    EXPECT_EQ(ItemText(box, 0xFFFF), kAlreadyRunningMessage);
    EXPECT_EQ(WindowText(box), kProgramName);
    EXPECT_EQ(MessageBoxIcon(box), static_cast<UINT>(MB_ICONINFORMATION));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), mainWindow);  // the first goes on

    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_HELP, 0);
    box = first.WaitForWindow(kDialogClass);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ItemText(box, 0xFFFF), kHelpMissingMessage);
    EXPECT_EQ(MessageBoxIcon(box), static_cast<UINT>(MB_ICONEXCLAMATION));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    // With the help file beside it, the help viewer opens it and the message stays away.
    ASSERT_TRUE(CopyFileW(Utf8ToWide(GetFolderPart(ProgramPath()) + "KanopaViewer.chm").c_str(),
                          Utf8ToWide(folder / "KanopaViewer.chm").c_str(), FALSE))
        << "KanopaViewer.chm must sit beside the test";
    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_HELP, 0);
    HWND help = WaitForHelpWindow();
    EXPECT_NE(help, nullptr);
    EXPECT_FALSE(WaitUntil([&] { return FindProcessWindow(first.Id(), kDialogClass) != nullptr; },
                           500ms))
        << "the missing-help message";
    if (help != nullptr) {
        EXPECT_TRUE(CloseHelpWindow(help));
    }

    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_VERSION, 0);
    HWND dialog = first.WaitForWindow(kDialogClass, L"バージョン情報");
    ASSERT_NE(dialog, nullptr);
    // The viewer's name, version, icon and width in the dialog both programs share (whose
    // texts and focus its own test proves).
    EXPECT_EQ(ItemText(dialog, IDC_ABOUT_TITLE), L"カノパビューア");
    EXPECT_EQ(ItemText(dialog, IDC_ABOUT_VERSION), L"1.0.0");
    EXPECT_NE(SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, MulDiv(6660, static_cast<int>(GetDpiForWindow(dialog)), 1440));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), mainWindow);  // no taskbar button of its own
    // A second Version command while it is open does not stack another dialog.
    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_VERSION, 0);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(FindProcessWindow(first.Id(), kDialogClass), nullptr);

    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_END, 0);
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr);
    // Wine's shell cannot list its windows: the search fails on every tick the program
    // lived through, and is logged once.
    std::vector<std::string> lines = LogLines(folder / "Log.txt");
    EXPECT_LE(std::erase_if(lines, [](const std::string& line) {
                  return line.rfind("GetMemoWindow()|", 0) == 0;
              }),
              1u);
    EXPECT_THAT(lines,
                ::testing::ElementsAre("|", "*********アプリケーション開始*********|", "|",
                                       "*********アプリケーション開始*********|",
                                       "*********二重起動システム終了*********|",
                                       "*********アプリケーション終了*********|"));
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
