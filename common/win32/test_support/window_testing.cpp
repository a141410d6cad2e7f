#include "common/win32/test_support/window_testing.h"

#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"

namespace kanopa::testing {
namespace {

// The pixels (0x00RRGGBB, row by row) that `draw` leaves on a blank 32-bit canvas of
// `size`; empty when no canvas could be made.
std::vector<std::uint32_t> PixelsDrawn(SIZE size, const std::function<void(HDC)>& draw) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits == nullptr) return {};
    {
        const UniqueGdiSelection selected = SelectGdiObject(dc.Get(), bitmap.Get());
        if (!selected) return {};
        draw(dc.Get());
        GdiFlush();
    }
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + size.cx * size.cy);
    for (auto& pixel : pixels) pixel &= 0x00FFFFFFu;
    return pixels;
}

bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) {
            return false;
        }
    }
    return true;
}

HWND IconControlOf(HWND box) {
    HWND found = nullptr;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM result) -> BOOL {
            wchar_t className[16] = {};
            GetClassNameW(child, className, 16);
            const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
            if (_wcsicmp(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
                IsWindowVisible(child)) {
                *reinterpret_cast<HWND*>(result) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The icon flag whose system icon looks like `shown` drawn over its corner's colour.
UINT IconLike(const std::vector<std::uint32_t>& shown, SIZE size) {
    const struct {
        const wchar_t* icon;
        UINT flag;
    } candidates[] = {{IDI_INFORMATION, MB_ICONINFORMATION},
                      {IDI_WARNING, MB_ICONEXCLAMATION},
                      {IDI_ERROR, MB_ICONERROR},
                      {IDI_QUESTION, MB_ICONQUESTION}};
    const std::uint32_t back = shown.front();
    const COLORREF backColor = RGB((back >> 16) & 0xFF, (back >> 8) & 0xFF, back & 0xFF);
    for (const auto& candidate : candidates) {
        const std::vector<std::uint32_t> drawn = PixelsDrawn(size, [&](HDC dc) {
            const UniqueBrush brush(CreateSolidBrush(backColor));
            const RECT all{0, 0, size.cx, size.cy};
            FillRect(dc, &all, brush.Get());
            DrawIconEx(dc, 0, 0, LoadIconW(nullptr, candidate.icon), size.cx, size.cy, 0, nullptr,
                       DI_NORMAL);
        });
        if (drawn.size() != shown.size()) return 0;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < drawn.size(); ++i) differing += Near(drawn[i], shown[i]) ? 0 : 1;
        if (differing * 100 <= drawn.size()) return candidate.flag;  // 1% for edge smoothing
    }
    return 0;
}

std::vector<std::wstring> MenuItems(HMENU menu) {
    std::vector<std::wstring> items;
    const int count = GetMenuItemCount(menu);
    for (UINT i = 0; count > 0 && i < static_cast<UINT>(count); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        items.push_back((GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) ? L"-" : text);
    }
    return items;
}

}  // namespace

void PumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TestWindow::TestWindow(const wchar_t* title, RECT frame) {
    static const ATOM windowClass = [] {
        WNDCLASSEXW definition{};
        definition.cbSize = sizeof(definition);
        definition.lpfnWndProc = DefWindowProcW;
        definition.hInstance = GetModuleHandleW(nullptr);
        definition.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        definition.lpszClassName = L"KanopaTest.Window";
        return RegisterClassExW(&definition);
    }();
    m_window.Reset(CreateWindowExW(0, MAKEINTATOM(windowClass), title,
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE, frame.left, frame.top,
                                   frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr));
    PumpMessages();
}

bool TestWindow::BringToFront() const {
    SetForegroundWindow(m_window.Get());
    return WaitUntil([&] { return GetForegroundWindow() == m_window.Get(); });
}

RunningProgram::RunningProgram(const std::string& program, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + Utf8ToWide(program) + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
        m_process.Reset(info.hProcess);
        CloseHandle(info.hThread);
        m_id = info.dwProcessId;
    }
}

RunningProgram::~RunningProgram() {
    DWORD code = 0;
    if (GetExitCodeProcess(m_process.Get(), &code) && code == STILL_ACTIVE &&
        TerminateProcess(m_process.Get(), 1)) {
        WaitForSingleObject(m_process.Get(), 5000);
    }
}

