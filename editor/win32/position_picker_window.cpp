#include "editor/win32/position_picker_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <utility>

#include "common/log.h"
#include "common/win32/log_last_error.h"
#include "common/win32/wide.h"
#include "editor/position_picker_logic.h"
#include "editor/preview_layout.h"
#include "editor/win32/editor_names.h"

namespace kanopa::editor::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
constexpr UINT kDefaultDpi = 96;

constexpr COLORREF kPictureGround = RGB(255, 255, 255);
constexpr COLORREF kPictureEdge = RGB(128, 128, 128);
constexpr COLORREF kZoneBlue = RGB(0, 64, 255);

COLORREF HighlightColor() {
    // 0x00BBGGRR, as a COLORREF is.
    return static_cast<COLORREF>(kPickerHighlightColor);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueBrush brush(CreateSolidBrush(colour));
    if (brush) FillRect(dc, &rect, brush.Get());
}

}  // namespace

PositionPickerWindow::PositionPickerWindow(HINSTANCE instance) : m_instance(instance) {}

PositionPickerWindow::~PositionPickerWindow() { Close(); }

bool PositionPickerWindow::IsOpen() const {
    return m_window.IsValid() && IsWindow(m_window.Get());
}

Status PositionPickerWindow::Open(HWND owner, POINT screenTopLeft,
                                  std::function<void(int anchor)> onPick) {
    Close();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcThunk<PositionPickerWindow>;
    windowClass.hInstance = m_instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPositionPickerClass;
    if (!EnsureWindowClass(windowClass)) {
        LogLastError("frmPos.Load()", "RegisterClassExW");
        return Status::Fail("RegisterClassExW failed: " + LastErrorText(GetLastError()));
    }
    // Created at its place first, so that it learns the dpi of the monitor it opens on
    // before it takes its size.
    HWND window = CreateWindowExW(kExStyle, kPositionPickerClass, L"", kStyle, screenTopLeft.x,
                                  screenTopLeft.y, 1, 1, owner, nullptr, m_instance, this);
    if (window == nullptr) {
        LogLastError("frmPos.Load()", "CreateWindowExW");
        return Status::Fail("CreateWindowExW failed: " + LastErrorText(GetLastError()));
    }
    m_window.Reset(window);
    m_onPick = std::move(onPick);
    m_highlighted = -1;
    m_pressed = -1;
    const UINT dpi = GetDpiForWindow(window);
    FitToDpi(dpi != 0 ? dpi : kDefaultDpi, nullptr);
    CreateTooltips();
    ShowWindow(window, SW_SHOW);
    // It closes when it loses the activation, so it must have it to begin with.
    SetForegroundWindow(window);
    return Status::Ok();
}

void PositionPickerWindow::Close() {
    m_onPick = nullptr;
    m_highlighted = -1;
    m_pressed = -1;
    // Given up before destroying: the deactivation that DestroyWindow causes comes back
    // here and must find nothing left to close.
    HWND window = m_window.Release();
    m_tooltips = nullptr;  // owned by the window: destroyed with it
    if (window != nullptr && IsWindow(window) && !DestroyWindow(window)) {
        LogLastError("frmPos.Unload()", "DestroyWindow");
    }
    m_tooltipFont.Reset();
}

double PositionPickerWindow::TwipsPerPixel() const {
    return TwipsPerPixelForDpi(static_cast<int>(m_dpi));
}

RECT PositionPickerWindow::ZoneClientRect(int zone) const {
    const PixelRect r = ZoneRect(zone, TwipsPerPixel());
    return RECT{r.left, r.top, r.left + r.width, r.top + r.height};
}

RECT PositionPickerWindow::PictureRect() const {
    const PixelSize client = PickerClientSize(TwipsPerPixel());
    const int width = MulDiv(kPickerImageWidth, static_cast<int>(m_dpi), 96);
    const int height = MulDiv(kPickerImageHeight, static_cast<int>(m_dpi), 96);
    const int left = (client.width - width) / 2;
    const int top = (client.height - height) / 2;
    return RECT{left, top, left + width, top + height};
}

void PositionPickerWindow::FitToDpi(UINT dpi, const RECT* suggested) {
    m_dpi = dpi;
    const PixelSize client = PickerClientSize(TwipsPerPixel());
    RECT frame{0, 0, client.width, client.height};
    if (!AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, dpi)) {
        LogLastError("frmPos.Load()", "AdjustWindowRectExForDpi");
    }
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0;
    int y = 0;
    if (suggested != nullptr) {
        x = suggested->left;
        y = suggested->top;
    } else {
        flags |= SWP_NOMOVE;
    }
    if (!SetWindowPos(m_window.Get(), nullptr, x, y, frame.right - frame.left,
                      frame.bottom - frame.top, flags)) {
        LogLastError("frmPos.Load()", "SetWindowPos");
    }
}

