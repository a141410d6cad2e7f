#include "viewer/popup_cycle.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/codec.h"
#include "viewer/tests/viewer_world.h"

namespace kanopa::viewer::testing {
namespace {

constexpr WindowId kA = 11;
constexpr WindowId kB = 12;
constexpr WindowId kC = 13;
constexpr WindowId kOtherProgram = 50;
constexpr char kFolderA[] = "C:\\Memo\\A\\";
constexpr char kFolderB[] = "C:\\Memo\\B\\";
constexpr char kPlain[] = "C:\\Plain\\";

// Window A on folder A and window B on folder B, each folder with its memo (anchored
// top left, 50 px margin, 200 x 100); a plain folder without memo.
class PopupCycleTest : public ViewerWorld {
protected:
    PopupCycleTest() {
        WriteMemo("C:\\Memo\\A\\a.epm", "メモA");
        WriteMemo("C:\\Memo\\B\\b.epm", "メモB");
        fs.Put("C:\\Plain\\readme.txt", "");
        AddFolderWindow(kA, kFolderA, {100, 100, 900, 700});
        AddFolderWindow(kB, kFolderB, {1000, 200, 1600, 800});
        fs.reads = 0;
    }

    bool Shown() { return popup.IsVisible(); }
    std::string ShownText() { return Shown() ? popup.shownStyle.text : "(no popup)"; }
    void TickWith(WindowId foreground) {
        Front(foreground);
        cycle.Tick();
    }
};

// --- opening -----------------------------------------------------------------------

TEST_F(PopupCycleTest, OpensOnFirstTickOverFolderWindow) {
    TickWith(kA);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(popup.x, 150);
    EXPECT_EQ(popup.y, 150);
    EXPECT_EQ(popup.width, 200);
    EXPECT_EQ(popup.height, 100);
    ASSERT_EQ(popup.places.size(), 1u);
    EXPECT_TRUE(popup.places[0].resize);
    EXPECT_EQ(Memo().popupWindow, popup.Handle());
    EXPECT_NE(Memo().popupWindow, 0);
    EXPECT_EQ(state.LastWindow(), kA);
    EXPECT_EQ(fs.reads, 1);
}

TEST_F(PopupCycleTest, UnknownFontStyleKeepsWhatTheWindowHad) {
    WriteMemo("C:\\Memo\\A\\a.epm", "太字", [](MemoRecord& memo) { memo.fontStyle = 2; });
    WriteMemo("C:\\Memo\\B\\b.epm", "不明", [](MemoRecord& memo) { memo.fontStyle = 7; });
    TickWith(kA);
    EXPECT_TRUE(popup.shownStyle.bold);
    TickWith(kB);  // same window, re-dressed: bold stays
    EXPECT_EQ(ShownText(), "不明");
    EXPECT_TRUE(popup.shownStyle.bold);
    TickWith(kOtherProgram);
    TickWith(kB);  // a new window starts plain
    EXPECT_EQ(popup.creations, 2);
    EXPECT_FALSE(popup.shownStyle.bold);
    EXPECT_FALSE(popup.shownStyle.italic);
}

// --- following ---------------------------------------------------------------------

TEST_F(PopupCycleTest, FollowsMovedWindowWithoutReadingFileAgain) {
    TickWith(kA);
    popup.width = 333;  // the user resized the popup by its border
    popup.height = 222;
    Move(kA, {400, 300, 1200, 900});
    TickWith(kA);
    TickWith(kA);
    EXPECT_EQ(fs.reads, 1);
    ASSERT_EQ(popup.places.size(), 3u);
    EXPECT_FALSE(popup.places[2].resize);
    EXPECT_EQ(popup.x, 450);
    EXPECT_EQ(popup.y, 350);
    EXPECT_EQ(popup.width, 333);
    EXPECT_EQ(popup.height, 222);
    EXPECT_EQ(popup.creations, 1);
}

TEST_F(PopupCycleTest, EditSavedMeanwhileShowsWhenOpenedAgain) {
    TickWith(kA);
    WriteMemo("C:\\Memo\\A\\a.epm", "書き直したメモ");
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");  // following never re-reads
    TickWith(kOtherProgram);
    EXPECT_FALSE(Shown());
    TickWith(kA);
    EXPECT_EQ(ShownText(), "書き直したメモ");
    EXPECT_EQ(fs.reads, 2);
}

TEST_F(PopupCycleTest, DraggedPopupKeepsFollowingAtItsNewPlaceUntilReopened) {
    TickWith(kA);
    Front(popup.Handle());  // the user grabs the popup
    popup.DragTo(400, 450);
    cycle.Tick();
    EXPECT_TRUE(Shown());
    TickWith(kA);
    EXPECT_EQ(popup.x, 400);
    EXPECT_EQ(popup.y, 450);
    Move(kA, {200, 150, 1000, 750});
    TickWith(kA);
    EXPECT_EQ(popup.x, 500);
    EXPECT_EQ(popup.y, 500);
    EXPECT_EQ(fs.reads, 1);

    TickWith(kOtherProgram);
    TickWith(kA);  // opened again: the file's anchored layout applies once more
    EXPECT_EQ(popup.x, 250);
    EXPECT_EQ(popup.y, 200);
}

// --- another window ----------------------------------------------------------------

TEST_F(PopupCycleTest, ReopensForWhicheverFolderWindowIsInFront) {
    TickWith(kA);
    TickWith(kB);
    EXPECT_EQ(ShownText(), "メモB");
    EXPECT_EQ(popup.x, 1050);
    EXPECT_EQ(popup.y, 250);
    EXPECT_TRUE(popup.places.back().resize);
    EXPECT_EQ(state.LastWindow(), kB);
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(popup.x, 150);
    EXPECT_EQ(fs.reads, 3);
    EXPECT_EQ(popup.creations, 1);  // the one popup window is reused
}

// --- closing -----------------------------------------------------------------------

TEST_F(PopupCycleTest, AnotherWindowInFrontClosesPopup) {
    TickWith(kA);
    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    EXPECT_EQ(popup.unloads, 1);
    EXPECT_TRUE(state.ClosedMemos().Entries().empty());
    TickWith(kA);
    EXPECT_TRUE(Shown());
}

TEST_F(PopupCycleTest, MinimisingClosesPopupAndRestoringReopens) {
    TickWith(kA);
    SetShow(kA, ShowState::Minimized);
    TickWith(kA);  // still the foreground window for a moment
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    TickWith(kOtherProgram);
    TickWith(kOtherProgram);
    EXPECT_EQ(log.Count("最小化"), 1);  // logged when the popup went, not every tick
    SetShow(kA, ShowState::Normal);
    TickWith(kA);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(fs.reads, 2);
}

TEST_F(PopupCycleTest, MinimisedWhileAnotherProgramInFront) {
    TickWith(kA);
    SetShow(kA, ShowState::Minimized);
    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(popup.unloads, 1);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], (std::pair<std::string, std::string>{"最小化", ""}));
}

