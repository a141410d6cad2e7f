#include "viewer/popup_cycle.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "common/codec.h"
#include "viewer/tests/viewer_fakes.h"

namespace kanopa::viewer::testing {
namespace {

constexpr WindowId kC = 13;
constexpr WindowId kOtherProgram = 50;

using Entries = std::vector<ClosedMemoList::Entry>;

class PopupCycleTest : public ::testing::Test, protected Desktop {
protected:
    void TickWith(WindowId foreground) {
        windows.foreground = foreground;
        cycle.Tick();
    }
    std::string ShownText() { return popup.IsVisible() ? popup.style.text : "(no popup)"; }
    Rect PopupRect() { return Rect{popup.x, popup.y, popup.width, popup.height}; }
};

TEST_F(PopupCycleTest, OpensFollowsWithoutReadingAgainAndReopensForAnotherWindow) {
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(PopupRect(), (Rect{150, 150, 200, 100}));
    EXPECT_NE(Memo().popupWindow, 0);
    EXPECT_EQ(Memo().popupWindow, popup.handle);

    popup.width = 333;  // the user resized the popup by its border
    windows.windows[kA].frame = {400, 300, 1200, 900};
    TickWith(kA);
    EXPECT_EQ(PopupRect(), (Rect{450, 350, 333, 100}));
    EXPECT_FALSE(popup.lastResize);
    EXPECT_EQ(fs.reads, 1);

    TickWith(kB);
    EXPECT_EQ(ShownText(), "メモB");
    EXPECT_EQ(PopupRect(), (Rect{1050, 250, 200, 100}));
    EXPECT_EQ(fs.reads, 2);
    EXPECT_EQ(popup.creations, 1);  // the one popup window is reused
}

TEST_F(PopupCycleTest, AnotherWindowInFrontTakesThePopupAwayButThePopupItselfDoesNot) {
    TickWith(kA);
    TickWith(popup.handle);  // the user clicked the popup
    EXPECT_TRUE(popup.IsVisible());
    WriteMemo("C:\\Memo\\A\\a.epm", "書き直したメモ");
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");

    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    TickWith(kA);  // read again on the way back, so the edit shows
    EXPECT_EQ(ShownText(), "書き直したメモ");
    EXPECT_TRUE(state.ClosedMemos().Entries().empty());
}

TEST_F(PopupCycleTest, MinimisingTakesThePopupAwayUntilRestored) {
    TickWith(kA);
    windows.windows[kA].show = ShowState::Minimized;
    TickWith(kA);  // still the foreground window for a moment
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    TickWith(kOtherProgram);
    EXPECT_EQ(logged.log.entries,
              (std::vector<std::pair<std::string, std::string>>{{"最小化", ""}}));
    windows.windows[kA].show = ShowState::Normal;
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");
}

TEST_F(PopupCycleTest, ClosingTheFolderWindowTakesThePopupAndEveryClosedPairOfIt) {
    for (const auto& [window, folder] : Entries{{kA, "C:\\Z\\"}, {kB, kFolderB}, {kA, "C:\\Y\\"},
                                                {kC, "C:\\X\\"}, {kA, "C:\\W\\"}}) {
        state.ClosedMemos().Add(window, folder);
    }
    TickWith(kA);
    ASSERT_TRUE(popup.IsVisible());
    windows.windows.erase(kA);
    shell.list.erase(shell.list.begin());
    TickWith(0);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    EXPECT_EQ(state.ClosedMemos().Entries(), (Entries{{kB, kFolderB}, {kC, "C:\\X\\"}}));
}

TEST_F(PopupCycleTest, ClosedMemoStaysClosedOnlyForThatWindowAndFolder) {
    TickWith(kA);
    popup.ClickClosePicture();
    EXPECT_EQ(Memo().popupWindow, 0);
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
    EXPECT_EQ(fs.reads, 1);

    AddFolderWindow(kC, kFolderA, {0, 0, 640, 480});
    TickWith(kC);  // the same folder in another window
    EXPECT_EQ(ShownText(), "メモA");
    TickWith(kA);  // C's popup must not hang over A, whose memo is closed
    EXPECT_FALSE(popup.Exists());
    Navigate(kA, kFolderB);  // another folder in the same window
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモB");
}

TEST_F(PopupCycleTest, OneWindowGoingFromFolderToFolderKeepsTheFirstMemoUntilNoMemo) {
    TickWith(kA);
    Navigate(kA, kFolderB);
    windows.windows[kA].frame = {200, 200, 1000, 800};
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(popup.x, 250);
    EXPECT_EQ(fs.reads, 1);

    Navigate(kA, kPlain);
    TickWith(kA);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
}

TEST_F(PopupCycleTest, DraggedPopupFollowsAtItsNewPlaceUntilOpenedAgain) {
    TickWith(kA);
    state.OnPopupDragged(400, 450);
    windows.windows[kA].frame = {200, 150, 1000, 750};
    TickWith(kA);
    EXPECT_EQ(popup.x, 500);
    EXPECT_EQ(popup.y, 500);
    Memo().folderLeft = std::numeric_limits<std::int32_t>::min();
    state.OnPopupDragged(std::numeric_limits<std::int32_t>::max(), 0);
    EXPECT_EQ(Memo().memoLeft, 300);  // no offset a record could hold

    TickWith(kOtherProgram);
    TickWith(kA);  // the file's anchored layout applies again
    EXPECT_EQ(popup.x, 250);
    EXPECT_EQ(popup.y, 200);
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
    EXPECT_EQ(PopupRect(), (Rect{150, 150, 200, 100}));

    // Damaged at fontSize: the fields before it load, the rest (the text too) stay.
    MemoRecord memo;
    SetDefaultMemoValues(memo);
    memo.memoWidth = 320;
    std::string text = SerializeMemoRecord(memo);
    std::size_t comma = 0;
    for (int field = 0; field < 14; ++field) comma = text.find(',', comma) + 1;
    text.insert(comma, "x");
    fs.Put("C:\\Memo\\A\\a.epm", EncodeForFile(kViewerMemoKey, text));
    TickWith(kB);
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモB");
    EXPECT_EQ(popup.width, 320);
}

TEST_F(PopupCycleTest, FailingStepsAreSkippedAndTheNextTickStartsAfresh) {
    popup.failCreate = true;
    TickWith(kA);
    EXPECT_EQ(Memo().popupWindow, 0);
    popup.failCreate = false;
    popup.throwOnPlace = true;
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");  // shown even though placing it threw
    popup.throwOnPlace = false;
    shell.fail = true;
    windows.throwOnPlacement = true;  // the minimised check fails; the rest still runs
    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());
}

}  // namespace
}  // namespace kanopa::viewer::testing
