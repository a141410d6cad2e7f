#pragma once
// What the editor's logic needs from its main window: questions and messages, the file
// dialogs, and the bindings of the layout preview (memo label, edit box, layout
// controls, status bar, recent-file menu). The Win32 window implements it; the tests
// implement it with a recording fake. All geometry is in pixels of the preview frame's
// client area: one pixel there is one pixel of the folder window the memo will cover.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kanopa::editor {

enum class MessageIcon { Information, Exclamation, Critical, Question };
enum class DefaultButton { Yes, No };

struct PixelRect {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
    std::int32_t width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The layout row of the toolbar: the mode list, the position name and the margin box.
struct LayoutControls {
    bool anchored = true;        // "相対配置" selected, place and margin boxes enabled;
                                 // false: "絶対配置", both boxes disabled
    std::string placeText;       // PositionName of the anchor ("" out of range)
    std::string marginText;      // the margin as a decimal number
    bool operator==(const LayoutControls&) const = default;
};

// How the memo label and the edit box over it look. Strike-out and underline are not
// shown in the preview.
struct PreviewModel {
    PixelRect label;             // already placed by the anchored layout
    std::int32_t foreColor = 0;  // 0x00BBGGRR
    std::int32_t backColor = 0xFFFFFF;
    std::string fontName;
    std::int32_t fontSize = 11;  // points
    bool bold = false;
    bool italic = false;
    std::string text;            // label caption and edit box text
    bool operator==(const PreviewModel&) const = default;
};

// One item of the five recent-file menu items. The caption is ready for the menu
// ("&" doubled so that it shows literally); the list itself keeps the raw paths.
struct RecentMenuItem {
    std::string caption;
    bool visible = false;
    bool enabled = false;
    bool operator==(const RecentMenuItem&) const = default;
};
inline constexpr int kRecentFileCount = 5;
using RecentMenu = std::array<RecentMenuItem, kRecentFileCount>;

class EditorView {
public:
    virtual ~EditorView() = default;

    // --- Questions, messages, dialogs -------------------------------------------------
    // Yes/No with a question icon; true for Yes. An empty caption means the program's title.
    virtual bool AskYesNo(const std::string& text, const std::string& caption,
                          DefaultButton defaultButton) = 0;
    // OK only; the program's title as caption.
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // The Open dialog ("開く") and the Save dialog ("保存"), empty file name, filters
    // "メモファイル(*.epm)" then "全てのファイル(*.*)". nullopt when cancelled. The name
    // comes back as typed or picked; the logic trims, lower-cases and completes it. The
    // implementation keeps the process's current directory as it found it.
    virtual std::optional<std::string> ShowOpenDialog() = 0;
    virtual std::optional<std::string> ShowSaveDialog() = 0;

    // --- Memo label and edit box ------------------------------------------------------
    // Commit the edit box: when it holds any text, that text becomes the label's caption,
    // the label is shown and the edit box hidden; an empty edit box leaves the caption
    // as it is.
    virtual void CommitEditBox() = 0;
    virtual std::string LabelCaption() = 0;
    // Replaces the whole text of the edit box (the label keeps its caption).
    virtual void SetEditText(const std::string& text) = 0;
    virtual void ShowLabel() = 0;
    // Where the label is now, and moving it (size unchanged unless given).
    virtual PixelRect LabelRect() = 0;
    virtual void SetLabelRect(const PixelRect& rect) = 0;
    // Lays the edit box over the label, shows it and gives it the keyboard focus.
    virtual void BeginTextEdit() = 0;
    virtual PixelSize FrameSize() = 0;
    virtual void SetFrameSize(const PixelSize& size) = 0;

    // --- Controls around the preview --------------------------------------------------
    // Only shows the controls: selecting the mode here must not run the list's own
    // handler (Preview::OnLayoutModeChosen), or a loaded memo would lose its anchor.
    virtual void ApplyLayoutControls(const LayoutControls& controls) = 0;
    virtual void ApplyPreview(const PreviewModel& model) = 0;
    virtual void FocusMarginBox() = 0;
    // The margin box's text as it stands, entered or not.
    virtual std::string MarginText() = 0;
    virtual void SetStatusCoordinates(const std::string& text) = 0;  // panel 1
    virtual void SetStatusPath(const std::string& text) = 0;         // panel 2
    virtual void SetRecentMenu(const RecentMenu& items) = 0;
};

}  // namespace kanopa::editor
