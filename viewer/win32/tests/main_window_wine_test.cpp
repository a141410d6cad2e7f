// frmMain in this process, where its menu can be read (Wine keeps menus per process).
#include "viewer/win32/main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "viewer/win32/resource.h"
#include "viewer/win32/tests/test_support.h"
#include "viewer/win32/viewer_names.h"
#include "viewer/win32/viewer_texts.h"

namespace kanopa::viewer::win32::testing {
namespace {

using ::testing::ElementsAre;

std::vector<std::wstring> MenuItems(HMENU menu) {
    std::vector<std::wstring> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back((info.fType & MFT_SEPARATOR) ? L"-" : text);
    }
    return items;
}

class MainWindowOnWine : public ::testing::Test {
protected:
    void SetUp() override {
        const Status status = window.Create();
        ASSERT_TRUE(status.ok) << status.error;
        ASSERT_NE(window.Window(), nullptr);
    }

    // Opens the tray menu with `press` and reads it from another thread (this one is
    // inside the menu's loop), then closes it with Escape.
    std::vector<std::wstring> OpenTrayMenu(UINT press) {
        std::vector<std::wstring> items;
        std::atomic<bool> closed{false};
        std::thread reader([&] {
            HWND menuWindow = nullptr;
            const auto deadline = std::chrono::steady_clock::now() + 5s;
            while (menuWindow == nullptr && std::chrono::steady_clock::now() < deadline) {
                menuWindow = FindProcessWindow(GetCurrentProcessId(), L"#32768");
                std::this_thread::sleep_for(5ms);
            }
            if (menuWindow != nullptr) {
                items = MenuItems(reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0)));
                PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
            }
            closed = true;
        });
        PostMessageW(window.Window(), kTrayCallbackMessage, MAKEWPARAM(200, 200), MAKELPARAM(press, 1));
        WaitUntil([&] { return closed.load(); });
        reader.join();
        WaitUntil([&] { return FindProcessWindow(GetCurrentProcessId(), L"#32768") == nullptr; });
        return items;
    }

    int ticks = 0;
    MainWindow window{GetModuleHandleW(nullptr), MainWindow::Settings{"C:\\", "C:\\x.exe"},
                      [this] { ++ticks; }};
};

TEST_F(MainWindowOnWine, ALeftOrRightPressOnTheIconOpensTheMenu) {
    for (const UINT press : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        EXPECT_THAT(OpenTrayMenu(press),
                    ElementsAre(kMenuHelp, kMenuVersion, kMenuCancel, L"-", kMenuEnd))
            << "press " << press;
    }
    EXPECT_TRUE(IsWindow(window.Window()));  // Escape, like Cancel, changes nothing
}

TEST_F(MainWindowOnWine, DoubleClicksAndReleasesOnTheIconOpenNothing) {
    // A menu would hold the call below in its loop: a watcher notes and closes any.
    std::atomic<bool> stop{false};
    std::atomic<bool> menuSeen{false};
    std::thread watcher([&] {
        while (!stop) {
            if (HWND menu = FindProcessWindow(GetCurrentProcessId(), L"#32768")) {
                menuSeen = true;
                PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            }
            std::this_thread::sleep_for(5ms);
        }
    });
    const UINT others[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONUP,
                           WM_MOUSEMOVE};
    for (const UINT other : others) {
        SendMessageW(window.Window(), kTrayCallbackMessage, MAKEWPARAM(200, 200), MAKELPARAM(other, 1));
    }
    stop = true;
    watcher.join();
    EXPECT_FALSE(menuSeen);
}

TEST_F(MainWindowOnWine, TheTimerTicksOnceASecond) {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 2; }, 5000ms));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 1900ms);
    EXPECT_LT(elapsed, 3500ms);
}

TEST_F(MainWindowOnWine, TheEndCommandDestroysTheWindowAndEndsTheLoop) {
    HWND handle = window.Window();
    SendMessageW(handle, WM_COMMAND, IDM_TRAY_END, 0);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(window.Window(), nullptr);
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
