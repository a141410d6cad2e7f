#pragma once
// fraWindow with what lies in it: the memo label lblData (drawn here with the memo's
// colours and font), the in-place edit box txtData, the four resize guide lines and the
// outline that follows a dragged label. Geometry is in pixels of the frame's client
// area, at full scale: one memo pixel is one screen pixel.
//
// The mouse is read from the messages alone (coordinates in lParam, mouse capture while
// the button is held), so that posted messages drive it as a real mouse does.
#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "common/status.h"
#include "common/win32/unique_handle.h"
#include "common/win32/window_thunk.h"
#include "editor/editor_view.h"
#include "editor/preview_layout.h"

namespace kanopa::editor::win32 {

// Four thin windows drawing the outline of a rectangle above the frame's other children.
class OutlineLines {
public:
    Status Create(HWND frame, HINSTANCE instance);
    void Show(const RECT& outline, int thickness);
    void Hide();
    bool IsVisible() const { return m_visible; }

private:
    std::array<HWND, 4> m_lines{};  // top, bottom, left, right; the frame destroys them
    bool m_visible = false;
};

class PreviewPane {
public:
    struct Events {
        std::function<void(POINT screen)> labelMenu;  // right button on the label
        std::function<void(POINT screen)> editMenu;   // right button on the edit box
        std::function<void()> frameClick;             // left button on the bare frame
        std::function<void(const std::string&)> textChanged;  // the edit box's new text
    };

    PreviewPane(HINSTANCE instance, Events events);
    PreviewPane(const PreviewPane&) = delete;
    PreviewPane& operator=(const PreviewPane&) = delete;

    // Creates the frame and its children in `parent`; `preview` handles the mouse.
    Status Create(HWND parent, Preview& preview, UINT dpi);

    HWND Frame() const { return m_frame.Get(); }
    HWND Label() const { return m_label; }
    HWND EditBox() const { return m_edit; }

    // The frame's place in the parent's client area (pixels).
    void PlaceFrame(POINT origin, PixelSize size);
    PixelSize FrameSize() const;

    PixelRect LabelRect() const;
    void SetLabelRect(const PixelRect& rect);
    // Colours, font, text and place of label and edit box.
    void Apply(const PreviewModel& model);
    // The monitor's DPI changed: fonts follow (points at the new DPI).
    void SetDpi(UINT dpi);

    void CommitEditBox();
    std::string LabelCaption() const;
    // Replaces the edit box's text; the memo follows as after typing.
    void SetEditText(const std::string& text);
    std::string EditSelection() const;
    void ShowLabel();
    void BeginTextEdit();
    bool IsEditing() const;

private:
    friend LRESULT CALLBACK kanopa::WindowProcThunk<PreviewPane>(HWND, UINT, WPARAM, LPARAM);
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK LabelProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnLabelMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    void CreateMemoFont();
    void SetCaption(std::wstring caption);
    void PaintLabel(HDC dc) const;
    void OnLabelButtonDown(POINT point);
    void OnLabelMouseMove(POINT point, bool buttonHeld);
    void OnLabelButtonUp(POINT point);
    void EndDrag();
    RECT DragOutline(POINT point) const;
    int Pixels(int twips) const { return MulDiv(twips, static_cast<int>(m_dpi), 1440); }

    HINSTANCE m_instance;
    Events m_events;
    Preview* m_preview = nullptr;
    UINT m_dpi = 96;
    UniqueWindow m_frame;  // destroys the label, edit box and lines with it
    HWND m_label = nullptr;
    HWND m_edit = nullptr;
    OutlineLines m_guides;       // LineWidth 0/1 and LineLength 0/1
    OutlineLines m_dragOutline;  // where a dragged label would land
    UniqueFont m_font;
    UniqueBrush m_editBrush;
    PreviewModel m_model;
    std::wstring m_caption;      // what the label shows
    bool m_buttonDown = false;   // left button pressed on the label, capture held
    bool m_dragging = false;     // ... and it started a drag, not a resize
    POINT m_pressPoint{};
    bool m_sizingCursor = false;
};

}  // namespace kanopa::editor::win32
