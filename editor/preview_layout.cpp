#include "editor/preview_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "common/number_range.h"
#include "editor/font_mapping.h"

namespace kanopa::editor {
namespace {

constexpr const char* kPositionNames[] = {"左-上", "中-上", "右-上", "左-中", "中央",
                                          "右-中", "左-下", "中-下", "右-下"};

// Geometry comes from memo files, which may hold any 32-bit value: sums are taken in
// 64 bits and clamped, so that a crafted file cannot overflow them.
std::int32_t Clamp32(std::int64_t value) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// Half of a length, rounded down also for negative lengths (a label wider than the
// frame), so that the centre never depends on the sign.
std::int64_t HalfDown(std::int64_t length) {
    return length >= 0 ? length / 2 : -((-length + 1) / 2);
}

}  // namespace

double TwipsPerPixelForDpi(int dpi) {
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

std::int32_t TwipsToPixels(double twips, double twipsPerPixel) {
    return static_cast<std::int32_t>(std::lround(twips / twipsPerPixel));
}

std::string PositionName(std::int32_t anchor) {
    if (anchor < 1 || anchor > 9) return {};
    return kPositionNames[anchor - 1];
}

PixelRect AnchoredLabelRect(const PixelSize& frame, const PixelRect& label,
                            std::int32_t anchor, std::int32_t marginPixels) {
    if (anchor < 1 || anchor > 9) return label;
    const std::int64_t margin = marginPixels;
    const std::int64_t spareWidth = std::int64_t{frame.width} - label.width;
    const std::int64_t spareHeight = std::int64_t{frame.height} - label.height;
    PixelRect placed = label;
    switch ((anchor - 1) % 3) {
        case 0: placed.left = marginPixels; break;
        case 1: placed.left = Clamp32(HalfDown(spareWidth)); break;
        default: placed.left = Clamp32(spareWidth - margin); break;
    }
    switch ((anchor - 1) / 3) {
        case 0: placed.top = marginPixels; break;
        case 1: placed.top = Clamp32(HalfDown(spareHeight)); break;
        default: placed.top = Clamp32(spareHeight - margin); break;
    }
    return placed;
}

std::optional<PixelSize> FrameSizeForClient(const PixelSize& client, double twipsPerPixel) {
    const PixelSize frame{client.width - TwipsToPixels(kFrameWidthGapTwips, twipsPerPixel),
                          client.height - TwipsToPixels(kFrameHeightGapTwips, twipsPerPixel)};
    if (frame.width <= 0 || frame.height <= 0) return std::nullopt;
    return frame;
}

PixelPoint FrameOrigin(double twipsPerPixel) {
    return {TwipsToPixels(kFrameLeftTwips, twipsPerPixel),
            TwipsToPixels(kFrameTopTwips, twipsPerPixel)};
}

bool InResizeBand(std::int32_t x, std::int32_t y, const PixelSize& label, double twipsPerPixel) {
    // y > height - 200 twips, compared in pixels: height - y < 200 / factor.
    const double band = kResizeBandTwips / twipsPerPixel;
    return label.height - y < band || label.width - x < band;
}

std::int32_t MinimumLabelPixels(double twipsPerPixel) {
    // Whole pixels covering at least 700 twips; the tolerance keeps an exact quotient
    // (70.0 at factor 10) from rounding up through a stray last bit.
    return static_cast<std::int32_t>(std::ceil(kMinimumLabelTwips / twipsPerPixel - 1e-9));
}

std::optional<std::int32_t> ResizeReleaseExtent(std::int32_t pointer, double twipsPerPixel) {
    if (pointer <= 0) return std::nullopt;
    // Below 701 twips the minimum applies. No whole pixel lies between the minimum and
    // 701 twips, so this is the larger of the two.
    return std::max(pointer, MinimumLabelPixels(twipsPerPixel));
}

std::array<GuideLine, 4> ResizeGuides(const PixelRect& label, std::int32_t x, std::int32_t y) {
    const std::int32_t l = label.left, t = label.top;
    const std::int32_t r = Clamp32(std::int64_t{l} + x), b = Clamp32(std::int64_t{t} + y);
    return {{{{l, t}, {r, t}}, {{l, b}, {r, b}}, {{l, t}, {l, b}}, {{r, t}, {r, b}}}};
}

void StoreLabelGeometry(const PixelRect& label, MemoRecord& record) {
    record.memoLeft = label.left;
    record.memoTop = label.top;
    record.memoWidth = label.width;
    record.memoHeight = label.height;
}

std::string CoordinateReadout(const MemoRecord& record) {
    const auto right = static_cast<std::int64_t>(record.memoLeft) + record.memoWidth;
    const auto bottom = static_cast<std::int64_t>(record.memoTop) + record.memoHeight;
    // Appended piece by piece: "literal" + std::string&& trips GCC 12's -Wrestrict.
    std::string text = "(";
    text += std::to_string(record.memoLeft);
    text += ',';
    text += std::to_string(record.memoTop);
    text += ")-(";
    text += std::to_string(right);
    text += ',';
    text += std::to_string(bottom);
    text += ')';
    return text;
}

std::string NumberRangeMessage(std::int16_t minimum, std::int16_t maximum) {
    std::string text = std::to_string(minimum);
    text += "～";
    text += std::to_string(maximum);
    text += "までの数値を入力してください。";
    return text;
}

LayoutControls LayoutControlsFor(const MemoRecord& record) {
    LayoutControls controls;
    controls.anchored = record.layoutMode == 1;
    controls.placeText = PositionName(record.anchorPosition);
    controls.marginText = std::to_string(record.margin);
    return controls;
}

PreviewModel PreviewModelFor(const MemoRecord& record, const PixelSize& frame) {
    PreviewModel model;
    model.label = {record.memoLeft, record.memoTop, record.memoWidth, record.memoHeight};
    if (record.layoutMode == 1) {
        model.label = AnchoredLabelRect(frame, model.label, record.anchorPosition, record.margin);
    }
    model.foreColor = record.foreColor;
    model.backColor = record.backColor;
    model.fontName = record.fontName;
    model.fontSize = record.fontSize;
    const FontStyleFlags flags = StyleToFlags(record.fontStyle);
    model.bold = flags.bold;
    model.italic = flags.italic;
    model.text = record.memoText;
    return model;
}

// --- Preview --------------------------------------------------------------------------

Preview::Preview(EditorState& state, EditorView& view, double twipsPerPixel)
    : m_state(state), m_view(view), m_twipsPerPixel(twipsPerPixel) {}

void Preview::ApplyLayoutControls() {
    m_view.ApplyLayoutControls(LayoutControlsFor(m_state.Memo()));
}

void Preview::ApplyMemoToPreview() {
    m_view.ApplyPreview(PreviewModelFor(m_state.Memo(), m_view.FrameSize()));
}

void Preview::ApplyAnchoredLayout(std::int32_t anchor) {
    const MemoRecord& memo = m_state.Memo();
    if (memo.layoutMode != 1) return;
    m_view.SetLabelRect(
        AnchoredLabelRect(m_view.FrameSize(), m_view.LabelRect(), anchor, memo.margin));
}

void Preview::StoreLabelGeometry() {
    editor::StoreLabelGeometry(m_view.LabelRect(), m_state.Memo());
}

void Preview::UpdateStatusCoordinates() {
    m_view.SetStatusCoordinates(CoordinateReadout(m_state.Memo()));
}

bool Preview::OnLabelPress(std::int32_t x, std::int32_t y) {
    m_dragOffset = {x, y};
    const PixelRect label = m_view.LabelRect();
    m_isResizing = InResizeBand(x, y, {label.width, label.height}, m_twipsPerPixel);
    return m_isResizing;
}

void Preview::OnEditTextChanged(const std::string& text) {
    m_state.Memo().memoText = text;
}

void Preview::OnLabelPointerMove() {
    StoreLabelGeometry();
    UpdateStatusCoordinates();
}

void Preview::OnLabelRelease(std::int32_t x, std::int32_t y) {
    // Only a resize ends here; a drag ends in one of the drops.
    if (!m_isResizing) return;
    PixelRect label = m_view.LabelRect();
    if (const auto width = ResizeReleaseExtent(x, m_twipsPerPixel)) label.width = *width;
    if (const auto height = ResizeReleaseExtent(y, m_twipsPerPixel)) label.height = *height;
    m_view.SetLabelRect(label);
    StoreLabelGeometry();
    UpdateStatusCoordinates();
}

void Preview::OnDropOnFrame(std::int32_t x, std::int32_t y) {
    bool move = true;
    if (m_state.Memo().layoutMode == 1) {
        move = m_view.AskYesNo(kMoveToAbsoluteQuestion, "", DefaultButton::Yes);
    }
    if (move) {
        PixelRect label = m_view.LabelRect();
        label.left = Clamp32(std::int64_t{x} - m_dragOffset.x);
        label.top = Clamp32(std::int64_t{y} - m_dragOffset.y);
        m_view.SetLabelRect(label);
        if (m_state.Memo().layoutMode == 1) SwitchToAbsolute();
    }
    StoreLabelGeometry();
    UpdateStatusCoordinates();
}

void Preview::OnDropOnLabel(std::int32_t x, std::int32_t y) {
    if (x == m_dragOffset.x && y == m_dragOffset.y) {
        m_view.BeginTextEdit();
        return;
    }
    PixelRect label = m_view.LabelRect();
    label.left = Clamp32(std::int64_t{label.left} + x - m_dragOffset.x);
    label.top = Clamp32(std::int64_t{label.top} + y - m_dragOffset.y);
    m_view.SetLabelRect(label);
    SwitchToAbsolute();
}

void Preview::OnLayoutModeChosen(bool anchored) {
    if (!anchored) {
        SwitchToAbsolute();
        return;
    }
    MemoRecord& memo = m_state.Memo();
    memo.layoutMode = 1;
    memo.anchorPosition = 1;
    ApplyLayoutControls();
    ApplyAnchoredLayout(1);
}

void Preview::PickAnchor(std::int32_t anchor) {
    MemoRecord& memo = m_state.Memo();
    memo.layoutMode = 1;
    memo.anchorPosition = anchor;
    ApplyLayoutControls();
    ApplyAnchoredLayout(anchor);
}

bool Preview::CommitMargin(std::string text) {
    if (!IsNumberInRange(text, kMarginMinimum, kMarginMaximum)) {
        m_view.ShowMessage(NumberRangeMessage(kMarginMinimum, kMarginMaximum),
                           MessageIcon::Information);
        m_view.FocusMarginBox();
        return false;
    }
    m_state.Memo().margin = std::stoi(text);
    ApplyMemoToPreview();
    return true;
}

bool Preview::CommitPendingMargin() {
    const std::string text = m_view.MarginText();
    if (text == std::to_string(m_state.Memo().margin)) return true;
    return CommitMargin(text);
}

void Preview::OnClientResized(const PixelSize& client) {
    const auto frame = FrameSizeForClient(client, m_twipsPerPixel);
    if (!frame) return;
    m_view.SetFrameSize(*frame);
    ApplyAnchoredLayout(m_state.Memo().anchorPosition);
}

void Preview::SwitchToAbsolute() {
    m_state.Memo().layoutMode = 0;
    ApplyLayoutControls();
}

}  // namespace kanopa::editor
