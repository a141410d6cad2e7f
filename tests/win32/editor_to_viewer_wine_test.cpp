// A memo written in the real Kanopa.exe pops up in the viewer where the editor's preview
// showed it: the editor's frame stands for the folder window at full scale, so a stand-in
// folder window whose visible frame is that frame must get the popup exactly over the
// label, in position and size. The editor runs as a process driven by posted messages;
// the viewer's real popup and cycle run here, with a stand-in shell-window list.
#include "common/win32/win32_file_system.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/memo_defaults.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "editor/position_picker_logic.h"
#include "editor/preview_layout.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/editor_texts.h"
#include "editor/win32/resource.h"
#include "editor/win32/tests/editor_process.h"
#include "viewer/memo_file_finder.h"
#include "viewer/popup_cycle.h"
#include "viewer/viewer_state.h"
#include "viewer/win32/memo_popup_window.h"
#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/win32_folder_change_watcher.h"
#include "viewer/win32/win32_window_system.h"

namespace kanopa::e2e {
namespace {

using editor::win32::testing::ChooseFileInDialog;
using editor::win32::testing::EditorProcess;
using editor::win32::testing::PostClick;
using editor::win32::testing::PrepareProgramFolder;
using kanopa::testing::TempFolder;
using kanopa::testing::TestWindow;
using kanopa::testing::WaitUntil;
using viewer::Rect;
using viewer::win32::testing::WindowRect;
using namespace std::chrono_literals;

// Both sides in the screen's own pixels, as the two programs run (a prefix made with
// KANOPA_WINE_DPI=144 runs this file at 144 dpi).
const BOOL kPerMonitorAware = SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

Rect ScreenClientRect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    return Rect{client.left, client.top, client.right, client.bottom};
}

// What the editor shows at the moment of a save, in screen pixels.
struct Shown {
    Rect frame;  // the preview frame: the folder window's visible frame
    Rect label;  // the memo
};

class EditorToViewer : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareProgramFolder(m_program);
        // The memo being written: absolute at first, the layouts come from the user.
        MemoRecord memo;
        SetDefaultMemoValues(memo);
        memo.memoWidth = 270;
        memo.memoHeight = 130;
        memo.memoText = "見積書は金曜までに提出\r\n担当: 総務";
        editor::win32::testing::WriteMemoFile(m_program / "start.epm", memo);
        m_editor = std::make_unique<EditorProcess>(
            m_program / "Kanopa.exe", L"\"" + Utf8ToWide(m_program / "start.epm") + L"\"");
        m_main = m_editor->WaitForMainWindow();
        ASSERT_NE(m_main, nullptr);
        m_frame = GetDlgItem(m_main, IDC_FRAME);
        m_label = GetDlgItem(m_frame, IDC_LABEL);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(m_label) != FALSE; }));
    }

    // Saves with Save As into `folder` (which exists) and says what the editor showed.
    Shown SaveInto(const std::string& folder) {
        const Shown shown{ScreenClientRect(m_frame), WindowRect(m_label)};
        PostMessageW(m_main, WM_COMMAND, IDM_FILE_SAVE, 0);
        HWND dialog = m_editor->WaitForDialog(editor::win32::kSaveDialogTitle);
        EXPECT_NE(dialog, nullptr);
        EXPECT_TRUE(ChooseFileInDialog(dialog, Utf8ToWide(folder + "\\memo.epm")));
        EXPECT_TRUE(WaitUntil([&] { return editor::win32::testing::FileExists(folder + "\\memo.epm"); }));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
        return shown;
    }

    // The viewer's popup for the memo in `folder` over a stand-in folder window whose
    // visible frame (as the viewer measures it) is `frame`.
    Rect PopupOver(const std::string& folder, const Rect& frame) {
        TestWindow folderWindow(L"メモのあるフォルダ", RECT{frame.left, frame.top, frame.right, frame.bottom});
        viewer::win32::Win32WindowSystem windowSystem;
        const auto visible = [&] {
            const auto placement = windowSystem.Placement(folderWindow.Id());
            return placement ? placement->frame : Rect{};
        };
        // Windows draws part of the border invisibly: grow the window by that part.
        RECT outer{};
        GetWindowRect(folderWindow.Get(), &outer);
        const Rect seen = visible();
        SetWindowPos(folderWindow.Get(), nullptr, outer.left - (seen.left - frame.left),
                     outer.top - (seen.top - frame.top),
                     (outer.right - outer.left) + (frame.right - seen.right) - (frame.left - seen.left),
                     (outer.bottom - outer.top) + (frame.bottom - seen.bottom) - (frame.top - seen.top),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(visible(), frame) << "the stand-in folder window is not where the preview was";

        viewer::ViewerState state;
        viewer::win32::testing::StandInShellWindows shell;
        shell.list.push_back(viewer::ShellWindowInfo{folderWindow.Id(), false,
                                                     viewer::TabState::Active, folder + "\\"});
        Win32FileSystem fs;
        viewer::win32::Win32FolderChangeWatcher watcher;
        viewer::MemoFileFinder finder{fs, &watcher};
        viewer::win32::MemoPopupWindow popup{GetModuleHandleW(nullptr), state};
        viewer::PopupCycle cycle{shell, windowSystem, finder, fs, popup, state};
        EXPECT_TRUE(folderWindow.BringToFront());
        cycle.Tick();
        kanopa::testing::PumpMessages();
        if (!WaitUntil([&] { return popup.IsVisible(); })) return Rect{};
        return WindowRect(popup.Window());
    }

    TempFolder m_program;
    TempFolder m_memos;
    std::unique_ptr<EditorProcess> m_editor;
    HWND m_main = nullptr;
    HWND m_frame = nullptr;
    HWND m_label = nullptr;
};

