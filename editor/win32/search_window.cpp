#include "editor/win32/search_window.h"

#include <commctrl.h>

#include <utility>

#include "common/log.h"
#include "common/paths.h"
#include "common/win32/log_last_error.h"
#include "common/win32/wide.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/folder_browser.h"
#include "editor/win32/resource.h"
#include "editor/win32/win32_text.h"

namespace kanopa::editor::win32 {
namespace {

constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

// Fixed parts of the layout, in twips (the rest follows the size, see memo_search.h).
constexpr int kLabelLeft = 360, kLabelWidth = 1050, kLabelHeight = 255;
constexpr int kKeywordLabelTop = 360, kRootLabelTop = 840;
constexpr int kTextBoxLeft = 1440, kTextBoxHeight = 315;
constexpr int kKeywordTop = 300, kRootTop = 780;
constexpr int kBrowseWidth = 435;
constexpr int kSearchTop = 360, kSearchWidth = 915, kSearchHeight = 675;
constexpr int kSubFolderLeft = 300, kSubFolderTop = 1200, kSubFolderWidth = 1875;
constexpr int kListTop = 1620;

// Progress text goes to the status bar at most this often: the walk never waits for it.
constexpr std::uint64_t kProgressIntervalMs = 50;
// Posted by a double-click on the list: the window goes only after the list view's
// own notification has returned, never from inside it.
constexpr UINT kOpenChosenMessage = WM_APP + 1;

std::wstring ListText(HWND list, int row, int column) {
    std::wstring text(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto length = static_cast<std::size_t>(
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

}  // namespace

SearchWindow::SearchWindow(HINSTANCE instance, EditorState& state, FileSystem& fs)
    : m_instance(instance), m_state(state), m_fs(fs), m_logic(state) {}

SearchWindow::~SearchWindow() {
    if (m_window.IsValid()) Unload();
}

int SearchWindow::Pixels(int twips) const {
    return SearchPixelsFromTwips(twips, static_cast<int>(m_dpi));
}

std::string SearchWindow::ShowModal(HWND owner) {
    m_owner = owner;
    m_openPath.clear();
    if (!Create(owner)) return {};
    EnableWindow(owner, FALSE);
    ShowWindow(m_window.Get(), SW_SHOW);
    UpdateWindow(m_window.Get());
    MSG message{};
    while (m_window.IsValid()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            m_quitRequested = true;
            m_quitCode = got == 0 ? message.wParam : 1;
            Unload();
            break;
        }
        DispatchOne(message);
    }
    // The quit belongs to the editor's own loop.
    if (m_quitRequested) PostQuitMessage(static_cast<int>(m_quitCode));
    return m_openPath;
}

bool SearchWindow::Create(HWND owner) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcThunk<SearchWindow>;
    windowClass.hInstance = m_instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(IDI_KANOPA));
    windowClass.lpszClassName = kSearchWindowClass;
    if (!EnsureWindowClass(windowClass)) {
        LogLastError("frmSearch.Form_Load()", "RegisterClassExW");
        return false;
    }
    // Placed in twips of the editor's screen: where it last closed, or beside the editor.
    UINT ownerDpi = GetDpiForWindow(owner);
    if (ownerDpi == 0) ownerDpi = USER_DEFAULT_SCREEN_DPI;
    const int dpi = static_cast<int>(ownerDpi);
    RECT frame{0, 0, SearchPixelsFromTwips(kSearchClientWidthTwips, dpi),
               SearchPixelsFromTwips(kSearchClientHeightTwips, dpi)};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, ownerDpi);
    RECT ownerRect{};
    GetWindowRect(owner, &ownerRect);
    PixelRect pixels = m_logic.Placement(ownerRect.left, ownerRect.top,
                                         PixelSize{frame.right - frame.left, frame.bottom - frame.top}, dpi);
    const RECT wanted{pixels.left, pixels.top, pixels.left + pixels.width, pixels.top + pixels.height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        pixels = KeepInWorkArea(pixels, {work.left, work.top, work.right - work.left, work.bottom - work.top});
    }
    HWND window = CreateWindowExW(kExStyle, kSearchWindowClass,
                                  Utf8ToWide(kSearchWindowCaption).c_str(), kStyle, pixels.left,
                                  pixels.top, pixels.width, pixels.height, owner, nullptr,
                                  m_instance, this);
    if (window == nullptr) {
        LogLastError("frmSearch.Form_Load()", "CreateWindowExW");
        return false;
    }
    GetWindowRect(window, &m_restoredRect);
    return m_window.IsValid();
}

