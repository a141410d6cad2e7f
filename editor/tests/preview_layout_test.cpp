#include <gtest/gtest.h>

#include <cmath>

#include "common/services.h"
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
            ASSERT_EQ(PixelsFromTwipsFloor(exact, factor), pixels) << factor;
            ASSERT_EQ(PixelsFromTwipsFloor(std::round(exact), factor), pixels) << factor;
            ASSERT_EQ(TwipsToPixels(exact, factor), pixels) << factor;
        }
    }
    EXPECT_EQ(PixelsFromTwipsFloor(749, 15), 49);  // rounded down, not to the nearest
    EXPECT_DOUBLE_EQ(TwipsPerPixelForDpi(96), 15.0);
    EXPECT_DOUBLE_EQ(TwipsPerPixelForDpi(192), 7.5);
}

TEST(EditorUnits, FixedMeasuresAtEachFactor) {
    struct Case {
        double factor;
        std::int32_t minimum, frameLeft, frameTop, widthGap, heightGap;
    };
    const Case cases[] = {
        {15.0, 47, 12, 32, 27, 73},   {12.0, 59, 15, 40, 33, 92},
        {10.0, 70, 18, 48, 40, 110},  {1440.0 / 168, 82, 21, 56, 47, 128},
        {7.5, 94, 24, 64, 53, 147},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.factor);
        EXPECT_EQ(MinimumLabelPixels(c.factor), c.minimum);
        EXPECT_GE(MinimumLabelPixels(c.factor) * c.factor, 700.0);
        EXPECT_EQ(FrameOrigin(c.factor), (PixelPoint{c.frameLeft, c.frameTop}));
        EXPECT_EQ(FrameSizeForClient({1000, 800}, c.factor),
                  (PixelSize{1000 - c.widthGap, 800 - c.heightGap}));
        // A client that leaves no frame (a minimised window) is ignored.
        EXPECT_EQ(FrameSizeForClient({c.widthGap, 800}, c.factor), std::nullopt);
        EXPECT_EQ(FrameSizeForClient({c.widthGap + 1, c.heightGap + 1}, c.factor),
                  (PixelSize{1, 1}));
    }
}

TEST(EditorResize, BandAlongTheRightAndBottomEdges) {
    const PixelSize label{200, 100};
    // Factor 15: 150 twips (10 px) from the edge resizes, 250 twips (17 px) drags.
    EXPECT_TRUE(InResizeBand(190, 10, label, 15));
    EXPECT_FALSE(InResizeBand(183, 10, label, 15));
    // Factor 10: exactly 200 twips (20 px) from the edge is outside, 19 px inside.
    EXPECT_FALSE(InResizeBand(180, 80, label, 10));
    EXPECT_TRUE(InResizeBand(181, 10, label, 10));
    EXPECT_TRUE(InResizeBand(10, 81, label, 10));
    EXPECT_FALSE(InResizeBand(0, 0, label, 10));
}

TEST(EditorResize, ReleaseKeepsTheMinimumAndIgnoresPointsBeforeTheLabel) {
    // Factor 10: 700 twips = 70 px; below 701 twips gives 700, 710 twips stays.
    EXPECT_EQ(ResizeReleaseExtent(70, 10), 70);
    EXPECT_EQ(ResizeReleaseExtent(71, 10), 71);
    EXPECT_EQ(ResizeReleaseExtent(30, 10), 70);  // 300 twips
    EXPECT_EQ(ResizeReleaseExtent(1, 10), 70);
    EXPECT_EQ(ResizeReleaseExtent(0, 10), std::nullopt);
    EXPECT_EQ(ResizeReleaseExtent(-5, 10), std::nullopt);
    // Factor 15: 46 px is 690 twips, below the minimum of 47 px.
    EXPECT_EQ(ResizeReleaseExtent(46, 15), 47);
    EXPECT_EQ(ResizeReleaseExtent(48, 15), 48);
}

