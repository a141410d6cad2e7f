// frmMain in this process, where its menu can be read (Wine keeps menus per process).
#include "viewer/win32/main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/viewer_texts.h"

namespace kanopa::viewer::win32::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MainWindowOnWine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.Create().ok); }

    // Sends the icon's `event` and returns the items of the menu it opened.
    std::vector<std::wstring> TrayMenuAfter(UINT event) {
        return ItemsOfMenuOpenedBy([&] {
            SendMessageW(window.Window(), kTrayCallbackMessage, MAKEWPARAM(200, 200),
                         MAKELPARAM(event, 1));
        });
    }

    // Its once-a-second timer drives the real program in ViewerProgramEvents.
    MainWindow window{GetModuleHandleW(nullptr), MainWindow::Settings{"C:\\"}, [] {}};
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

TEST_F(MainWindowOnWine, TheIconShowsItsTipAndComesBackAfterATaskbarRestartOrACancelledShutdown) {
    HWND shown = window.Window();
    ASSERT_TRUE(TrayIconPresent(shown));
    EXPECT_THAT(TrayTipsShown(), ::testing::Contains(std::wstring(kJapaneseProgramName)));

    // What an Explorer restart does to it: the icon is gone, then the broadcast comes.
    NOTIFYICONDATAW gone{};
    gone.cbSize = sizeof(gone);
    gone.hWnd = shown;
    gone.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(TrayIconPresent(shown));
    SendMessageW(shown, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayIconPresent(shown));

    // A shutdown that another program refuses: the icon goes when asked, and comes back.
    EXPECT_EQ(SendMessageW(shown, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_FALSE(TrayIconPresent(shown));
    SendMessageW(shown, WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(TrayIconPresent(shown));
    // A shutdown that goes ahead leaves none behind.
    SendMessageW(shown, WM_QUERYENDSESSION, 0, 0);
    SendMessageW(shown, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(TrayIconPresent(shown));
}

// A taskbar that takes no icons: a window of the taskbar's class, found before the real
// one, that refuses every request, as a taskbar too busy to answer in time does.
class RefusingTaskbar {
public:
    RefusingTaskbar() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            return message == WM_COPYDATA ? LRESULT{0} : DefWindowProcW(window, message, wParam, lParam);
        };
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Shell_TrayWnd";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                   nullptr, windowClass.hInstance, nullptr);
        SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ~RefusingTaskbar() { Leave(); }
    RefusingTaskbar(const RefusingTaskbar&) = delete;
    RefusingTaskbar& operator=(const RefusingTaskbar&) = delete;

    bool Standing() const { return m_window != nullptr && FindWindowW(L"Shell_TrayWnd", nullptr) == m_window; }
    void Leave() {
        if (m_window != nullptr) DestroyWindow(m_window);
        m_window = nullptr;
    }

private:
    HWND m_window = nullptr;
};

// It sends no TaskbarCreated when it recovers: the icon comes with a later tick.
TEST(MainWindowIconOnWine, AnIconTheTaskbarRefusedComesWithALaterTick) {
    RefusingTaskbar busy;
    ASSERT_TRUE(busy.Standing()) << "the real taskbar is found first";
    MainWindow window{GetModuleHandleW(nullptr), MainWindow::Settings{"C:\\"}, [] {}};
    ASSERT_TRUE(window.Create().ok);
    busy.Leave();
    ASSERT_FALSE(TrayIconPresent(window.Window()));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(window.Window()); }));
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
