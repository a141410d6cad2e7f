#include "editor/win32/copy_dialog.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

#include "common/log.h"
#include "common/win32/log_last_error.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "editor/document.h"
#include "editor/tools/bulk_copy.h"
#include "editor/win32/editor_texts.h"
#include "editor/win32/folder_browser.h"
#include "editor/win32/memo_file_dialog.h"
#include "editor/win32/resource.h"
#include "editor/win32/win32_text.h"

namespace kanopa::editor::win32 {
namespace {

constexpr char kLoadSource[] = "frmCopy.Form_Load()";
constexpr int kClientWidthTwips = 7740;
constexpr int kClientHeightTwips = 4035;
constexpr int kLabelWidthTwips = 2400;  // room for the caption, clear of the picture
constexpr int kLabelHeightTwips = 255;
constexpr wchar_t kFolderBrowserTitle[] = L"フォルダを選択してください";

struct Placement {
    int id;
    int left, top, width, height;  // twips
};
constexpr Placement kLayout[] = {
    {IDC_COPY_EXPLAIN, 1200, 150, 5445, 255},
    {IDC_COPY_PICTURE, 3180, 1320, 960, 1005},
    {IDC_COPY_SOURCE_LABEL, 660, 690, kLabelWidthTwips, kLabelHeightTwips},
    {IDC_COPY_SOURCE, 630, 930, 5745, 315},
    {IDC_COPY_FILE, 6360, 930, 465, 345},
    {IDC_COPY_FOLDER_LABEL, 660, 2160, kLabelWidthTwips, kLabelHeightTwips},
    {IDC_COPY_FOLDER, 630, 2400, 5745, 315},
    {IDC_COPY_DIR, 6360, 2370, 465, 345},
    {IDC_COPY_START, 2730, 2970, 2085, 645},
};

struct CopyDialogData {
    FileSystem& fs;
    const std::string& programFolder;
};

int Pixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

std::string FieldText(HWND dialog, int id) { return WideToUtf8(WindowTextOf(GetDlgItem(dialog, id))); }

int ShowCopyMessage(HWND dialog, const CopyMessage& message, UINT buttons = MB_OK) {
    return MessageBoxW(dialog, Utf8ToWide(message.text).c_str(), Utf8ToWide(message.title).c_str(),
                       buttons | MessageBoxIconFlag(message.icon));
}

// Places the controls at their twips, gives the client area its size, and centres the
// dialog over its owner within the owner's work area.
// Sized for the dialog's DPI and centred over `owner`; or, after a DPI change, where the
// system suggests (`suggested`), so that a drag onto another monitor is not undone.
void Layout(HWND dialog, HWND owner, const RECT* suggested = nullptr) {
    const UINT dpi = GetDpiForWindow(dialog) == 0 ? USER_DEFAULT_SCREEN_DPI : GetDpiForWindow(dialog);
    for (const Placement& p : kLayout) {
        SetWindowPos(GetDlgItem(dialog, p.id), nullptr, Pixels(p.left, dpi), Pixels(p.top, dpi),
                     Pixels(p.width, dpi), Pixels(p.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{0, 0, Pixels(kClientWidthTwips, dpi), Pixels(kClientHeightTwips, dpi)};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)), dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (suggested != nullptr) {
        SetWindowPos(dialog, nullptr, suggested->left, suggested->top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    RECT over{};
    if (owner == nullptr || !GetWindowRect(owner, &over)) GetWindowRect(GetDesktopWindow(), &over);
    int left = over.left + (over.right - over.left - width) / 2;
    int top = over.top + (over.bottom - over.top - height) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = (std::max)(static_cast<int>(work.left), (std::min)(left, static_cast<int>(work.right) - width));
        top = (std::max)(static_cast<int>(work.top), (std::min)(top, static_cast<int>(work.bottom) - height));
    }
    SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The picture: a yellow memo sheet with its red pin, copied down to three folders.
void DrawPicture(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int line = (std::max)(1, w / 48);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const auto x = [&](int percent) { return r.left + w * percent / 100; };
    const auto y = [&](int percent) { return r.top + h * percent / 100; };

    const UniquePen ink(CreatePen(PS_SOLID, line, RGB(64, 72, 92)));
    const UniqueBrush note(CreateSolidBrush(RGB(255, 252, 210)));
    const UniquePen noteEdge(CreatePen(PS_SOLID, line, RGB(150, 140, 90)));
    const UniquePen ruled(CreatePen(PS_SOLID, line, RGB(90, 110, 170)));
    const UniqueBrush pin(CreateSolidBrush(RGB(214, 48, 49)));
    const UniquePen folderEdge(CreatePen(PS_SOLID, line, RGB(120, 82, 20)));
    const UniqueBrush folderBack(CreateSolidBrush(RGB(222, 168, 58)));
    const UniqueBrush folderFront(CreateSolidBrush(RGB(247, 205, 92)));

    // The memo sheet, top centre.
    {
        const auto pen = SelectGdiObject(dc, noteEdge.Get());
        const auto brush = SelectGdiObject(dc, note.Get());
        Rectangle(dc, x(30), y(2), x(70), y(42));
    }
    {
        const auto pen = SelectGdiObject(dc, ruled.Get());
        for (int row : {16, 24, 32}) {
            MoveToEx(dc, x(36), y(row), nullptr);
            LineTo(dc, x(64), y(row));
        }
    }
    {
        const auto pen = SelectGdiObject(dc, GetStockObject(NULL_PEN));
        const auto brush = SelectGdiObject(dc, pin.Get());
        Ellipse(dc, x(45), y(3), x(55), y(12));
    }
    // Arrows from the sheet to each folder.
    {
        const auto pen = SelectGdiObject(dc, ink.Get());
        const double head = (std::max)(3, w / 12);
        for (const auto& [fromX, toX] : {std::pair{x(40), x(16)}, std::pair{x(50), x(50)}, std::pair{x(60), x(84)}}) {
            const int fromY = y(46), toY = y(64);
            MoveToEx(dc, fromX, fromY, nullptr);
            LineTo(dc, toX, toY);
            const double dx = toX - fromX, dy = toY - fromY, length = std::hypot(dx, dy);
            const double ux = dx / length, uy = dy / length;
            const auto tip = [&](double side) {
                return POINT{toX - static_cast<LONG>(head * ux - side * head * 0.6 * uy),
                             toY - static_cast<LONG>(head * uy + side * head * 0.6 * ux)};
            };
            const POINT left = tip(1), right = tip(-1);
            MoveToEx(dc, left.x, left.y, nullptr);
            LineTo(dc, toX, toY);
            LineTo(dc, right.x, right.y);
        }
    }
    // Three folders along the bottom, each a back with a tab and a lower front.
    for (const int left : {2, 36, 70}) {
        const auto pen = SelectGdiObject(dc, folderEdge.Get());
        {
            const auto brush = SelectGdiObject(dc, folderBack.Get());
            const POINT back[] = {{x(left), y(68)}, {x(left + 10), y(68)}, {x(left + 13), y(72)},
                                  {x(left + 28), y(72)}, {x(left + 28), y(96)}, {x(left), y(96)}};
            Polygon(dc, back, static_cast<int>(std::size(back)));
        }
        const auto brush = SelectGdiObject(dc, folderFront.Get());
        Rectangle(dc, x(left), y(77), x(left + 28) + 1, y(96) + 1);
    }
}

void ChooseSourceFile(HWND dialog, const CopyDialogData& data) {
    const std::optional<std::string> chosen = ShowMemoFileDialog(
        dialog, MemoFileDialog::Open, MemoFileDialogPlace{data.programFolder, "frmCopy.cmdFile_Click()"});
    if (!chosen) return;
    // Trimmed and in lower case, as the field has always shown a chosen file.
    const std::string path = NormalizeDialogPath(*chosen);
    if (!path.empty()) SetDlgItemTextW(dialog, IDC_COPY_SOURCE, Utf8ToWide(path).c_str());
}

void ChooseFolder(HWND dialog) {
    if (const std::optional<std::string> folder =
            BrowseForFolder(dialog, kFolderBrowserTitle, "frmCopy.cmdDir_Click()")) {
        SetDlgItemTextW(dialog, IDC_COPY_FOLDER, Utf8ToWide(*folder).c_str());
    }
}

void Focus(HWND dialog, CopyField field, bool selectAll) {
    HWND edit = GetDlgItem(dialog, field == CopyField::Source ? IDC_COPY_SOURCE : IDC_COPY_FOLDER);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    SendMessageW(edit, EM_SETSEL, selectAll ? 0 : -1, selectAll ? -1 : 0);
}

void StartCopy(HWND dialog, const CopyDialogData& data) {
    const std::string source = FieldText(dialog, IDC_COPY_SOURCE);
    const std::string destination = FieldText(dialog, IDC_COPY_FOLDER);
    const CopyInputCheck check = CheckCopyInput(data.fs, source, destination);
    if (check.refusal) {
        ShowCopyMessage(dialog, *check.refusal);
        Focus(dialog, check.focus, check.selectAll);
        return;
    }
    if (ShowCopyMessage(dialog, CopyQuestion(), MB_YESNO | MB_DEFBUTTON2) != IDYES) return;
    // The loop handles no messages: the hourglass stays until it ends.
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const CopyResult result = RunBulkCopy(data.fs, source, check.sourceName, destination);
    SetCursor(previous);
    ShowCopyMessage(dialog, result.ok ? CopyCompletedMessage(result.copiedTo.size())
                                      : CopyFailedMessage(source, result));
}

INT_PTR CALLBACK CopyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<CopyDialogData*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Layout(dialog, GetWindow(dialog, GW_OWNER));
        return TRUE;  // the focus goes to the first field
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID != IDC_COPY_PICTURE) return FALSE;
        DrawPicture(*item);
        return TRUE;
    }
    case WM_DPICHANGED:
        Layout(dialog, GetWindow(dialog, GW_OWNER), reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (data == nullptr || HIWORD(wParam) != BN_CLICKED) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_COPY_FILE: ChooseSourceFile(dialog, *data); return TRUE;
        case IDC_COPY_DIR: ChooseFolder(dialog); return TRUE;
        case IDC_COPY_START: StartCopy(dialog, *data); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;  // Enter (IDOK) starts nothing
        }
    default: return FALSE;
    }
}

}  // namespace

void ShowCopyDialog(HWND owner, HINSTANCE instance, FileSystem& fs, const std::string& programFolder) {
    CopyDialogData data{fs, programFolder};
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_COPY), owner, CopyDialogProc,
                        reinterpret_cast<LPARAM>(&data)) == -1)
        LogLastError(kLoadSource, "DialogBoxParamW");
}

}  // namespace kanopa::editor::win32
