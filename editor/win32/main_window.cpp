#include "editor/win32/main_window.h"

#include <windowsx.h>

#include <algorithm>

#include "common/log.h"
#include "common/win32/log_last_error.h"
#include "common/win32/wide.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/editor_texts.h"
#include "editor/win32/memo_file_dialog.h"
#include "editor/win32/resource.h"
#include "editor/win32/toolbar.h"
#include "editor/win32/win32_text.h"

namespace kanopa::editor::win32 {
namespace {

// Layout row on the toolbar, in twips (see the header).
constexpr int kRowTopTwips = 30;
constexpr int kLayoutModeLeftTwips = 3240;
constexpr int kLayoutModeWidthTwips = 1455;
constexpr int kPlaceLeftTwips = 4800;
constexpr int kPlaceWidthTwips = 915;
constexpr int kPlaceButtonLeftTwips = 5700;
constexpr int kPlaceButtonWidthTwips = 345;
constexpr int kRowHeightTwips = 285;
constexpr int kMarginLeftTwips = 6150;
constexpr int kMarginWidthTwips = 645;
constexpr int kLayoutModeListTwips = 1500;  // the open list below the box
constexpr int kClientWidthTwips = 11160;
constexpr int kClientHeightTwips = 7485;
constexpr int kStatusCoordinatesTwips = 2700;

constexpr UINT_PTR kMarginSubclassId = 1;
// Posted when the margin box lost the focus to another control of this window: the
// check runs once the focus change is complete, never inside it.
constexpr UINT kCommitMarginMessage = WM_APP + 1;

// Where a window of `size` goes: where the system put it, but within the work area of its
// monitor, and no larger (a high DPI on few pixels), so that its borders and status bar
// stay reachable.
RECT FitInWorkArea(HWND window, SIZE size) {
    RECT placed{};
    GetWindowRect(window, &placed);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return RECT{placed.left, placed.top, placed.left + size.cx, placed.top + size.cy};
    }
    const RECT& work = monitor.rcWork;
    const LONG width = (std::min)(size.cx, work.right - work.left);
    const LONG height = (std::min)(size.cy, work.bottom - work.top);
    const LONG left = (std::max)(work.left, (std::min)(placed.left, work.right - width));
    const LONG top = (std::max)(work.top, (std::min)(placed.top, work.bottom - height));
    return RECT{left, top, left + width, top + height};
}

HWND CreateChild(HWND parent, HINSTANCE instance, const wchar_t* className, const wchar_t* text,
                 DWORD style, DWORD extendedStyle, int id) {
    HWND child = CreateWindowExW(extendedStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0,
                                 0, 1, 1, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                 nullptr);
    if (child == nullptr) LogLastError("frmCreateMemo.Form_Load()", "CreateWindowExW");
    return child;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, EditorState& state, FileSystem& fs, const Clock& clock)
    : m_instance(instance),
      m_state(state),
      m_fs(fs),
      m_clock(clock),
      m_picker(instance),
      m_pane(instance, PreviewPane::Events{
                           [this](POINT screen) {
                               if (m_rightMenu) ShowPopupMenu(GetSubMenu(m_rightMenu.Get(), 0), screen);
                           },
                           [this](POINT screen) { ShowPopupMenu(GetSubMenu(m_menuBar, 1), screen); },
                           [this] {
                               m_pane.CommitEditBox();
                               m_picker.Close();
                           },
                           [this](const std::string& text) { m_state.Memo().memoText = text; },
                       }) {}

MainWindow::~MainWindow() = default;

Status MainWindow::Create(int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcThunk<MainWindow>;
    windowClass.hInstance = m_instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(IDI_KANOPA));
    if (windowClass.hIcon == nullptr) windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = kMainWindowClass;
    if (!EnsureWindowClass(windowClass)) {
        LogLastError("frmCreateMemo.Form_Load()", "RegisterClassExW");
        return Status::Fail("RegisterClassExW failed");
    }
    m_menuBar = LoadMenuW(m_instance, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    m_rightMenu.Reset(LoadMenuW(m_instance, MAKEINTRESOURCEW(IDR_RIGHT_MENU)));
    m_accelerators = LoadAcceleratorsW(m_instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    if (m_menuBar == nullptr || !m_rightMenu || m_accelerators == nullptr) {
        LogLastError("frmCreateMemo.Form_Load()", "LoadMenuW");
        if (m_menuBar != nullptr) DestroyMenu(m_menuBar);
        return Status::Fail("The program's menus are missing");
    }
    m_recentMenu = GetSubMenu(GetSubMenu(m_menuBar, 0), 6);

    constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
    HWND window = CreateWindowExW(kExStyle, kMainWindowClass, kWindowCaption, kStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, m_menuBar, m_instance, this);
    if (window == nullptr) {
        LogLastError("frmCreateMemo.Form_Load()", "CreateWindowExW");
        DestroyMenu(m_menuBar);
        m_menuBar = nullptr;
        return Status::Fail("CreateWindowExW failed");
    }
    // The client area in twips of the monitor the window opened on.
    RECT frame{0, 0, Pixels(kClientWidthTwips), Pixels(kClientHeightTwips)};
    AdjustWindowRectExForDpi(&frame, kStyle, TRUE, kExStyle, m_dpi);
    const RECT placed = FitInWorkArea(window, SIZE{frame.right - frame.left, frame.bottom - frame.top});
    SetWindowPos(window, nullptr, placed.left, placed.top, placed.right - placed.left,
                 placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    m_document->OnWindowLoad();
    return Status::Ok();
}

Status MainWindow::CreateControls(HWND window) {
    m_dpi = GetDpiForWindow(window);
    if (m_dpi == 0) m_dpi = USER_DEFAULT_SCREEN_DPI;
    CreateFonts();

    m_toolbar = CreateToolbar(window, m_instance, IDC_TOOLBAR);
    if (m_toolbar == nullptr) return Status::Fail("The toolbar could not be created");
    LoadToolbarImages(m_toolbar, m_instance, m_dpi, m_toolbarImages);

    // The layout row lies on the toolbar, above it in the z-order; created in tab order.
    m_layoutMode = CreateChild(window, m_instance, WC_COMBOBOXW, nullptr,
                               WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, IDC_LAYOUT_MODE);
    m_place = CreateChild(window, m_instance, WC_EDITW, nullptr,
                          WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_PLACE);
    m_placeButton = CreateChild(window, m_instance, WC_BUTTONW, kPlaceButtonCaption,
                                WS_TABSTOP | BS_PUSHBUTTON, 0, IDC_PLACE_BUTTON);
    m_margin = CreateChild(window, m_instance, WC_EDITW, nullptr,
                           WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_MARGIN);
    if (!m_layoutMode || !m_place || !m_placeButton || !m_margin) {
        return Status::Fail("The layout controls could not be created");
    }
    SendMessageW(m_layoutMode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kLayoutAnchored));
    SendMessageW(m_layoutMode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kLayoutAbsolute));
    SetWindowSubclass(m_margin, MarginSubclassProc, kMarginSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetWindowPos(m_toolbar, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    m_tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                 m_instance, nullptr);
    AddTooltip(m_layoutMode, kLayoutModeTip);
    AddTooltip(m_placeButton, kPlaceButtonTip);
    AddTooltip(m_margin, kMarginTip);

    m_preview = std::make_unique<Preview>(m_state, *this, TwipsPerPixelForDpi(static_cast<int>(m_dpi)));
    m_document = std::make_unique<Document>(m_state, m_fs, m_clock, *this, *m_preview);
    if (Status status = m_pane.Create(window, *m_preview, m_dpi); !status) return status;

    m_status = CreateChild(window, m_instance, STATUSCLASSNAMEW, nullptr, SBARS_SIZEGRIP, 0, IDC_STATUS);
    for (HWND control : {m_layoutMode, m_place, m_placeButton, m_margin, m_status}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_controlFont.Get()), FALSE);
    }
    return Status::Ok();
}