TEST_F(PopupCycleTest, ClosingFolderWindowRemovesPopupAndItsClosedPairs) {
    state.ClosedMemos().Add(kA, "C:\\Memo\\Z\\");
    state.ClosedMemos().Add(kB, kFolderB);
    state.ClosedMemos().Add(kA, "C:\\Memo\\Y\\");
    TickWith(kA);
    CloseWindow(kA);
    TickWith(0);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    EXPECT_EQ(state.ClosedMemos().Entries(),
              (std::vector<ClosedMemoList::Entry>{{kB, kFolderB}}));
}

// --- closed memos ------------------------------------------------------------------

TEST_F(PopupCycleTest, ClosedMemoStaysClosedInThatWindowAndFolder) {
    TickWith(kA);
    popup.ClickClosePicture();
    EXPECT_EQ(Memo().popupWindow, 0);
    EXPECT_EQ(log.Count("メモ閉じるボタン押下"), 1);

    TickWith(kA);
    EXPECT_FALSE(popup.Exists());
    TickWith(kOtherProgram);  // away and back
    TickWith(kA);
    EXPECT_FALSE(popup.Exists());
    Navigate(kA, kPlain);  // another folder and back
    TickWith(kA);
    Navigate(kA, kFolderA);
    TickWith(kA);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(fs.reads, 1);
}

TEST_F(PopupCycleTest, ClosedMemoShowsInAnotherWindowAndOtherFolders) {
    TickWith(kA);
    popup.ClickClosePicture();
    AddFolderWindow(kC, kFolderA, {0, 0, 640, 480});
    TickWith(kC);
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(popup.x, 50);

    Navigate(kA, kFolderB);
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモB");
}

TEST_F(PopupCycleTest, ClosedMemoWindowInFrontTakesOtherPopupAwayAtOnce) {
    TickWith(kB);
    popup.ClickClosePicture();
    TickWith(kA);
    ASSERT_TRUE(Shown());
    TickWith(kB);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    EXPECT_EQ(state.LastWindow(), kB);
    // A close now could only name B's pair, which is already in the list.
    EXPECT_EQ(state.ClosedMemos().Entries().size(), 1u);
}

