// The real popup window driven by the real popup cycle, over a real window standing in
// for an Explorer folder window (the shell's window list cannot be read under Wine) and
// a real folder holding a memo file.
#include "common/win32/win32_file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/log.h"
#include "common/memo_file.h"
#include "common/services.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "viewer/memo_file_finder.h"
#include "viewer/popup_cycle.h"
#include "viewer/viewer_state.h"
#include "viewer/win32/memo_popup_window.h"
#include "viewer/win32/resource.h"
#include "viewer/win32/tests/test_support.h"
#include "viewer/win32/win32_folder_change_watcher.h"
#include "viewer/win32/win32_window_system.h"

namespace kanopa::viewer::win32::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RecordingSink final : public LogSink {
public:
    void Write(std::string_view source, std::string_view message) noexcept override {
        lines.push_back(std::string(source) + std::string(message));
    }
    std::vector<std::string> lines;
};

// The shell's answer as a test sets it.
class StandInShellWindows final : public ShellWindowSource {
public:
    Status Enumerate(std::vector<ShellWindowInfo>& windows) override {
        windows = list;
        return Status::Ok();
    }
    std::vector<ShellWindowInfo> list;
};

constexpr RECT kFolderFrame{100, 100, 900, 700};
const std::string kMemoText = "会議室の鍵は総務へ返却\r\n締切: 金曜 17:00 ①";

class PopupCycleOnWine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(folderWindow.Get(), nullptr);
        ASSERT_TRUE(folderWindow.BringToFront());
        shell.list.push_back(ShellWindowInfo{folderWindow.Id(), false, true, folder.Path()});
    }

    // A memo anchored at the bottom right: 50 px in from both edges, 200 x 100 px.
    MemoRecord BottomRightMemo() const {
        MemoRecord memo;
        SetDefaultMemoValues(memo);
        memo.layoutMode = 1;
        memo.anchorPosition = 9;
        memo.margin = 50;
        memo.memoWidth = 200;
        memo.memoHeight = 100;
        memo.foreColor = 0x000080;
        memo.backColor = 0xC0FFFF;
        memo.memoText = kMemoText;
        return memo;
    }

    void SaveMemoFile(MemoRecord memo) {
        const Status status = SaveMemo(fs, clock, kViewerMemoKey, folder / "note.epm", memo);
        ASSERT_TRUE(status.ok) << status.error;
    }

    void Tick() {
        cycle.Tick();
        PumpMessages();
    }

    // Opens the popup for the folder window and checks that it is up.
    void OpenPopup(MemoRecord memo) {
        SaveMemoFile(std::move(memo));
        Tick();
        ASSERT_TRUE(WaitUntil([&] { return popup.IsVisible(); }));
    }

    bool PopupGone(HWND shown) {
        return WaitUntil([&] { return !IsWindow(shown) && !popup.Exists(); }) &&
               state.CurrentMemo().popupWindow == 0;
    }

    RecordingSink log;
    ScopedLogSink scopedLog{log};
    kanopa::testing::TempFolder folder;
    Win32FileSystem fs;
    Win32Clock clock;
    ViewerState state;
    StandInShellWindows shell;
    Win32WindowSystem windowSystem;
    Win32FolderChangeWatcher watcher;
    MemoFileFinder finder{fs, &watcher};
    TestWindow folderWindow{L"メモのあるフォルダ", kFolderFrame};
    MemoPopupWindow popup{GetModuleHandleW(nullptr), state};
    PopupCycle cycle{shell, windowSystem, finder, fs, popup, state};
};

// --- Opening: place, z-order, taskbar and focus --------------------------------------

TEST_F(PopupCycleOnWine, OpensOnTheFirstTickAtItsAnchorTopmostWithoutTakingTheFocus) {
    OpenPopup(BottomRightMemo());
    HWND shown = popup.Window();

    // Bottom right with a margin of 50 in a frame of (100,100)-(900,700): (650, 550).
    EXPECT_EQ(WindowRect(shown), (Rect{650, 550, 850, 650}));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(shown, GWL_EXSTYLE));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);  // no taskbar button
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(shown, GWL_STYLE));
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION);

    EXPECT_EQ(GetForegroundWindow(), folderWindow.Get());
    EXPECT_EQ(GetActiveWindow(), folderWindow.Get());
    EXPECT_EQ(GetFocus(), folderWindow.Get());
    EXPECT_EQ(state.CurrentMemo().popupWindow, HandleToLong(shown));
    EXPECT_EQ(state.CurrentMemo().memoText, kMemoText);
}

