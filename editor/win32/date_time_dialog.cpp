#include "editor/win32/date_time_dialog.h"

#include <algorithm>
#include <vector>

#include "common/log.h"
#include "common/win32/log_last_error.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "editor/insert/date_time_file.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/resource.h"

namespace kanopa::editor::win32 {
namespace {

// The log sources name the form and the procedure, run together as the form's others do.
constexpr char kLoadSource[] = "frmDateTimeForm_Load()";
constexpr char kReadSource[] = "frmDateTimeGetDateTime()";
constexpr char kListSource[] = "frmDateTimeSetList()";
constexpr const wchar_t* kCalendarNames[] = {L"和暦", L"西暦"};  // index = CalendarType

// The dialog's own data, reached through DWLP_USER.
struct DateTimeDialogData {
    const DateTimeDialogInput* input = nullptr;
    DateTimeLists lists;
    std::string chosen;
};

// Refills the list for a calendar; the entries carry the time at which they were made.
void SetList(HWND dialog, const DateTimeDialogData& data, int calendarIndex) {
    HWND list = GetDlgItem(dialog, IDC_DATE_TIME_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    int widest = 0;
    const UniqueWindowDc dc = GetWindowDcOf(list);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    const UniqueGdiSelection selected = SelectGdiObject(dc.Get().dc, font);
    for (const std::string& entry :
         FormatDateTimeList(data.lists, calendarIndex, data.input->clock, data.input->eras)) {
        const std::wstring text = Utf8ToWide(entry);
        const LRESULT added = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (added == LB_ERR || added == LB_ERRSPACE) {
            WriteLog(kListSource, "LB_ADDSTRING failed: the list is full");
            break;  // the entries added so far stay
        }
        SIZE size{};
        if (dc && GetTextExtentPoint32W(dc.Get().dc, text.c_str(), static_cast<int>(text.size()), &size)) {
            widest = (std::max)(widest, static_cast<int>(size.cx));
        }
    }
    // A pattern longer than the list is wide can still be read to its end.
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + GetSystemMetrics(SM_CXEDGE) * 2), 0);
}

void Insert(HWND dialog, DateTimeDialogData& data) {
    HWND list = GetDlgItem(dialog, IDC_DATE_TIME_LIST);
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    data.chosen.clear();
    if (index != LB_ERR) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length != LB_ERR) {
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                                reinterpret_cast<LPARAM>(text.data()));
            text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
            data.chosen = WideToUtf8(text);
        }
    }
    EndDialog(dialog, IDOK);
}

void Load(HWND dialog, DateTimeDialogData& data) {
    HWND calendar = GetDlgItem(dialog, IDC_DATE_TIME_CALENDAR);
    for (const wchar_t* name : kCalendarNames) {
        if (SendMessageW(calendar, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name)) < 0) {
            WriteLog(kLoadSource, "CB_ADDSTRING failed");
        }
    }
    if (Status read = ReadDateTimeFile(data.input->fs, data.input->dataFile, data.lists); !read) {
        WriteLog(kReadSource, read.error);
        // Said, so that the empty list is not taken for a file without patterns.
        const std::string text = std::string(kDateTimeReadFailedMessage) + "\r\n" +
                                 data.input->dataFile + "\r\n" + read.error;
        MessageBoxW(dialog, Utf8ToWide(text).c_str(), kProgramName, MB_OK | MB_ICONEXCLAMATION);
    }
    SendMessageW(calendar, CB_SETCURSEL, static_cast<WPARAM>(CalendarType::Era), 0);
    SetList(dialog, data, static_cast<int>(CalendarType::Era));
}

// Centred over the owner (the editor window), within its monitor's work area.
void CentreOnOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT ownerRect{}, rect{};
    if (owner == nullptr || !GetWindowRect(owner, &ownerRect) || !GetWindowRect(dialog, &rect)) return;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    LONG left = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
    LONG top = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
    left = (std::max)(work.left, (std::min)(left, work.right - width));
    top = (std::max)(work.top, (std::min)(top, work.bottom - height));
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK DateTimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<DateTimeDialogData*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        data = reinterpret_cast<DateTimeDialogData*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Load(dialog, *data);
        CentreOnOwner(dialog);
        SetFocus(GetDlgItem(dialog, IDC_DATE_TIME_LIST));
        return FALSE;  // the focus is set
    case WM_COMMAND: {
        if (data == nullptr) break;
        const int id = LOWORD(wParam);
        const int notification = HIWORD(wParam);
        if (id == IDC_DATE_TIME_CALENDAR && notification == CBN_SELCHANGE) {
            SetList(dialog, *data, static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)));
            return TRUE;
        }
        if ((id == IDC_DATE_TIME_LIST && notification == LBN_DBLCLK) || id == IDOK) {
            Insert(dialog, *data);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

}  // namespace

std::optional<std::string> ShowDateTimeDialog(HWND owner, HINSTANCE instance,
                                              const DateTimeDialogInput& input) {
    DateTimeDialogData data;
    data.input = &input;
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DATE_TIME), owner,
                                           DateTimeDialogProc, reinterpret_cast<LPARAM>(&data));
    if (result == -1) {
        LogLastError(kLoadSource, "DialogBoxParamW");
        return std::nullopt;
    }
    if (result != IDOK) return std::nullopt;
    return data.chosen;
}

}  // namespace kanopa::editor::win32
