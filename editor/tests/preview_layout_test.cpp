#include <gtest/gtest.h>

#include "common/memo_defaults.h"
#include "editor/preview_layout.h"
#include "editor/tests/editor_fakes.h"

namespace kanopa::editor {
namespace {

// 96, 120, 144, 168 and 192 dpi.
const double kFactors[] = {15.0, 12.0, 10.0, 1440.0 / 168, 7.5};

TEST(EditorUnits, EveryPixelSurvivesTheTripThroughTwips) {
    for (const double factor : kFactors) {
        for (int pixels = -200; pixels <= 4000; ++pixels) {
            const double exact = pixels * factor;
            ASSERT_EQ(TwipsToPixels(exact, factor), pixels) << factor;
        }
    }
}

TEST(EditorUnits, FixedMeasuresAtEachFactor) {
    // Smallest label, frame origin, and the gaps between client area and frame.
    const std::array<int, 5> expected[] = {
        {47, 12, 32, 27, 73}, {59, 15, 40, 33, 92}, {70, 18, 48, 40, 110},
        {82, 21, 56, 47, 128}, {94, 24, 64, 53, 147}};
    for (int i = 0; i < 5; ++i) {
        const double f = kFactors[i];
        const auto [minimum, left, top, widthGap, heightGap] = expected[i];
        EXPECT_EQ(MinimumLabelPixels(f), minimum) << f;
        EXPECT_EQ(FrameOrigin(f), (PixelPoint{left, top}));
        EXPECT_EQ(FrameSizeForClient({widthGap + 1, heightGap + 1}, f), (PixelSize{1, 1}));
        EXPECT_EQ(FrameSizeForClient({widthGap, 800}, f), std::nullopt);  // minimised
    }
}

TEST(EditorResize, BandAndRelease) {
    const PixelSize label{200, 100};
    // Factor 15: 150 twips (10 px) from the edge resizes, 250 twips (17 px) drags.
    EXPECT_TRUE(InResizeBand(190, 10, label, 15));
    EXPECT_FALSE(InResizeBand(183, 10, label, 15));
    // Factor 10: exactly 200 twips (20 px) from the edge is outside, 19 px inside.
    EXPECT_FALSE(InResizeBand(180, 80, label, 10));
    EXPECT_TRUE(InResizeBand(181, 10, label, 10));
    EXPECT_TRUE(InResizeBand(10, 81, label, 10));
    // Factor 10: 700 twips = 70 px; below 701 twips gives 700.
    const std::pair<int, std::optional<int>> releases[] = {
        {70, 70}, {71, 71}, {30, 70}, {1, 70}, {0, std::nullopt}, {-5, std::nullopt}};
    for (const auto& [pointer, extent] : releases) {
        EXPECT_EQ(ResizeReleaseExtent(pointer, 10), extent) << pointer;
    }
    EXPECT_EQ(ResizeReleaseExtent(46, 15), 47);  // 690 twips
    EXPECT_EQ(ResizeGuides({10, 20, 5, 5}, 30, 40)[3], (GuideLine{{40, 20}, {40, 60}}));
}

TEST(EditorAnchoredLayout, EveryAnchorInAFrame) {
    // Frame 9000 x 6000 twips, label 3000 x 1500, margin 50 px, at factor 15.
    const PixelSize frame{600, 400};
    const PixelRect label{7, 9, 200, 100};
    const PixelPoint expected[] = {{50, 50},   {200, 50},  {350, 50},  {50, 150}, {200, 150},
                                   {350, 150}, {50, 250},  {200, 250}, {350, 250}};
    const char* names[] = {"左-上", "中-上", "右-上", "左-中", "中央",
                           "右-中", "左-下", "中-下", "右-下"};
    for (int anchor = 1; anchor <= 9; ++anchor) {
        const PixelRect placed = AnchoredLabelRect(frame, label, anchor, 50);
        EXPECT_EQ(placed, (PixelRect{expected[anchor - 1].x, expected[anchor - 1].y, 200, 100}));
        EXPECT_EQ(PositionName(anchor), names[anchor - 1]);
    }
    for (const int outside : {0, 10}) {
        EXPECT_EQ(AnchoredLabelRect(frame, label, outside, 50), label);
        EXPECT_EQ(PositionName(outside), "");
    }
    // The centre ignores the margin; odd remainders and oversized labels round down.
    EXPECT_EQ(AnchoredLabelRect(frame, label, 5, 1000), AnchoredLabelRect(frame, label, 5, 0));
    EXPECT_EQ(AnchoredLabelRect({100, 50}, {0, 0, 201, 101}, 5, 0), (PixelRect{-51, -26, 201, 101}));
    // Values from a crafted memo file clamp instead of overflowing.
    const PixelRect huge{0, 0, INT32_MAX, INT32_MAX};
    EXPECT_EQ(AnchoredLabelRect(frame, huge, 9, INT32_MAX), (PixelRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}));
}

class EditorPreview : public ::testing::Test {
protected:
    EditorPreview() : state({"C:\\Kanopa\\", "31975"}, {}, ""), preview(state, view, 15) {
        SetDefaultMemoValues(state.Memo());
    }
    EditorState state;
    testing::FakeEditorView view;
    Preview preview;
};

TEST_F(EditorPreview, RecordReachesLabelControlsAndReadout) {
    MemoRecord& memo = state.Memo();
    memo.layoutMode = 0;
    memo.anchorPosition = 5;
    memo.fontStyle = 1;
    preview.ApplyLayoutControls();
    preview.ApplyMemoToPreview();
    preview.OnEditTextChanged("メモ");
    EXPECT_EQ(memo.memoText, "メモ");
    // Absolute mode keeps the stored place and still names the stored anchor.
    EXPECT_EQ(view.controls, (LayoutControls{false, "中央", "50"}));
    EXPECT_EQ(view.label, (PixelRect{50, 50, 200, 100}));
    EXPECT_TRUE(view.preview.italic && !view.preview.bold);

    memo.layoutMode = 1;
    memo.anchorPosition = 9;
    preview.ApplyMemoToPreview();
    EXPECT_EQ(memo.memoLeft, 50);  // the record follows only at the next store
    preview.OnLabelPointerMove();
    EXPECT_EQ(memo.memoLeft, 350);
    EXPECT_EQ(view.statusCoordinates, "(350,250)-(550,350)");
}

TEST_F(EditorPreview, MarginIsCommittedOnlyWithinItsRange) {
    for (const auto& [text, value] : {std::pair{"0", 0}, {"1000", 1000}, {" 20 ", 20}}) {
        EXPECT_TRUE(preview.CommitMargin(text)) << text;
        EXPECT_EQ(state.Memo().margin, value);
    }
    EXPECT_EQ(view.label.left, 20);  // the anchored layout ran again
    for (const char* text : {"1001", "-1", "1.5", "", "5a"}) {
        EXPECT_FALSE(preview.CommitMargin(text)) << text;
        EXPECT_EQ(state.Memo().margin, 20);
    }
    ASSERT_EQ(view.messages.size(), 5u);
    EXPECT_EQ(view.messages[4].first, "0～1000までの数値を入力してください。");
    EXPECT_EQ(view.messages[4].second, MessageIcon::Information);
    EXPECT_EQ(view.marginFocus, 5);
}

// On itself: edits, or moves without a question; on the frame: asks in anchored mode only.
TEST_F(EditorPreview, DropRules) {
    preview.ApplyMemoToPreview();
    ASSERT_FALSE(preview.OnLabelPress(10, 20));
    preview.OnDropOnLabel(10, 20);
    EXPECT_EQ(view.textEdits, 1);
    EXPECT_EQ(state.Memo().layoutMode, 1);
    preview.OnDropOnLabel(14, 19);
    EXPECT_TRUE(view.questions.empty());
    EXPECT_EQ(view.label, (PixelRect{54, 49, 200, 100}));
    EXPECT_EQ(state.Memo().layoutMode, 0);

    preview.OnLayoutModeChosen(true);
    ASSERT_FALSE(preview.OnLabelPress(10, 20));
    view.answers = {false, true};
    preview.OnDropOnFrame(110, 120);
    EXPECT_EQ(view.questions[0].text,
              "メモを移動するとレイアウトモードは絶対配置となります。よろしいですか？");
    EXPECT_EQ(view.questions[0].defaultButton, DefaultButton::Yes);
    EXPECT_EQ(view.label.left, 50);
    EXPECT_EQ(state.Memo().layoutMode, 1);
    preview.OnDropOnFrame(110, 120);
    EXPECT_EQ(view.label, (PixelRect{100, 100, 200, 100}));
    EXPECT_EQ(state.Memo().layoutMode, 0);
    EXPECT_FALSE(view.controls.anchored);
    EXPECT_EQ(view.statusCoordinates, "(100,100)-(300,200)");
    preview.OnDropOnFrame(310, 20);  // absolute: moved without a question
    EXPECT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(view.label.left, 300);
}

TEST_F(EditorPreview, ResizeReleaseSizesTheLabelInPlace) {
    state.Memo().anchorPosition = 9;
    preview.ApplyMemoToPreview();
    ASSERT_TRUE(preview.OnLabelPress(195, 50));
    preview.OnLabelRelease(20, -3);
    EXPECT_EQ(view.label, (PixelRect{350, 250, 47, 100}));
    EXPECT_EQ(view.statusCoordinates, "(350,250)-(397,350)");
    ASSERT_FALSE(preview.OnLabelPress(5, 5));
    preview.OnLabelRelease(300, 300);  // the end of a drag is a drop, not a resize
    EXPECT_EQ(view.label.width, 47);
}

TEST_F(EditorPreview, ModeSwitchesPickedAnchorsAndWindowResize) {
    state.Memo().anchorPosition = 7;
    preview.OnLayoutModeChosen(false);
    EXPECT_EQ(state.Memo().layoutMode, 0);
    view.label.left = 123;
    preview.ApplyAnchoredLayout(7);  // absolute mode: nothing moves
    EXPECT_EQ(view.label.left, 123);

    preview.OnLayoutModeChosen(true);
    EXPECT_EQ(state.Memo().anchorPosition, 1);
    EXPECT_EQ(view.controls, (LayoutControls{true, "左-上", "50"}));
    EXPECT_EQ(view.label.left, 50);

    preview.OnLayoutModeChosen(false);
    preview.PickAnchor(9);
    EXPECT_EQ(state.Memo().layoutMode, 1);
    EXPECT_EQ(view.controls.placeText, "右-下");
    preview.OnClientResized({827, 573});  // an 800 x 500 frame at factor 15
    EXPECT_EQ(view.frame, (PixelSize{800, 500}));
    EXPECT_EQ(view.label, (PixelRect{550, 350, 200, 100}));
}

}  // namespace
}  // namespace kanopa::editor
