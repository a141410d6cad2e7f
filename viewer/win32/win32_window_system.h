#pragma once
// Foreground window, existence and placement of windows, in physical screen pixels
// (the program is per-monitor DPI aware).
#include "viewer/platform.h"

namespace kanopa::viewer::win32 {

class Win32WindowSystem final : public WindowSystem {
public:
    WindowId Foreground() override;
    bool Exists(WindowId window) override;
    // The frame is what the user sees: without the invisible resize borders that
    // Windows 10 and later add around a window, when the desktop composition can say.
    std::optional<WindowPlacementInfo> Placement(WindowId window) override;
};

}  // namespace kanopa::viewer::win32
