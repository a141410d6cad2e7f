#pragma once
// What the viewer's logic needs from the desktop, as small interfaces. Window handles
// are opaque 32-bit values to the logic (0 = none), as the memo record stores them;
// the Win32 side converts with HandleToLong/LongToHandle.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/status.h"

namespace kanopa::viewer {

using WindowId = std::int32_t;

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct Point {
    std::int32_t x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// Whether a shell window is the tab its window shows. Tabs of one window share its
// handle; a tab whose view cannot be read could be any of them.
enum class TabState { Active, Background, Unknown };

// One shell (Explorer) window or tab as the shell reports it.
struct ShellWindowInfo {
    WindowId window = 0;              // top-level window handle; tabs of one window share it
    bool isWebPage = false;           // shows a web page rather than a folder view
    TabState tab = TabState::Unknown; // only an Active one is looked at
    std::string folderPath;           // file-system folder ending in "\"; "" when there is
                                      // none (This PC, Control Panel, search results, ...)
};

class ShellWindowSource {
public:
    virtual ~ShellWindowSource() = default;
    // All shell windows in the shell's own order. A failure ends the search for a tick.
    virtual Status Enumerate(std::vector<ShellWindowInfo>& windows) = 0;
};

enum class ShowState { Normal, Minimized, Maximized, Other };

struct WindowPlacementInfo {
    ShowState show = ShowState::Normal;
    Rect frame;    // where the window really is: its visible frame, in screen pixels
    Rect monitor;  // the whole monitor the window is on (taskbar included)
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    virtual WindowId Foreground() = 0;           // 0 when no window is in front
    virtual bool Exists(WindowId window) = 0;    // false for 0
    // nullopt when it cannot be read (the window is gone, or the call failed).
    virtual std::optional<WindowPlacementInfo> Placement(WindowId window) = 0;
};

// Fires after something in a watched folder changed (files added, removed, renamed).
class FolderChangeWatch {
public:
    virtual ~FolderChangeWatch() = default;
    // True once a change has happened since the watch started; stays true.
    virtual bool Changed() = 0;
};

class FolderChangeWatcher {
public:
    virtual ~FolderChangeWatcher() = default;
    // nullptr when the folder cannot be watched (then the folder is listed every time).
    virtual std::unique_ptr<FolderChangeWatch> Watch(const std::string& folder) = 0;
};

// How the popup looks: ApplyMemoStyle's result.
struct MemoStyle {
    std::int32_t foreColor = 0;         // 0x00BBGGRR
    std::int32_t backColor = 0xFFFFFF;  // 0x00BBGGRR
    std::string fontName;
    std::int32_t fontSize = 9;          // points
    bool bold = false;
    bool italic = false;
    std::string text;
    bool operator==(const MemoStyle&) const = default;
};

// What the popup window tells the logic (ViewerState implements it).
class PopupEvents {
public:
    virtual ~PopupEvents() = default;
    // Every unload, by the cycle or by the close picture (closedByButton).
    virtual void OnPopupUnloaded(bool closedByButton) = 0;
    // The user dragged the popup; its new top-left corner in screen pixels.
    virtual void OnPopupDragged(std::int32_t x, std::int32_t y) = 0;
};

// The one memo popup window; it alone knows whether it exists and its handle.
// Unload() destroys it; the window then reports back through
// PopupEvents::OnPopupUnloaded (so does a click on its close picture).
class MemoPopup {
public:
    virtual ~MemoPopup() = default;
    virtual bool Exists() = 0;
    virtual bool IsVisible() = 0;
    virtual WindowId Handle() = 0;        // 0 when it does not exist
    virtual bool InMoveSizeLoop() = 0;    // the user is dragging or sizing it right now
    virtual Status HideOrCreate() = 0;    // creates it hidden when missing, else hides it
    // Opening: sized, placed, made topmost and shown, without taking the focus.
    virtual Status PlaceTopmost(Point at, std::int32_t width, std::int32_t height) = 0;
    // Following: moved, keeping its size and its place among the topmost windows.
    virtual Status MoveTo(Point at) = 0;
    virtual Status ApplyStyle(const MemoStyle& style) = 0;
    virtual MemoStyle Style() = 0;        // the look last applied
    virtual Status Show() = 0;            // shown without activation
    virtual void Unload() = 0;            // nothing when it does not exist
};

}  // namespace kanopa::viewer
