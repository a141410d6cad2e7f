// KanopaViewer.exe as a user meets it: started as a process, driven through its windows.
// Each test runs a copy of the program in a folder of its own, where it writes its log.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/tests/temp_folder.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "viewer/win32/resource.h"
#include "viewer/win32/tests/test_support.h"
#include "viewer/win32/viewer_names.h"
#include "viewer/win32/viewer_texts.h"

namespace kanopa::viewer::win32::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kMessageBoxTextId = 0xFFFF;

class ViewerProcess {
public:
    explicit ViewerProcess(const std::wstring& program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        std::wstring commandLine = L"\"" + program + L"\"";
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                           nullptr, nullptr, &startup, &info)) {
            m_process.Reset(info.hProcess);
            CloseHandle(info.hThread);
            m_id = info.dwProcessId;
        }
    }
    bool Started() const { return m_process.IsValid(); }
    DWORD Id() const { return m_id; }
    bool WaitForExit(std::chrono::milliseconds timeout = 10000ms) const {
        return WaitUntil(
            [&] { return WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0; }, timeout);
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_process.Get(), &code);
        return code;
    }
    // The hidden main window, once the program has made it (it is never visible).
    HWND MainWindow() const {
        struct Find {
            DWORD id;
            HWND found = nullptr;
        } find{m_id};
        EnumWindows(
            [](HWND window, LPARAM lParam) -> BOOL {
                auto& f = *reinterpret_cast<Find*>(lParam);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t name[64] = {};
                GetClassNameW(window, name, 64);
                if (owner != f.id || wcscmp(name, kMainWindowClass) != 0) return TRUE;
                f.found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.found;
    }
    HWND WaitForMainWindow() const {
        HWND window = nullptr;
        WaitUntil([&] { return (window = MainWindow()) != nullptr; }, 10000ms);
        return window;
    }
    HWND WaitForWindow(const wchar_t* className, const wchar_t* title = nullptr) const {
        HWND window = nullptr;
        WaitUntil([&] { return (window = FindProcessWindow(m_id, className, title)) != nullptr; },
                  10000ms);
        return window;
    }
    ~ViewerProcess() {
        if (Started() && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.Get(), 1);  // a failed test must not leave it running
            WaitForSingleObject(m_process.Get(), 5000);
        }
    }

private:
    UniqueKernelHandle m_process;
    DWORD m_id = 0;
};

class ViewerProgram : public ::testing::Test {
protected:
    void SetUp() override {
        program = Utf8ToWide(folder / "KanopaViewer.exe");
        ASSERT_TRUE(CopyFileW((ExecutableFolder() + L"KanopaViewer.exe").c_str(), program.c_str(),
                              FALSE))
            << "KanopaViewer.exe must sit beside the test";
    }

    // The log's lines as "source|message", without their time stamps.
    std::vector<std::string> LogLines() const {
        UniqueFile file(CreateFileW(Utf8ToWide(folder / "Log.txt").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
        std::string text;
        char buffer[4096];
        DWORD read = 0;
        while (file && ::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
            text.append(buffer, read);
        }
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::size_t tab = line.find('\t');
            line = tab == std::string::npos ? line : line.substr(tab + 1);
            const std::size_t second = line.find('\t');
            if (second != std::string::npos) line[second] = '|';
            lines.push_back(line);
            start = end + 1;
        }
        return lines;
    }

    kanopa::testing::TempFolder folder;
    std::wstring program;
};

TEST_F(ViewerProgram, ASecondStartIsRefusedAndTheFirstEndsFromItsMenu) {
    ViewerProcess first(program);
    ASSERT_TRUE(first.Started());
    HWND mainWindow = first.WaitForMainWindow();
    ASSERT_NE(mainWindow, nullptr);

    ViewerProcess second(program);
    ASSERT_TRUE(second.Started());
    HWND box = second.WaitForWindow(kDialogClass);
    ASSERT_NE(box, nullptr) << "no message box from the second start";
    EXPECT_EQ(DialogItemText(box, kMessageBoxTextId), kAlreadyRunningMessage);
    EXPECT_EQ(WindowText(box), kProgramName);
    EXPECT_EQ(second.MainWindow(), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);

    // The first goes on untouched: one viewer, its window still there.
    EXPECT_EQ(CountWindowsOfClass(kMainWindowClass), 1);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_EQ(WaitForSingleObject(OpenProcess(SYNCHRONIZE, FALSE, first.Id()), 0),
              static_cast<DWORD>(WAIT_TIMEOUT));

    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_END, 0);
    ASSERT_TRUE(first.WaitForExit());
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_EQ(CountWindowsOfClass(kMainWindowClass), 0);

    EXPECT_THAT(LogLines(),
                ElementsAre(EndsWith("|"), "*********アプリケーション開始*********|",
                            EndsWith("|"), "*********アプリケーション開始*********|",
                            "*********二重起動システム終了*********|",
                            "*********アプリケーション終了*********|"));
}

TEST_F(ViewerProgram, HelpWithoutItsFileNamesTheMissingFile) {
    ViewerProcess viewer(program);
    ASSERT_TRUE(viewer.Started());
    HWND mainWindow = viewer.WaitForMainWindow();
    ASSERT_NE(mainWindow, nullptr);

    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_HELP, 0);
    HWND box = viewer.WaitForWindow(kDialogClass);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(DialogItemText(box, kMessageBoxTextId), kHelpMissingMessage);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

    // The program goes on after the message.
    EXPECT_TRUE(IsWindow(mainWindow));
    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_END, 0);
    EXPECT_TRUE(viewer.WaitForExit());
}

TEST_F(ViewerProgram, VersionDialogShowsTheProgramsOwnVersion) {
    ViewerProcess viewer(program);
    ASSERT_TRUE(viewer.Started());
    HWND mainWindow = viewer.WaitForMainWindow();
    ASSERT_NE(mainWindow, nullptr);

    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_VERSION, 0);
    HWND dialog = viewer.WaitForWindow(kDialogClass, L"バージョン情報");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogItemText(dialog, IDC_ABOUT_TITLE), L"カノパビューア");
    EXPECT_EQ(DialogItemText(dialog, IDC_ABOUT_VER), L"Ver.");
    EXPECT_EQ(DialogItemText(dialog, IDC_ABOUT_VERSION), L"1.0.0");
    EXPECT_EQ(DialogItemText(dialog, IDC_ABOUT_GO_HP), L"最新バージョンの確認");
    EXPECT_EQ(DialogItemText(dialog, IDOK), L"OK");
    // Owned by the hidden main window: no taskbar button of its own.
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), mainWindow);
    // Enter closes it: the focus starts on "OK", not on the homepage button.
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    EXPECT_TRUE(WaitUntil([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui) &&
               gui.hwndFocus == GetDlgItem(dialog, IDOK);
    }));

    // A second Version command while it is open does not stack another dialog.
    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_VERSION, 0);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(FindProcessWindow(viewer.Id(), kDialogClass, L"バージョン情報"), nullptr);

    PostMessageW(mainWindow, WM_COMMAND, IDM_TRAY_END, 0);
    EXPECT_TRUE(viewer.WaitForExit());
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