bool SearchWindow::CreateControls(HWND window) {
    const auto child = [&](const wchar_t* className, const std::string& text, DWORD style,
                           DWORD extendedStyle, int id) {
        HWND control = CreateWindowExW(extendedStyle, className, Utf8ToWide(text).c_str(),
                                       WS_CHILD | WS_VISIBLE | style, 0, 0, 1, 1, window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       m_instance, nullptr);
        if (control == nullptr) LogLastError("frmSearch.Form_Load()", "CreateWindowExW");
        return control;
    };
    // In tab order.
    m_keywordLabel = child(WC_STATICW, kKeywordLabel, SS_LEFT | SS_NOPREFIX, 0, IDC_SEARCH_KEYWORD_LABEL);
    m_keyword = child(WC_EDITW, "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_SEARCH_KEYWORD);
    m_rootLabel = child(WC_STATICW, kRootLabel, SS_LEFT | SS_NOPREFIX, 0, IDC_SEARCH_ROOT_LABEL);
    m_root = child(WC_EDITW, "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_SEARCH_ROOT);
    m_browse = child(WC_BUTTONW, kBrowseButtonCaption, WS_TABSTOP | BS_PUSHBUTTON, 0, IDC_SEARCH_BROWSE);
    m_search = child(WC_BUTTONW, kSearchButtonCaption, WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED, 0,
                     IDC_SEARCH_BUTTON);
    m_subFolders = child(WC_BUTTONW, kSubFolderCaption, WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                         IDC_SEARCH_SUBFOLDERS);
    m_list = child(WC_LISTVIEWW, "", WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                   WS_EX_CLIENTEDGE, IDC_SEARCH_LIST);
    m_status = child(STATUSCLASSNAMEW, "", SBARS_SIZEGRIP, 0, IDC_SEARCH_STATUS);
    if (!m_keywordLabel || !m_keyword || !m_rootLabel || !m_root || !m_browse || !m_search ||
        !m_subFolders || !m_list || !m_status) {
        return false;
    }
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    int parts[] = {-1};
    SendMessageW(m_status, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    ApplyFont();
    return true;
}

void SearchWindow::ApplyFont() {
    UniqueFont font = MessageFontForDpi(m_dpi, "frmSearch.Form_Load()");
    if (!font) return;
    for (HWND control : {m_keywordLabel, m_keyword, m_rootLabel, m_root, m_browse, m_search,
                         m_subFolders, m_list, m_status}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    m_font = std::move(font);  // after the controls let go of the old one
}

void SearchWindow::Layout() {
    RECT client{};
    GetClientRect(m_window.Get(), &client);
    SendMessageW(m_status, WM_SIZE, 0, 0);  // the status bar places itself
    RECT status{};
    GetWindowRect(m_status, &status);
    const int dpi = static_cast<int>(m_dpi);
    const SearchLayout layout = LayoutSearchWindow(SearchTwipsFromPixels(client.right, dpi),
                                                   SearchTwipsFromPixels(client.bottom, dpi),
                                                   SearchTwipsFromPixels(status.bottom - status.top, dpi));
    const auto place = [&](HWND control, int left, int top, int width, int height) {
        MoveWindow(control, Pixels(left), Pixels(top), Pixels(width), Pixels(height), TRUE);
    };
    place(m_keywordLabel, kLabelLeft, kKeywordLabelTop, kLabelWidth, kLabelHeight);
    place(m_keyword, kTextBoxLeft, kKeywordTop, layout.keywordWidth, kTextBoxHeight);
    place(m_rootLabel, kLabelLeft, kRootLabelTop, kLabelWidth, kLabelHeight);
    place(m_root, kTextBoxLeft, kRootTop, layout.rootWidth, kTextBoxHeight);
    place(m_browse, layout.browseLeft, kRootTop, kBrowseWidth, kTextBoxHeight);
    place(m_search, layout.searchLeft, kSearchTop, kSearchWidth, kSearchHeight);
    place(m_subFolders, kSubFolderLeft, kSubFolderTop, kSubFolderWidth, kTextBoxHeight);
    place(m_list, 0, kListTop, layout.listWidth, layout.listHeight);
}

bool SearchWindow::PreTranslate(MSG& message) {
    // Enter on the list opens the selected memo (a dialog-style loop would take it).
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && message.hwnd == m_list &&
        m_list != nullptr) {
        OpenSelectedMemo();
        return true;
    }
    return false;
}

void SearchWindow::DispatchOne(MSG& message) {
    if (m_window.IsValid() && (message.hwnd == m_window.Get() || IsChild(m_window.Get(), message.hwnd))) {
        if (PreTranslate(message)) return;
        // Tab between the controls and the buttons' access keys.
        if (IsDialogMessageW(m_window.Get(), &message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void SearchWindow::ListingFolder(const std::string& folder) {
    const std::uint64_t now = GetTickCount64();
    if (now - m_lastProgressTick < kProgressIntervalMs) return;
    m_lastProgressTick = now;
    SetStatusText(folder + kSearchingSuffix);
}

void SearchWindow::Pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Ends the walk and the window; the editor's loop gets the quit again.
            m_quitRequested = true;
            m_quitCode = message.wParam;
            m_stopRequested = true;
            m_closeRequested = true;
            return;
        }
        DispatchOne(message);
    }
}

void SearchWindow::OnCommand(UINT id, UINT notification) {
    switch (id) {
    case IDC_SEARCH_KEYWORD:
    case IDC_SEARCH_ROOT:
        if (notification == EN_CHANGE) ApplyEnablingRule();
        break;
    case IDC_SEARCH_BUTTON:
        if (notification != BN_CLICKED) break;
        if (m_searching) {
            m_stopRequested = true;
            EnableWindow(m_browse, TRUE);
        } else {
            RunSearch();
        }
        break;
    case IDC_SEARCH_BROWSE:
        if (notification == BN_CLICKED) BrowseFolder();
        break;
    default: break;  // Escape and Enter elsewhere do nothing here
    }
}

void SearchWindow::ApplyEnablingRule() {
    EnableWindow(m_search, SearchButtonEnabled(WideToUtf8(WindowTextOf(m_root)),
                                               WideToUtf8(WindowTextOf(m_keyword)), m_searching));
}

void SearchWindow::OnActivate(bool active) {
    HWND window = m_window.Get();
    if (!active) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) m_lastFocus = focus;
        return;
    }
    HWND focus = m_lastFocus != nullptr && IsWindowEnabled(m_lastFocus) ? m_lastFocus : m_keyword;
    SetFocus(focus);
    const auto rows = static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
    if (const std::optional<int> row = m_logic.RowToRestore(rows)) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(*row), reinterpret_cast<LPARAM>(&state));
        SendMessageW(m_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(*row), FALSE);
        SetFocus(m_list);
    }
}

