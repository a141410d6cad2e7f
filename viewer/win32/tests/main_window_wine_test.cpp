// frmMain in this process, where its menu can be read (Wine keeps menus per process).
#include "viewer/win32/main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "viewer/win32/tests/test_support.h"
#include "viewer/win32/viewer_texts.h"

namespace kanopa::viewer::win32::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::wstring> MenuItems(HMENU menu) {
    std::vector<std::wstring> items;
    for (UINT i = 0; i < static_cast<UINT>(GetMenuItemCount(menu)); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        items.push_back((GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) ? L"-" : text);
    }
    return items;
}

class MainWindowOnWine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.Create().ok); }

    // Sends the icon's `event` and returns the items of the menu it opened, read from
    // another thread (this one is inside the menu's loop meanwhile) before Escape closes it.
    std::vector<std::wstring> TrayMenuAfter(UINT event) {
        std::vector<std::wstring> items;
        std::atomic<bool> returned{false};
        std::thread reader([&] {
            while (!returned) {
                if (HWND menu = FindProcessWindow(GetCurrentProcessId(), L"#32768")) {
                    items = MenuItems(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
                    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                    return;
                }
                std::this_thread::sleep_for(5ms);
            }
        });
        SendMessageW(window.Window(), kTrayCallbackMessage, MAKEWPARAM(200, 200), MAKELPARAM(event, 1));
        returned = true;
        reader.join();
        return items;
    }

    int ticks = 0;
    MainWindow window{GetModuleHandleW(nullptr), MainWindow::Settings{"C:\\", "C:\\x.exe"},
                      [this] { ++ticks; }};
};

TEST_F(MainWindowOnWine, ALeftOrRightPressOnTheIconOpensTheMenuAndNothingElseDoes) {
    for (const UINT press : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        EXPECT_THAT(TrayMenuAfter(press),
                    ElementsAre(kMenuHelp, kMenuVersion, kMenuCancel, L"-", kMenuEnd))
            << "press " << press;
    }
    for (const UINT other : {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONUP}) {
        EXPECT_THAT(TrayMenuAfter(other), IsEmpty()) << "event " << other;
    }
    EXPECT_TRUE(IsWindow(window.Window()));  // Escape, like Cancel, changes nothing
}

// The icon's own record as the shell knows it: window and id 1.
bool TrayIconPresent(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = 1;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

TEST_F(MainWindowOnWine, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    ASSERT_TRUE(TrayIconPresent(window.Window()));
    // What an Explorer restart does to it: the icon is gone, then the broadcast comes.
    NOTIFYICONDATAW gone{};
    gone.cbSize = sizeof(gone);
    gone.hWnd = window.Window();
    gone.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(TrayIconPresent(window.Window()));
    SendMessageW(window.Window(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayIconPresent(window.Window()));
}

TEST_F(MainWindowOnWine, TheTimerTicksOnceASecond) {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 2; }));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 1900ms);
    EXPECT_LT(elapsed, 3500ms);
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