DWORD RunningProgram::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    WaitUntil([&] { return GetExitCodeProcess(m_process.Get(), &code) && code != STILL_ACTIVE; },
              10000ms);
    return code;
}

HWND RunningProgram::WaitForWindow(const wchar_t* className, const wchar_t* title) const {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindProcessWindow(m_id, className, title)) != nullptr; },
              10000ms);
    return window;
}

std::vector<std::string> LogLines(const std::string& path) {
    std::string text;
    (void)Win32FileSystem().ReadFile(path, 1 << 20, text);
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = line.substr(line.find('\t') + 1);
        if (const std::size_t tab = line.find('\t'); tab != std::string::npos) line[tab] = '|';
        lines.push_back(line);
    }
    return lines;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title) {
    for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window) &&
            (title == nullptr || WindowText(window) == title)) {
            return window;
        }
    }
    return nullptr;
}

HWND WaitForHelpWindow(std::chrono::milliseconds timeout) {
    HWND help = nullptr;
    WaitUntil([&] { return (help = FindWindowW(L"HH Parent", nullptr)) != nullptr; }, timeout);
    return help;
}

bool CloseHelpWindow(HWND help) {
    DWORD helpId = 0;
    GetWindowThreadProcessId(help, &helpId);
    const UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, helpId));
    PostMessageW(help, WM_CLOSE, 0, 0);
    return process && WaitForSingleObject(process.Get(), 10000) == WAIT_OBJECT_0;
}

std::wstring WindowText(HWND window) {
    std::vector<wchar_t> buffer(1024);
    const LRESULT length = SendMessageW(window, WM_GETTEXT, buffer.size(),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(length));
}

std::vector<std::wstring> ItemsOfMenuOpenedBy(const std::function<void()>& open) {
    std::vector<std::wstring> items;
    std::atomic<bool> returned{false};
    std::thread reader([&] {
        while (!returned) {
            if (HWND menu = FindProcessWindow(GetCurrentProcessId(), L"#32768")) {
                items = MenuItems(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
                PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                return;
            }
            std::this_thread::sleep_for(5ms);
        }
    });
    open();
    returned = true;
    reader.join();
    return items;
}

std::vector<std::wstring> TrayTipsShown() {
    std::vector<std::wstring> tips;
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT bar{};
    if (taskbar == nullptr || !GetWindowRect(taskbar, &bar)) return tips;
    const int step = GetSystemMetrics(SM_CXSMICON) / 2;
    for (int x = bar.right - step / 2; x > bar.left; x -= step) {
        SetCursorPos(x, (bar.top + bar.bottom) / 2);
        std::wstring tip;
        // The first tip waits for the hover time; the next ones show at once.
        WaitUntil(
            [&] {
                for (HWND window = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
                     window != nullptr;
                     window = FindWindowExW(nullptr, window, TOOLTIPS_CLASSW, nullptr)) {
                    if (IsWindowVisible(window)) tip = WindowText(window);
                }
                return !tip.empty();
            },
            tips.empty() ? 2000ms : 300ms);
        if (tip.empty()) break;
        if (tips.empty() || tips.back() != tip) tips.push_back(tip);
    }
    SetCursorPos(0, 0);
    return tips;
}

UINT MessageBoxIcon(HWND box, std::chrono::milliseconds timeout) {
    HWND control = IconControlOf(box);
    if (control == nullptr) return 0;
    const SIZE size{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    UINT found = 0;
    WaitUntil(
        [&] {
            POINT origin{0, 0};
            ClientToScreen(control, &origin);
            const UniqueWindowDc screen = GetWindowDcOf(nullptr);
            const std::vector<std::uint32_t> shown = PixelsDrawn(size, [&](HDC dc) {
                if (screen) BitBlt(dc, 0, 0, size.cx, size.cy, screen.Get().dc, origin.x, origin.y, SRCCOPY);
            });
            if (!shown.empty()) found = IconLike(shown, size);
            return found != 0;
        },
        timeout);
    return found;
}

}  // namespace kanopa::testing
