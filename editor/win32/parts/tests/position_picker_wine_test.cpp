// frmPos as a real window: its size at the monitor's dpi, the red zone under the
// pointer, a click's anchor, closing on deactivation, and the zones' tooltips.
#include "editor/win32/position_picker_window.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "editor/position_picker_logic.h"
#include "editor/preview_layout.h"
#include "common/win32/test_support/window_testing.h"
#include "common/win32/wide.h"

namespace kanopa::editor::win32 {
namespace {

using kanopa::testing::PumpMessages;
using kanopa::testing::TestWindow;
using kanopa::testing::WaitUntil;

constexpr COLORREF kRed = RGB(255, 0, 0);

// The whole test program is per-monitor aware, as Kanopa.exe is (its manifest), so that
// its windows see the screen's real resolution. (It may be so already: the call then
// fails, and the test below checks the outcome rather than the call.)
[[maybe_unused]] const BOOL kPerMonitorAware =
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

double PickerTwipsPerPixel(HWND picker) {
    return TwipsPerPixelForDpi(static_cast<int>(GetDpiForWindow(picker)));
}

POINT ZoneCentre(HWND picker, int zone) {
    const PixelRect r = ZoneRect(zone, PickerTwipsPerPixel(picker));
    return POINT{r.left + r.width / 2, r.top + r.height / 2};
}

// The tooltip of `zone` covers exactly the zone at the given scale.
void ExpectToolOverZone(HWND tips, HWND picker, int zone, double twipsPerPixel) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = picker;
    tool.uId = static_cast<UINT_PTR>(zone);
    ASSERT_TRUE(SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) << zone;
    const PixelRect r = ZoneRect(zone, twipsPerPixel);
    EXPECT_EQ((std::array<LONG, 4>{tool.rect.left, tool.rect.top, tool.rect.right, tool.rect.bottom}),
              (std::array<LONG, 4>{r.left, r.top, r.left + r.width, r.top + r.height}))
        << "zone " << zone;
}

// Moves the pointer to a screen point as the user's mouse would: through the system's
// input queue, so that windows hear of it, and of leaving, as they do of the real thing.
void MovePointerTo(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

// Moves the pointer onto `client` until the picker shows `zone` lit (-1: none). Under a
// loaded Wine a synthesised move is now and then lost; each retry comes from one pixel
// to the left (inside the same zone or gap), so that it is a real move again.
bool HoverUntilLit(const PositionPickerWindow& picker, HWND window, POINT client, int zone) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        POINT screen = client;
        ClientToScreen(window, &screen);
        if (attempt > 0) MovePointerTo(POINT{screen.x - 1, screen.y});
        MovePointerTo(screen);
        if (WaitUntil([&] { return picker.HighlightedZone() == zone; }, std::chrono::milliseconds(1000))) return true;
    }
    return false;
}

void ClickAt(HWND picker, POINT down, POINT up) {
    PostMessageW(picker, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
    PostMessageW(picker, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
}

// As the picker paints its client area, only `zone` is red (-1: none is); every other
// zone's centre is the same non-red colour.
void ExpectOnlyLit(HWND picker, int zone) {
    RECT client{};
    GetClientRect(picker, &client);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = client.right;
    format.bmiHeader.biHeight = -client.bottom;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    UniqueBitmap bitmap(CreateDIBSection(dc.Get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto selected = SelectGdiObject(dc.Get(), bitmap.Get());
    SendMessageW(picker, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    const auto colourAt = [&](int i) {
        const POINT centre = ZoneCentre(picker, i);
        return GetPixel(dc.Get(), centre.x, centre.y);
    };
    const COLORREF plain = colourAt(zone == 0 ? 1 : 0);
    EXPECT_NE(plain, kRed);
    EXPECT_GT(GetBValue(plain), 128) << "zones are blue";
    for (int i = 0; i < kPickerZoneCount; ++i) {
        EXPECT_EQ(colourAt(i), i == zone ? kRed : plain) << "zone " << i;
    }
}

class PositionPicker : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(owner.BringToFront()); }

    // Opens the picker over the owner and waits until it is the active window.
    HWND OpenPicker(POINT where = POINT{160, 140}) {
        const Status status = picker.Open(owner.Get(), where, [this](int anchor) {
            picked.push_back(anchor);
            pickerOpenDuringReport = picker.IsOpen();
        });
        EXPECT_TRUE(status.ok) << status.error;
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == picker.Window(); }));
        return picker.Window();
    }

    TestWindow owner{L"frmCreateMemo stand-in", RECT{100, 100, 700, 560}};
    PositionPickerWindow picker{GetModuleHandleW(nullptr)};
    std::vector<int> picked;
    bool pickerOpenDuringReport = true;
};

