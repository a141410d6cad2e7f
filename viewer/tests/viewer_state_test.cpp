#include "viewer/viewer_state.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "common/log.h"
#include "viewer/closed_memo_list.h"
#include "viewer/tests/viewer_fakes.h"

namespace kanopa::viewer::testing {
namespace {

using Entry = ClosedMemoList::Entry;

TEST(ClosedMemoListTest, MatchesWindowAndFolderExactly) {
    ClosedMemoList list;
    list.Add(11, "C:\\Memo\\A\\");
    EXPECT_TRUE(list.IsClosedMemo(11, "C:\\Memo\\A\\"));
    EXPECT_FALSE(list.IsClosedMemo(12, "C:\\Memo\\A\\"));  // same folder, another window
    EXPECT_FALSE(list.IsClosedMemo(11, "C:\\Memo\\B\\"));  // same window, another folder
    EXPECT_FALSE(list.IsClosedMemo(11, "c:\\memo\\a\\"));
    EXPECT_FALSE(list.IsClosedMemo(11, "C:\\Memo\\A"));
}

TEST(ClosedMemoListTest, DelClosedMemoRemovesEveryPairOfWindowKeepingOrder) {
    ClosedMemoList list;
    list.Add(11, "A");
    list.Add(12, "A");
    list.Add(11, "B");
    list.Add(13, "C");
    list.Add(11, "C");
    list.Add(12, "B");
    list.DelClosedMemo(11);
    EXPECT_EQ(list.Entries(), (std::vector<Entry>{{12, "A"}, {13, "C"}, {12, "B"}}));
    list.DelClosedMemo(99);
    EXPECT_EQ(list.Entries().size(), 3u);
}

class ViewerStateTest : public ::testing::Test {
protected:
    ViewerStateTest() {
        memo().folderWindow = 11;
        memo().folderPath = "C:\\Memo\\A\\";
        memo().folderLeft = 100;
        memo().folderTop = 200;
        memo().popupWindow = 9001;
        memo().layoutMode = 1;
    }
    MemoRecord& memo() { return state.CurrentMemo(); }

    ViewerState state;
    RecordingLogSink log;
    ScopedLogSink scopedLog{log};
};

TEST_F(ViewerStateTest, ClosePictureRecordsWindowAndFolder) {
    state.OnPopupUnloaded(true);
    EXPECT_EQ(memo().popupWindow, 0);
    EXPECT_EQ(state.ClosedMemos().Entries(), (std::vector<Entry>{{11, "C:\\Memo\\A\\"}}));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].first, "メモ閉じるボタン押下");
    EXPECT_EQ(log.lines[0].second, "");
}

TEST_F(ViewerStateTest, DragBeyondRecordRangeIsIgnored) {
    memo().folderLeft = std::numeric_limits<std::int32_t>::min();
    memo().memoLeft = 7;
    memo().memoTop = 8;
    state.OnPopupDragged(std::numeric_limits<std::int32_t>::max(), 0);
    EXPECT_EQ(memo().memoLeft, 7);
    EXPECT_EQ(memo().memoTop, 8);
    EXPECT_EQ(memo().layoutMode, 1);
}

}  // namespace
}  // namespace kanopa::viewer::testing
