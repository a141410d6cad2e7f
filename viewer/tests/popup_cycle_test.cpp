// The once-a-second pass and the search for the folder window in front that it runs on,
// over stand-ins for the desktop (shell windows, window system, the popup window) and the
// core's in-memory file system. Window handles are plain numbers.
#include "viewer/popup_cycle.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/codec.h"
#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/tests/fakes.h"
#include "viewer/memo_layout.h"
#include "viewer/memo_window.h"

namespace kanopa::viewer::testing {
namespace {

// The shell's window list and the window system over the same numbered windows.
class FakeWindows final : public ShellWindowSource, public WindowSystem {
public:
    Status Enumerate(std::vector<ShellWindowInfo>& windows) override {
        if (failShell) return Status::Fail("0x80004005");
        windows = shell;
        return Status::Ok();
    }
    WindowId Foreground() override { return foreground; }
    bool Exists(WindowId window) override { return placements.count(window) != 0; }
    std::optional<WindowPlacementInfo> Placement(WindowId window) override {
        if (throwOnPlacement) throw std::runtime_error("GetWindowPlacement");
        const auto found = placements.find(window);
        return found == placements.end() ? std::nullopt : std::optional(found->second);
    }
    std::vector<ShellWindowInfo> shell;
    std::map<WindowId, WindowPlacementInfo> placements;
    WindowId foreground = 0;
    bool failShell = false, throwOnPlacement = false;
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
        if (handle == 0) handle = 9000 + ++creations;
        return Visible(false);
    }
    Status Place(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 bool resize) override {
        if (throwOnPlace) throw std::runtime_error("SetWindowPos");
        shown = {x, y, resize ? width : shown.width, resize ? height : shown.height, resize};
        return Visible(true);
    }
    Status ApplyStyle(const MemoStyle& newStyle) override {
        style = newStyle;
        return Status::Ok();
    }
    Status Show() override { return Visible(true); }
    void Unload() override { Destroy(false); }
    void ClickClosePicture() { Destroy(true); }

    WindowId handle = 0;
    int creations = 0;
    PopupPlacement shown;  // where it is and how large
    bool visible = false, throwOnPlace = false;
    MemoStyle style;

private:
    Status Visible(bool now) {
        visible = now;
        return Status::Ok();
    }
    void Destroy(bool closedByButton) {
        if (handle == 0) return;
        handle = 0;
        m_events.OnPopupUnloaded(closedByButton);
    }
    PopupEvents& m_events;
};

constexpr WindowId kA = 11, kB = 12, kC = 13, kOtherProgram = 50;
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
        windows.shell.push_back(ShellWindowInfo{window, false, true, folder});
        windows.placements[window] = {ShowState::Normal, frame, {0, 0, 1920, 1080}};
    }
    void Navigate(WindowId window, const std::string& folder) {
        for (ShellWindowInfo& info : windows.shell)
            if (info.window == window) info.folderPath = folder;
    }
    // Saves a memo with the default settings, as the editor would.
    void WriteMemo(const std::string& path, const std::string& text, std::int32_t fontStyle = 0) {
        MemoRecord memo;
        SetDefaultMemoValues(memo);
        memo.memoText = text;
        memo.fontStyle = fontStyle;
        ASSERT_TRUE(SaveMemo(fs, clock, MemoKey(), path, memo).ok) << path;
    }
    MemoRecord& Memo() { return state.CurrentMemo(); }

    kanopa::testing::LogCapture logged;
    kanopa::testing::FixedClock clock;
    kanopa::testing::FakeFileSystem fs;
    FakeWindows windows;
    ViewerState state;
    FakePopup popup{state};
    MemoFileFinder finder{fs, nullptr};
    PopupCycle cycle{windows, windows, finder, fs, popup, state};
};

using Entries = std::vector<ClosedMemoList::Entry>;

class PopupCycleTest : public ::testing::Test, protected Desktop {
protected:
    void TickWith(WindowId foreground) {
        windows.foreground = foreground;
        cycle.Tick();
    }
    std::string ShownText() { return popup.IsVisible() ? popup.style.text : "(no popup)"; }
};

