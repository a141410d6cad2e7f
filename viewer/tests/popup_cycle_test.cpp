// The once-a-second pass and the search for the folder window in front that it runs on,
// over stand-ins for the desktop (shell windows, window system, the popup window) and the
// core's in-memory file system. Window handles are plain numbers.
#include "viewer/popup_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <utility>
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
        ++enumerations;
        if (duringEnumerate) std::exchange(duringEnumerate, nullptr)();
        if (failShell) return Status::Fail("0x80004005");
        windows = shell;
        return Status::Ok();
    }
    WindowId Foreground() override { return foreground; }
    bool Exists(WindowId window) override { return placements.count(window) != 0; }
    std::optional<WindowPlacementInfo> Placement(WindowId window) override {
        const auto found = placements.find(window);
        if (failPlacement || found == placements.end()) return std::nullopt;
        return found->second;
    }
    std::vector<ShellWindowInfo> shell;
    std::map<WindowId, WindowPlacementInfo> placements;
    WindowId foreground = 0;
    int enumerations = 0;
    std::function<void()> duringEnumerate;  // run once, as a modal loop inside the call would
    bool failShell = false, failPlacement = false;
};

// Where the popup is and how large, and how it got there.
struct Shown {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    bool topmostAsserted = false;  // the last placement lifted it above the topmost windows
    bool operator==(const Shown&) const = default;
};

// The popup window as the user would see it; its unloads report back as the real
// window's do. Each new window gets a new handle.
class FakePopup final : public MemoPopup {
public:
    explicit FakePopup(PopupEvents& events) : m_events(events) {}
    bool Exists() override { return handle != 0; }
    bool IsVisible() override { return handle != 0 && visible; }
    WindowId Handle() override { return handle; }
    bool InMoveSizeLoop() override { return userMovingOrSizing; }
    Status HideOrCreate() override {
        if (handle == 0) handle = 9000 + ++creations;
        return Visible(false);
    }
    Status PlaceTopmost(Point at, std::int32_t width, std::int32_t height) override {
        if (failPlace || handle == 0) return Status::Fail("SetWindowPos failed");
        ++placements;
        shown = {at.x, at.y, width, height, true};
        return Visible(true);
    }
    Status MoveTo(Point at) override {
        if (failPlace || handle == 0) return Status::Fail("SetWindowPos failed");
        ++placements;
        shown = {at.x, at.y, shown.width, shown.height, false};
        return Visible(true);
    }
    Status ApplyStyle(const MemoStyle& newStyle) override {
        style = newStyle;
        return Status::Ok();
    }
    MemoStyle Style() override { return style; }
    Status Show() override { return Visible(true); }
    void Unload() override { Destroy(false); }
    void ClickClosePicture() { Destroy(true); }

