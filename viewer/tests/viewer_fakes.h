#pragma once
// Stand-ins for the desktop (shell windows, window system, the popup window), wired with
// the core's in-memory file system to the viewer's logic. Window handles are plain numbers.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/memo_file.h"
#include "common/services.h"
#include "common/tests/fakes.h"
#include "viewer/memo_file_finder.h"
#include "viewer/popup_cycle.h"
#include "viewer/viewer_state.h"

namespace kanopa::viewer::testing {

class FakeShellWindows final : public ShellWindowSource {
public:
    Status Enumerate(std::vector<ShellWindowInfo>& windows) override {
        if (fail) return Status::Fail("0x80004005");
        windows = list;
        return Status::Ok();
    }
    std::vector<ShellWindowInfo> list;
    bool fail = false;
};

class FakeWindowSystem final : public WindowSystem {
public:
    WindowId Foreground() override { return foreground; }
    bool Exists(WindowId window) override { return windows.count(window) != 0; }
    std::optional<WindowPlacementInfo> Placement(WindowId window) override {
        if (throwOnPlacement) throw std::runtime_error("GetWindowPlacement");
        const auto found = windows.find(window);
        if (found == windows.end()) return std::nullopt;
        return found->second;
    }
    WindowId foreground = 0;
    std::map<WindowId, WindowPlacementInfo> windows;
    bool throwOnPlacement = false;
};

// The popup window as the user would see it; its unloads report back as the real
// window's do. Each new window gets a new handle.
class FakePopup final : public MemoPopup {
public:
    explicit FakePopup(PopupEvents& events) : m_events(events) {}
    bool Exists() override { return handle != 0; }
    bool IsVisible() override { return handle != 0 && visible; }
    WindowId Handle() override { return handle; }
    Status HideOrCreate() override {
        if (failCreate) return Status::Fail("CreateWindowExW");
        if (handle == 0) {
            handle = 9000 + ++creations;
            style = MemoStyle{};
        }
        visible = false;
        return Status::Ok();
    }
    Status Place(std::int32_t newX, std::int32_t newY, std::int32_t newWidth,
                 std::int32_t newHeight, bool resize) override {
        if (throwOnPlace) throw std::runtime_error("SetWindowPos");
        x = newX;
        y = newY;
        if (resize) {
            width = newWidth;
            height = newHeight;
        }
        lastResize = resize;
        visible = true;
        return Status::Ok();
    }
    Status ApplyStyle(const MemoStyle& newStyle) override {
        style = newStyle;
        return Status::Ok();
    }
    Status Show() override {
        visible = true;
        return Status::Ok();
    }
    void Unload() override { Destroy(false); }
    void ClickClosePicture() { Destroy(true); }

    WindowId handle = 0;
    int creations = 0;
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    bool visible = false, lastResize = false;
    MemoStyle style;
    bool failCreate = false, throwOnPlace = false;  // failure injection

private:
    void Destroy(bool closedByButton) {
        if (handle == 0) return;
        handle = 0;
        visible = false;
        m_events.OnPopupUnloaded(closedByButton);
    }
    PopupEvents& m_events;
};

constexpr WindowId kA = 11;
constexpr WindowId kB = 12;
constexpr char kFolderA[] = "C:\\Memo\\A\\";
constexpr char kFolderB[] = "C:\\Memo\\B\\";
constexpr char kPlain[] = "C:\\Plain\\";

// Window A on folder A and window B on folder B, each folder with its memo (anchored top
// left, 50 px margin, 200 x 100), and a plain folder, around one ViewerState and
// PopupCycle. The finder has no change watch here: every tick lists the folder.
struct Desktop {
    Desktop() {
        WriteMemo("C:\\Memo\\A\\a.epm", "メモA");
        WriteMemo("C:\\Memo\\B\\b.epm", "メモB");
        fs.Put("C:\\Plain\\readme.txt", "");
        AddFolderWindow(kA, kFolderA, {100, 100, 900, 700});
        AddFolderWindow(kB, kFolderB, {1000, 200, 1600, 800});
    }
    void AddFolderWindow(WindowId window, const std::string& folder, Rect frame) {
        shell.list.push_back(ShellWindowInfo{window, false, true, folder});
        windows.windows[window] = WindowPlacementInfo{ShowState::Normal, frame, {0, 0, 1920, 1080}};
    }
    void Navigate(WindowId window, const std::string& folder) {
        for (ShellWindowInfo& info : shell.list) {
            if (info.window == window) info.folderPath = folder;
        }
    }
    // Saves a memo with the default settings, as the editor would.
    void WriteMemo(const std::string& path, const std::string& text, std::int32_t fontStyle = 0) {
        MemoRecord memo;
        SetDefaultMemoValues(memo);
        memo.memoText = text;
        memo.fontStyle = fontStyle;
        ASSERT_TRUE(SaveMemo(fs, clock, kViewerMemoKey, path, memo).ok) << path;
    }
    MemoRecord& Memo() { return state.CurrentMemo(); }

    kanopa::testing::LogCapture logged;
    kanopa::testing::FixedClock clock;
    kanopa::testing::FakeFileSystem fs;
    FakeShellWindows shell;
    FakeWindowSystem windows;
    ViewerState state;
    FakePopup popup{state};
    MemoFileFinder finder{fs, nullptr};
    PopupCycle cycle{shell, windows, finder, fs, popup, state};
};

}  // namespace kanopa::viewer::testing