TEST_F(PopupCycleTest, OpensFollowsWithoutReadingAgainReopensForAnotherWindowUntilNoMemo) {
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(popup.shown, (PopupPlacement{150, 150, 200, 100, true}));
    EXPECT_EQ(Memo().popupWindow, popup.handle);

    popup.shown.width = 333;  // the user resized the popup by its border
    windows.placements[kA].frame = {400, 300, 1200, 900};
    TickWith(kA);
    EXPECT_EQ(popup.shown, (PopupPlacement{450, 350, 333, 100, false}));
    EXPECT_EQ(fs.reads, 1);

    TickWith(kB);
    EXPECT_EQ(ShownText(), "メモB");
    EXPECT_EQ(popup.shown, (PopupPlacement{1050, 250, 200, 100, true}));
    EXPECT_EQ(popup.creations, 1);  // the one popup window is reused

    Navigate(kB, kFolderA);  // one window from memo folder to memo folder keeps its memo
    windows.placements[kB].frame = {900, 200, 1500, 800};
    TickWith(kB);
    EXPECT_EQ(ShownText(), "メモB");
    EXPECT_EQ(popup.shown.x, 950);
    EXPECT_EQ(fs.reads, 2);
    Navigate(kB, kPlain);
    TickWith(kB);
    EXPECT_FALSE(popup.Exists());
}

TEST_F(PopupCycleTest, GoesWhenAnotherWindowIsInFrontOrItsWindowIsMinimisedOrClosed) {
    TickWith(kA);
    TickWith(popup.handle);  // the user clicked the popup: it stays
    WriteMemo("C:\\Memo\\A\\a.epm", "書き直したメモ");
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");
    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());
    TickWith(kA);  // read again on the way back, so the edit shows
    EXPECT_EQ(ShownText(), "書き直したメモ");

    windows.placements[kA].show = ShowState::Minimized;
    TickWith(kA);  // still the foreground window for a moment
    TickWith(kA);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(logged.log.entries, (std::vector<std::pair<std::string, std::string>>{{"最小化", ""}}));
    EXPECT_TRUE(state.ClosedMemos().Entries().empty());
    windows.placements[kA].show = ShowState::Normal;

    for (const auto& [window, folder] : Entries{{kA, "C:\\Z\\"}, {kB, kFolderB}, {kA, "C:\\Y\\"}})
        state.ClosedMemos().Add(window, folder);
    TickWith(kA);
    ASSERT_TRUE(popup.IsVisible());
    windows.placements.erase(kA);
    windows.shell.erase(windows.shell.begin());
    TickWith(0);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    EXPECT_EQ(state.ClosedMemos().Entries(), (Entries{{kB, kFolderB}}));
}

TEST_F(PopupCycleTest, ClosedMemoStaysClosedOnlyForThatWindowAndFolder) {
    TickWith(kA);
    popup.ClickClosePicture();
    EXPECT_EQ(state.ClosedMemos().Entries(), (Entries{{kA, kFolderA}}));
    EXPECT_FALSE(state.ClosedMemos().IsClosedMemo(kA, "c:\\memo\\a\\"));  // exact text
    EXPECT_TRUE(logged.log.Has("メモ閉じるボタン押下"));

    TickWith(kOtherProgram);  // away and back
    TickWith(kA);
    Navigate(kA, kPlain);  // another folder and back
    TickWith(kA);
    Navigate(kA, kFolderA);
    TickWith(kA);
    EXPECT_FALSE(popup.Exists());

    AddFolderWindow(kC, kFolderA, {0, 0, 640, 480});
    TickWith(kC);  // the same folder in another window
    EXPECT_EQ(ShownText(), "メモA");
    TickWith(kA);  // C's popup must not hang over A, whose memo is closed
    EXPECT_FALSE(popup.Exists());
    Navigate(kA, kFolderB);  // another folder in the same window
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモB");
}

TEST_F(PopupCycleTest, DraggedPopupFollowsAtItsNewPlaceUntilOpenedAgain) {
    TickWith(kA);
    state.OnPopupDragged(400, 450);
    windows.placements[kA].frame = {200, 150, 1000, 750};
    TickWith(kA);
    EXPECT_EQ(popup.shown, (PopupPlacement{500, 500, 200, 100, false}));
    Memo().folderLeft = std::numeric_limits<std::int32_t>::min();
    state.OnPopupDragged(std::numeric_limits<std::int32_t>::max(), 0);
    EXPECT_EQ(Memo().memoLeft, 300);  // no offset a record could hold

    TickWith(kOtherProgram);
    TickWith(kA);  // the file's anchored layout applies again
    EXPECT_EQ(popup.shown, (PopupPlacement{250, 200, 200, 100, true}));
}

TEST_F(PopupCycleTest, UnknownFontStyleKeepsTheWindowsBoldButANewWindowStartsPlain) {
    WriteMemo("C:\\Memo\\A\\a.epm", "太字", 2);
    WriteMemo("C:\\Memo\\B\\b.epm", "不明", 7);
    TickWith(kA);
    TickWith(kB);  // the same window, dressed again
    EXPECT_TRUE(popup.style.bold);
    TickWith(kOtherProgram);
    TickWith(kB);
    EXPECT_FALSE(popup.style.bold);
}

