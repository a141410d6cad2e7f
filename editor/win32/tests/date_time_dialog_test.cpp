// The date/time dialog inside Kanopa.exe: what it lists in each calendar and what it
// appends to the memo text; and the reader of the system's era table.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp932.h"
#include "common/win32/test_support/window_testing.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "editor/insert/date_format.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/japanese_eras.h"
#include "editor/win32/resource.h"
#include "editor/win32/tests/editor_process.h"

namespace kanopa::editor::win32::testing {
namespace {

using kanopa::testing::MakeFile;
using kanopa::testing::TempFolder;
using kanopa::testing::WaitUntil;
using kanopa::testing::WindowText;

constexpr wchar_t kDialogTitle[] = L"日付と時刻";

// What the pattern gives now: the dialog formatted it a moment ago, maybe across a
// change of second.
bool IsPatternNow(const std::wstring& entry, const char* pattern, const LocalDateTime& before) {
    const LocalDateTime after = Win32Clock().Now();
    return entry == Utf8ToWide(FormatDateTime(pattern, before)) ||
           entry == Utf8ToWide(FormatDateTime(pattern, after));
}

TEST(DateTimeDialog, ListsBothCalendarsAndAppendsTheChosenStampAtTheEnd) {
    TempFolder folder;
    PrepareProgramFolder(folder);
    // The last pattern of each section is offered too; the trailing blank line is not.
    MakeFile(folder / "DateTime.txt",
             Utf8ToCp932("\"和暦\"\r\n\"ggge年m月d日 h時n分s秒\"\r\n\"\\確認\"\r\n"
                         "\"西暦\"\r\n\"yyyy/mm/dd hh:nn:ss\"\r\n\"済\"\r\n\r\n"));
    EditorProcess editor(folder / "Kanopa.exe");
    HWND mainWindow = editor.WaitForMainWindow();
    ASSERT_NE(mainWindow, nullptr);
    HWND edit = GetDlgItem(GetDlgItem(mainWindow, IDC_FRAME), IDC_TEXT);
    for (const wchar_t typed : std::wstring(L"メモ")) PostMessageW(edit, WM_CHAR, typed, 0);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == L"メモ"; }));

    // Opens the dialog; the memo's edit box is open beneath it.
    const auto open = [&] {
        PostMessageW(mainWindow, WM_COMMAND, IDM_INSERT_DATE_TIME, 0);
        HWND dialog = editor.WaitForDialog(kDialogTitle);
        EXPECT_TRUE(dialog != nullptr && IsWindowVisible(edit));
        return dialog;
    };
    const auto closed = [](HWND dialog) { return WaitUntil([&] { return !IsWindow(dialog); }); };

    LocalDateTime before = Win32Clock().Now();
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_DATE_TIME_LIST);
    HWND calendar = GetDlgItem(dialog, IDC_DATE_TIME_CALENDAR);
    EXPECT_EQ(WindowText(calendar), L"和暦");
    std::vector<std::wstring> entries = ListBoxItems(list);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(IsPatternNow(entries[0], "ggge年m月d日 h時n分s秒", before)) << WideToUtf8(entries[0]);
    EXPECT_EQ(entries[1], L"確認");

    // The Western calendar; its last pattern chosen with Enter in the list, the caret at the
    // memo's start: appended at the end all the same.
    before = Win32Clock().Now();
    SendMessageW(calendar, CB_SETCURSEL, 1, 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_DATE_TIME_CALENDAR, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(calendar));
    ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(list).size() == 2 && ListBoxItems(list)[1] == L"済"; }));
    EXPECT_TRUE(IsPatternNow(ListBoxItems(list)[0], "yyyy/mm/dd hh:nn:ss", before));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(closed(dialog));
    EXPECT_EQ(WindowText(edit), L"メモ済");
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u) << "typing goes on after the stamp";
    EXPECT_EQ(end, 3u);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(mainWindow) == edit; })) << "typing reaches the memo";
    // The stamp is in the memo at once: a margin entered now dresses the preview from the
    // memo again (the memo at "左-上" moves to it), and the stamp stays.
    HWND margin = GetDlgItem(mainWindow, IDC_MARGIN);
    SendMessageW(margin, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"40"));
    PostMessageW(margin, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(WaitUntil([&] { return ChildRect(edit).left == 40; }));
    EXPECT_EQ(WindowText(edit), L"メモ済");

    // A double-click on an entry.
    dialog = open();
    ASSERT_NE(dialog, nullptr);
    list = GetDlgItem(dialog, IDC_DATE_TIME_LIST);
    const LRESULT itemHeight = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    const LPARAM second = MAKELPARAM(4, itemHeight + itemHeight / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, second);
    PostMessageW(list, WM_LBUTTONUP, 0, second);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, second);
    PostMessageW(list, WM_LBUTTONUP, 0, second);
    ASSERT_TRUE(closed(dialog));
    EXPECT_EQ(WindowText(edit), L"メモ済確認");

    // "OK" with nothing selected, and "キャンセル" with a selection, change nothing.
    for (const int button : {IDOK, IDCANCEL}) {
        dialog = open();
        ASSERT_NE(dialog, nullptr);
        if (button == IDCANCEL) SendMessageW(GetDlgItem(dialog, IDC_DATE_TIME_LIST), LB_SETCURSEL, 1, 0);
        ClickButton(dialog, button);
        ASSERT_TRUE(closed(dialog));
    }
    EXPECT_EQ(WindowText(edit), L"メモ済確認");
    // Written with no memo file open: a click on the frame leaves the text in view.
    HWND frame = GetDlgItem(mainWindow, IDC_FRAME);
    PostClick(frame, 3, 3);
    EXPECT_TRUE(WaitUntil([&] {
        HWND label = GetDlgItem(frame, IDC_LABEL);
        return !IsWindowVisible(edit) && IsWindowVisible(label) && WindowText(label) == L"メモ済確認";
    }));

    // A DateTime.txt gone since the start is said, not shown as a file without patterns.
    ASSERT_TRUE(DeleteFileW(Utf8ToWide(folder / "DateTime.txt").c_str()));
    PostMessageW(mainWindow, WM_COMMAND, IDM_INSERT_DATE_TIME, 0);
    const MessageSeen box = TakeMessage(editor, kProgramName);
    EXPECT_EQ(box.text.rfind(L"日付表示ファイルを読み込めませんでした。\r\n", 0), 0u) << WideToUtf8(box.text);
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONEXCLAMATION));
    dialog = editor.WaitForDialog(kDialogTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(ListBoxItems(GetDlgItem(dialog, IDC_DATE_TIME_LIST)).empty());
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(closed(dialog));
}

