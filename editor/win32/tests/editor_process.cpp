#include "editor/win32/tests/editor_process.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "common/paths.h"
#include "common/win32/program_path.h"
#include "common/win32/wide.h"
#include "editor/win32/editor_names.h"
#include "common/win32/test_support/window_testing.h"

namespace kanopa::editor::win32::testing {

using kanopa::testing::FindProcessWindow;
using kanopa::testing::WaitUntil;
using kanopa::testing::WindowText;
using namespace std::chrono_literals;

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

void PrepareProgramFolder(const kanopa::testing::TempFolder& folder, ProgramFolderOptions options) {
    CopyBesideTest("Kanopa.exe", folder / "Kanopa.exe");
    if (options.dateTimeFile) CopyBesideTest("DateTime.txt", folder / "DateTime.txt");
    if (options.fixedFormFile) CopyBesideTest("FixedForm.txt", folder / "FixedForm.txt");
}

EditorProcess::EditorProcess(const std::string& program, const std::wstring& arguments) {
    kanopa::testing::StartedProgram started = kanopa::testing::StartProgram(program, arguments);
    m_process = std::move(started.process);
    m_id = started.id;
}

EditorProcess::~EditorProcess() {
    DWORD code = 0;
    if (GetExitCodeProcess(m_process.Get(), &code) && code == STILL_ACTIVE &&
        TerminateProcess(m_process.Get(), 1)) {
        WaitForSingleObject(m_process.Get(), 5000);
    }
}

DWORD EditorProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    WaitUntil([&] { return GetExitCodeProcess(m_process.Get(), &code) && code != STILL_ACTIVE; },
              10000ms);
    return code;
}

HWND EditorProcess::WaitForWindow(const wchar_t* className, const wchar_t* title) const {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindProcessWindow(m_id, className, title)) != nullptr; },
              10000ms);
    return window;
}

HWND EditorProcess::WaitForMainWindow() const { return WaitForWindow(kMainWindowClass); }

HWND EditorProcess::WaitForDialog(const wchar_t* title) const {
    return WaitForWindow(L"#32770", title);
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

}  // namespace kanopa::editor::win32::testing