// One walk through the picker: opened, its tooltips, the light following the pointer,
// clicks that pick nothing, and a click that picks (which zone gives which anchor, and
// the zones' texts, are the picker logic's own tests).
TEST_F(PositionPicker, OpensAtItsPlaceLightsTheZoneUnderThePointerAndReportsAClick) {
    ASSERT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    HWND window = OpenPicker(POINT{160, 140});
    // One monitor: its resolution is the system's (144 in the second run of these tests).
    EXPECT_EQ(GetDpiForWindow(window), GetDpiForSystem());
    ASSERT_TRUE(picker.IsOpen());
    EXPECT_EQ(GetWindow(window, GW_OWNER), owner.Get());
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 160);
    EXPECT_EQ(frame.top, 140);
    RECT client{};
    GetClientRect(window, &client);
    const PixelSize expected = PickerClientSize(PickerTwipsPerPixel(window));
    EXPECT_EQ(client.right, expected.width);
    EXPECT_EQ(client.bottom, expected.height);
    EXPECT_EQ(picker.HighlightedZone(), -1);
    ExpectOnlyLit(window, -1);

    HWND tips = picker.Tooltips();
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(GetWindow(tips, GW_OWNER), window);
    ASSERT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), kPickerZoneCount);
    for (int zone = 0; zone < kPickerZoneCount; ++zone) {
        wchar_t text[80] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window;
        tool.uId = static_cast<UINT_PTR>(zone);
        tool.lpszText = text;
        SendMessageW(tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(std::wstring(text), Utf8ToWide(ZoneTooltip(zone))) << "zone " << zone;
        ExpectToolOverZone(tips, window, zone, PickerTwipsPerPixel(window));
    }

    ASSERT_TRUE(HoverUntilLit(picker, window, ZoneCentre(window, 1), 1));
    ExpectOnlyLit(window, 1);
    // On the picture between two zones: none is lit.
    const PixelRect left = ZoneRect(3, PickerTwipsPerPixel(window));
    const PixelRect middle = ZoneRect(4, PickerTwipsPerPixel(window));
    const POINT between{(left.left + left.width + middle.left) / 2, middle.top + 2};
    ASSERT_TRUE(HoverUntilLit(picker, window, between, -1));
    // Back on a zone, then the pointer leaves the window: the light goes out with it.
    ASSERT_TRUE(HoverUntilLit(picker, window, ZoneCentre(window, 8), 8));
    GetWindowRect(owner.Get(), &frame);
    MovePointerTo(POINT{frame.right - 20, frame.bottom - 20});
    EXPECT_TRUE(WaitUntil([&] { return picker.HighlightedZone() == -1; }));

    // Pressed on one zone and released on another, or between zones: nothing is picked.
    ClickAt(window, ZoneCentre(window, 0), ZoneCentre(window, 1));
    ClickAt(window, between, between);
    PumpMessages();  // the clicks were posted to this thread: all handled now
    EXPECT_TRUE(picker.IsOpen());
    EXPECT_TRUE(picked.empty());

    // A click on a zone reports its anchor once the picker has closed.
    ClickAt(window, ZoneCentre(window, 8), ZoneCentre(window, 8));
    ASSERT_TRUE(WaitUntil([&] { return !picker.IsOpen(); }));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(picked, std::vector<int>{9});
    EXPECT_FALSE(pickerOpenDuringReport);
    EXPECT_EQ(picker.Window(), nullptr);
}

TEST_F(PositionPicker, ClosesWithoutAChoiceOnAnotherWindowEscapeReopeningOrItsOwnersEnd) {
    TestWindow other(L"another program", RECT{500, 400, 800, 600});
    ASSERT_TRUE(owner.BringToFront());
    OpenPicker();
    ASSERT_TRUE(other.BringToFront());
    EXPECT_TRUE(WaitUntil([&] { return !picker.IsOpen(); }));

    HWND window = OpenPicker();
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !picker.IsOpen(); }));

    // Reopening while open replaces the first without a choice.
    HWND first = OpenPicker();
    HWND second = OpenPicker();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));

    owner.Close();  // it goes with its owner
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(picker.IsOpen());
    EXPECT_EQ(picker.Window(), nullptr);
    EXPECT_TRUE(picked.empty());
}

TEST_F(PositionPicker, TakesItsSizeZonesAndTooltipsAnewWhenMovedToAMonitorOfAnotherDpi) {
    HWND window = OpenPicker(POINT{160, 140});
    constexpr UINT kDpi = 144;  // 150 %: 10 twips a pixel
    const double twipsPerPixel = TwipsPerPixelForDpi(kDpi);
    RECT suggested{200, 180, 600, 500};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(kDpi, kDpi), reinterpret_cast<LPARAM>(&suggested));
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 200);
    EXPECT_EQ(frame.top, 180);
    RECT client{};
    GetClientRect(window, &client);
    const PixelSize expected = PickerClientSize(twipsPerPixel);
    EXPECT_EQ(client.right, expected.width);
    EXPECT_EQ(client.bottom, expected.height);
    for (int zone : {0, 4, 8}) {
        ExpectToolOverZone(picker.Tooltips(), window, zone, twipsPerPixel);
        const PixelRect r = ZoneRect(zone, twipsPerPixel);
        // The bottom-right corner of the zone at this dpi lies outside it at 96 dpi.
        EXPECT_TRUE(HoverUntilLit(picker, window, POINT{r.left + r.width - 1, r.top + r.height - 1},
                                  zone))
            << "zone " << zone;
    }
}

}  // namespace
}  // namespace kanopa::editor::win32