    WindowId handle = 0;
    int creations = 0;
    int placements = 0;
    Shown shown;
    bool visible = false, failPlace = false, userMovingOrSizing = false;
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
        windows.shell.push_back(ShellWindowInfo{window, false, TabState::Active, folder});
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
    FoundMemo& Found() { return state.Found(); }

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

// Only opening lifts the popup above the topmost windows; following keeps its z-order.
TEST_F(PopupCycleTest, OpensOnTopFollowsWithoutLiftingOrReadingAgainReopensElsewhereUntilNoMemo) {
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(popup.shown, (Shown{150, 150, 200, 100, true}));
    EXPECT_EQ(Found().folderWindow, kA);

    popup.shown.width = 333;  // the user resized the popup by its border
    windows.placements[kA].frame = {400, 300, 1200, 900};
    TickWith(kA);
    EXPECT_EQ(popup.shown, (Shown{450, 350, 333, 100, false}));
    EXPECT_EQ(fs.reads, 1);

    TickWith(kB);
    EXPECT_EQ(ShownText(), "メモB");
    EXPECT_EQ(popup.shown, (Shown{1050, 250, 200, 100, true}));
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

TEST_F(PopupCycleTest, FollowMovesThePopupAloneKeepingItsZOrderAndNothingMovesItWhileDragged) {
    cycle.Follow();  // no popup yet: nothing to follow
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(windows.enumerations, 0);
    TickWith(kA);
    const int enumerations = windows.enumerations, reads = fs.reads, listings = fs.listings;

    windows.placements[kA].frame = {400, 300, 1200, 900};
    cycle.Follow();
    EXPECT_EQ(popup.shown, (Shown{450, 350, 200, 100, false}));
    windows.placements[kA].show = ShowState::Maximized;  // the monitor's corner
    cycle.Follow();
    EXPECT_EQ(popup.shown, (Shown{50, 50, 200, 100, false}));
    windows.placements[kA].show = ShowState::Other;      // keeps the last place
    cycle.Follow();
    EXPECT_EQ(popup.shown, (Shown{50, 50, 200, 100, false}));
    EXPECT_EQ(windows.enumerations, enumerations);
    EXPECT_EQ(fs.reads, reads);
    EXPECT_EQ(fs.listings, listings);

    // While the user drags or sizes the popup itself, nothing moves it or takes it away.
    const int placed = popup.placements;
    popup.userMovingOrSizing = true;
    windows.placements[kA] = {ShowState::Normal, {300, 300, 1100, 900}, {0, 0, 1920, 1080}};
    cycle.Follow();
    TickWith(kA);
    TickWith(kOtherProgram);
    EXPECT_EQ(popup.placements, placed);
    EXPECT_EQ(ShownText(), "メモA");
    popup.userMovingOrSizing = false;
    TickWith(kA);
    EXPECT_EQ(popup.shown, (Shown{350, 350, 200, 100, false}));
}

TEST_F(PopupCycleTest, FollowHandsAnythingButAMoveToAWholePass) {
    TickWith(kA);
    windows.placements[kA].show = ShowState::Minimized;
    cycle.Follow();
    EXPECT_FALSE(popup.Exists());

    windows.placements[kA].show = ShowState::Normal;
    TickWith(kA);
    windows.foreground = kOtherProgram;  // its move brought nothing new, but it left the front
    cycle.Follow();
    EXPECT_FALSE(popup.Exists());

    TickWith(kA);
    windows.placements.erase(kA);  // closed
    windows.shell.clear();
    cycle.Follow();
    EXPECT_FALSE(popup.Exists());
}

TEST_F(PopupCycleTest, APassAskedForInsideAPassWaitsForTheNextTick) {
    windows.duringEnumerate = [&] {
        cycle.Tick();
        cycle.Follow();
    };
    TickWith(kA);
    EXPECT_EQ(windows.enumerations, 1);
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(popup.placements, 1);
    TickWith(kA);  // and the flag is down again
    EXPECT_EQ(windows.enumerations, 2);
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
    EXPECT_EQ(popup.shown, (Shown{500, 500, 200, 100, false}));
    Found().folderRect.left = std::numeric_limits<std::int32_t>::min();
    state.OnPopupDragged(std::numeric_limits<std::int32_t>::max(), 0);
    EXPECT_EQ(state.Memo().memoLeft, 300);  // no offset a record could hold

    TickWith(kOtherProgram);
    TickWith(kA);  // the file's anchored layout applies again
    EXPECT_EQ(popup.shown, (Shown{250, 200, 200, 100, true}));
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

// Whatever it shows would be the last memo's text over the wrong folder.
TEST_F(PopupCycleTest, MemoNotReadWholeShowsNoPopupUntilItIs) {
    MemoRecord memo;
    SetDefaultMemoValues(memo);
    memo.memoText = "メモA";
    const std::string whole = EncodeForFile(MemoKey(), SerializeMemoRecord(memo));
    std::string text = SerializeMemoRecord(memo);
    std::size_t comma = 0;
    for (int field = 0; field < 14; ++field) comma = text.find(',', comma) + 1;
    const std::string damagedAtFontSize = EncodeForFile(MemoKey(), text.insert(comma, "x"));
    for (const std::string& bytes : {std::string(), std::string("garbage"),
                                     whole.substr(0, whole.size() - 1), damagedAtFontSize}) {
        fs.Put("C:\\Memo\\A\\a.epm", bytes);
        TickWith(kB);
        TickWith(kA);
        EXPECT_EQ(ShownText(), "(no popup)") << bytes.size();
    }
    fs.Put("C:\\Memo\\A\\a.epm", whole);  // written to its end now
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");
}

TEST_F(PopupCycleTest, FailingStepsAreSkippedAndEachIsLoggedWhenItBeginsNotWhileItLasts) {
    using Lines = std::vector<std::pair<std::string, std::string>>;
    windows.failShell = true;
    for (int tick = 0; tick < 3; ++tick) TickWith(kA);
    EXPECT_EQ(logged.log.entries, (Lines{{"GetMemoWindow()", "0x80004005"}}));

    windows.failShell = false;
    popup.failPlace = true;  // opening and following it fail: two more kinds
    for (int tick = 0; tick < 3; ++tick) TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");  // shown even though placing it failed
    windows.failShell = true;        // failing anew after it worked
    TickWith(kA);
    EXPECT_EQ(logged.log.entries, (Lines{{"GetMemoWindow()", "0x80004005"},
                                         {"PlaceMemoWindow()", "SetWindowPos failed"},
                                         {"PlaceMemoWindow()", "SetWindowPos failed"},
                                         {"GetMemoWindow()", "0x80004005"}}));
    windows.failPlacement = true;  // the minimised check fails too, the last step runs
    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());
}

// Window A in front, a background tab of it on the plain folder, and what an earlier memo
// left in the record, to see what is and is not written.
struct FrontDesktop : Desktop {
    FrontDesktop() {
        windows.foreground = kA;
        windows.shell.push_back(ShellWindowInfo{kA, false, TabState::Background, kPlain});
        fs.Put("stray.epm", "");  // found if a folder-less window's "" were listed
        Found().folderWindow = 77;
        Found().folderPath = "C:\\Before\\";
    }
    bool Run() {
        bool found = false;
        status = GetMemoWindow(windows, windows, finder, Found(), found);
        return found;
    }
    Status status;
};

TEST(GetMemoWindowTest, NamesTheFolderWindowInFrontWithItsRectangleByShowState) {
    FrontDesktop d;
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(d.Found(), (FoundMemo{kA, kFolderA, "a.epm", {100, 100, 900, 700}}));

    d.windows.placements[kA] = {ShowState::Maximized, {}, {1920, 0, 3840, 1200}};
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(d.Found().folderRect, (Rect{1920, 0, 3840, 1200}));
    d.windows.placements[kA] = {ShowState::Other, {1, 2, 3, 4}, {0, 0, 800, 600}};
    EXPECT_TRUE(d.Run());  // keeps the last rectangle
    EXPECT_EQ(d.Found().folderRect, (Rect{1920, 0, 3840, 1200}));
}

TEST(GetMemoWindowTest, WithoutAMemoInFrontChangesNothingOrForgetsTheFolderWindow) {
    const struct {
        const char* name;
        void (*arrange)(FrontDesktop&);
        bool forgets;
        bool fails = false;  // the search reports an error
    } cases[] = {
        {"another program", [](FrontDesktop& d) { d.windows.foreground = kOtherProgram; }, false},
        {"no foreground", [](FrontDesktop& d) { d.windows.foreground = 0; }, false},
        {"minimised",
         [](FrontDesktop& d) { d.windows.placements[kA].show = ShowState::Minimized; }, false},
        {"web page", [](FrontDesktop& d) { d.windows.shell[0].isWebPage = true; }, false},
        {"shell fails", [](FrontDesktop& d) { d.windows.failShell = true; }, false, true},
        {"listing fails", [](FrontDesktop& d) { d.fs.failList = true; }, false, true},
        {"window gone meanwhile", [](FrontDesktop& d) { d.windows.placements.clear(); }, false,
         true},
        {"folder without memo", [](FrontDesktop& d) { d.Navigate(kA, kPlain); }, true},
        {"no file-system folder", [](FrontDesktop& d) { d.Navigate(kA, ""); }, true},
        {"memo in a background tab", [](FrontDesktop& d) {
             d.windows.shell[0].tab = TabState::Background;
             d.windows.shell[2].tab = TabState::Active;
         }, true},
        // A tab whose view cannot be read is never taken for the active one...
        {"memo in an unreadable tab", [](FrontDesktop& d) {
             d.windows.shell[0].tab = TabState::Unknown;
             d.windows.shell[2].tab = TabState::Active;
         }, true},
        // ...and a window none of whose tabs can be read shows no memo.
        {"no tab readable", [](FrontDesktop& d) {
             d.windows.shell[0].tab = d.windows.shell[2].tab = TabState::Unknown;
         }, true},
        {"active tab minimised beside an unreadable one", [](FrontDesktop& d) {
             d.windows.shell[2].tab = TabState::Unknown;
             d.windows.placements[kA].show = ShowState::Minimized;
         }, false},
    };
    for (const auto& c : cases) {
        FrontDesktop d;
        c.arrange(d);
        FoundMemo expected = d.Found();
        if (c.forgets) {
            expected.folderWindow = 0;
            expected.folderPath = "";
        }
        EXPECT_FALSE(d.Run()) << c.name;
        EXPECT_EQ(d.status.ok, !c.fails) << c.name;
        EXPECT_EQ(d.Found(), expected) << c.name;
    }
}

// Change watches that never fire, counted while they are open (each would hold its
// folder open on Windows).
struct CountingWatcher final : FolderChangeWatcher {
    struct OpenWatch final : FolderChangeWatch {
        explicit OpenWatch(CountingWatcher& counter) : watcher(counter) {
            watcher.most = std::max(watcher.most, ++watcher.open);
        }
        ~OpenWatch() override { --watcher.open; }
        bool Changed() override { return false; }
        CountingWatcher& watcher;
    };
    std::unique_ptr<FolderChangeWatch> Watch(const std::string&) override {
        return std::make_unique<OpenWatch>(*this);
    }
    int open = 0, most = 0;
};

TEST(GetMemoWindowTest, HoldsAFolderWatchOnlyWhileAWindowOnThatFolderIsInFront) {
    FrontDesktop desktop;
    CountingWatcher watcher;
    MemoFileFinder finder{desktop.fs, &watcher};
    const int listedBefore = desktop.fs.listings;
    // One after another, each on what the one before left.
    const struct {
        const char* name;
        void (*arrange)(FrontDesktop&);
        int watches;
    } steps[] = {
        {"memo folder in front", [](FrontDesktop&) {}, 1},
        {"the same again", [](FrontDesktop&) {}, 1},
        {"a folder without memo", [](FrontDesktop& d) { d.Navigate(kA, kPlain); }, 1},
        {"no file-system folder", [](FrontDesktop& d) { d.Navigate(kA, ""); }, 0},
        {"back to the memo folder", [](FrontDesktop& d) { d.Navigate(kA, kFolderA); }, 1},
        {"another program", [](FrontDesktop& d) { d.windows.foreground = kOtherProgram; }, 0},
        {"the other folder window", [](FrontDesktop& d) { d.windows.foreground = kB; }, 1},
        {"which is minimised",
         [](FrontDesktop& d) { d.windows.placements[kB].show = ShowState::Minimized; }, 0},
        {"the first one again", [](FrontDesktop& d) { d.windows.foreground = kA; }, 1},
        {"showing a web page", [](FrontDesktop& d) { d.windows.shell[0].isWebPage = true; }, 0},
        {"a folder again", [](FrontDesktop& d) { d.windows.shell[0].isWebPage = false; }, 1},
        {"shell fails", [](FrontDesktop& d) { d.windows.failShell = true; }, 0},
        {"shell works", [](FrontDesktop& d) { d.windows.failShell = false; }, 1},
        {"window closed", [](FrontDesktop& d) {
             d.windows.shell.erase(d.windows.shell.begin());
             d.windows.placements.erase(kA);
             d.windows.foreground = 0;
         }, 0},
    };
    for (const auto& step : steps) {
        step.arrange(desktop);
        bool found = false;
        (void)GetMemoWindow(desktop.windows, desktop.windows, finder, desktop.Found(), found);
        EXPECT_EQ(watcher.open, step.watches) << step.name;
    }
    EXPECT_EQ(watcher.most, 1);
    EXPECT_EQ(desktop.fs.listings - listedBefore, 7);  // the same folder twice in a row: once
}

}  // namespace
}  // namespace kanopa::viewer::testing
