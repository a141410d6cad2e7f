#pragma once
// Plays a scenario through the stand-in shell window server (kanopa_shell_standin.dll,
// built beside the tests): registered as the machine's CLSID_ShellWindows server while
// the object lives (the user's classes are not consulted for it), with the scenario file
// named in this process's environment, which a program the test starts inherits. Only
// the test's own Wine prefix is touched, and Wine's own class is back afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/tests/temp_folder.h"

namespace kanopa::viewer::win32::testing {

// One line of the scenario (see shell_standin_scenario.h for the meanings).
struct StandInWindow {
    HWND window = nullptr;
    std::string view = "folder";  // folder, folderfails, page, fails
    std::string tab = "active";   // active, background
    std::string folder = "";      // a path, or kStandInThisPc
    std::string url = "";
    bool closing = false;
};

class StandInShell {
public:
    StandInShell();
    ~StandInShell();
    StandInShell(const StandInShell&) = delete;
    StandInShell& operator=(const StandInShell&) = delete;

    bool Registered() const { return m_registered; }
    // Replaces the scenario at once; a new `server` makes the objects of the old one stale.
    void Play(const std::vector<StandInWindow>& windows, const std::string& server = "1");

private:
    kanopa::testing::TempFolder m_folder;
    std::string m_scenarioPath;
    std::wstring m_previousServer;  // the registration found, restored at the end
    bool m_registered = false;
};

// A file URL as the shell writes one: every byte but letters, digits and a few marks
// escaped, so that Japanese names arrive as UTF-8 escapes and blanks as "%20".
std::string FileUrl(const std::string& path);

// True when every object the server handed out has been released (DllCanUnloadNow) and
// none was called after its last release.
::testing::AssertionResult StandInObjectsAllReleased();

}  // namespace kanopa::viewer::win32::testing
