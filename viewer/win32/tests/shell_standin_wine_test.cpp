// The COM adapter of the shell's window list, unchanged, against the stand-in server:
// what it reads from each kind of window the shell describes, that it gives back every
// reference it was handed, and that it makes a fresh list on every call.
#include <objbase.h>
#include <exdisp.h>
#include <shldisp.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/win32/program_startup.h"
#include "common/win32/tests/temp_folder.h"
#include "viewer/win32/com_shell_window_source.h"
#include "viewer/win32/test_support/shell_standin_scenario.h"
#include "viewer/win32/test_support/viewer_testing.h"
#include "viewer/win32/tests/shell_standin_testing.h"

namespace kanopa::viewer {
inline bool operator==(const ShellWindowInfo& a, const ShellWindowInfo& b) {
    return a.window == b.window && a.isWebPage == b.isWebPage && a.tab == b.tab &&
           a.folderPath == b.folderPath;
}
inline void PrintTo(const ShellWindowInfo& info, std::ostream* out) {
    *out << "{" << info.window << (info.isWebPage ? " page" : "") << " tab "
         << static_cast<int>(info.tab) << " \"" << info.folderPath << "\"}";
}
}  // namespace kanopa::viewer

namespace kanopa::viewer::win32::testing {
namespace {

class ComAdapterOnStandInShell : public ::testing::Test {
protected:
    void SetUp() override {
        // On Windows the real shell answers; its class is not to be replaced there.
        if (!RunningOnWine()) GTEST_SKIP();
        shell.emplace();
        ASSERT_TRUE(shell->Registered());
        kanopa::testing::MakeFolder(japanese);
        kanopa::testing::MakeFolder(other);
    }
    ComApartment apartment;
    kanopa::testing::TempFolder temp;
    const std::string japanese = temp / "企画 資料";
    const std::string other = temp / "other";
    TestWindow window{L"企画 資料", RECT{100, 100, 700, 500}};
    TestWindow second{L"other", RECT{200, 200, 800, 600}};
    std::optional<StandInShell> shell;
};

TEST_F(ComAdapterOnStandInShell, ReadsEachKindOfWindowAndGivesBackEveryReference) {
    const HWND w = window.Get();
    const WindowId id = window.Id();
    const WindowId secondId = second.Id();
    const std::string japaneseUrl = FileUrl(japanese);
    const struct {
        const char* name;
        std::vector<StandInWindow> shown;
        std::vector<ShellWindowInfo> read;
    } cases[] = {
        {"a folder window with a Japanese folder, its URL not needed",
         {{.window = w, .folder = japanese, .url = "file:///C:/elsewhere"}},
         {{id, false, TabState::Active, japanese + "\\"}}},
        {"two tabs of one window: the hidden view is the background tab",
         {{.window = w, .tab = "background", .folder = other}, {.window = w, .folder = japanese}},
         {{id, false, TabState::Background, other + "\\"},
          {id, false, TabState::Active, japanese + "\\"}}},
        {"a tab whose view fails: its URL, but no telling whether it is shown",
         {{.window = w, .view = "fails", .tab = "background", .url = FileUrl(other)},
          {.window = w, .folder = japanese}},
         {{id, false, TabState::Unknown, other + "\\"},
          {id, false, TabState::Active, japanese + "\\"}}},
        {"a web page",
         {{.window = w, .view = "page", .url = "https://example.com/a%20b"}},
         {{id, true, TabState::Active, ""}}},
        {"a view that cannot name its folder: the location URL, escapes and a UNC path",
         {{.window = w, .view = "folderfails", .folder = japanese, .url = japaneseUrl},
          {.window = second.Get(),
           .view = "folderfails",
           .url = "file://server/share/%E8%B3%87%E6%96%99"}},
         {{id, false, TabState::Active, japanese + "\\"},
          {secondId, false, TabState::Active, "\\\\server\\share\\資料\\"}}},
        {"This PC: a folder of the shell with none on disk",
         {{.window = w, .folder = kStandInThisPc}},
         {{id, false, TabState::Active, ""}}},
        {"a window that closes between the count and the item",
         {{.window = second.Get(), .folder = other, .closing = true},
          {.window = w, .folder = japanese}},
         {{id, false, TabState::Active, japanese + "\\"}}},
        {"no window at all", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        shell->Play(c.shown);
        std::vector<ShellWindowInfo> read{ShellWindowInfo{}};
        const Status status = ComShellWindowSource().Enumerate(read);
        ASSERT_TRUE(status.ok) << status.error;
        EXPECT_EQ(read, c.read);
        EXPECT_TRUE(StandInObjectsAllReleased());
        // The views' windows went with them.
        EXPECT_EQ(FindWindowExW(w, nullptr, nullptr, nullptr), nullptr);
    }
}

TEST_F(ComAdapterOnStandInShell, MakesAFreshListOnEveryCallSoARestartedShellIsSeen) {
    shell->Play({{.window = window.Get(), .folder = japanese}}, "before");
    ComPtr<IShellWindows> stale;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                               stale.PutVoid()),
              S_OK);
    std::vector<ShellWindowInfo> read;
    ASSERT_TRUE(ComShellWindowSource().Enumerate(read).ok);
    EXPECT_EQ(read, (std::vector<ShellWindowInfo>{
                        {window.Id(), false, TabState::Active, japanese + "\\"}}));

    // The shell restarts with another window: the object made before is cut off.
    shell->Play({{.window = second.Get(), .folder = other}}, "after");
    long count = -1;
    EXPECT_EQ(stale->get_Count(&count), RPC_E_DISCONNECTED);
    const Status status = ComShellWindowSource().Enumerate(read);
    ASSERT_TRUE(status.ok) << status.error;
    EXPECT_EQ(read, (std::vector<ShellWindowInfo>{
                        {second.Id(), false, TabState::Active, other + "\\"}}));
    stale.Reset();
    EXPECT_TRUE(StandInObjectsAllReleased());
}

// Wine's own list, back once the stand-in has gone, implements none of its collection.
TEST(ComShellWindowSource, AShellThatCannotCountItsWindowsGivesAnErrorAndNoWindows) {
    ComApartment apartment;
    if (RunningOnWine()) {
        StandInShell shell;  // registered, then gone
    }
    std::vector<ShellWindowInfo> windows{ShellWindowInfo{}};
    const Status status = ComShellWindowSource().Enumerate(windows);
    if (!RunningOnWine()) {
        EXPECT_TRUE(status.ok) << status.error;
        return;
    }
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.error.find("IShellWindows::get_Count failed: 0x80004001"), std::string::npos)
        << status.error;
    EXPECT_TRUE(windows.empty());
    ShellWindowInfo info;
    EXPECT_FALSE(ReadShellWindow(nullptr, info));
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
