// Shows the memo popup over a stand-in folder window for screenshots, through the real
// popup cycle, until told to stop.
//   kanopa_screenshot_driver <anchor1|anchor5|anchor9|absolute|about|traymenu> <ready file> <done file>
// "about" shows the version dialog instead, "traymenu" the viewer's notification-area
// icon with its menu open.
//   kanopa_screenshot_driver pair <memo folder> <left,top,right,bottom> <ready file> <done file>
// shows the memo of a folder (the editor's shot of it) over a stand-in folder window
// whose frame is the given screen rectangle (where the editor's preview frame was).
// Writes the ready file once the popup is on screen and painted; ends when the done file
// appears (or after a minute).
#include "common/win32/win32_file_system.h"

#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "viewer/memo_file_finder.h"
#include "viewer/popup_cycle.h"
#include "viewer/viewer_state.h"
#include "viewer/win32/main_window.h"
#include "viewer/win32/memo_popup_window.h"
#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/win32_folder_change_watcher.h"
#include "viewer/win32/win32_window_system.h"

namespace {

using namespace kanopa;
using namespace kanopa::viewer;
using namespace kanopa::viewer::win32;
using namespace kanopa::viewer::win32::testing;
using namespace std::chrono_literals;

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}


// A fresh folder for the memo file, removed with it at the end.
class MemoFolder {
public:
    MemoFolder() {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        m_path = std::wstring(temp, length) + L"kanopa-shot-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~MemoFolder() {
        DeleteFileW(m_file.c_str());
        RemoveDirectoryW(m_path.c_str());
    }
    MemoFolder(const MemoFolder&) = delete;
    MemoFolder& operator=(const MemoFolder&) = delete;
    std::string Path() const { return WideToUtf8(m_path) + "\\"; }
    std::string File(const std::string& name) {
        m_file = m_path + L"\\" + Utf8ToWide(name);
        return Path() + name;
    }

private:
    std::wstring m_path;
    std::wstring m_file;
};

bool MemoFor(const std::wstring& layout, MemoRecord& memo) {
    SetDefaultMemoValues(memo);
    memo.fontName = "ＭＳ ゴシック";
    memo.fontSize = 11;
    memo.foreColor = 0x202020;
    memo.layoutMode = 1;
    if (layout == L"anchor1") {
        memo.anchorPosition = 1;
        memo.margin = 20;
        memo.memoWidth = 300;
        memo.memoHeight = 120;
        memo.backColor = 0x99FFFF;  // light yellow
        memo.memoText = "このフォルダは企画部の共有資料です。\r\n編集する前に最新版を確認してください。";
    } else if (layout == L"anchor5") {
        memo.anchorPosition = 5;
        memo.memoWidth = 320;
        memo.memoHeight = 140;
        memo.backColor = 0xFFECCC;  // light blue
        memo.fontSize = 12;
        memo.fontStyle = 2;         // bold
        memo.memoText = "【重要】\r\n見積書の提出期限は 3月15日（金）です。";
    } else if (layout == L"anchor9") {
        memo.anchorPosition = 9;
        memo.margin = 30;
        memo.memoWidth = 280;
        memo.memoHeight = 110;
        memo.backColor = 0xEEDDFF;  // pink
        memo.fontStyle = 1;         // italic
        memo.memoText = "古いファイルは「保管」フォルダへ移動しました。";
    } else if (layout == L"absolute") {
        memo.layoutMode = 0;
        memo.memoLeft = 420;
        memo.memoTop = 60;
        memo.memoWidth = 260;
        memo.memoHeight = 160;
        memo.backColor = 0xDDFFDD;  // light green
        memo.memoText = "作業メモ：\r\n・請求書を印刷\r\n・領収書をスキャン\r\n・月末に経理へ提出";
    } else {
        return false;
    }
    return true;
}

