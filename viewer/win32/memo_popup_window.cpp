#include "viewer/win32/memo_popup_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "common/log.h"
#include "common/win32/back_buffer.h"
#include "common/win32/log_last_error.h"
#include "common/win32/memo_look.h"
#include "common/win32/wide.h"
#include "viewer/win32/resource.h"
#include "viewer/win32/viewer_names.h"
#include "viewer/win32/viewer_texts.h"
#include "common/win32/window_thunk.h"

namespace kanopa::viewer::win32 {
namespace {

// Measured from the client area: the sizing border's width differs between systems and
// grows with the DPI, so what was laid out against the whole window (label 140 twips
// short of it, picture 380 twips in from its right) came out clipped on wide borders.
// Over a classic 60-twip border these give the same places.
constexpr int kLabelInsetTwips = 20;
constexpr int kCloseTopTwips = 60;
constexpr int kCloseFromRightTwips = 260;
constexpr int kCloseSizeTwips = 240;
constexpr int kMinimumSizeTwips = 700;
constexpr int kTextPaddingTwips = 30;  // keeps the text off the border
constexpr UINT kDefaultDpi = 96;

constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

// Memory handed to the clipboard: ours to free until SetClipboardData takes it over.
struct GlobalMemoryTraits {
    using Type = HGLOBAL;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { GlobalFree(h); }
};
using UniqueGlobalMemory = UniqueHandle<GlobalMemoryTraits>;

// The clipboard, open for as long as this lives.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : m_open(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (m_open) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return m_open; }

private:
    bool m_open;
};

bool SameFont(const MemoStyle& a, const MemoStyle& b) {
    return a.fontName == b.fontName && a.fontSize == b.fontSize && a.bold == b.bold &&
           a.italic == b.italic;
}

// For the calls the popup cycle makes: it logs what it is given.
Status LastErrorStatus(std::string_view api) {
    const DWORD error = GetLastError();
    return Status::Fail(std::string(api) + " failed: " + LastErrorText(error));
}

// For what the user does with the popup, which nobody else logs.
Status FailWithLastError(std::string_view source, std::string_view api) {
    const DWORD error = GetLastError();
    LogLastError(source, api, error);
    return LastErrorStatus(api);
}

}  // namespace

int TwipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

MemoPopupWindow::MemoPopupWindow(HINSTANCE instance, PopupEvents& events)
    : m_instance(instance), m_events(&events) {}

MemoPopupWindow::~MemoPopupWindow() {
    // The owner of the events may already be on its way out: no more reports.
    m_events = nullptr;
    Unload();
}

bool MemoPopupWindow::Exists() {
    return m_window.IsValid() && IsWindow(m_window.Get());
}

bool MemoPopupWindow::IsVisible() {
    return Exists() && IsWindowVisible(m_window.Get());
}

WindowId MemoPopupWindow::Handle() {
    return Exists() ? HandleToLong(m_window.Get()) : 0;
}

Status MemoPopupWindow::HideOrCreate() {
    if (Exists()) {
        ShowWindow(m_window.Get(), SW_HIDE);
        return Status::Ok();
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcThunk<MemoPopupWindow>;
    windowClass.hInstance = m_instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kMemoWindowClass;
    if (!EnsureWindowClass(windowClass)) return LastErrorStatus("RegisterClassExW");

    m_closedByButton = false;
    m_closePressed = false;
    m_inMoveSizeLoop = false;
    // No taskbar button (tool window), above ordinary windows (topmost), and no focus
    // taken when it appears; a click still activates it (WM_MOUSEACTIVATE below).
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                                  kMemoWindowClass, L"", WS_POPUP | WS_THICKFRAME, 0, 0,
                                  TwipsToPixels(kMinimumSizeTwips, kDefaultDpi),
                                  TwipsToPixels(kMinimumSizeTwips, kDefaultDpi), nullptr,
                                  nullptr, m_instance, this);
    if (window == nullptr) return LastErrorStatus("CreateWindowExW");
    m_window.Reset(window);
    m_dpi = GetDpiForWindow(window);
    if (m_dpi == 0) m_dpi = kDefaultDpi;
    // In points of this window's monitor. A failure shows when the cycle dresses the
    // popup: ApplyStyle tries again while there is no font.
    (void)CreateMemoFont();
    return Status::Ok();
}

Status MemoPopupWindow::PlaceTopmost(Point at, std::int32_t width, std::int32_t height) {
    if (!Exists()) return Status::Fail("The memo popup does not exist");
    if (!SetWindowPos(m_window.Get(), HWND_TOPMOST, at.x, at.y, width, height,
                      SWP_NOACTIVATE | SWP_SHOWWINDOW)) {
        return LastErrorStatus("SetWindowPos");
    }
    return Status::Ok();
}

Status MemoPopupWindow::MoveTo(Point at) {
    if (!Exists()) return Status::Fail("The memo popup does not exist");
    // No HWND_TOPMOST here: lifting it once a second would push it above every other
    // always-on-top window the user brought up since.
    if (!SetWindowPos(m_window.Get(), nullptr, at.x, at.y, 0, 0,
                      SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOZORDER)) {
        return LastErrorStatus("SetWindowPos");
    }
    return Status::Ok();
}