TEST_F(PopupCycleOnWine, FollowsAMovedWindowAndKeepsTheSizeTheUserGaveIt) {
    OpenPopup(BottomRightMemo());
    HWND shown = popup.Window();
    // The user makes the popup larger by its border, then moves the folder window.
    SetWindowPos(shown, nullptr, 0, 0, 300, 180, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(folderWindow.Get(), nullptr, 150, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages();

    Tick();

    // Placed by the memo's own size (200 x 100) from the new frame (150,130)-(950,730).
    WaitUntil([&] { return WindowRect(shown) == Rect{700, 580, 1000, 760}; });
    EXPECT_EQ(WindowRect(shown), (Rect{700, 580, 1000, 760}));
    EXPECT_EQ(popup.Window(), shown);  // the same window followed, none was reopened
    EXPECT_EQ(GetForegroundWindow(), folderWindow.Get());
    EXPECT_EQ(GetFocus(), folderWindow.Get());
}

TEST_F(PopupCycleOnWine, DrawsTheTextInTheMemosColoursAndFontWithoutUnderlineOrStrikeOut) {
    MemoRecord memo = BottomRightMemo();
    memo.fontName = "ＭＳ ゴシック";
    memo.fontSize = 14;
    memo.fontStyle = 3;  // bold italic
    memo.fontUnderline = 1;
    memo.fontStrikeout = 1;
    OpenPopup(memo);
    HWND shown = popup.Window();

    LOGFONTW font{};
    ASSERT_EQ(GetObjectW(popup.MemoFont(), sizeof(font), &font), static_cast<int>(sizeof(font)));
    EXPECT_EQ(WideToUtf8(font.lfFaceName), "ＭＳ ゴシック");
    EXPECT_EQ(font.lfHeight, -MulDiv(14, static_cast<int>(GetDpiForWindow(shown)), 72));
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_FALSE(font.lfStrikeOut);

    // The bottom-left corner of the client area holds no text: the memo's back colour.
    UpdateWindow(shown);
    RECT client{};
    GetClientRect(shown, &client);
    HDC dc = GetDC(shown);
    const COLORREF corner = GetPixel(dc, client.left + 2, client.bottom - 3);
    ReleaseDC(shown, dc);
    EXPECT_EQ(corner, static_cast<COLORREF>(0xC0FFFF));
}

// --- Closing by the cycle: nothing recorded as closed --------------------------------

TEST_F(PopupCycleOnWine, GoesWhenAnotherWindowComesToTheFront) {
    OpenPopup(BottomRightMemo());
    HWND shown = popup.Window();
    TestWindow other(L"別のプログラム", RECT{200, 200, 500, 400});
    ASSERT_TRUE(other.BringToFront());

    Tick();

    EXPECT_TRUE(PopupGone(shown));
    EXPECT_THAT(state.ClosedMemos().Entries(), IsEmpty());

    // Back to the folder window: the memo is read and shown again.
    ASSERT_TRUE(folderWindow.BringToFront());
    Tick();
    EXPECT_TRUE(WaitUntil([&] { return popup.IsVisible(); }));
}

TEST_F(PopupCycleOnWine, GoesWhenTheFolderWindowIsMinimised) {
    OpenPopup(BottomRightMemo());
    HWND shown = popup.Window();
    ShowWindow(folderWindow.Get(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(folderWindow.Get()) != FALSE; }));

    Tick();

    EXPECT_TRUE(PopupGone(shown));
    EXPECT_THAT(log.lines, Contains("最小化"));
}

TEST_F(PopupCycleOnWine, GoesWithAClosedFolderWindowAndTakesItsClosedMemosAlong) {
    const std::int32_t closedWindow = folderWindow.Id();
    state.ClosedMemos().Add(closedWindow, "C:\\別のフォルダ\\");
    state.ClosedMemos().Add(closedWindow + 4, "C:\\別のフォルダ\\");
    OpenPopup(BottomRightMemo());
    HWND shown = popup.Window();

    folderWindow.Close();
    Tick();

    EXPECT_TRUE(PopupGone(shown));
    ASSERT_EQ(state.ClosedMemos().Entries().size(), 1u);
    EXPECT_EQ(state.ClosedMemos().Entries()[0].window, closedWindow + 4);
}

// --- What the user does with the popup --------------------------------------------

TEST_F(PopupCycleOnWine, ClosePictureClosesTheMemoForThisWindowAndFolder) {
    OpenPopup(BottomRightMemo());
    HWND shown = popup.Window();
    const RECT picture = popup.ClosePictureRect();
    const LPARAM centre = MAKELPARAM((picture.left + picture.right) / 2,
                                     (picture.top + picture.bottom) / 2);

    SendMessageW(shown, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    SendMessageW(shown, WM_LBUTTONUP, 0, centre);

    EXPECT_TRUE(PopupGone(shown));
    EXPECT_THAT(state.ClosedMemos().Entries(),
                ElementsAre(ClosedMemoList::Entry{folderWindow.Id(), folder.Path()}));
    EXPECT_THAT(log.lines, Contains("メモ閉じるボタン押下"));

    // It stays closed while the same folder window is in front.
    Tick();
    Tick();
    EXPECT_FALSE(popup.Exists());
}

TEST_F(PopupCycleOnWine, CopyPutsExactlyTheMemoTextOnTheClipboard) {
    OpenPopup(BottomRightMemo());
    // Something else is on the clipboard before, in a format of its own.
    const UINT earlierFormat = RegisterClipboardFormatW(L"KanopaTest.Earlier");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL earlier = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_NE(SetClipboardData(earlierFormat, earlier), nullptr);
    CloseClipboard();

    SendMessageW(popup.Window(), WM_COMMAND, IDM_MEMO_COPY, 0);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(IsClipboardFormatAvailable(earlierFormat));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    ASSERT_NE(text, nullptr);
    const std::string copied = WideToUtf8(text);
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(copied, kMemoText);
}

TEST_F(PopupCycleOnWine, CannotBeMadeSmallerThan700Twips) {
    MemoRecord tiny = BottomRightMemo();
    tiny.memoWidth = 20;
    tiny.memoHeight = 10;
    OpenPopup(tiny);
    HWND shown = popup.Window();
    const int dpi = static_cast<int>(GetDpiForWindow(shown));
    const int minimum = (700 * dpi + 720) / 1440;  // 47 px at 96 dpi

    Rect rect = WindowRect(shown);
    EXPECT_EQ(rect.right - rect.left, minimum);
    EXPECT_EQ(rect.bottom - rect.top, minimum);

    SetWindowPos(shown, nullptr, 0, 0, 5, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    rect = WindowRect(shown);
    EXPECT_EQ(rect.right - rect.left, minimum);
    EXPECT_EQ(rect.bottom - rect.top, 300);
}

// Real mouse input at a screen position: it reaches the popup through the system, as a
// user's would. Each event carries its own position, so none depends on when the pointer
// was last moved.
void SendMouseAt(POINT at, DWORD flags) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Rounded up, so that scaling back to pixels lands on the pixel itself.
    input.mi.dx = static_cast<LONG>((at.x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((at.y * 65536LL + height - 1) / height);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ASSERT_EQ(SendInput(1, &input, sizeof(input)), 1u) << LastErrorText(GetLastError());
}

TEST_F(PopupCycleOnWine, AClickBringsThePopupToTheFrontAndKeepsItOpen) {
    OpenPopup(BottomRightMemo());
    HWND shown = popup.Window();
    const Rect rect = WindowRect(shown);
    const POINT inside{rect.left + 20, rect.top + 40};
    SendMouseAt(inside, MOUSEEVENTF_LEFTDOWN);
    SendMouseAt(inside, MOUSEEVENTF_LEFTUP);

    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == shown; }));
    Tick();
    EXPECT_TRUE(popup.IsVisible());
    EXPECT_EQ(popup.Window(), shown);
}

TEST_F(PopupCycleOnWine, DraggingTheTextMovesThePopupAndItStaysThereOverItsWindow) {
    OpenPopup(BottomRightMemo());
    HWND shown = popup.Window();
    const Rect before = WindowRect(shown);
    const POINT grip{before.left + 30, before.top + 40};
    const POINT release{grip.x - 40, grip.y - 100};

    // The move loop holds this thread until the button goes up: the rest of the drag
    // comes from another thread once the loop is running.
    std::atomic<bool> dragged{false};
    std::thread user([&] {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!popup.InMoveSizeLoop() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(5ms);
        }
        for (int step = 1; step <= 3; ++step) {
            SendMouseAt(POINT{grip.x - 10 * step, grip.y - 25 * step}, 0);
        }
        SendMouseAt(release, MOUSEEVENTF_LEFTUP);
        dragged = true;
    });
    SendMouseAt(grip, MOUSEEVENTF_LEFTDOWN);
    const bool done = WaitUntil([&] { return dragged.load(); }, 10s);
    user.join();
    ASSERT_TRUE(done);
    ASSERT_TRUE(WaitUntil([&] { return !popup.InMoveSizeLoop(); }));

    const Rect after = WindowRect(shown);
    EXPECT_EQ(after.left, before.left - 40);
    EXPECT_EQ(after.top, before.top - 100);
    // The popup keeps that place relative to its folder window from now on.
    EXPECT_EQ(state.CurrentMemo().layoutMode, 0);
    EXPECT_EQ(state.CurrentMemo().memoLeft, after.left - kFolderFrame.left);
    EXPECT_EQ(state.CurrentMemo().memoTop, after.top - kFolderFrame.top);

    ASSERT_TRUE(folderWindow.BringToFront());
    SetWindowPos(folderWindow.Get(), nullptr, 120, 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Tick();
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(shown).left == after.left + 20; }));
    EXPECT_EQ(WindowRect(shown).top, after.top + 10);
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
