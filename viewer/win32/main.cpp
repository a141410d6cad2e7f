// KanopaViewer.exe: start-up. Refuses a second instance, then lives in the message loop
// of its hidden main window, where the desktop's window events and a once-a-second timer
// drive the popup cycle.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "common/log.h"
#include "common/program_context.h"
#include "common/win32/program_path.h"
#include "common/win32/program_startup.h"
#include "common/win32/unique_handle.h"
#include "common/win32/win32_clock.h"
#include "common/win32/win32_file_system.h"
#include "viewer/memo_file_finder.h"
#include "viewer/popup_cycle.h"
#include "viewer/viewer_state.h"
#include "viewer/win32/com_shell_window_source.h"
#include "viewer/win32/main_window.h"
#include "viewer/win32/memo_popup_window.h"
#include "viewer/win32/viewer_names.h"
#include "viewer/win32/viewer_texts.h"
#include "viewer/win32/win32_folder_change_watcher.h"
#include "viewer/win32/win32_window_system.h"

namespace {

using namespace kanopa;
using namespace kanopa::viewer;
using namespace kanopa::viewer::win32;

int RunMessageLoop() {
    MSG message{};
    BOOL result = 0;
    while ((result = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return result < 0 ? 1 : static_cast<int>(message.wParam);
}

// KANOPA_VIEWER_TIMER_ONLY=1 leaves the window events out, so that the timer alone can
// be measured against them.
bool WindowEventsWanted() {
    wchar_t value[8]{};
    const DWORD length = GetEnvironmentVariableW(L"KANOPA_VIEWER_TIMER_ONLY", value, 8);
    return !(length == 1 && value[0] == L'1');
}

int RunViewer(HINSTANCE instance) {
    // Before any window exists; the manifest asks for the same.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

    Win32FileSystem fileSystem;
    Win32Clock clock;
    const std::string programPath = ProgramPath();
    const CommonContext common = InitCommon(programPath);
    FileLogSink logSink(fileSystem, clock, common.programFolder);
    ScopedLogSink scopedLog(logSink);
    WriteLog("", "");
    WriteLog(kLogStart, "");

    UniqueMutex instanceMutex;
    if (!ClaimSingleInstance(kSingleInstanceMutex, instanceMutex)) {
        MessageBoxW(nullptr, kAlreadyRunningMessage, kProgramName, MB_ICONINFORMATION | MB_OK);
        WriteLog(kLogAlreadyRunning, "");
        return 0;
    }

    ComApartment com;  // the shell's window list is an apartment-threaded COM object
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    ViewerState state;
    ComShellWindowSource shellWindows;
    Win32WindowSystem windowSystem;
    Win32FolderChangeWatcher changeWatcher;
    MemoFileFinder finder(fileSystem, &changeWatcher);
    MemoPopupWindow popup(instance, state);
    PopupCycle cycle(shellWindows, windowSystem, finder, fileSystem, popup, state);
    MainWindow mainWindow(
        instance, MainWindow::Settings{common.programFolder, WindowEventsWanted()},
        [&] { cycle.Tick(); },
        // Only the folder window whose memo is on show is followed.
        [&] { return popup.Exists() ? state.Found().folderWindow : 0; },
        [&] { cycle.Follow(); });
    if (Status status = mainWindow.Create(); !status) {
        WriteLog("Main()", status.error);
        return 1;
    }
    return RunMessageLoop();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        return RunViewer(instance);
    } catch (...) {
        // Only an allocation can throw this far; end quietly rather than crash.
        return 1;
    }
}
