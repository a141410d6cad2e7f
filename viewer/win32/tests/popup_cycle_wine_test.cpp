// The real popup window driven by the real popup cycle, over a real window standing in
// for an Explorer folder window (the shell's window list cannot be read under Wine) and
// a real folder holding a memo file. When the popup goes and comes is the cycle's logic,
// proved natively (popup_cycle_test.cpp); here is what only real windows show.
#include "common/win32/win32_file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/keys.h"
#include "common/log.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/tests/fakes.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "viewer/memo_file_finder.h"
#include "viewer/popup_cycle.h"
#include "viewer/viewer_state.h"
#include "viewer/win32/memo_popup_window.h"
#include "viewer/win32/resource.h"
#include "viewer/win32/viewer_texts.h"
#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/win32_folder_change_watcher.h"
#include "viewer/win32/win32_window_system.h"

namespace kanopa::viewer::win32::testing {
namespace {

const std::string kMemoText = "会議室の鍵は総務へ返却\r\n締切: 金曜 17:00 ①";

// As the viewer itself runs: each window in its own monitor's DPI (a prefix made with
// KANOPA_WINE_DPI=144 runs this file at 144 dpi).
// (Wine 8 takes it but answers FALSE: the test asks for the awareness itself.)
const BOOL kPerMonitorAware = SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

class PopupCycleOnWine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(folderWindow.Get(), nullptr);
        kanopa::testing::MakeFolder(memoFolder);
        shell.list.push_back(
            ShellWindowInfo{folderWindow.Id(), false, TabState::Active, memoFolder + "\\"});
    }

    // Saves `memo` (by default at the bottom right: 50 px in from both edges, 200 x 100),
    // brings the folder window to the front and lets one tick open the popup.
    void OpenPopup(void (*adjust)(MemoRecord&) = nullptr) {
        MemoRecord memo;
        SetDefaultMemoValues(memo);
        memo.anchorPosition = 9;
        memo.backColor = 0xC0FFFF;
        memo.memoText = kMemoText;
        if (adjust) adjust(memo);
        ASSERT_TRUE(SaveMemo(fs, clock, MemoKey(), memoFolder + "\\note.epm", memo).ok);
        ASSERT_TRUE(folderWindow.BringToFront());
        Tick();
        ASSERT_TRUE(WaitUntil([&] { return popup.IsVisible(); }));
    }
    void Tick() {
        cycle.Tick();
        PumpMessages();
    }
    bool PopupGone(HWND shown) {
        return WaitUntil([&] { return !IsWindow(shown) && !popup.Exists(); });
    }

    kanopa::testing::LogCapture logged;
    kanopa::testing::TempFolder folder;
    const std::string memoFolder = folder / "メモのあるフォルダ";  // without the final "\"
    Win32FileSystem fs;
    Win32Clock clock;
    ViewerState state;
    StandInShellWindows shell;
    Win32WindowSystem windowSystem;
    Win32FolderChangeWatcher watcher;
    MemoFileFinder finder{fs, &watcher};
    TestWindow folderWindow{L"メモのあるフォルダ", RECT{100, 100, 900, 700}};
    MemoPopupWindow popup{GetModuleHandleW(nullptr), state};
    PopupCycle cycle{shell, windowSystem, finder, fs, popup, state};
};

// True when `upper` lies above `lower` in the z-order.
bool IsAbove(HWND upper, HWND lower) {
    for (HWND window = GetWindow(lower, GW_HWNDPREV); window != nullptr;
         window = GetWindow(window, GW_HWNDPREV)) {
        if (window == upper) return true;
    }
    return false;
}

