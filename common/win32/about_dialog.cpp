#include "common/win32/about_dialog.h"

#include <shellapi.h>

#include <vector>

#include "common/log.h"
#include "common/win32/about_dialog_resource.h"
#include "common/win32/log_last_error.h"
#include "common/win32/program_path.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"

namespace kanopa {
namespace {

constexpr wchar_t kTitleFontFace[] = L"ＭＳ Ｐゴシック";
constexpr int kTitleFontPoints = 12;
constexpr wchar_t kHomepageUrl[] = L"https://kanopa.example.jp/";
constexpr char kLogSource[] = "frmAbout.Load()";
// Posted on a DPI change: the dialog manager hands its own rescaled font to every
// control after WM_DPICHANGED, so the title's font and the icon are redone after it.
constexpr UINT kRedressMessage = WM_APP + 1;

// The dialog's own data, reached through DWLP_USER.
struct AboutDialogData {
    const AboutDialogInput* input = nullptr;
    UniqueFont titleFont;
    UniqueIcon icon;
};

int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

void SetTitleFont(HWND dialog, AboutDialogData& data) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(kTitleFontPoints, static_cast<int>(GetDpiForWindow(dialog)), 72);
    font.lfWeight = FW_BOLD;
    font.lfCharSet = SHIFTJIS_CHARSET;
    wcsncpy_s(font.lfFaceName, kTitleFontFace, _TRUNCATE);
    UniqueFont created(CreateFontIndirectW(&font));
    if (!created) {
        LogLastError(kLogSource, "CreateFontIndirectW");
        return;
    }
    for (int id : {IDC_ABOUT_TITLE, IDC_ABOUT_VER, IDC_ABOUT_VERSION}) {
        SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(created.Get()), TRUE);
    }
    // The controls hold the font only by handle: the old one may go once they have the new.
    data.titleFont = std::move(created);
}

// The program's icon at the dialog's DPI, from the module the dialog was made from.
void SetIcon(HWND dialog, AboutDialogData& data) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    const UINT dpi = GetDpiForWindow(dialog);
    const int size = GetSystemMetricsForDpi(SM_CXICON, dpi);
    UniqueIcon icon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(data.input->iconId),
                                                  IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon) {
        LogLastError(kLogSource, "LoadImageW");
        return;
    }
    SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(icon.Get()), 0);
    data.icon = std::move(icon);
}

// Gives the client area the program's size in twips of the dialog's monitor, moves and
// stretches the controls with it, and centres the dialog on its monitor's work area.
void SetClientSize(HWND dialog, const AboutDialogInput& input) {
    const UINT dpi = GetDpiForWindow(dialog);
    RECT client{};
    GetClientRect(dialog, &client);
    const int width = TwipsToPixels(input.clientWidthTwips, dpi);
    const int height = TwipsToPixels(input.clientHeightTwips, dpi);
    const int grow = width - client.right;
    const int drop = height - client.bottom;
    // Which edges follow the size: the line and the buttons stay at the bottom, "OK" at
    // the right; the texts and the line take up the width.
    const struct {
        int id;
        bool stretch;
        bool right;
        bool bottom;
    } anchors[] = {{IDC_ABOUT_TITLE, true, false, false},  {IDC_ABOUT_CREDITS, true, false, false},
                   {IDC_ABOUT_LINE, true, false, true},    {IDC_ABOUT_GO_HP, false, false, true},
                   {IDOK, false, true, true}};
    for (const auto& anchor : anchors) {
        HWND control = GetDlgItem(dialog, anchor.id);
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (anchor.right) OffsetRect(&rect, grow, 0);
        if (anchor.stretch) rect.right += grow;
        if (anchor.bottom) OffsetRect(&rect, 0, drop);
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The template is in dialog units, the size in twips: where the dialog font is wide
    // for its DPI (144 dpi under Wine), shrinking to the size brings "OK" onto the other
    // button. That one then ends a button gap before "OK".
    RECT gap{0, 0, 4, 0};
    MapDialogRect(dialog, &gap);
    HWND other = GetDlgItem(dialog, IDC_ABOUT_GO_HP);
    RECT otherRect{}, okRect{};
    GetWindowRect(other, &otherRect);
    GetWindowRect(GetDlgItem(dialog, IDOK), &okRect);
    if (otherRect.right > okRect.left - gap.right) {
        SetWindowPos(other, nullptr, 0, 0, okRect.left - gap.right - otherRect.left,
                     otherRect.bottom - otherRect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    RECT frame{0, 0, width, height};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)),
                             FALSE, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)),
                             dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - frameWidth) / 2,
                 work.top + (work.bottom - work.top - frameHeight) / 2, frameWidth, frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void OpenHomepage(const AboutDialogInput& input) {
    const std::wstring folder = Utf8ToWide(input.programFolder);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", kHomepageUrl, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL));
    if (result <= 32) {
        // Nothing is shown to the user; the log keeps the reason.
        WriteLog("frmAbout.cmdGoHp_Click()",
                 "ShellExecuteW failed: " + LastErrorText(static_cast<DWORD>(result)));
    }
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<AboutDialogData*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        data = reinterpret_cast<AboutDialogData*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetIcon(dialog, *data);
        SetTitleFont(dialog, *data);
        SetDlgItemTextW(dialog, IDC_ABOUT_TITLE, Utf8ToWide(data->input->programName).c_str());
        const std::wstring version = Utf8ToWide(ReadProgramVersion());
        SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, version.c_str());
        SetClientSize(dialog, *data->input);
        // Opened from the tray: come to the front rather than behind the active program.
        SetForegroundWindow(dialog);
        return TRUE;  // the focus goes to "OK", first in the tab order
    }
    case WM_DPICHANGED:
        PostMessageW(dialog, kRedressMessage, 0, 0);
        return FALSE;
    case kRedressMessage:
        if (data != nullptr) {
            SetTitleFont(dialog, *data);
            SetIcon(dialog, *data);
        }
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ABOUT_GO_HP:
            if (data != nullptr) OpenHomepage(*data->input);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

std::string FormatFileVersion(std::uint32_t versionMs, std::uint32_t versionLs) {
    return std::to_string(HIWORD(versionMs)) + "." + std::to_string(LOWORD(versionMs)) + "." +
           std::to_string(HIWORD(versionLs));
}

std::string ReadProgramVersion() {
    const std::wstring widePath = Utf8ToWide(ProgramPath());
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), &ignored);
    if (size == 0) {
        LogLastError(kLogSource, "GetFileVersionInfoSizeW");
        return {};
    }
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(widePath.c_str(), 0, size, block.data())) {
        LogLastError(kLogSource, "GetFileVersionInfoW");
        return {};
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) ||
        info == nullptr || infoSize < sizeof(VS_FIXEDFILEINFO)) {
        WriteLog(kLogSource, "VerQueryValueW failed: no fixed version information");
        return {};
    }
    return FormatFileVersion(info->dwFileVersionMS, info->dwFileVersionLS);
}

void ShowAboutDialog(HWND owner, HINSTANCE instance, const AboutDialogInput& input) {
    AboutDialogData data;
    data.input = &input;
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_KANOPA_ABOUT), owner, AboutDialogProc,
                        reinterpret_cast<LPARAM>(&data)) == -1) {
        LogLastError("frmAbout.Show()", "DialogBoxParamW");
    }
}

}  // namespace kanopa