void SearchWindow::BrowseFolder() {
    const std::optional<std::string> chosen =
        BrowseForFolder(m_window.Get(), Utf8ToWide(kBrowseTitle).c_str(), "frmSearch.cmdDir_Click()");
    if (!chosen) return;
    std::string folder = *chosen;
    AddBackslash(folder);
    SetWindowTextW(m_root, Utf8ToWide(folder).c_str());  // applies the enabling rule
}

void SearchWindow::RunSearch() {
    m_searching = true;
    m_stopRequested = false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SetWindowTextW(m_search, Utf8ToWide(kStopButtonCaption).c_str());
    EnableWindow(m_browse, FALSE);
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    SetStatusText(kSearchWaitText);
    m_lastProgressTick = GetTickCount64();

    // The folder and the switch are read before the walk, the pattern after it.
    std::string root = WideToUtf8(WindowTextOf(m_root));
    AddBackslash(root);
    const bool recurse = SendMessageW(m_subFolders, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const std::vector<std::string> paths = SearchFiles(m_fs, root, kMemoFilePattern, recurse, this);
    if (!m_window.IsValid()) return;  // went with its owner during the walk

    const std::string keyword = WideToUtf8(WindowTextOf(m_keyword));
    std::vector<SearchRow> rows =
        BuildSearchRows(FilterByKeyword(m_fs, m_state.Context().memoKey, paths, keyword));
    ShowRows(rows);
    SetStatusText(FoundText(rows));
    m_logic.StoreRows(std::move(rows));

    EnableWindow(m_browse, TRUE);
    SetWindowTextW(m_search, Utf8ToWide(kSearchButtonCaption).c_str());
    m_stopRequested = false;
    m_searching = false;
    ApplyEnablingRule();  // the texts may have been emptied during the walk
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    if (m_closeRequested) Unload();
}

void SearchWindow::ShowRows(const std::vector<SearchRow>& rows) {
    // Rebuilt without drawing, then drawn once.
    SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    while (SendMessageW(m_list, LVM_DELETECOLUMN, 0, 0)) {
    }
    int index = 0;
    for (const SearchColumn& each : kSearchColumns) {
        std::wstring caption = Utf8ToWide(each.caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = Pixels(each.widthTwips);
        column.pszText = caption.data();
        column.iSubItem = index;
        SendMessageW(m_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
        ++index;
    }
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(m_list, LVM_SETITEMCOUNT, rows.size(), 0);
    int row = 0;
    for (const SearchRow& each : rows) {
        std::wstring texts[] = {Utf8ToWide(each.name), Utf8ToWide(each.folder),
                                Utf8ToWide(SearchCellText(each.text))};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = texts[0].data();
        const auto inserted = static_cast<int>(
            SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (inserted < 0) {
            LogLastError("frmSearch.SetRows()", "LVM_INSERTITEMW");
            break;
        }
        for (int column = 1; column < 3; ++column) {
            item.iSubItem = column;
            item.pszText = texts[column].data();
            SendMessageW(m_list, LVM_SETITEMTEXTW, static_cast<WPARAM>(inserted), reinterpret_cast<LPARAM>(&item));
        }
        ++row;
    }
    SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

void SearchWindow::SetStatusText(const std::string& text) {
    SendMessageW(m_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

int SearchWindow::SelectedRow() const {
    return static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SearchWindow::OpenSelectedMemo() {
    const int row = SelectedRow();
    if (row < 0) return;
    const SearchRow shown{WideToUtf8(ListText(m_list, row, 0)), WideToUtf8(ListText(m_list, row, 1)), {}};
    std::string path = SearchRowPath(shown);
    if (path.empty()) return;  // the blank row
    m_openPath = std::move(path);
    Unload();
}

void SearchWindow::Unload() {
    if (!m_window.IsValid()) return;
    // The owner first, so that the activation goes back to it.
    if (m_owner != nullptr) EnableWindow(m_owner, TRUE);
    if (!DestroyWindow(m_window.Get())) LogLastError("frmSearch.Form_Unload()", "DestroyWindow");
}

LRESULT SearchWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        m_window.Reset(window);
        m_dpi = GetDpiForWindow(window);
        if (m_dpi == 0) m_dpi = USER_DEFAULT_SCREEN_DPI;
        if (!CreateControls(window)) {
            (void)m_window.Release();
            return -1;
        }
        // The last search of the run, with its count.
        const std::vector<SearchRow>& rows = m_logic.Rows();
        if (!rows.empty()) {
            ShowRows(rows);
            SetStatusText(FoundText(rows));
        }
        return 0;
    }
    case WM_GETMINMAXINFO: {
        UINT dpi = GetDpiForWindow(window);
        if (dpi == 0) dpi = USER_DEFAULT_SCREEN_DPI;
        const LONG minimum = SearchMinimumPixels(static_cast<int>(dpi));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = POINT{minimum, minimum};
        return 0;
    }
    case WM_SIZE: {
        if (wParam == SIZE_MINIMIZED || m_list == nullptr) return 0;
        if (wParam == SIZE_RESTORED) {
            RECT outer{};
            GetWindowRect(window, &outer);
            const PixelSize size{outer.right - outer.left, outer.bottom - outer.top};
            if (const std::optional<PixelSize> fixed =
                    SearchWindowLogic::SizeBelowMinimum(size, static_cast<int>(m_dpi))) {
                // The new size comes back here as a resize of its own.
                SetWindowPos(window, nullptr, 0, 0, fixed->width, fixed->height,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                return 0;
            }
        }
        Layout();
        return 0;
    }
    case WM_DPICHANGED: {
        const UINT old = m_dpi;
        m_dpi = HIWORD(wParam);
        ApplyFont();
        for (int column = 0; column < 3; ++column) {
            const auto width = static_cast<int>(SendMessageW(m_list, LVM_GETCOLUMNWIDTH, column, 0));
            if (width <= 0) break;
            SendMessageW(m_list, LVM_SETCOLUMNWIDTH, column,
                         MulDiv(width, static_cast<int>(m_dpi), static_cast<int>(old)));
        }
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Layout();
        return 0;
    }
    case WM_ACTIVATE: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return result;
    }
    case WM_SETCURSOR:
        if (m_searching && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        if (lParam != 0) OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == m_list && header->code == NM_DBLCLK) {
            PostMessageW(window, kOpenChosenMessage, 0, 0);
        }
        return 0;
    }
    case kOpenChosenMessage:
        OpenSelectedMemo();
        return 0;
    case WM_WINDOWPOSCHANGED:
        // Where it reopens: the placement's own normal rectangle is in workspace
        // coordinates, shifted by a taskbar at the top or left of the screen.
        if (!IsIconic(window) && !IsZoomed(window)) GetWindowRect(window, &m_restoredRect);
        break;
    case WM_CLOSE:
        if (m_searching) {
            // The walk stops first; the window closes when the search has ended.
            m_stopRequested = true;
            m_closeRequested = true;
            return 0;
        }
        Unload();
        return 0;
    case WM_DESTROY: {
        if (!m_window.IsValid()) break;  // its creation failed
        // The unload steps, also when the window goes with its owner.
        const RECT& outer = m_restoredRect;
        m_logic.Unload(SelectedRow(), static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)),
                       PixelRect{outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top});
        if (m_owner != nullptr) EnableWindow(m_owner, TRUE);
        return 0;
    }
    case WM_NCDESTROY:
        (void)m_window.Release();
        m_list = nullptr;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kanopa::editor::win32
