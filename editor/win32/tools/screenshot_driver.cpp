// Brings Kanopa.exe into a state worth a screenshot, until told to stop.
//   kanopa_editor_screenshot_driver <anchor9|absolute|editing|margin|about|picker|pair|
//                                    dates-era|dates-western|phrases|copy|search>
//                                   <work folder> <ready file> <done file>
// Copies the program and its data files from beside itself into the work folder, writes
// a Japanese memo there, starts the editor on it and drives it with the messages a
// user's input produces. Writes the ready file once the scene is on screen; ends the
// editor when the done file appears (or after a minute).
// "dates-era" and "dates-western" show the date/time dialog in each calendar, the second
// entry selected.
// "copy" shows the bulk copy dialog with both fields filled in.
// "picker" shows the position picker with the pointer over its bottom-right zone;
// "phrases" the fixed-phrase dialog with its second phrase clicked and the pointer on
// its insert button;
// "search" shows the memo search window with the memos of a small tree listed;
// "pair" is anchor9 and also leaves in the work folder frame.txt, the preview frame's
// screen rectangle as "left top right bottom", for the viewer's shot of the same memo.
#include "common/win32/win32_file_system.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/paths.h"
#include "common/win32/program_path.h"
#include "common/win32/test_support/window_testing.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/editor_texts.h"
#include "editor/win32/resource.h"
#include "editor/position_picker_logic.h"
#include "editor/preview_layout.h"
#include "editor/tools/memo_search.h"
#include "editor/win32/tests/editor_process.h"