TEST(EditorAnchoredLayout, EveryAnchorInAFrame) {
    // Frame 9000 x 6000 twips, label 3000 x 1500, margin 50 px, at factor 15.
    const PixelSize frame{600, 400};
    const PixelRect label{7, 9, 200, 100};
    const PixelPoint expected[] = {{50, 50},  {200, 50},  {350, 50},  {50, 150}, {200, 150},
                                   {350, 150}, {50, 250}, {200, 250}, {350, 250}};
    for (int anchor = 1; anchor <= 9; ++anchor) {
        const PixelRect placed = AnchoredLabelRect(frame, label, anchor, 50);
        EXPECT_EQ((PixelPoint{placed.left, placed.top}), expected[anchor - 1]) << anchor;
        EXPECT_EQ(placed.width, 200);
        EXPECT_EQ(placed.height, 100);
    }
    for (const int outside : {0, 10, -1}) {
        EXPECT_EQ(AnchoredLabelRect(frame, label, outside, 50), label) << outside;
    }
    // The centre ignores the margin; an odd remainder and a label wider than the
    // frame both round down.
    EXPECT_EQ(AnchoredLabelRect(frame, label, 5, 1000), AnchoredLabelRect(frame, label, 5, 0));
    EXPECT_EQ(AnchoredLabelRect({601, 401}, label, 5, 0).left, 200);
    EXPECT_EQ(AnchoredLabelRect({100, 50}, {0, 0, 201, 101}, 5, 0),
              (PixelRect{-51, -26, 201, 101}));
}

TEST(EditorPreviewTexts, NamesReadoutAndRangeMessage) {
    const char* names[] = {"", "左-上", "中-上", "右-上", "左-中", "中央",
                           "右-中", "左-下", "中-下", "右-下", ""};
    for (int anchor = 0; anchor <= 10; ++anchor) EXPECT_EQ(PositionName(anchor), names[anchor]);
    MemoRecord record;
    SetDefaultMemoValues(record);
    EXPECT_EQ(CoordinateReadout(record), "(50,50)-(250,150)");
    EXPECT_EQ(NumberRangeMessage(0, 1000), "0～1000までの数値を入力してください。");
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

TEST_F(EditorPreview, RecordReachesLabelAndControls) {
    MemoRecord& memo = state.Memo();
    memo.layoutMode = 0;
    memo.anchorPosition = 5;
    memo.fontStyle = 1;
    memo.memoText = "メモ";
    preview.ApplyLayoutControls();
    preview.ApplyMemoToPreview();
    // Absolute mode keeps the stored place and still names the stored anchor.
    EXPECT_EQ(view.controls, (LayoutControls{false, "中央", "50"}));
    EXPECT_EQ(view.label, (PixelRect{50, 50, 200, 100}));
    EXPECT_TRUE(view.preview.italic);
    EXPECT_FALSE(view.preview.bold);
    EXPECT_EQ(view.preview.text, "メモ");

    memo.layoutMode = 1;
    memo.anchorPosition = 9;
    preview.ApplyMemoToPreview();
    EXPECT_EQ(view.label, (PixelRect{350, 250, 200, 100}));
    EXPECT_EQ(memo.memoLeft, 50);  // the record follows only at the next store
    preview.OnLabelPointerMove();
    EXPECT_EQ(memo.memoLeft, 350);
    EXPECT_EQ(view.statusCoordinates, "(350,250)-(550,350)");
}

TEST_F(EditorPreview, MarginIsCommittedOnlyWithinItsRange) {
    const std::pair<const char*, int> accepted[] = {{"0", 0}, {"1000", 1000}, {" 20 ", 20}};
    for (const auto& [text, value] : accepted) {
        EXPECT_TRUE(preview.CommitMargin(text)) << text;
        EXPECT_EQ(state.Memo().margin, value);
    }
    EXPECT_EQ(view.label.left, 20);  // the anchored layout ran again
    for (const char* text : {"1001", "-1", "1.5", "", "   ", "5a"}) {
        EXPECT_FALSE(preview.CommitMargin(text)) << text;
        EXPECT_EQ(state.Memo().margin, 20);
    }
    ASSERT_EQ(view.messages.size(), 6u);
    EXPECT_EQ(view.messages[0].first, "0～1000までの数値を入力してください。");
    EXPECT_EQ(view.messages[0].second, MessageIcon::Information);
    EXPECT_EQ(view.marginFocus, 6);
}

TEST_F(EditorPreview, DropOnFrameAsksInAnchoredModeOnly) {
    preview.ApplyMemoToPreview();
    ASSERT_FALSE(preview.OnLabelPress(10, 20));
    view.answers = {false};
    preview.OnDropOnFrame(110, 120);
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0].text,
              "メモを移動するとレイアウトモードは絶対配置となります。よろしいですか？");
    EXPECT_EQ(view.questions[0].defaultButton, DefaultButton::Yes);
    EXPECT_EQ(view.label.left, 50);
    EXPECT_EQ(state.Memo().layoutMode, 1);

    view.answers = {true};
    preview.OnDropOnFrame(110, 120);
    EXPECT_EQ(view.label, (PixelRect{100, 100, 200, 100}));
    EXPECT_EQ(state.Memo().layoutMode, 0);
    EXPECT_FALSE(view.controls.anchored);
    EXPECT_EQ(state.Memo().memoLeft, 100);
    EXPECT_EQ(view.statusCoordinates, "(100,100)-(300,200)");

    preview.OnDropOnFrame(310, 20);  // absolute: moved without a question
    EXPECT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(view.label.left, 300);
}

