// Kanopa.exe: start-up. The checks and their order are the editor's logic (RunStartup);
// this file supplies the platform's means (a named mutex, message boxes, the command
// line) and then lives in the message loop of the editor window.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "common/log.h"
#include "common/paths.h"
#include "common/win32/program_path.h"
#include "common/win32/program_startup.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "common/win32/win32_file_system.h"
#include "editor/startup.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/editor_texts.h"
#include "editor/win32/main_window.h"
#include "editor/win32/win32_text.h"

namespace {

using namespace kanopa;
using namespace kanopa::editor;
using namespace kanopa::editor::win32;

// One editor per logon session: a named mutex held for the run.
class MutexInstanceTest final : public InstanceTest {
public:
    bool AnotherInstanceRunning() override {
        return !ClaimSingleInstance(kSingleInstanceMutex, m_mutex);
    }

private:
    UniqueMutex m_mutex;
};

int RunMessageLoop(MainWindow& window) {
    MSG message{};
    BOOL result = 0;
    while ((result = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (window.PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return result < 0 ? 1 : static_cast<int>(message.wParam);
}

int RunEditor(HINSTANCE instance, int showCommand) {
    // Before any window exists; the manifest asks for the same.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

    Win32FileSystem fileSystem;
    Win32Clock clock;
    const std::string programPath = ProgramPath();
    FileLogSink logSink(fileSystem, clock, GetFolderPart(programPath));
    ScopedLogSink scopedLog(logSink);

    MutexInstanceTest instanceTest;  // keeps the mutex for the run
    StartupOutcome outcome = RunStartup(fileSystem, instanceTest, programPath,
                                        CommandLineArguments(WideToUtf8(GetCommandLineW())));
    if (outcome.refusal) {
        MessageBoxW(nullptr, Utf8ToWide(outcome.refusal->message).c_str(), kProgramName,
                    MB_OK | MessageBoxIconFlag(outcome.refusal->icon));
        FinishRefusal(*outcome.refusal);
        return 0;
    }

    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    MainWindow window(instance, *outcome.state, fileSystem, clock);
    if (Status status = window.Create(showCommand); !status) {
        WriteLog("Main()", status.error);
        return 1;
    }
    return RunMessageLoop(window);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    try {
        return RunEditor(instance, showCommand);
    } catch (...) {
        // Only an allocation can throw this far; end quietly rather than crash.
        return 1;
    }
}