namespace {

using namespace kanopa;
using namespace kanopa::editor::win32;
using namespace kanopa::editor::win32::testing;
using kanopa::testing::WaitUntil;
using kanopa::testing::WindowText;
using namespace std::chrono_literals;

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyBeside(const std::string& folder, const char* name) {
    const std::wstring source = Utf8ToWide(GetFolderPart(ProgramPath()) + name);
    return CopyFileW(source.c_str(), Utf8ToWide(folder + name).c_str(), FALSE) != FALSE;
}

bool WriteSceneMemo(const std::wstring& scene, const std::string& path) {
    MemoRecord memo;
    SetDefaultMemoValues(memo);
    memo.fontSize = 12;
    memo.foreColor = 0x202020;
    memo.backColor = 0x99FFFF;
    memo.memoWidth = 280;
    memo.memoHeight = 120;
    memo.memoText = "このフォルダは来週の会議資料です。\r\n最新版は「議事録」フォルダにあります。";
    if (scene == L"absolute") {
        memo.layoutMode = 0;
        memo.memoLeft = 60;
        memo.memoTop = 40;
        memo.fontStyle = 2;
    } else {
        memo.layoutMode = 1;
        memo.anchorPosition = 9;
        memo.margin = 20;
    }
    Win32FileSystem fs;
    Win32Clock clock;
    return SaveMemo(fs, clock, MemoKey(), path, memo).ok;
}

// A small tree of memos, and the search window listing them with one row selected.
bool ShowSearch(const EditorProcess& editor, HWND main, const std::string& folder) {
    const std::string tree = folder + "共有フォルダ";
    const struct {
        const char* folder;
        const char* name;
        const char* text;
    } memos[] = {
        {"", "会議資料.epm", "来週の会議資料です。\r\n最新版は「議事録」にあります。"},
        {"\\2026年度", "予算.epm", "予算案（第2版）：経理部の確認待ち"},
        {"\\2026年度\\議事録", "議事録メモ.epm", "議事録は毎週金曜日に更新します。"},
        {"\\お客様", "連絡先.epm", "担当：山田さん　内線 1234"},
    };
    Win32FileSystem fs;
    Win32Clock clock;
    for (const auto& memo : memos) {
        const std::string where = tree + memo.folder;
        CreateDirectoryW(Utf8ToWide(where).c_str(), nullptr);
        MemoRecord record;
        SetDefaultMemoValues(record);
        record.memoText = memo.text;
        if (!SaveMemo(fs, clock, MemoKey(), where + "\\" + memo.name, record).ok) return false;
    }
    PostMessageW(main, WM_COMMAND, IDM_TOOL_SEARCH, 0);
    HWND window = editor.WaitForWindow(kSearchWindowClass);
    if (window == nullptr) return false;
    const auto type = [&](int id, const std::string& text) {
        SendMessageW(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
    };
    type(IDC_SEARCH_KEYWORD, "*");
    type(IDC_SEARCH_ROOT, tree);
    SendMessageW(GetDlgItem(window, IDC_SEARCH_SUBFOLDERS), BM_SETCHECK, BST_CHECKED, 0);
    HWND button = GetDlgItem(window, IDC_SEARCH_BUTTON);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    const std::wstring found = L"4" + Utf8ToWide(editor::kFoundSuffix);
    HWND status = GetDlgItem(window, IDC_SEARCH_STATUS);
    if (!WaitUntil([&] { return WindowText(status) == found; }, 10000ms)) return false;
    // A click on the first row, just below the column headers: selected, with the focus.
    HWND list = GetDlgItem(window, IDC_SEARCH_LIST);
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
    MapWindowPoints(HWND_DESKTOP, list, reinterpret_cast<POINT*>(&header), 2);
    PostClick(list, 30, header.bottom + 6);
    return WaitUntil([&] { return SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 0; });
}

int Run(const std::wstring& scene, std::string folder, const std::wstring& ready,
        const std::wstring& done) {
    AddBackslash(folder);
    CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr);
    if (!CopyBeside(folder, "Kanopa.exe") || !CopyBeside(folder, "DateTime.txt") ||
        !CopyBeside(folder, "FixedForm.txt")) {
        return 2;
    }
    const std::string memoPath = folder + "会議資料.epm";
    if (!WriteSceneMemo(scene, memoPath)) return 2;

    EditorProcess editor(folder + "Kanopa.exe", L"\"" + Utf8ToWide(memoPath) + L"\"");
    HWND main = editor.WaitForMainWindow();
    if (main == nullptr) return 3;
    HWND frame = GetDlgItem(main, IDC_FRAME);
    HWND label = GetDlgItem(frame, IDC_LABEL);
    HWND text = GetDlgItem(frame, IDC_TEXT);
    HWND margin = GetDlgItem(main, IDC_MARGIN);
    if (!WaitUntil([&] { return IsWindowVisible(label) != FALSE; }, 10000ms)) return 3;

    bool shown = true;
    if (scene == L"editing") {
        PostClick(label, 40, 30);
        shown = WaitUntil([&] { return IsWindowVisible(text) != FALSE; });
    } else if (scene == L"margin") {
        SendMessageW(margin, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1001"));
        PostMessageW(margin, WM_KEYDOWN, VK_RETURN, 0);
        shown = editor.WaitForDialog(kProgramName) != nullptr;
    } else if (scene == L"picker") {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_PLACE_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_PLACE_BUTTON)));
        HWND picker = editor.WaitForWindow(kPositionPickerClass);
        shown = picker != nullptr;
        if (shown) {
            const double factor = editor::TwipsPerPixelForDpi(static_cast<int>(GetDpiForWindow(picker)));
            const editor::PixelRect zone = editor::ZoneRect(8, factor);
            PostMessageW(picker, WM_MOUSEMOVE, 0,
                         MAKELPARAM(zone.left + zone.width / 2, zone.top + zone.height / 2));
        }
    } else if (scene == L"pair") {
        RECT client{};
        GetClientRect(frame, &client);
        MapWindowPoints(frame, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        std::ofstream out(std::filesystem::path(Utf8ToWide(folder + "frame.txt")));
        out << client.left << ' ' << client.top << ' ' << client.right << ' ' << client.bottom << '\n';
        shown = static_cast<bool>(out);
    } else if (scene == L"dates-era" || scene == L"dates-western") {
        PostMessageW(main, WM_COMMAND, IDM_INSERT_DATE_TIME, 0);
        HWND dialog = editor.WaitForDialog(L"日付と時刻");
        shown = dialog != nullptr;
        if (shown && scene == L"dates-western") {
            HWND calendar = GetDlgItem(dialog, IDC_DATE_TIME_CALENDAR);
            SendMessageW(calendar, CB_SETCURSEL, 1, 0);
            // Sent, not posted: the list is refilled when this returns.
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_DATE_TIME_CALENDAR, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(calendar));
        }
        if (shown) SendDlgItemMessageW(dialog, IDC_DATE_TIME_LIST, LB_SETCURSEL, 1, 0);
    } else if (scene == L"phrases") {
        PostMessageW(main, WM_COMMAND, IDM_INSERT_FIXED_FORM, 0);
        HWND dialog = editor.WaitForDialog(L"定型文");
        shown = dialog != nullptr;
        if (shown) {
            HWND list = GetDlgItem(dialog, IDC_FIX_LIST);
            SendMessageW(list, LB_SETCURSEL, 1, 0);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_FIX_LIST, LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            // The pointer rests on "挿入(&I)" until its tooltip shows.
            HWND insert = GetDlgItem(dialog, IDC_FIX_INSERT);
            RECT button{};
            GetWindowRect(insert, &button);
            SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
            PostMessageW(insert, WM_MOUSEMOVE, 0,
                         MAKELPARAM((button.right - button.left) / 2, (button.bottom - button.top) / 2));
        }
    } else if (scene == L"search") {
        shown = ShowSearch(editor, main, folder);
    } else if (scene == L"copy") {
        PostMessageW(main, WM_COMMAND, IDM_TOOL_COPY, 0);
        HWND dialog = editor.WaitForDialog(L"メモファイル一括コピー");
        shown = dialog != nullptr;
        if (shown) {
            SetDlgItemTextW(dialog, IDC_COPY_SOURCE, Utf8ToWide(memoPath).c_str());
            SetDlgItemTextW(dialog, IDC_COPY_FOLDER, L"C:\\プロジェクト\\2026年度");
        }
    } else if (scene == L"about") {
        PostMessageW(main, WM_COMMAND, IDM_HELP_VERSION, 0);
        shown = editor.WaitForDialog(L"バージョン情報") != nullptr;
    }
    if (!shown) return 4;
    // Let the last paint reach the screen.
    std::this_thread::sleep_for(700ms);

    UniqueFile readyFile(CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!readyFile) return 5;
    readyFile.Reset();
    WaitUntil([&] { return FileExists(done); }, 60000ms);
    return 0;  // the editor ends with `editor`
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Reads the editor's windows in the screen's own pixels, as the editor places them.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count != 5) return 2;
    const int result = Run(arguments[1], WideToUtf8(arguments[2]), arguments[3], arguments[4]);
    LocalFree(arguments);
    return result;
}