void MainWindow::CreateFonts() {
    if (UniqueFont font = MessageFontForDpi(m_dpi, "frmCreateMemo.Form_Load()")) {
        m_controlFont = std::move(font);
    }
}

void MainWindow::AddTooltip(HWND control, const wchar_t* text) {
    if (m_tooltips == nullptr) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window.Get() != nullptr ? m_window.Get() : GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::PlaceRowControls() {
    RECT toolbar{};
    GetWindowRect(m_toolbar, &toolbar);
    MapWindowPoints(HWND_DESKTOP, m_window.Get(), reinterpret_cast<POINT*>(&toolbar), 2);
    const int top = toolbar.top + Pixels(kRowTopTwips);
    const int height = Pixels(kRowHeightTwips);
    SetWindowPos(m_layoutMode, HWND_TOP, Pixels(kLayoutModeLeftTwips), top,
                 Pixels(kLayoutModeWidthTwips), height + Pixels(kLayoutModeListTwips), SWP_NOACTIVATE);
    SetWindowPos(m_place, m_layoutMode, Pixels(kPlaceLeftTwips), top, Pixels(kPlaceWidthTwips),
                 height, SWP_NOACTIVATE);
    SetWindowPos(m_placeButton, m_place, Pixels(kPlaceButtonLeftTwips), top,
                 Pixels(kPlaceButtonWidthTwips), height, SWP_NOACTIVATE);
    SetWindowPos(m_margin, m_placeButton, Pixels(kMarginLeftTwips), top, Pixels(kMarginWidthTwips),
                 height, SWP_NOACTIVATE);
}

void MainWindow::Layout() {
    if (m_toolbar == nullptr || m_status == nullptr) return;
    SendMessageW(m_toolbar, TB_AUTOSIZE, 0, 0);
    SendMessageW(m_status, WM_SIZE, 0, 0);
    const int parts[2] = {Pixels(kStatusCoordinatesTwips), -1};
    SendMessageW(m_status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    PlaceRowControls();

    RECT client{};
    GetClientRect(m_window.Get(), &client);
    m_preview->OnClientResized(PixelSize{client.right, client.bottom});
}

bool MainWindow::PreTranslate(MSG& message) {
    if (m_window.Get() == nullptr) return false;
    if (message.message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        // The clipboard keys of the other boxes are their own; only the memo text's edit
        // commands go through the menu.
        const HWND focus = GetFocus();
        const bool otherBox = focus == m_margin || focus == m_place;
        const WPARAM key = message.wParam;
        const bool clipboardKey = key == 'Z' || key == 'X' || key == 'C' || key == 'V';
        if (!(otherBox && clipboardKey) &&
            TranslateAcceleratorW(m_window.Get(), m_accelerators, &message)) {
            return true;
        }
    }
    return IsDialogMessageW(m_window.Get(), &message) != FALSE;
}

// --- EditorView ----------------------------------------------------------------------

bool MainWindow::AskYesNo(const std::string& text, const std::string& caption,
                          DefaultButton defaultButton) {
    const std::wstring title = caption.empty() ? std::wstring(kProgramName) : Utf8ToWide(caption);
    const UINT flags = MB_YESNO | MB_ICONQUESTION |
                       (defaultButton == DefaultButton::No ? MB_DEFBUTTON2 : MB_DEFBUTTON1);
    return MessageBoxW(m_window.Get(), Utf8ToWide(text).c_str(), title.c_str(), flags) == IDYES;
}

void MainWindow::ShowMessage(const std::string& text, MessageIcon icon) {
    MessageBoxW(m_window.Get(), Utf8ToWide(text).c_str(), kProgramName, MB_OK | MessageBoxIconFlag(icon));
}

std::optional<std::string> MainWindow::ShowOpenDialog() {
    return ShowMemoFileDialog(m_window.Get(), MemoFileDialog::Open);
}

std::optional<std::string> MainWindow::ShowSaveDialog() {
    return ShowMemoFileDialog(m_window.Get(), MemoFileDialog::Save);
}

void MainWindow::CommitEditBox() { m_pane.CommitEditBox(); }
std::string MainWindow::LabelCaption() { return m_pane.LabelCaption(); }
void MainWindow::SetEditText(const std::string& text) { m_pane.SetEditText(text); }
void MainWindow::ShowLabel() { m_pane.ShowLabel(); }
PixelRect MainWindow::LabelRect() { return m_pane.LabelRect(); }
void MainWindow::SetLabelRect(const PixelRect& rect) { m_pane.SetLabelRect(rect); }
void MainWindow::BeginTextEdit() { m_pane.BeginTextEdit(); }
PixelSize MainWindow::FrameSize() { return m_pane.FrameSize(); }

void MainWindow::SetFrameSize(const PixelSize& size) {
    const PixelPoint origin = FrameOrigin(m_preview->TwipsPerPixel());
    m_pane.PlaceFrame(POINT{origin.x, origin.y}, size);
}

void MainWindow::ApplyLayoutControls(const LayoutControls& controls) {
    SendMessageW(m_layoutMode, CB_SETCURSEL, controls.anchored ? 0 : 1, 0);
    EnableWindow(m_place, controls.anchored);
    EnableWindow(m_margin, controls.anchored);
    SetWindowTextW(m_place, Utf8ToWide(controls.placeText).c_str());
    SetWindowTextW(m_margin, Utf8ToWide(controls.marginText).c_str());
}

void MainWindow::ApplyPreview(const PreviewModel& model) { m_pane.Apply(model); }

void MainWindow::FocusMarginBox() {
    SetFocus(m_margin);
    SendMessageW(m_margin, EM_SETSEL, 0, -1);
}

std::string MainWindow::MarginText() { return WideToUtf8(WindowTextOf(m_margin)); }

void MainWindow::SetStatusCoordinates(const std::string& text) {
    SendMessageW(m_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

void MainWindow::SetStatusPath(const std::string& text) {
    SendMessageW(m_status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

void MainWindow::SetRecentMenu(const RecentMenu& items) {
    // Items 2 to 5 are "hidden" by leaving them out of the menu.
    while (GetMenuItemCount(m_recentMenu) > 0) DeleteMenu(m_recentMenu, 0, MF_BYPOSITION);
    for (int i = 0; i < kRecentFileCount; ++i) {
        const RecentMenuItem& item = items[static_cast<std::size_t>(i)];
        if (!item.visible) continue;
        AppendMenuW(m_recentMenu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED),
                    IDM_FILE_RECENT_FILE_1 + i, Utf8ToWide(item.caption).c_str());
    }
}

void MainWindow::ShowPopupMenu(HMENU menu, POINT screen) {
    if (menu == nullptr) return;
    // The commands arrive as WM_COMMAND, like the menu bar's.
    TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, m_window.Get(), nullptr);
}

bool MainWindow::OnClose() {
    if (m_configWritten || m_document->ConfirmClose()) {
        m_configWritten = true;
        DestroyWindow(m_window.Get());
        return true;
    }
    return false;
}

LRESULT CALLBACK MainWindow::MarginSubclassProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<MainWindow*>(data);
    switch (message) {
    case WM_GETDLGCODE: {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
            return DLGC_WANTALLKEYS | DefSubclassProc(window, message, wParam, lParam);
        }
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            self->CommitMargin();
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == L'\n') return 0;  // no beep: Enter is a command here
        break;
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        // Only a move to another control of this window checks the margin; a message
        // box or another program taking the focus does not.
        const HWND next = reinterpret_cast<HWND>(wParam);
        HWND main = self->m_window.Get();
        if (next != nullptr && (next == main || IsChild(main, next)) && !self->m_committingMargin) {
            PostMessageW(main, kCommitMarginMessage, 0, 0);
        }
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, MarginSubclassProc, kMarginSubclassId);
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT MainWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        m_window.Reset(window);
        if (Status status = CreateControls(window); !status) {
            WriteLog("frmCreateMemo.Form_Load()", status.error);
            m_preview.reset();
            return -1;
        }
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && m_preview) Layout();
        return 0;
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        m_preview->SetTwipsPerPixel(TwipsPerPixelForDpi(static_cast<int>(m_dpi)));
        CreateFonts();
        for (HWND control : {m_layoutMode, m_place, m_placeButton, m_margin, m_status}) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_controlFont.Get()), TRUE);
        }
        LoadToolbarImages(m_toolbar, m_instance, m_dpi, m_toolbarImages);
        m_pane.SetDpi(m_dpi);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Layout();
        return 0;
    }
    case WM_ACTIVATE:
        // Not a dialog: left to itself the window takes the focus on every activation,
        // and typing after a dialog (a date stamp, a phrase) or a switch to another
        // program would go nowhere instead of into the control the user was in.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus != nullptr && IsChild(window, focus)) m_lastFocus = focus;
        } else if (HIWORD(wParam) == 0 && m_lastFocus != nullptr && IsChild(window, m_lastFocus) &&
                   IsWindowVisible(m_lastFocus) && IsWindowEnabled(m_lastFocus)) {
            SetFocus(m_lastFocus);
            return 0;
        }
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case kCommitMarginMessage:
        // Still away from the box (not brought back by an earlier check)?
        if (GetFocus() != m_margin) CommitMargin();
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_GETDISPINFOW) {
            if (const wchar_t* tip = ToolbarTip(static_cast<UINT>(header->idFrom))) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                info->lpszText = const_cast<wchar_t*>(tip);
                info->hinst = nullptr;
                return 0;
            }
        }
        break;
    }
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_QUERYENDSESSION: {
        if (m_configWritten) return TRUE;
        // Windows waits for the answer; it tells the user why.
        ShutdownBlockReasonCreate(window, kShutdownReason);
        const bool yes = m_document->ConfirmClose();
        ShutdownBlockReasonDestroy(window);
        if (yes) m_configWritten = true;
        return yes ? TRUE : FALSE;
    }
    case WM_ENDSESSION:
        if (wParam != FALSE && !m_configWritten) {
            m_document->SaveConfigForSessionEnd();
            m_configWritten = true;
        }
        if (m_configWritten) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        (void)m_window.Release();  // destroyed: nothing left to destroy
        m_menuBar = nullptr;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kanopa::editor::win32