// --- navigating inside one window --------------------------------------------------

TEST_F(PopupCycleTest, NextMemoFolderInSameWindowKeepsFirstMemo) {
    TickWith(kA);
    Navigate(kA, kFolderB);
    Move(kA, {200, 200, 1000, 800});
    TickWith(kA);
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(popup.x, 250);
    EXPECT_EQ(Memo().folderPath, kFolderB);
    EXPECT_EQ(fs.reads, 1);
}

TEST_F(PopupCycleTest, FolderWithoutMemoInSameWindowClosesPopup) {
    TickWith(kA);
    Navigate(kA, kPlain);
    TickWith(kA);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    Navigate(kA, "");  // This PC: no file-system folder
    TickWith(kA);
    EXPECT_FALSE(popup.Exists());
}

// --- damaged memo files ------------------------------------------------------------

// A memo file whose fontSize field is no number: the fields before it load, the rest
// (memo text included) keep what the record held.
std::string DamagedAtFontSize(int width) {
    MemoRecord memo;
    SetDefaultMemoValues(memo);
    memo.memoWidth = width;
    memo.memoText = "壊れたメモ";
    std::stringstream serialized(SerializeMemoRecord(memo));
    std::string part, text;
    for (int index = 1; std::getline(serialized, part, ','); ++index) {
        text += (index == 15 ? std::string("x") : part) + ",";
    }
    return EncodeForFile(kViewerMemoKey, text);
}

TEST_F(PopupCycleTest, DamagedMemoShowsWithPreviousFields) {
    TickWith(kA);
    fs.Put("C:\\Memo\\B\\b.epm", DamagedAtFontSize(320));
    TickWith(kB);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(popup.width, 320);          // read before the damage
    EXPECT_EQ(ShownText(), "メモA");      // kept from the previous memo
    EXPECT_EQ(popup.shownStyle.fontSize, 11);

    fs.Put("C:\\Memo\\A\\a.epm", "not a memo file at all");
    TickWith(kA);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(popup.width, 320);
}

TEST_F(PopupCycleTest, DamagedFirstMemoShowsWithDefaultLook) {
    fs.Put("C:\\Memo\\A\\a.epm", "garbage");
    TickWith(kA);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(popup.width, 200);
    EXPECT_EQ(popup.height, 100);
    EXPECT_EQ(popup.shownStyle.fontSize, 11);
    EXPECT_EQ(popup.shownStyle.fontName, "ＭＳ ゴシック");
    EXPECT_EQ(popup.shownStyle.text, "");
}

// --- focus -------------------------------------------------------------------------

TEST_F(PopupCycleTest, PopupItselfInFrontKeepsItOpen) {
    TickWith(kA);
    TickWith(popup.Handle());
    TickWith(popup.Handle());
    EXPECT_TRUE(Shown());
    EXPECT_EQ(popup.unloads, 0);
    TickWith(kA);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(fs.reads, 1);
}

// --- failures ----------------------------------------------------------------------

TEST_F(PopupCycleTest, EnumerationFailureStillRunsCloseChecks) {
    TickWith(kA);
    shell.fail = true;
    TickWith(kA);
    EXPECT_TRUE(Shown());  // A still in front
    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());

    shell.fail = false;
    TickWith(kA);
    state.ClosedMemos().Add(kA, "C:\\Old\\");
    shell.fail = true;
    CloseWindow(kA);
    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());
    EXPECT_TRUE(state.ClosedMemos().Entries().empty());
}

TEST_F(PopupCycleTest, FailingStepIsSkippedAndRestOfTickRuns) {
    popup.throwOnPlace = true;
    TickWith(kA);
    EXPECT_TRUE(Shown());  // shown even though placing it threw
    EXPECT_EQ(ShownText(), "メモA");
    EXPECT_EQ(state.LastWindow(), kA);

    popup.throwOnPlace = false;
    windows.throwOnPlacement = true;  // the minimised check fails; the rest still runs
    TickWith(kOtherProgram);
    EXPECT_FALSE(popup.Exists());
}

TEST_F(PopupCycleTest, PopupThatCannotBeCreatedIsTriedAgain) {
    popup.failCreate = true;
    TickWith(kA);
    EXPECT_FALSE(popup.Exists());
    EXPECT_EQ(Memo().popupWindow, 0);
    popup.failCreate = false;
    TickWith(kA);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(Memo().popupWindow, popup.Handle());
}

}  // namespace
}  // namespace kanopa::viewer::testing
