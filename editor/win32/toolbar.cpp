#include "editor/win32/toolbar.h"

#include <iterator>

#include "common/log.h"
#include "common/win32/log_last_error.h"
#include "editor/win32/editor_texts.h"
#include "editor/win32/resource.h"

namespace kanopa::editor::win32 {
namespace {

struct ToolbarButton {
    UINT command;
    int image;  // index in the strip: New, Open, Save, Calendar, FixedForm, Copy, Font, BackColor
};
constexpr ToolbarButton kToolbarButtons[] = {
    {IDM_FILE_NEW, 0},         {IDM_FILE_OPEN, 1},   {IDM_FILE_UWAGAKI, 2},
    {IDM_INSERT_DATE_TIME, 3}, {IDM_INSERT_FIXED_FORM, 4}, {IDM_TOOL_COPY, 5},
    {IDM_FORMAT_FONT, 6},      {IDM_FORMAT_BACK_COLOR, 7},
};
static_assert(std::size(kToolbarButtons) == std::size(kToolbarTips));

}  // namespace

HWND CreateToolbar(HWND parent, HINSTANCE instance, int id) {
    HWND toolbar = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0,
        1, 1, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (toolbar == nullptr) {
        LogLastError("frmCreateMemo.Form_Load()", "CreateWindowExW");
        return nullptr;
    }
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[std::size(kToolbarButtons)]{};
    for (std::size_t i = 0; i < std::size(kToolbarButtons); ++i) {
        buttons[i].iBitmap = kToolbarButtons[i].image;
        buttons[i].idCommand = static_cast<int>(kToolbarButtons[i].command);
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
        buttons[i].iString = -1;
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    return toolbar;
}

void LoadToolbarImages(HWND toolbar, HINSTANCE instance, UINT dpi, UniqueImageList& images) {
    int size = 16;
    int resource = IDB_TOOLBAR_16;
    if (dpi > 144) {
        size = 32;
        resource = IDB_TOOLBAR_32;
    } else if (dpi > 96) {
        size = 24;
        resource = IDB_TOOLBAR_24;
    }
    UniqueBitmap strip(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(resource),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip) {
        LogLastError("frmCreateMemo.Form_Load()", "LoadImageW");
        return;
    }
    UniqueImageList loaded(
        ImageList_Create(size, size, ILC_COLOR32, static_cast<int>(std::size(kToolbarButtons)), 0));
    if (!loaded || ImageList_Add(loaded.Get(), strip.Get(), nullptr) < 0) {
        WriteLog("frmCreateMemo.Form_Load()", "ImageList_Add failed");
        return;
    }
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(loaded.Get()));
    images = std::move(loaded);  // after the toolbar let go of the old list
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

const wchar_t* ToolbarTip(UINT command) {
    for (std::size_t i = 0; i < std::size(kToolbarButtons); ++i) {
        if (kToolbarButtons[i].command == command) return kToolbarTips[i];
    }
    return nullptr;
}

}  // namespace kanopa::editor::win32