void Touch(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

// The version dialog over a plain window; it closes when the done file appears.
int RunAbout(const std::wstring& readyFile, const std::wstring& doneFile) {
    const TestWindow owner(L"KanopaViewer", RECT{100, 80, 700, 500});
    owner.BringToFront();
    std::thread closer([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        HWND dialog = nullptr;
        // Found as soon as it exists; shown only once it has its size and place.
        while ((dialog == nullptr || !IsWindowVisible(dialog)) &&
               std::chrono::steady_clock::now() < deadline) {
            dialog = FindWindowW(L"#32770", L"バージョン情報");
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (dialog != nullptr) {
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Touch(readyFile);
        }
        while (!FileExists(doneFile) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (dialog != nullptr) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ShowAboutDialog(owner.Get(), GetModuleHandleW(nullptr), ViewerAboutDialogInput(""));
    closer.join();
    return 0;
}

// The real main window with its tray icon, its menu opened as a click on the icon opens
// it, beside the notification area.
int RunTrayMenu(const std::wstring& readyFile, const std::wstring& doneFile) {
    MainWindow mainWindow(GetModuleHandleW(nullptr), MainWindow::Settings{"", false}, [] {}, {},
                          {});
    if (!mainWindow.Create()) return 1;
    HWND window = mainWindow.Window();
    // Left of the icon and on the taskbar's top edge, so that the menu leaves the icon seen.
    const POINT anchor{GetSystemMetrics(SM_CXSCREEN) - 150, GetSystemMetrics(SM_CYSCREEN) - 24};
    SetCursorPos(anchor.x, anchor.y);
    std::thread closer([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        HWND menu = nullptr;
        while ((menu == nullptr || !IsWindowVisible(menu)) &&
               std::chrono::steady_clock::now() < deadline) {
            menu = FindWindowW(L"#32768", nullptr);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (menu != nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));  // painted
            Touch(readyFile);
        }
        while (!FileExists(doneFile) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        // The menu's loop ends on this; once the menu is gone the window goes as the end
        // item ends it.
        PostMessageW(window, WM_CANCELMODE, 0, 0);
        while (menu != nullptr && IsWindowVisible(menu) &&
               std::chrono::steady_clock::now() < deadline + std::chrono::seconds(5)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
    });
    PostMessageW(window, kTrayCallbackMessage, MAKEWPARAM(anchor.x, anchor.y), WM_RBUTTONDOWN);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    closer.join();
    return 0;
}

int Run(std::vector<std::wstring> args) {
    // The editor's memo in its own folder, over a window at the editor's frame.
    std::string memoFolder;
    RECT frame{60, 50, 900, 640};
    if (args.size() == 6 && args[1] == L"pair") {
        memoFolder = WideToUtf8(args[2]);
        if (memoFolder.empty() || memoFolder.back() != '\\') memoFolder += '\\';
        if (swscanf_s(args[3].c_str(), L"%ld,%ld,%ld,%ld", &frame.left, &frame.top, &frame.right,
                      &frame.bottom) != 4) {
            return 2;
        }
        args.erase(args.begin() + 2, args.begin() + 4);
    }
    if (args.size() != 4) return 2;
    if (args[1] == L"about") return RunAbout(args[2], args[3]);
    if (args[1] == L"traymenu") return RunTrayMenu(args[2], args[3]);
    MemoRecord memo;
    if (memoFolder.empty() && !MemoFor(args[1], memo)) return 2;
    const std::wstring& readyFile = args[2];
    const std::wstring& doneFile = args[3];

    MemoFolder folder;
    Win32FileSystem fs;
    Win32Clock clock;
    if (memoFolder.empty()) {
        if (!SaveMemo(fs, clock, MemoKey(), folder.File("メモ.epm"), memo)) return 1;
        memoFolder = folder.Path();
    }

    const std::wstring title = L"2024年度 企画資料 (" + args[1] + L")";
    const TestWindow folderWindow(title.c_str(), frame);
    // Where the viewer measures it (Windows draws part of the border invisibly).
    Win32WindowSystem measure;
    if (const auto placement = measure.Placement(HandleToLong(folderWindow.Get()))) {
        const Rect seen = placement->frame;
        SetWindowPos(folderWindow.Get(), nullptr, 2 * frame.left - seen.left, 2 * frame.top - seen.top,
                     2 * (frame.right - frame.left) - (seen.right - seen.left),
                     2 * (frame.bottom - frame.top) - (seen.bottom - seen.top),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    folderWindow.BringToFront();
    // A list of file names filling the window, as a folder window shows them.
    RECT client{};
    GetClientRect(folderWindow.Get(), &client);
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT,
                                0, 0, client.right, client.bottom, folderWindow.Get(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    for (const wchar_t* name : {L"企画書_第2版.docx", L"予算案.xlsx", L"会議メモ.txt", L"写真",
                                L"参考資料", L"議事録_0312.docx", L"メモ.epm"}) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }

    ViewerState state;
    StandInShellWindows shell;
    shell.list.push_back(
        ShellWindowInfo{HandleToLong(folderWindow.Get()), false, TabState::Active, memoFolder});
    Win32WindowSystem windowSystem;
    Win32FolderChangeWatcher watcher;
    MemoFileFinder finder(fs, &watcher);
    MemoPopupWindow popup(GetModuleHandleW(nullptr), state);
    PopupCycle cycle(shell, windowSystem, finder, fs, popup, state);

    cycle.Tick();
    if (!WaitUntil([&] { return popup.IsVisible(); })) return 1;
    RedrawWindow(folderWindow.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    UpdateWindow(popup.Window());
    PumpMessages();

    Touch(readyFile);

    // Keeps following the window, as the viewer would, until the script is done.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!FileExists(doneFile) && std::chrono::steady_clock::now() < deadline) {
        WaitUntil([&] { return FileExists(doneFile); }, 1000ms);
        cycle.Tick();
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args(argv, argv + count);
    LocalFree(argv);
    return Run(args);
}
