#include "viewer/win32/about_dialog.h"

#include <shellapi.h>

#include <vector>

#include "common/log.h"
#include "common/win32/log_last_error.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "viewer/win32/resource.h"
#include "viewer/win32/viewer_names.h"

namespace kanopa::viewer::win32 {
namespace {

constexpr wchar_t kTitleFontFace[] = L"ＭＳ Ｐゴシック";
constexpr int kTitleFontPoints = 12;
constexpr char kLogSource[] = "frmAbout.Load()";

// The dialog's own data, reached through DWLP_USER.
struct AboutDialogData {
    const AboutDialogInput* input = nullptr;
    UniqueFont titleFont;
    UniqueIcon icon;
};

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

void SetIcon(HWND dialog, HINSTANCE instance, AboutDialogData& data) {
    const UINT dpi = GetDpiForWindow(dialog);
    const int size = GetSystemMetricsForDpi(SM_CXICON, dpi);
    UniqueIcon icon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KANOPA_VIEWER),
                                                  IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon) {
        LogLastError(kLogSource, "LoadImageW");
        return;
    }
    SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(icon.Get()), 0);
    data.icon = std::move(icon);
}

void OpenHomepage(const AboutDialogInput& input) {
    const std::wstring folder = Utf8ToWide(input.programFolder);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, kOpenVerb, kHomepageUrl, nullptr,
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
        const auto instance =
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
        SetIcon(dialog, instance, *data);
        SetTitleFont(dialog, *data);
        const std::wstring version = Utf8ToWide(ReadFileVersion(data->input->versionSourcePath));
        SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, version.c_str());
        // Opened from the tray: come to the front rather than behind the active program.
        SetForegroundWindow(dialog);
        return TRUE;  // the focus goes to "OK", first in the tab order
    }
    case WM_DPICHANGED:
        // The system rescales the dialog and its standard font; our own font is ours to redo.
        if (data != nullptr) SetTitleFont(dialog, *data);
        return FALSE;
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

std::string ReadFileVersion(const std::string& path) {
    const std::wstring widePath = Utf8ToWide(path);
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
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDialogProc,
                        reinterpret_cast<LPARAM>(&data)) == -1) {
        LogLastError("frmAbout.Show()", "DialogBoxParamW");
    }
}

}  // namespace kanopa::viewer::win32