void PositionPickerWindow::CreateTooltips() {
    HWND window = m_window.Get();
    m_tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                 m_instance, nullptr);
    if (m_tooltips == nullptr) {
        LogLastError("frmPos.Load()", "CreateWindowExW(tooltips)");
        return;
    }
    for (int zone = 0; zone < kPickerZoneCount; ++zone) {
        std::wstring text = Utf8ToWide(ZoneTooltip(zone));
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = static_cast<UINT_PTR>(zone);
        tool.rect = ZoneClientRect(zone);
        tool.lpszText = text.data();  // copied by the control
        if (!SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
            WriteLog("frmPos.Load()", "TTM_ADDTOOLW failed for zone " + std::to_string(zone));
        }
    }
    SetTooltipFont();
}

void PositionPickerWindow::PlaceTooltips() {
    if (m_tooltips == nullptr) return;
    for (int zone = 0; zone < kPickerZoneCount; ++zone) {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = m_window.Get();
        tool.uId = static_cast<UINT_PTR>(zone);
        tool.rect = ZoneClientRect(zone);
        SendMessageW(m_tooltips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SetTooltipFont();
}

void PositionPickerWindow::SetTooltipFont() {
    // The tooltip control takes the system's font at the system dpi; the picker's
    // monitor may have another.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, m_dpi)) {
        LogLastError("frmPos.Load()", "SystemParametersInfoForDpi");
        return;
    }
    UniqueFont font(CreateFontIndirectW(&metrics.lfStatusFont));
    if (!font) {
        LogLastError("frmPos.Load()", "CreateFontIndirectW");
        return;
    }
    SendMessageW(m_tooltips, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    m_tooltipFont = std::move(font);  // after the control let go of the old one
}

void PositionPickerWindow::SetHighlight(int zone) {
    if (zone == m_highlighted) return;
    HWND window = m_window.Get();
    if (m_highlighted >= 0) {
        const RECT old = ZoneClientRect(m_highlighted);
        InvalidateRect(window, &old, FALSE);
    }
    m_highlighted = zone;
    if (zone >= 0) {
        const RECT now = ZoneClientRect(zone);
        InvalidateRect(window, &now, FALSE);
    }
}

void PositionPickerWindow::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(m_window.Get(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const RECT picture = PictureRect();
    FillSolid(dc, picture, kPictureGround);
    UniqueBrush edge(CreateSolidBrush(kPictureEdge));
    if (edge) FrameRect(dc, &picture, edge.Get());
    for (int zone = 0; zone < kPickerZoneCount; ++zone) {
        FillSolid(dc, ZoneClientRect(zone), zone == m_highlighted ? HighlightColor() : kZoneBlue);
    }
}

void PositionPickerWindow::OnMouseMove(POINT client) {
    // Asked again on every move: the tooltip control tracks the pointer over this window
    // too, and the system keeps one request per thread, so it may have taken ours over.
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_window.Get();
    TrackMouseEvent(&track);
    SetHighlight(ZoneAt(client.x, client.y, TwipsPerPixel()));
}

void PositionPickerWindow::OnLeftButtonUp(POINT client) {
    const int zone = ZoneAt(client.x, client.y, TwipsPerPixel());
    const bool clicked = zone >= 0 && zone == m_pressed;
    m_pressed = -1;
    if (GetCapture() == m_window.Get()) ReleaseCapture();
    if (!clicked) return;
    // Closed before the report, so that the handler finds the picker gone and may even
    // open it again; nothing of this object is touched after the report.
    std::function<void(int)> onPick = std::move(m_onPick);
    Close();
    if (onPick) onPick(static_cast<int>(AnchorForZone(zone)));
}

LRESULT PositionPickerWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE && m_window.Get() == window) {
            Close();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel
    case WM_PAINT:
        PaintWindow(window, [&](HDC dc) { Paint(dc); });
        return 0;
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSELEAVE:
            SetHighlight(-1);
        return 0;
    case WM_LBUTTONDOWN:
        m_pressed = ZoneAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), TwipsPerPixel());
        SetCapture(window);
        return 0;
    case WM_LBUTTONUP:
        OnLeftButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_CAPTURECHANGED:
        m_pressed = -1;
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            Close();
            return 0;
        }
        break;
    case WM_DPICHANGED:
        FitToDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        PlaceTooltips();
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_DESTROY:
        // Also when the owner goes first and takes the picker with it.
        if (m_window.Get() == window) {
            (void)m_window.Release();
            m_tooltips = nullptr;
            m_onPick = nullptr;
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kanopa::editor::win32
