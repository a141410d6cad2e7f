// The version dialog both programs show, as the editor opens it: its name, the version of
// the running program (this test's own VERSIONINFO, 2.3.12.7) and its size.
#include "common/win32/about_dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "common/win32/about_dialog_resource.h"
#include "common/win32/test_support/window_testing.h"

namespace kanopa::testing {
namespace {

TEST(FormatFileVersion, MajorMinorRevisionInPlainDecimalWithoutTheBuild) {
    const struct {
        std::uint32_t ms, ls;
        const char* shown;
    } cases[] = {{0x00010001, 0x00000000, "1.1.0"},  // never 1.01.0
                 {0x00020003, 0x000C0007, "2.3.12"},
                 {0x00000000, 0x0000FFFF, "0.0.0"},
                 {0xFFFFFFFF, 0xFFFFFFFF, "65535.65535.65535"}};
    for (const auto& c : cases) EXPECT_EQ(FormatFileVersion(c.ms, c.ls), c.shown) << c.shown;
}

struct Shown {
    std::wstring caption, title, ver, version, goHp, ok;
    RECT client{}, frame{};
    RECT goHpRect{}, okRect{};
    int buttonGap = 0;  // 4 dialog units
    bool okHasFocus = false, controlsInside = true, lineEtched = false;
    UINT dpi = 0;
};

// What the dialog shows, read from another thread while this one runs it, then "OK".
Shown ShowAndRead(const AboutDialogInput& input) {
    Shown shown;
    std::atomic<bool> returned{false};
    std::thread reader([&] {
        HWND dialog = nullptr;
        WaitUntil([&] {
            return returned || (dialog = FindProcessWindow(GetCurrentProcessId(), L"#32770")) != nullptr;
        });
        if (dialog == nullptr) return;
        const auto text = [&](int id) { return WindowText(GetDlgItem(dialog, id)); };
        shown.caption = WindowText(dialog);
        shown.title = text(IDC_ABOUT_TITLE);
        shown.ver = text(IDC_ABOUT_VER);
        shown.version = text(IDC_ABOUT_VERSION);
        shown.goHp = text(IDC_ABOUT_GO_HP);
        shown.ok = text(IDOK);
        shown.dpi = GetDpiForWindow(dialog);
        GetClientRect(dialog, &shown.client);
        GetWindowRect(dialog, &shown.frame);
        const auto place = [&](int id, RECT& rect) {
            GetWindowRect(GetDlgItem(dialog, id), &rect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        };
        for (int id : {IDC_ABOUT_TITLE, IDC_ABOUT_CREDITS, IDC_ABOUT_LINE, IDC_ABOUT_GO_HP, IDOK}) {
            RECT rect{}, inside{};
            place(id, rect);
            IntersectRect(&inside, &rect, &shown.client);
            shown.controlsInside = shown.controlsInside && EqualRect(&inside, &rect);
        }
        place(IDC_ABOUT_GO_HP, shown.goHpRect);
        place(IDOK, shown.okRect);
        RECT gap{0, 0, 4, 0};
        MapDialogRect(dialog, &gap);
        shown.buttonGap = gap.right;
        shown.lineEtched = (GetWindowLongPtrW(GetDlgItem(dialog, IDC_ABOUT_LINE), GWL_STYLE) &
                            SS_TYPEMASK) == SS_ETCHEDHORZ;
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        shown.okHasFocus = WaitUntil([&] {
            return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui) &&
                   gui.hwndFocus == GetDlgItem(dialog, IDOK);
        });
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ShowAboutDialog(nullptr, GetModuleHandleW(nullptr), input);
    returned = true;
    reader.join();
    return shown;
}

TEST(AboutDialog, ShowsTheProgramsNameAndVersionAtItsSizeCentredWithTheFocusOnOk) {
    const Shown shown = ShowAndRead(AboutDialogInput{"カノパ", 1, 5160, 3015, ""});
    EXPECT_EQ(shown.caption, L"バージョン情報");
    EXPECT_EQ(shown.title, L"カノパ");
    EXPECT_EQ(shown.ver, L"Ver.");
    EXPECT_EQ(shown.version, L"2.3.12");
    EXPECT_EQ(shown.goHp, L"最新バージョンの確認");
    EXPECT_EQ(shown.ok, L"OK");
    ASSERT_NE(shown.dpi, 0u);
    EXPECT_EQ(shown.client.right, MulDiv(5160, static_cast<int>(shown.dpi), 1440));
    EXPECT_EQ(shown.client.bottom, MulDiv(3015, static_cast<int>(shown.dpi), 1440));
    EXPECT_TRUE(shown.controlsInside);
    EXPECT_TRUE(shown.lineEtched);
    EXPECT_TRUE(shown.okHasFocus);
    // The two buttons side by side, apart, neither overlapping nor touching.
    EXPECT_EQ(shown.goHpRect.top, shown.okRect.top);
    EXPECT_GE(shown.okRect.left - shown.goHpRect.right, shown.buttonGap) << shown.dpi << " dpi";
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(shown.frame.left - work.left, work.right - shown.frame.right, 1);
    EXPECT_NEAR(shown.frame.top - work.top, work.bottom - shown.frame.bottom, 1);
}

}  // namespace
}  // namespace kanopa::testing
