#pragma once
// tbToolBar: the editor's eight buttons, their pictures for the monitor's DPI and their
// tooltips.
#include <windows.h>
#include <commctrl.h>

#include "common/win32/unique_handle.h"

namespace kanopa::editor::win32 {

struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ImageList_Destroy(h); }
};
using UniqueImageList = UniqueHandle<ImageListTraits>;

// Creates the toolbar with its buttons (pictures not yet loaded); nullptr on failure.
HWND CreateToolbar(HWND parent, HINSTANCE instance, int id);

// Gives the toolbar the pictures drawn for `dpi` (100, 150 or 200 percent: the nearest
// not smaller). `images` keeps the list alive for as long as the toolbar shows it.
void LoadToolbarImages(HWND toolbar, HINSTANCE instance, UINT dpi, UniqueImageList& images);

// The tooltip of a toolbar button's command; nullptr for any other command.
const wchar_t* ToolbarTip(UINT command);

}  // namespace kanopa::editor::win32