// One life of the popup over its folder window. Following keeps the z-order: only opening
// lifts the popup above the topmost windows. Its menu copies the text; its picture closes
// the memo for this window and folder. The closed folder window lets go of every handle
// on the folder.
TEST_F(PopupCycleOnWine, OpensFollowsBelowLaterTopmostWindowsCopiesClosesAndLetsGoOfTheFolder) {
    OpenPopup();
    HWND shown = popup.Window();
    EXPECT_EQ(WindowRect(shown), (Rect{650, 550, 850, 650}));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(shown, GWL_EXSTYLE));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);  // no taskbar button
    EXPECT_EQ(GetForegroundWindow(), folderWindow.Get());
    EXPECT_EQ(GetFocus(), folderWindow.Get());

    // The user makes the popup larger by its border, then moves the folder window.
    SetWindowPos(shown, nullptr, 0, 0, 300, 180, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(folderWindow.Get(), nullptr, 150, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Tick();
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(shown) == Rect{700, 580, 1000, 760}; }))
        << ::testing::PrintToString(WindowRect(shown));
    EXPECT_EQ(popup.Window(), shown);
    EXPECT_EQ(GetFocus(), folderWindow.Get());

    TestWindow other(L"常に手前のウィンドウ", RECT{600, 500, 900, 700});
    SetWindowPos(other.Get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(folderWindow.BringToFront());
    ASSERT_TRUE(IsAbove(other.Get(), shown));
    for (int tick = 1; tick <= 3; ++tick) {
        SetWindowPos(folderWindow.Get(), nullptr, 150 + 10 * tick, 130, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Tick();
        EXPECT_EQ(WindowRect(shown).left, 700 + 10 * tick) << tick;  // it did follow
        EXPECT_TRUE(IsAbove(other.Get(), shown)) << tick;
    }
    EXPECT_TRUE(GetWindowLongPtrW(shown, GWL_EXSTYLE) & WS_EX_TOPMOST);

    const auto rightClickAt = [&](POINT client) {
        return ItemsOfMenuOpenedBy([&] {
            SendMessageW(shown, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(client.x, client.y));
            SendMessageW(shown, WM_RBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        });
    };
    const RECT picture = popup.ClosePictureRect();
    const POINT centre{(picture.left + picture.right) / 2, (picture.top + picture.bottom) / 2};
    EXPECT_THAT(rightClickAt(POINT{10, 10}), ::testing::ElementsAre(kMenuCopy));
    EXPECT_THAT(rightClickAt(centre), ::testing::IsEmpty());
    EXPECT_TRUE(popup.IsVisible());

    const UINT earlierFormat = RegisterClipboardFormatW(L"KanopaTest.Earlier");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(earlierFormat, GlobalAlloc(GMEM_MOVEABLE, 4)), nullptr);
    CloseClipboard();

    SendMessageW(shown, WM_COMMAND, IDM_MEMO_COPY, 0);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(IsClipboardFormatAvailable(earlierFormat));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    const std::string copied = text != nullptr ? WideToUtf8(text) : "(nothing)";
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(copied, kMemoText);

    SendMessageW(shown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    SendMessageW(shown, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    EXPECT_TRUE(PopupGone(shown));
    EXPECT_EQ(state.ClosedMemos().Entries(),
              (std::vector<ClosedMemoList::Entry>{{folderWindow.Id(), memoFolder + "\\"}}));

    EXPECT_EQ(watcher.OpenWatches(), 1);  // the folder in front is watched
    shell.list.clear();
    folderWindow.Close();
    Tick();
    EXPECT_EQ(watcher.OpenWatches(), 0);
    // A handle left open would keep the folder in place, pending deletion, after its
    // removal (on Windows and under Wine alike).
    const std::wstring path = Utf8ToWide(memoFolder);
    ASSERT_TRUE(DeleteFileW((path + L"\\note.epm").c_str()));
    EXPECT_TRUE(RemoveDirectoryW(path.c_str()));
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The sizing border's width, widened for as long as this lives (not saved).
class WiderBorder {
public:
    explicit WiderBorder(UINT extra) {
        SystemParametersInfoW(SPI_GETBORDER, 0, &m_saved, 0);
        SystemParametersInfoW(SPI_SETBORDER, m_saved + extra, nullptr, 0);
    }
    ~WiderBorder() { SystemParametersInfoW(SPI_SETBORDER, m_saved, nullptr, 0); }
    WiderBorder(const WiderBorder&) = delete;
    WiderBorder& operator=(const WiderBorder&) = delete;

private:
    UINT m_saved = 0;
};

// In the memo's look, never smaller than 700 twips, and its close picture whole inside
// the client area however wide the border.
TEST_F(PopupCycleOnWine, DrawsInTheMemosLookAtLeast700TwipsWithThePictureWholeOnWideBorders) {
    ASSERT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    // Wine's own border, then one as wide as Windows 10 and 11 draw (and wider).
    for (const UINT extra : {0u, 4u, 8u}) {
        WiderBorder border(extra);
        OpenPopup([](MemoRecord& memo) {
            memo.fontSize = 14;
            memo.fontStyle = 3;  // bold italic
            memo.fontUnderline = memo.fontStrikeout = 1;
            memo.memoWidth = 20;
            memo.memoHeight = 10;
            memo.memoText = "";
        });
        HWND shown = popup.Window();
        const int dpi = static_cast<int>(GetDpiForWindow(shown));
        LOGFONTW font{};
        ASSERT_EQ(GetObjectW(popup.MemoFont(), sizeof(font), &font), static_cast<int>(sizeof(font)));
        EXPECT_EQ(WideToUtf8(font.lfFaceName), kDefaultFontName);
        EXPECT_EQ(font.lfHeight, -MulDiv(14, dpi, 72));
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        EXPECT_TRUE(font.lfItalic);
        EXPECT_FALSE(font.lfUnderline || font.lfStrikeOut);
        const int minimum = MulDiv(700, dpi, 1440);
        EXPECT_EQ(WindowRect(shown), (Rect{830, 640, 830 + minimum, 640 + minimum}));

        RECT window{};
        RECT client{};
        GetWindowRect(shown, &window);
        GetClientRect(shown, &client);
        const int frame = ((window.right - window.left) - client.right) / 2;
        const RECT picture = popup.ClosePictureRect();
        RECT inside{};
        IntersectRect(&inside, &picture, &client);
        EXPECT_TRUE(EqualRect(&inside, &picture)) << "border " << frame << " px at " << dpi << " dpi";
        EXPECT_EQ(picture.right, client.right - MulDiv(20, dpi, 1440)) << frame;
        EXPECT_EQ(picture.top, MulDiv(60, dpi, 1440));
        EXPECT_EQ(picture.right - picture.left, MulDiv(240, dpi, 1440));

        // Drawn whole: its grey edge shows at both sides; without text the rest of the
        // client area shows the memo's back colour.
        UpdateWindow(shown);
        {
            const UniqueWindowDc dc = GetWindowDcOf(shown);
            const int middle = (picture.top + picture.bottom) / 2;
            EXPECT_EQ(GetPixel(dc.Get().dc, picture.left, middle), RGB(128, 128, 128)) << frame;
            EXPECT_EQ(GetPixel(dc.Get().dc, picture.right - 1, middle), RGB(128, 128, 128)) << frame;
            EXPECT_EQ(GetPixel(dc.Get().dc, client.left + 2, client.bottom - 3), COLORREF{0xC0FFFF});
        }
        SetWindowPos(shown, nullptr, 0, 0, 5, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(WindowRect(shown), (Rect{830, 640, 830 + minimum, 940}));
        popup.Unload();
        ASSERT_TRUE(PopupGone(shown));
    }
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
