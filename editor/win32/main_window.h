#pragma once
// frmCreateMemo: the editor's main window. Menus, the toolbar with its layout row, the
// preview (PreviewPane) and the status bar; it binds them to the editor's logic
// (Document, Preview) and implements the logic's view of the window.
//
// Layout, in twips of the window's monitor (15 a pixel at 96 dpi):
//   initial client area        11160 x 7485
//   on the toolbar, 30 from its top:
//     cboLayoutMode  left 3240, width 1455     txtPlace   left 4800, width 915
//     cmdPlace       left 5700, 345 x 285      txtMargin  left 6150, width 645
//   fraWindow      left 180, top 480, client size - 400 x client size - 1100
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "common/clock.h"
#include "common/file_system.h"
#include "common/status.h"
#include "common/win32/unique_handle.h"
#include "common/win32/window_thunk.h"
#include "editor/document.h"
#include "editor/editor_state.h"
#include "editor/editor_view.h"
#include "editor/preview_layout.h"
#include "editor/win32/position_picker_window.h"
#include "editor/win32/preview_pane.h"
#include "editor/win32/toolbar.h"

namespace kanopa::editor::win32 {

class MainWindow final : public EditorView {
public:
    MainWindow(HINSTANCE instance, EditorState& state, FileSystem& fs, const Clock& clock);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates and shows the window, then runs the window's load (the start-up file).
    Status Create(int showCommand);
    HWND Window() const { return m_window.Get(); }
    // For the message loop: keyboard shortcuts and Tab between the controls.
    bool PreTranslate(MSG& message);

    // EditorView
    bool AskYesNo(const std::string& text, const std::string& caption,
                  DefaultButton defaultButton) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    std::optional<std::string> ShowOpenDialog() override;
    std::optional<std::string> ShowSaveDialog() override;
    void CommitEditBox() override;
    std::string LabelCaption() override;
    void SetEditText(const std::string& text) override;
    void ShowLabel() override;
    PixelRect LabelRect() override;
    void SetLabelRect(const PixelRect& rect) override;
    void BeginTextEdit() override;
    PixelSize FrameSize() override;
    void SetFrameSize(const PixelSize& size) override;
    void ApplyLayoutControls(const LayoutControls& controls) override;
    void ApplyPreview(const PreviewModel& model) override;
    void FocusMarginBox() override;
    std::string MarginText() override;
    void SetStatusCoordinates(const std::string& text) override;
    void SetStatusPath(const std::string& text) override;
    void SetRecentMenu(const RecentMenu& items) override;

private:
    friend LRESULT CALLBACK kanopa::WindowProcThunk<MainWindow>(HWND, UINT, WPARAM, LPARAM);
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MarginSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    Status CreateControls(HWND window);
    void CreateFonts();
    void AddTooltip(HWND control, const wchar_t* text);
    void Layout();
    void PlaceRowControls();
    void OnCommand(UINT command, UINT notification, HWND control);
    void OnEditCommand(UINT request);
    void OpenPositionPicker();
    void InsertDateTime();
    void InsertFixedPhrase();
    void AppendToMemoText(const std::string& text);
    void OpenSearchWindow();
    void ChooseMemoFont();
    void ChooseBackColor();
    void CommitMargin();
    void OpenHelp();
    void ShowPopupMenu(HMENU menu, POINT screen);
    bool OnClose();
    int Pixels(int twips) const { return MulDiv(twips, static_cast<int>(m_dpi), 1440); }

    HINSTANCE m_instance;
    EditorState& m_state;
    FileSystem& m_fs;
    const Clock& m_clock;
    std::unique_ptr<Preview> m_preview;
    std::unique_ptr<Document> m_document;
    PositionPickerWindow m_picker;  // frmPos, open or not
    PreviewPane m_pane;
    UniqueWindow m_window;
    HMENU m_menuBar = nullptr;      // attached to the window, which destroys it
    HMENU m_recentMenu = nullptr;   // inside the menu bar
    UniqueMenu m_rightMenu;         // mnuRight, never attached
    HACCEL m_accelerators = nullptr;  // a resource: freed with the module
    HWND m_toolbar = nullptr;       // child windows: destroyed with the main window
    HWND m_layoutMode = nullptr;
    HWND m_place = nullptr;
    HWND m_placeButton = nullptr;
    HWND m_margin = nullptr;
    HWND m_status = nullptr;
    HWND m_tooltips = nullptr;      // owned by the main window, destroyed with it
    UniqueImageList m_toolbarImages;
    UniqueFont m_controlFont;
    UINT m_dpi = 96;
    bool m_committingMargin = false;  // the margin's own message box takes the focus
    bool m_configWritten = false;     // the close question was answered Yes
    bool m_searchOpen = false;        // the memo search window is up (modal)
    HWND m_lastFocus = nullptr;       // the control that had the focus when the window
                                      // was last deactivated
};

}  // namespace kanopa::editor::win32