Status MemoPopupWindow::ApplyStyle(const MemoStyle& style) {
    // Called on every tick while the popup follows its window: only a change repaints.
    if (style == m_style && m_font) return Status::Ok();
    const bool fontChanged = !SameFont(style, m_style) || !m_font;
    m_style = style;
    Status status;
    if (fontChanged) status = CreateMemoFont();
    if (Exists()) InvalidateRect(m_window.Get(), nullptr, FALSE);
    return status;
}

Status MemoPopupWindow::Show() {
    if (!Exists()) return Status::Fail("The memo popup does not exist");
    ShowWindow(m_window.Get(), SW_SHOWNOACTIVATE);
    return Status::Ok();
}

void MemoPopupWindow::Unload() {
    if (!m_window.IsValid()) return;
    // WM_DESTROY gives up the handle and reports the unload.
    if (!DestroyWindow(m_window.Get())) {
        LogLastError("frmMemo.Unload()", "DestroyWindow");
        if (!IsWindow(m_window.Get())) (void)m_window.Release();
    }
}

RECT MemoPopupWindow::ClosePictureRect() const {
    RECT client{};
    GetClientRect(m_window.Get(), &client);
    const int left = client.right - Twips(kCloseFromRightTwips);
    const int top = Twips(kCloseTopTwips);
    const int size = Twips(kCloseSizeTwips);
    return RECT{left, top, left + size, top + size};
}

RECT MemoPopupWindow::LabelRect() const {
    RECT client{};
    GetClientRect(m_window.Get(), &client);
    return RECT{0, 0, (std::max)(LONG{0}, client.right - Twips(kLabelInsetTwips)),
                (std::max)(LONG{0}, client.bottom - Twips(kLabelInsetTwips))};
}

Status MemoPopupWindow::CreateMemoFont() {
    // Points to pixels on the popup's own monitor, as the memo was laid out in points.
    LOGFONTW font =
        MemoLogFont(m_style.fontName, m_style.fontSize, m_style.bold, m_style.italic, m_dpi);
    if (m_style.fontSize <= 0 || m_style.fontSize > 1000) {
        // Keep what the label had; a size like this cannot come from the editor.
        const std::string why = "Font size out of range: " + std::to_string(m_style.fontSize);
        if (m_font) return Status::Fail(why);
        WriteLog("ApplyMemoStyle()", why + ", shown at 9 points");
        font.lfHeight = -MulDiv(9, static_cast<int>(m_dpi), 72);
    }
    UniqueFont created(CreateFontIndirectW(&font));
    if (!created) return LastErrorStatus("CreateFontIndirectW");
    m_font = std::move(created);
    return Status::Ok();
}

void MemoPopupWindow::DrawClosePicture(HDC dc, const RECT& box) const {
    const COLORREF face = m_closePressed ? RGB(200, 200, 200) : RGB(244, 244, 244);
    UniqueBrush faceBrush(CreateSolidBrush(face));
    FillRect(dc, &box, faceBrush.Get());
    UniqueBrush edgeBrush(CreateSolidBrush(RGB(128, 128, 128)));
    FrameRect(dc, &box, edgeBrush.Get());

    const int width = box.right - box.left;
    const int inset = width / 4;
    UniquePen pen(CreatePen(PS_SOLID, (std::max)(1, MulDiv(2, static_cast<int>(m_dpi), 96)),
                            RGB(64, 64, 64)));
    auto selected = SelectGdiObject(dc, pen.Get());
    MoveToEx(dc, box.left + inset, box.top + inset, nullptr);
    LineTo(dc, box.right - inset, box.bottom - inset);
    MoveToEx(dc, box.right - inset - 1, box.top + inset, nullptr);
    LineTo(dc, box.left + inset - 1, box.bottom - inset);
}

void MemoPopupWindow::Paint(HDC target) const {
    RECT client{};
    GetClientRect(m_window.Get(), &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;

    // Drawn off-screen first, so that re-dressing never flickers.
    const BackBuffer buffer(target, width, height);
    HDC dc = buffer.Dc();

    UniqueBrush back(CreateSolidBrush(MemoColorToColorRef(m_style.backColor)));
    FillRect(dc, &client, back.Get());

    // The text stays clear of the close picture, which would otherwise hide its ends.
    const RECT picture = ClosePictureRect();
    RECT label = LabelRect();
    label.left += Twips(kTextPaddingTwips);
    label.top += Twips(kTextPaddingTwips);
    label.right = (std::min)(label.right, picture.left - Twips(kTextPaddingTwips));
    const std::wstring text = Utf8ToWide(m_style.text);
    {
        auto fontSelected = SelectGdiObject(dc, m_font.Get());
        SetTextColor(dc, MemoColorToColorRef(m_style.foreColor));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, kTextFormat);
    }
    DrawClosePicture(dc, picture);
}

