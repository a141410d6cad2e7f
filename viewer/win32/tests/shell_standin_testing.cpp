#include "viewer/win32/tests/shell_standin_testing.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "common/paths.h"
#include "common/win32/program_path.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "viewer/win32/test_support/shell_standin_scenario.h"

namespace kanopa::viewer::win32::testing {
namespace {

constexpr wchar_t kServerKey[] =
    L"Software\\Classes\\CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\\InprocServer32";
// What a fresh Wine prefix registers, put back when a crashed run left the stand-in behind.
constexpr wchar_t kWineServer[] = L"C:\\windows\\system32\\ieframe.dll";

bool WriteServer(const std::wstring& path) {
    constexpr wchar_t kApartment[] = L"Apartment";
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, REG_SZ, path.c_str(),
                           static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
           RegSetKeyValueW(HKEY_LOCAL_MACHINE, kServerKey, L"ThreadingModel", REG_SZ, kApartment,
                           sizeof(kApartment)) == ERROR_SUCCESS;
}

std::wstring ReadServer() {
    wchar_t path[MAX_PATH] = L"";
    DWORD size = sizeof(path);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, path,
                     &size) != ERROR_SUCCESS) {
        return kWineServer;
    }
    return path;
}

std::string Line(const StandInWindow& window) {
    std::string line = "window\thwnd=" + std::to_string(HandleToLong(window.window)) +
                       "\tview=" + window.view + "\ttab=" + window.tab + "\tfolder=" +
                       window.folder + "\turl=" + window.url;
    if (window.closing) line += "\tclosing";
    return line + "\n";
}

}  // namespace

StandInShell::StandInShell() : m_scenarioPath(m_folder / "scenario.txt") {
    const std::wstring server = Utf8ToWide(GetFolderPart(ProgramPath())) + kStandInDllName;
    EXPECT_NE(GetFileAttributesW(server.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the stand-in server must sit beside the test";
    m_previousServer = ReadServer();
    if (m_previousServer.ends_with(kStandInDllName)) m_previousServer = kWineServer;
    m_registered = WriteServer(server);
    EXPECT_TRUE(m_registered) << "cannot register the stand-in server";
    Play({});
    SetEnvironmentVariableW(kStandInScenarioVariable, Utf8ToWide(m_scenarioPath).c_str());
}

StandInShell::~StandInShell() {
    SetEnvironmentVariableW(kStandInScenarioVariable, nullptr);
    if (m_registered) {
        EXPECT_TRUE(WriteServer(m_previousServer));
    }
}

void StandInShell::Play(const std::vector<StandInWindow>& windows, const std::string& server) {
    std::string text = "server=" + server + "\n";
    for (const StandInWindow& window : windows) text += Line(window);
    // Replaced whole: the server may read it at any moment.
    Win32FileSystem fs;
    const std::string next = m_scenarioPath + ".new";
    ASSERT_TRUE(fs.CreateNewFile(next, text).ok);
    ASSERT_TRUE(fs.MoveReplacing(next, m_scenarioPath).ok);
}

std::string FileUrl(const std::string& path) {
    std::string url = "file:///";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            url += '/';
        } else if (std::isalnum(byte) || c == ':' || c == '-' || c == '_' || c == '.') {
            url += c;
        } else {
            char escape[4];
            std::snprintf(escape, sizeof(escape), "%%%02X", byte);
            url += escape;
        }
    }
    return url;
}

::testing::AssertionResult StandInObjectsAllReleased() {
    const HMODULE server = GetModuleHandleW(kStandInDllName);
    if (server == nullptr) return ::testing::AssertionFailure() << "the server was never loaded";
    // Through a generic function type: FARPROC's own return type differs.
    using Generic = void (*)();
    const auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<Generic>(GetProcAddress(server, "DllCanUnloadNow")));
    const auto misuses = reinterpret_cast<StandInMisusesFunction>(
        reinterpret_cast<Generic>(GetProcAddress(server, kStandInMisusesExport)));
    if (canUnload == nullptr || misuses == nullptr) {
        return ::testing::AssertionFailure() << "the server lacks its exports";
    }
    if (canUnload() != S_OK) return ::testing::AssertionFailure() << "objects still referenced";
    if (const long count = misuses(); count != 0) {
        return ::testing::AssertionFailure() << count << " calls on released objects";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace kanopa::viewer::win32::testing
