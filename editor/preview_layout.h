#pragma once
// The layout preview: the frame stands for the folder window, the label in it for the
// memo popup, at full scale. Pixels are the stored truth (the memo record holds pixels
// and the label is placed in pixels); the window's fixed measures are given in twips
// (1/1440 inch) and converted with the screen's twips-per-pixel factor, 1440 / dpi
// (15 at 96 dpi, 12 at 120, 10 at 144, 8.571... at 168, 7.5 at 192).
//
// Anchor positions 1..9 run row by row from the top left:
//   1 "左-上"  2 "中-上"  3 "右-上"
//   4 "左-中"  5 "中央"   6 "右-中"
//   7 "左-下"  8 "中-下"  9 "右-下"
// The left column and top row sit `margin` pixels from the frame's edge, the right
// column and bottom row `margin` pixels from the opposite edge; the centre column and
// the middle row ignore the margin.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/memo_record.h"
#include "editor/editor_state.h"
#include "editor/editor_view.h"

namespace kanopa::editor {

inline constexpr int kResizeBandTwips = 200;      // along the label's right and bottom edges
inline constexpr int kMinimumLabelTwips = 700;    // a resize below 701 twips gives 700
inline constexpr int kFrameLeftTwips = 180;       // frame position in the client area
inline constexpr int kFrameTopTwips = 480;
inline constexpr int kFrameWidthGapTwips = 400;   // frame = client size minus these
inline constexpr int kFrameHeightGapTwips = 1100;
inline constexpr int kPickerBelowToolbarTwips = 700;
inline constexpr std::int16_t kMarginMinimum = 0;
inline constexpr std::int16_t kMarginMaximum = 1000;

inline constexpr char kAnchoredModeName[] = "相対配置";  // list index 0
inline constexpr char kAbsoluteModeName[] = "絶対配置";  // list index 1
inline constexpr char kMoveToAbsoluteQuestion[] =
    "メモを移動するとレイアウトモードは絶対配置となります。よろしいですか？";

struct PixelPoint {
    std::int32_t x = 0, y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// 1440 / dpi.
double TwipsPerPixelForDpi(int dpi);
// A fixed measure in twips as the nearest whole number of pixels.
std::int32_t TwipsToPixels(double twips, double twipsPerPixel);

// "左-上" ... "右-下"; "" for any other value.
std::string PositionName(std::int32_t anchor);

// The label's rectangle placed at `anchor` in the frame (size unchanged). An anchor
// outside 1..9 leaves the label where it is.
PixelRect AnchoredLabelRect(const PixelSize& frame, const PixelRect& label,
                            std::int32_t anchor, std::int32_t marginPixels);

// The frame's size for a window client area: the client minus the gaps; nullopt when
// that is not a positive size (a minimised window), which is then ignored.
std::optional<PixelSize> FrameSizeForClient(const PixelSize& client, double twipsPerPixel);
PixelPoint FrameOrigin(double twipsPerPixel);

// True when a press at (x, y), relative to the label, starts a resize: it lies in the
// band along the right or bottom edge (y > height - 200 twips or x > width - 200 twips).
bool InResizeBand(std::int32_t x, std::int32_t y, const PixelSize& label, double twipsPerPixel);
// The smallest label width or height a resize gives: the fewest whole pixels that
// cover 700 twips (47 at factor 15, 70 at 10).
std::int32_t MinimumLabelPixels(double twipsPerPixel);
// A resize released at `pointer` (x or y relative to the label): the new extent, at
// least the minimum; nullopt when pointer <= 0 (that extent stays as it was).
std::optional<std::int32_t> ResizeReleaseExtent(std::int32_t pointer, double twipsPerPixel);

// The outline shown while the label is resized: the rectangle from the label's
// top-left corner to the pointer (x, y relative to the label), as four lines in frame
// coordinates: top, bottom, left, right.
struct GuideLine {
    PixelPoint from, to;
    bool operator==(const GuideLine&) const = default;
};
std::array<GuideLine, 4> ResizeGuides(const PixelRect& label, std::int32_t x, std::int32_t y);

// The label's rectangle into memoLeft, memoTop, memoWidth, memoHeight.
void StoreLabelGeometry(const PixelRect& label, MemoRecord& record);
// "(left,top)-(right,bottom)" from the record, e.g. "(50,50)-(250,150)".
std::string CoordinateReadout(const MemoRecord& record);
// "0～1000までの数値を入力してください。" built from the bounds.
std::string NumberRangeMessage(std::int16_t minimum, std::int16_t maximum);

LayoutControls LayoutControlsFor(const MemoRecord& record);
// The label at the record's geometry, then placed by the anchored layout when the
// record is anchored.
PreviewModel PreviewModelFor(const MemoRecord& record, const PixelSize& frame);

// The preview's handlers. Owned by the editor window; reads and writes the record in
// EditorState and the controls through EditorView.
class Preview {
public:
    Preview(EditorState& state, EditorView& view, double twipsPerPixel);

    void SetTwipsPerPixel(double twipsPerPixel) { m_twipsPerPixel = twipsPerPixel; }
    double TwipsPerPixel() const { return m_twipsPerPixel; }

    void ApplyLayoutControls();
    // Label and edit box from the record, then the anchored layout.
    void ApplyMemoToPreview();
    // Places the label at `anchor` with the record's margin; only in anchored mode.
    void ApplyAnchoredLayout(std::int32_t anchor);
    // The label's current rectangle into the record.
    void StoreLabelGeometry();
    void UpdateStatusCoordinates();

    // Left button pressed on the label at (x, y) relative to it. True: a resize starts;
    // false: a drag starts (the press point is kept as the drag offset).
    bool OnLabelPress(std::int32_t x, std::int32_t y);
    bool IsResizing() const { return m_isResizing; }
    // Every change of the edit box's text goes straight into the memo text.
    void OnEditTextChanged(const std::string& text);
    // Pointer moved over the label: record and readout follow the label.
    void OnLabelPointerMove();
    // Button released over the label at (x, y) relative to it.
    void OnLabelRelease(std::int32_t x, std::int32_t y);
    // The dragged label dropped on the frame at (x, y) relative to the frame. Anchored
    // mode asks first (Yes default); a move switches to the absolute layout.
    void OnDropOnFrame(std::int32_t x, std::int32_t y);
    // The dragged label dropped on itself at (x, y) relative to it: moved means a move
    // and the absolute layout without asking; not moved means a click: BeginTextEdit.
    void OnDropOnLabel(std::int32_t x, std::int32_t y);

    // The user picked an entry of the layout mode list.
    void OnLayoutModeChosen(bool anchored);
    // The anchored layout at `anchor` (the position picker's choice).
    void PickAnchor(std::int32_t anchor);
    // Enter in the margin box or the box losing the focus. Invalid text shows the
    // range message (information icon) and puts the focus back; the margin stays.
    bool CommitMargin(std::string text);
    // A margin typed but not yet entered (no Enter, the box still has the focus) is
    // committed as Enter would; false when it was refused. True when nothing is pending.
    bool CommitPendingMargin();
    // The editor window's client area changed size: the frame follows (a size that
    // leaves no frame is ignored) and an anchored label keeps its place at the edges.
    void OnClientResized(const PixelSize& client);

private:
    void SwitchToAbsolute();

    EditorState& m_state;
    EditorView& m_view;
    double m_twipsPerPixel;
    PixelPoint m_dragOffset;
    bool m_isResizing = false;
};

}  // namespace kanopa::editor
