#include "editor/win32/tests/editor_process.h"

#include <gtest/gtest.h>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/paths.h"
#include "common/win32/program_path.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "common/win32/win32_file_system.h"

namespace kanopa::editor::win32::testing {

using kanopa::testing::WaitUntil;
using kanopa::testing::WindowText;

namespace {

constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kFileNameCombo = 0x47c;  // cmb13
constexpr int kFilterCombo = 0x470;    // cmb1
constexpr int kMessageText = 0xFFFF;

}  // namespace

bool CopyBesideTest(const std::string& name, const std::string& target) {
    const std::string source = GetFolderPart(ProgramPath()) + name;
    return CopyFileW(Utf8ToWide(source).c_str(), Utf8ToWide(target).c_str(), FALSE) != FALSE;
}

void PrepareProgramFolder(const kanopa::testing::TempFolder& folder) {
    for (const char* name : {"Kanopa.exe", "DateTime.txt", "FixedForm.txt"}) CopyBesideTest(name, folder / name);
}

std::wstring MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, kMessageText)); }

bool Answer(HWND box, int button) {
    if (box == nullptr) return false;
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

bool ChooseFileInDialog(HWND dialog, const std::wstring& path) {
    HWND name = GetDlgItem(dialog, kFileNameEdit);
    if (name == nullptr) name = GetDlgItem(dialog, kFileNameCombo);
    if (name == nullptr) return false;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return true;
}

std::wstring DialogFilters(HWND dialog) {
    HWND combo = GetDlgItem(dialog, kFilterCombo);
    std::wstring names;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::vector<wchar_t> text(512, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        if (!names.empty()) names += L"|";
        names += text.data();
    }
    return names;
}

void PostClick(HWND window, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

RECT ChildRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ClickButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND FocusOf(HWND window) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) ? gui.hwndFocus : nullptr;
}

std::vector<std::wstring> ListBoxItems(HWND list) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == LB_ERR) break;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        if (copied == LB_ERR) break;  // refilled meanwhile: the caller reads again
        text.resize(static_cast<std::size_t>(copied));
        items.push_back(text);
    }
    return items;
}

MessageSeen TakeMessage(const EditorProcess& editor, const wchar_t* title, int answer) {
    HWND box = editor.WaitForDialog(title);
    if (box == nullptr) {
        ADD_FAILURE() << "no message box titled " << WideToUtf8(title);
        return {};
    }
    MessageSeen seen{MessageBoxText(box), kanopa::testing::MessageBoxIcon(box)};
    Answer(box, answer);
    return seen;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FileBytes(const std::string& path) {
    std::string bytes;
    Win32FileSystem().ReadFile(path, 1 << 20, bytes);
    return bytes;
}

void WriteMemoFile(const std::string& path, MemoRecord record) {
    Win32FileSystem fs;
    Win32Clock clock;
    ASSERT_TRUE(SaveMemo(fs, clock, MemoKey(), path, record).ok) << path;
}

void WriteMemoFile(const std::string& path, const std::string& text) {
    MemoRecord record;
    SetDefaultMemoValues(record);
    record.memoText = text;
    WriteMemoFile(path, record);
}

MemoRecord ReadMemoFile(const std::string& path) {
    MemoRecord record;
    Win32FileSystem fs;
    EXPECT_TRUE(LoadMemo(fs, MemoKey(), path, record).complete()) << path;
    return record;
}

}  // namespace kanopa::editor::win32::testing
