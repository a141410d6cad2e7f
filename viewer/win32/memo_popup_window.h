#pragma once
// frmMemo: the one memo popup, a borderless-caption, sizable, topmost tool window that
// shows the memo text and a close picture, and never takes the keyboard focus when it
// appears or follows its folder window. A click on it still brings it to the front.
//
// Layout, in twips of the popup's monitor (1/1440 inch; 15 twips a pixel at 96 dpi),
// measured on the client area, so that no width of sizing border can clip it:
//   memo text (label):  from the client's top-left, client size - 20 twips each way
//   close picture:      240 x 240, top 60, left = client width - 260
//   minimum size:       700 x 700, the whole window
#include <windows.h>

#include <string>

#include "common/win32/unique_handle.h"
#include "common/win32/window_thunk.h"
#include "viewer/platform.h"

namespace kanopa::viewer::win32 {

// Twips to pixels at `dpi`, rounded to the nearest pixel.
int TwipsToPixels(int twips, UINT dpi);

class MemoPopupWindow final : public MemoPopup {
public:
    MemoPopupWindow(HINSTANCE instance, PopupEvents& events);
    ~MemoPopupWindow() override;
    MemoPopupWindow(const MemoPopupWindow&) = delete;
    MemoPopupWindow& operator=(const MemoPopupWindow&) = delete;

    bool Exists() override;
    bool IsVisible() override;
    WindowId Handle() override;
    bool InMoveSizeLoop() override { return m_inMoveSizeLoop; }
    Status HideOrCreate() override;
    Status PlaceTopmost(Point at, std::int32_t width, std::int32_t height) override;
    Status MoveTo(Point at) override;
    Status ApplyStyle(const MemoStyle& style) override;
    MemoStyle Style() override { return m_style; }
    Status Show() override;
    void Unload() override;

    HWND Window() const { return m_window.Get(); }
    // Where the close picture lies, in client coordinates.
    RECT ClosePictureRect() const;
    // The font the memo text is drawn with.
    HFONT MemoFont() const { return m_font.Get(); }
    // Puts exactly the memo text on the clipboard (the "コピー(&C)" command).
    Status CopyTextToClipboard();

private:
    template <typename T>
    friend LRESULT CALLBACK kanopa::WindowProcThunk(HWND, UINT, WPARAM, LPARAM);
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int Twips(int twips) const { return TwipsToPixels(twips, m_dpi); }
    RECT LabelRect() const;
    Status CreateMemoFont();
    void Paint(HDC dc) const;
    void DrawClosePicture(HDC dc, const RECT& box) const;
    void OnLeftButtonDown(POINT client);
    void OnLeftButtonUp(POINT client);
    void DragFrom(POINT client);
    void ShowContextMenu(POINT client);

    HINSTANCE m_instance;
    PopupEvents* m_events;  // nullptr once the owner is going away
    UniqueWindow m_window;
    UniqueFont m_font;
    MemoStyle m_style;
    UINT m_dpi = 96;
    bool m_closedByButton = false;  // ClosedByButton: set by the close picture only
    bool m_closePressed = false;
    bool m_inMoveSizeLoop = false;  // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
};

}  // namespace kanopa::viewer::win32