void MemoPopupWindow::OnLeftButtonDown(POINT client) {
    const RECT close = ClosePictureRect();
    if (PtInRect(&close, client)) {
        m_closePressed = true;
        SetCapture(m_window.Get());
        InvalidateRect(m_window.Get(), &close, FALSE);
        return;
    }
    const RECT label = LabelRect();
    if (PtInRect(&label, client)) DragFrom(client);
}

void MemoPopupWindow::OnLeftButtonUp(POINT client) {
    if (!m_closePressed) return;
    const RECT close = ClosePictureRect();
    const bool onPicture = PtInRect(&close, client) != FALSE;
    m_closePressed = false;
    ReleaseCapture();
    InvalidateRect(m_window.Get(), &close, FALSE);
    if (onPicture) {
        m_closedByButton = true;
        Unload();
    }
}

void MemoPopupWindow::DragFrom(POINT client) {
    HWND window = m_window.Get();
    RECT before{};
    GetWindowRect(window, &before);
    POINT screen = client;
    ClientToScreen(window, &screen);
    // The system's own move loop; it returns when the button is released. It measures
    // the move from the point given here, so that must be where the press happened.
    ReleaseCapture();
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION,
                 MAKELPARAM(static_cast<short>(screen.x), static_cast<short>(screen.y)));
    if (!Exists() || m_window.Get() != window) return;
    RECT after{};
    GetWindowRect(window, &after);
    if ((after.left != before.left || after.top != before.top) && m_events != nullptr) {
        m_events->OnPopupDragged(after.left, after.top);
    }
}

void MemoPopupWindow::ShowContextMenu(POINT screen) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu || !AppendMenuW(menu.Get(), MF_STRING, IDM_MEMO_COPY, kMenuCopy)) {
        LogLastError("frmMemo.mnuRight()", "CreatePopupMenu");
        return;
    }
    HWND window = m_window.Get();
    // The menu closes properly on an outside click only when its owner is in front.
    SetForegroundWindow(window);
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(
        menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, window,
        nullptr));
    PostMessageW(window, WM_NULL, 0, 0);
    if (command == IDM_MEMO_COPY) CopyTextToClipboard();
}

Status MemoPopupWindow::CopyTextToClipboard() {
    const std::wstring text = Utf8ToWide(m_style.text);
    OpenedClipboard clipboard(m_window.Get());
    if (!clipboard.IsOpen()) return FailWithLastError("mnuRightCopy_Click()", "OpenClipboard");
    if (!EmptyClipboard()) return FailWithLastError("mnuRightCopy_Click()", "EmptyClipboard");
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return FailWithLastError("mnuRightCopy_Click()", "GlobalAlloc");
    void* target = GlobalLock(memory.Get());
    if (target == nullptr) return FailWithLastError("mnuRightCopy_Click()", "GlobalLock");
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory.Get());
    if (SetClipboardData(CF_UNICODETEXT, memory.Get()) == nullptr) {
        return FailWithLastError("mnuRightCopy_Click()", "SetClipboardData");
    }
    (void)memory.Release();  // the clipboard owns it now
    return Status::Ok();
}

LRESULT MemoPopupWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        // WS_EX_NOACTIVATE keeps the popup from taking the focus when it is shown or
        // moved; the user's own click on it should still bring it to the front.
        return MA_ACTIVATE;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel
    case WM_PAINT:
        PaintWindow(window, [&](HDC dc) { Paint(dc); });
        return 0;
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = Twips(kMinimumSizeTwips);
        info->ptMinTrackSize.y = Twips(kMinimumSizeTwips);
        return 0;
    }
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        if (Status status = CreateMemoFont(); !status) {
            WriteLog("frmMemo.DpiChanged()", status.error);  // the old font stays
        }
        // The memo's size and place are pixels the cycle gives; only a drag by the user
        // across monitors takes the size the system suggests for the new monitor.
        if (m_inMoveSizeLoop) {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    case WM_ENTERSIZEMOVE:
        m_inMoveSizeLoop = true;
        return 0;
    case WM_EXITSIZEMOVE:
        m_inMoveSizeLoop = false;
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        OnLeftButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_CAPTURECHANGED:
        if (m_closePressed) {
            m_closePressed = false;
            const RECT close = ClosePictureRect();
            InvalidateRect(window, &close, FALSE);
        }
        return 0;
    case WM_CONTEXTMENU: {
        // Sent after the right button is released (or for Shift+F10, with -1).
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT label = LabelRect();
        if (lParam == -1) {
            screen = POINT{label.left, label.top};
            ClientToScreen(window, &screen);
        } else {
            POINT client = screen;
            ScreenToClient(window, &client);
            const RECT close = ClosePictureRect();
            if (!PtInRect(&label, client) || PtInRect(&close, client)) return 0;
        }
        ShowContextMenu(screen);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_MEMO_COPY) {
            CopyTextToClipboard();
            return 0;
        }
        break;
    case WM_DESTROY:
        if (m_window.Get() == window) {
            (void)m_window.Release();  // being destroyed: nothing left to close
            const bool closedByButton = m_closedByButton;
            if (m_events != nullptr) m_events->OnPopupUnloaded(closedByButton);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kanopa::viewer::win32