TEST_F(EditorPreview, DropOnItselfMovesOrStartsEditing) {
    preview.ApplyMemoToPreview();
    preview.OnLabelPress(10, 20);
    preview.OnDropOnLabel(10, 20);
    EXPECT_EQ(view.textEdits, 1);
    EXPECT_EQ(state.Memo().layoutMode, 1);

    preview.OnDropOnLabel(14, 19);
    EXPECT_TRUE(view.questions.empty());
    EXPECT_EQ(view.label, (PixelRect{54, 49, 200, 100}));
    EXPECT_EQ(state.Memo().layoutMode, 0);
    EXPECT_EQ(view.textEdits, 1);
}

TEST_F(EditorPreview, ResizeReleaseSetsTheSizeButNotTheAnchoredPlace) {
    state.Memo().anchorPosition = 9;
    preview.ApplyMemoToPreview();
    ASSERT_TRUE(preview.OnLabelPress(195, 50));
    preview.OnLabelRelease(20, -3);
    EXPECT_EQ(view.label, (PixelRect{350, 250, 47, 100}));
    EXPECT_EQ(state.Memo().memoWidth, 47);
    EXPECT_EQ(view.statusCoordinates, "(350,250)-(397,350)");
    ASSERT_FALSE(preview.OnLabelPress(5, 5));
    preview.OnLabelRelease(300, 300);  // the end of a drag is a drop, not a resize
    EXPECT_EQ(view.label.width, 47);
}

TEST_F(EditorPreview, ModeSwitchesAndPickedAnchors) {
    state.Memo().anchorPosition = 7;
    preview.OnLayoutModeChosen(false);
    EXPECT_EQ(state.Memo().layoutMode, 0);
    EXPECT_EQ(state.Memo().anchorPosition, 7);
    view.label.left = 123;
    preview.ApplyAnchoredLayout(7);  // absolute mode: nothing moves
    EXPECT_EQ(view.label.left, 123);

    preview.OnLayoutModeChosen(true);
    EXPECT_EQ(state.Memo().anchorPosition, 1);
    EXPECT_EQ(view.controls, (LayoutControls{true, "左-上", "50"}));
    EXPECT_EQ(view.label.left, 50);

    preview.OnLayoutModeChosen(false);
    preview.PickAnchor(5);
    EXPECT_EQ(state.Memo().layoutMode, 1);
    EXPECT_EQ(view.controls.placeText, "中央");
    EXPECT_EQ(view.label, (PixelRect{200, 150, 200, 100}));
}

TEST_F(EditorPreview, WindowResizeKeepsAnAnchoredLabelAtItsEdges) {
    state.Memo().anchorPosition = 9;
    preview.OnClientResized({827, 573});  // 800 x 500 frame at factor 15
    EXPECT_EQ(view.frame, (PixelSize{800, 500}));
    EXPECT_EQ(view.label, (PixelRect{550, 350, 200, 100}));
    preview.OnClientResized({0, 0});
    EXPECT_EQ(view.frame, (PixelSize{800, 500}));
}

}  // namespace
}  // namespace kanopa::editor