TEST_F(EditorToViewer, ThePopupCoversTheLabelAnchoredBottomRightAndAfterADrop) {
    ASSERT_TRUE(kPerMonitorAware || GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()) ==
                                        DPI_AWARENESS_PER_MONITOR_AWARE);
    const int dpi = static_cast<int>(GetDpiForWindow(m_main));
    SCOPED_TRACE(std::to_string(dpi) + " dpi");
    HWND margin = GetDlgItem(m_main, IDC_MARGIN);
    HWND place = GetDlgItem(m_main, IDC_PLACE);

    // Anchored at "右-下" (the picker's bottom-right zone, its ninth), 35 pixels in.
    PostMessageW(m_main, WM_COMMAND, MAKEWPARAM(IDC_PLACE_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_main, IDC_PLACE_BUTTON)));
    HWND picker = m_editor->WaitForWindow(editor::win32::kPositionPickerClass);
    ASSERT_NE(picker, nullptr);
    const editor::PixelRect zone =
        editor::ZoneRect(8, editor::TwipsPerPixelForDpi(static_cast<int>(GetDpiForWindow(picker))));
    PostClick(picker, zone.left + zone.width / 2, zone.top + zone.height / 2);
    ASSERT_TRUE(WaitUntil([&] { return kanopa::testing::WindowText(place) == L"右-下"; }));
    SendMessageW(margin, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"35"));
    PostMessageW(margin, WM_KEYDOWN, VK_RETURN, 0);
    RECT frameClient{};
    GetClientRect(m_frame, &frameClient);
    ASSERT_TRUE(WaitUntil([&] {
        const RECT label = editor::win32::testing::ChildRect(m_label);
        return label.right == frameClient.right - 35 && label.bottom == frameClient.bottom - 35;
    }));

    const std::string anchored = m_memos / "右下のメモ";
    kanopa::testing::MakeFolder(anchored);
    const Shown anchoredShown = SaveInto(anchored);

    // Dragged 60 pixels up and left onto the frame: absolute from there on.
    PostMessageW(m_label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(m_label, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-20, -20));
    PostMessageW(m_label, WM_LBUTTONUP, 0, MAKELPARAM(-50, -50));
    HWND question = m_editor->WaitForDialog(editor::win32::kProgramName);
    ASSERT_NE(question, nullptr);
    editor::win32::testing::Answer(question, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(m_label).left == anchoredShown.label.left - 60; }));
    const std::string absolute = m_memos / "動かしたメモ";
    kanopa::testing::MakeFolder(absolute);
    const Shown absoluteShown = SaveInto(absolute);
    ASSERT_EQ(absoluteShown.label.top, anchoredShown.label.top - 60);

    // The files hold the two layouts.
    const auto layoutOf = [](const std::string& folder) {
        const MemoRecord memo = editor::win32::testing::ReadMemoFile(folder + "\\memo.epm");
        return std::to_string(memo.layoutMode) + "/" + std::to_string(memo.anchorPosition) + "/" +
               std::to_string(memo.margin);
    };
    EXPECT_EQ(layoutOf(anchored), "1/9/35");
    EXPECT_EQ(layoutOf(absolute), "0/9/35");

    EXPECT_EQ(PopupOver(anchored, anchoredShown.frame), anchoredShown.label);
    EXPECT_EQ(PopupOver(absolute, absoluteShown.frame), absoluteShown.label);
}

}  // namespace
}  // namespace kanopa::e2e
