// KanopaViewer.exe: start-up. Refuses a second instance, then lives in the message loop
// of its hidden main window, whose timer drives the popup cycle once a second.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "common/log.h"
#include "common/program_context.h"
#include "common/win32/log_last_error.h"
#include "common/win32/program_path.h"
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

// The thread's COM apartment, left when start-up code returns.
class ComApartment {
public:
    ComApartment() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {
        if (FAILED(m_hr)) WriteLog("Main()", "CoInitializeEx failed: " + LastErrorText(static_cast<DWORD>(m_hr)));
    }
    ~ComApartment() {
        if (SUCCEEDED(m_hr)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_hr;
};

// True when this is the only viewer of the logon session; `mutex` then keeps it so.
bool ClaimSingleInstance(UniqueMutex& mutex) {
    mutex.Reset(CreateMutexW(nullptr, FALSE, kSingleInstanceMutex));
    const DWORD error = GetLastError();
    if (mutex && error != ERROR_ALREADY_EXISTS) return true;
    if (!mutex && error != ERROR_ACCESS_DENIED) {
        // Not a sign of another viewer (that would be access denied): run unguarded.
        LogLastError("Main()", "CreateMutexW", error);
        return true;
    }
    return false;
}

int RunMessageLoop() {
    MSG message{};
    BOOL result = 0;
    while ((result = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return result < 0 ? 1 : static_cast<int>(message.wParam);
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
    if (!ClaimSingleInstance(instanceMutex)) {
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
    MainWindow mainWindow(instance, MainWindow::Settings{common.programFolder}, [&] {
        // While the user drags or sizes the popup, following its window would fight them.
        if (!popup.InMoveSizeLoop()) cycle.Tick();
    });
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