// Which entries make an era is the native era tests' matter; here the registry's side.
TEST(JapaneseEraRegistry, ReadsTheTableItIsGivenAndSkipsWhatIsNotAString) {
    const std::wstring path = L"Software\\Kanopa.Tests\\Eras" + std::to_wstring(GetCurrentProcessId());
    EXPECT_FALSE(ReadEraTable(HKEY_CURRENT_USER, path.c_str())) << "no key yet";
    kanopa::UniqueRegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.Put(), nullptr),
              ERROR_SUCCESS);
    const auto put = [&](const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
        RegSetValueExW(key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    EXPECT_FALSE(ReadEraTable(HKEY_CURRENT_USER, path.c_str())) << "an empty key";
    put(L"2040 04 01", L"新元_新_Shingen_N");
    put(L"1989 01 08", L"平成_平_Heisei_H");
    put(L"2019 05 01", L"令和_令_Reiwa_R");
    put(L"2050 01 01", L"別_別_Betsu_B", REG_EXPAND_SZ);
    const auto eras = ReadEraTable(HKEY_CURRENT_USER, path.c_str());
    key.Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kanopa.Tests");
    ASSERT_TRUE(eras);
    EXPECT_EQ(*eras, (EraTable{{1989, 1, 8, "平成", "平", "H"},
                               {2019, 5, 1, "令和", "令", "R"},
                               {2040, 4, 1, "新元", "新", "N"}}));
}

}  // namespace
}  // namespace kanopa::editor::win32::testing
