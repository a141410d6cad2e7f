#pragma once
// The scenario the stand-in shell window server plays, shared by the server and the tests
// that write it. A UTF-8 text file named by the environment variable below (the server
// runs inside whichever process creates the shell's window list, and a process started
// by the test inherits the variable). Every creation of the window list reads it afresh.
//
//   server=TOKEN            which running "shell" this is; when the file later names
//                           another, objects made before answer RPC_E_DISCONNECTED, as
//                           the objects of an Explorer that has restarted do
//   window<TAB>key=value<TAB>...   one shell window (or tab) per line, in list order:
//     hwnd=N        its top-level window handle, decimal (tabs of one window share it)
//     view=KIND     folder: a folder view with a window of its own (the default)
//                   folderfails: that view, but it cannot name its folder
//                   page: a web page's: a view without IFolderView, a document
//                         that is no folder view
//                   fails: QueryActiveShellView fails
//     tab=active|background   whether the view's window is visible (default active)
//     folder=PATH   the folder the view shows, parsed into an ID list; "*drives" is
//                   This PC
//     url=URL       the location URL
//     closing       the window is counted, then closes before Item is asked for it
#include <windows.h>

namespace kanopa::viewer::win32::testing {

inline constexpr wchar_t kStandInScenarioVariable[] = L"KANOPA_SHELL_STANDIN_SCENARIO";
inline constexpr wchar_t kStandInDllName[] = L"kanopa_shell_standin.dll";
inline constexpr char kStandInThisPc[] = "*drives";

// Exported by the server beside DllGetClassObject and DllCanUnloadNow: how often an
// object was called after its last reference was released (AddRef, Release or
// QueryInterface on a dead object).
using StandInMisusesFunction = long(WINAPI*)();
inline constexpr char kStandInMisusesExport[] = "StandInMisuses";

}  // namespace kanopa::viewer::win32::testing
