#pragma once
// frmPos: the small window in which the user picks one of the nine anchor positions.
// Owned by the editor window, modeless, no taskbar button. It shows the nine zones as
// blue rectangles on a white picture, turns the zone under the pointer red, names each
// zone in a tooltip, and closes when a zone is clicked (after reporting its anchor) or
// when it loses the activation (without a choice). Escape closes it without a choice.
//
// Layout, in twips of the monitor it opens on (see editor/position_picker_logic.h):
//   client area 3285 x 2115; the picture (204 x 115 pixels at 96 dpi) centred in it;
//   zones 705 x 345 at columns 330, 1290, 2220 and rows 270, 870, 1470.
#include <windows.h>

#include <functional>

#include "common/status.h"
#include "common/win32/unique_handle.h"
#include "common/win32/window_thunk.h"

namespace kanopa::editor::win32 {

class PositionPickerWindow {
public:
    explicit PositionPickerWindow(HINSTANCE instance);
    ~PositionPickerWindow();
    PositionPickerWindow(const PositionPickerWindow&) = delete;
    PositionPickerWindow& operator=(const PositionPickerWindow&) = delete;

    // Shows the picker with its top-left window corner at `screenTopLeft`, owned by
    // `owner`, and activates it. An open picker is closed first (without a choice).
    // `onPick` gets the chosen anchor (1..9) once the picker has closed; it is never
    // called when the picker closes without a choice.
    Status Open(HWND owner, POINT screenTopLeft, std::function<void(int anchor)> onPick);
    // Closes without a choice; nothing happens when it is not open.
    void Close();
    bool IsOpen() const;
    HWND Window() const { return m_window.Get(); }

    // The zone drawn red (0..8), or -1 when none is.
    int HighlightedZone() const { return m_highlighted; }
    // The tooltip control naming the zones (a window owned by the picker).
    HWND Tooltips() const { return m_tooltips; }

private:
    friend LRESULT CALLBACK kanopa::WindowProcThunk<PositionPickerWindow>(HWND, UINT, WPARAM, LPARAM);
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    double TwipsPerPixel() const;
    RECT ZoneClientRect(int zone) const;
    RECT PictureRect() const;
    void FitToDpi(UINT dpi, const RECT* suggested);
    void CreateTooltips();
    void PlaceTooltips();
    void SetTooltipFont();
    void SetHighlight(int zone);
    void Paint(HDC dc) const;
    void OnMouseMove(POINT client);
    void OnLeftButtonUp(POINT client);

    HINSTANCE m_instance;
    UniqueWindow m_window;
    HWND m_tooltips = nullptr;  // owned by the picker window, destroyed with it
    UniqueFont m_tooltipFont;   // the tooltips' font, kept while they use it
    std::function<void(int)> m_onPick;
    UINT m_dpi = 96;
    int m_highlighted = -1;
    int m_pressed = -1;         // zone under the left button when it went down
};

}  // namespace kanopa::editor::win32