TEST_F(PopupCycleTest, DamagedMemoShowsWithThePreviousFields) {
    fs.Put("C:\\Memo\\A\\a.epm", "garbage");
    TickWith(kA);  // the first memo: the default look
    EXPECT_EQ(ShownText(), "");
    EXPECT_EQ(popup.shown, (PopupPlacement{150, 150, 200, 100, true}));

    // Damaged at fontSize: the fields before it load, the rest (the text too) stay.
    MemoRecord memo;
    SetDefaultMemoValues(memo);
    memo.memoWidth = 320;
    std::string text = SerializeMemoRecord(memo);
    std::size_t comma = 0;
    for (int field = 0; field < 14; ++field) comma = text.find(',', comma) + 1;
    fs.Put("C:\\Memo\\A\\a.epm", EncodeForFile(MemoKey(), text.insert(comma, "x")));
    TickWith(kB);
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモB");
    EXPECT_EQ(popup.shown.width, 320);
}

TEST_F(PopupCycleTest, FailingStepsAreSkippedAndTheRestOfThePassRuns) {
    popup.throwOnPlace = true;
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");  // shown even though placing it threw
    windows.failShell = windows.throwOnPlacement = true;  // the minimised check fails too
    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());
}

// Window A in front, a background tab of it on the plain folder, and what an earlier memo
// left in the record, to see what is and is not written.
struct FrontDesktop : Desktop {
    FrontDesktop() {
        windows.foreground = kA;
        windows.shell.push_back(ShellWindowInfo{kA, false, false, kPlain});
        fs.Put("stray.epm", "");  // found if a folder-less window's "" were listed
        Memo().folderWindow = 77;
        Memo().folderPath = "C:\\Before\\";
        Memo().popupWindow = 9001;
    }
    bool Run() { return GetMemoWindow(windows, windows, finder, Memo()); }
    Rect FolderRect() {
        return Rect{Memo().folderLeft, Memo().folderTop, Memo().folderRight, Memo().folderBottom};
    }
};

TEST(GetMemoWindowTest, NamesTheFolderWindowInFrontWithItsRectangleByShowState) {
    FrontDesktop d;
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(d.Memo().folderWindow, kA);
    EXPECT_EQ(d.Memo().folderPath, kFolderA);
    EXPECT_EQ(d.Memo().memoFileName, "a.epm");
    EXPECT_EQ(d.FolderRect(), (Rect{100, 100, 900, 700}));
    EXPECT_EQ(d.Memo().popupWindow, 9001);

    d.windows.placements[kA] = {ShowState::Maximized, {}, {1920, 0, 3840, 1200}};
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(d.FolderRect(), (Rect{1920, 0, 3840, 1200}));
    d.windows.placements[kA] = {ShowState::Other, {1, 2, 3, 4}, {0, 0, 800, 600}};
    EXPECT_TRUE(d.Run());  // keeps the last rectangle
    EXPECT_EQ(d.FolderRect(), (Rect{1920, 0, 3840, 1200}));
}

TEST(GetMemoWindowTest, WithoutAMemoInFrontChangesNothingOrForgetsTheFolderWindow) {
    const struct {
        const char* name;
        void (*arrange)(FrontDesktop&);
        bool forgets;
    } cases[] = {
        {"another program", [](FrontDesktop& d) { d.windows.foreground = kOtherProgram; }, false},
        {"no foreground", [](FrontDesktop& d) { d.windows.foreground = 0; }, false},
        {"minimised",
         [](FrontDesktop& d) { d.windows.placements[kA].show = ShowState::Minimized; }, false},
        {"web page", [](FrontDesktop& d) { d.windows.shell[0].isWebPage = true; }, false},
        {"shell fails", [](FrontDesktop& d) { d.windows.failShell = true; }, false},
        {"listing fails", [](FrontDesktop& d) { d.fs.failList = true; }, false},
        {"window gone meanwhile", [](FrontDesktop& d) { d.windows.placements.clear(); }, false},
        {"folder without memo", [](FrontDesktop& d) { d.Navigate(kA, kPlain); }, true},
        {"no file-system folder", [](FrontDesktop& d) { d.Navigate(kA, ""); }, true},
        {"memo in a background tab", [](FrontDesktop& d) {
             d.windows.shell[0].isActiveTab = false;
             d.windows.shell[2].isActiveTab = true;
         }, true},
    };
    for (const auto& c : cases) {
        FrontDesktop d;
        c.arrange(d);
        MemoRecord expected = d.Memo();
        if (c.forgets) {
            expected.folderWindow = expected.popupWindow = 0;
            expected.folderPath = "";
        }
        EXPECT_FALSE(d.Run()) << c.name;
        EXPECT_EQ(d.Memo(), expected) << c.name;
    }
}

}  // namespace
}  // namespace kanopa::viewer::testing
