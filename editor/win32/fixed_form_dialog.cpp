#include "editor/win32/fixed_form_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "common/win32/log_last_error.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "editor/insert/fixed_phrases.h"
#include "editor/startup.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/resource.h"
#include "editor/win32/win32_text.h"

namespace kanopa::editor::win32 {
namespace {

constexpr char kLogSource[] = "frmFixedForm.Form_Load()";
constexpr UINT_PTR kListSubclassId = 1;

struct ButtonTip {
    int id;
    const wchar_t* text;
};
constexpr ButtonTip kButtonTips[] = {
    {IDC_FIX_ADD, L"定型文を追加します"},
    {IDC_FIX_DELETE, L"選択した定型文を削除します"},
    {IDC_FIX_INSERT, L"選択した定型文をメモへ挿入します"},
};

// The dialog's window, as the phrase logic sees it; reached through DWLP_USER.
class FixedFormWindow final : public FixedPhraseView {
public:
    FixedFormWindow(FileSystem& fs, const std::string& path) : m_logic(fs, path, *this) {}

    void OnInit(HWND dialog);
    void OnCommand(UINT id, UINT notification);
    void InsertSelected();
    std::optional<std::string> Inserted() const { return m_inserted; }

    // FixedPhraseView
    void ShowPhrases(const std::vector<std::string>& phrases) override;
    std::optional<std::size_t> SelectedIndex() override;
    std::string InputText() override { return WideToUtf8(WindowTextOf(Item(IDC_FIX_TEXT))); }
    void SetInputText(const std::string& text) override {
        SetWindowTextW(Item(IDC_FIX_TEXT), Utf8ToWide(text).c_str());
    }
    void FocusInput() override { Focus(IDC_FIX_TEXT); }
    void FocusList() override { Focus(IDC_FIX_LIST); }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        MessageBoxW(m_dialog, Utf8ToWide(text).c_str(), kProgramName, MB_OK | MessageBoxIconFlag(icon));
    }

private:
    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }
    // As the dialog manager moves the focus, so that the default button follows.
    void Focus(int id) const {
        SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
    }
    void AddTooltips();
    void Close();
    static LRESULT CALLBACK ListSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    FixedPhraseDialog m_logic;
    HWND m_dialog = nullptr;
    std::optional<std::string> m_inserted;
};

void FixedFormWindow::OnInit(HWND dialog) {
    m_dialog = dialog;
    SetWindowSubclass(Item(IDC_FIX_LIST), ListSubclassProc, kListSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
    AddTooltips();
    m_logic.Open();
}

void FixedFormWindow::AddTooltips() {
    // Owned by the dialog, destroyed with it.
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_dialog, nullptr,
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_dialog, GWLP_HINSTANCE)),
                                nullptr);
    if (tips == nullptr) {
        LogLastError(kLogSource, "CreateWindowExW");
        return;
    }
    for (const ButtonTip& tip : kButtonTips) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(Item(tip.id));
        tool.lpszText = const_cast<wchar_t*>(tip.text);
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void FixedFormWindow::OnCommand(UINT id, UINT notification) {
    switch (id) {
    case IDC_FIX_ADD:
        if (notification == BN_CLICKED) m_logic.Add();
        break;
    case IDC_FIX_DELETE:
        if (notification == BN_CLICKED) m_logic.Delete();
        break;
    case IDC_FIX_INSERT:
        if (notification == BN_CLICKED) InsertSelected();
        break;
    case IDC_FIX_LIST:
        if (notification == LBN_SELCHANGE) m_logic.OnPhraseClicked();
        if (notification == LBN_DBLCLK) InsertSelected();
        break;
    case IDOK:  // Enter outside the list
        if (GetFocus() == Item(IDC_FIX_TEXT)) m_logic.Add();
        break;
    case IDCANCEL:  // the close box and Esc
        Close();
        break;
    }
}

void FixedFormWindow::InsertSelected() {
    m_inserted = m_logic.Insert();
    if (m_inserted) Close();
}

void FixedFormWindow::Close() {
    m_logic.Close();
    EndDialog(m_dialog, m_inserted ? IDOK : IDCANCEL);
}

void FixedFormWindow::ShowPhrases(const std::vector<std::string>& phrases) {
    HWND list = Item(IDC_FIX_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    // Wide enough to scroll to the end of the longest phrase.
    const UniqueWindowDc dc = GetWindowDcOf(list);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0));
    const UniqueGdiSelection selected = SelectGdiObject(dc.Get().dc, font);
    LONG widest = 0;
    for (const std::string& phrase : phrases) {
        const std::wstring wide = Utf8ToWide(phrase);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        SIZE size{};
        if (dc && GetTextExtentPoint32W(dc.Get().dc, wide.c_str(), static_cast<int>(wide.size()), &size)) {
            widest = (std::max)(widest, size.cx);
        }
    }
    const int margin = 2 * GetSystemMetricsForDpi(SM_CXEDGE, GetDpiForWindow(list));
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + margin), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::optional<std::size_t> FixedFormWindow::SelectedIndex() {
    const LRESULT index = SendMessageW(Item(IDC_FIX_LIST), LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return std::nullopt;
    return static_cast<std::size_t>(index);
}

LRESULT CALLBACK FixedFormWindow::ListSubclassProc(HWND list, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<FixedFormWindow*>(data);
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter is the list's own key (insert), not the dialog's.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
            return DLGC_WANTALLKEYS | DefSubclassProc(list, message, wParam, lParam);
        }
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            self->InsertSelected();
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r') return 0;  // no beep
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(list, ListSubclassProc, kListSubclassId);
        break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

INT_PTR CALLBACK FixedFormDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<FixedFormWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<FixedFormWindow*>(lParam)->OnInit(dialog);
        return TRUE;  // the focus goes to the box, first in the tab order
    case WM_COMMAND:
        if (window != nullptr) window->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

std::optional<std::string> ShowFixedFormDialog(HWND owner, HINSTANCE instance, FileSystem& fs,
                                               const std::string& programFolder) {
    FixedFormWindow window(fs, programFolder + kFixedFormFileName);
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_FIXED_FORM), owner, FixedFormDialogProc,
                        reinterpret_cast<LPARAM>(&window)) == -1) {
        LogLastError("frmFixedForm.Show()", "DialogBoxParamW");
        return std::nullopt;
    }
    return window.Inserted();
}

}  // namespace kanopa::editor::win32
