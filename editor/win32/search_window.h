#pragma once
// frmSearch: the memo search window, shown modally over the editor. It binds its
// controls to the memo search's logic (editor/tools/memo_search.h, which also gives the
// layout in twips) and serves the folder walk as its observer: the walk runs on this
// thread and lets the window's messages through once per listing entry, so that the
// stop button, the text boxes and closing the window keep working during it.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/win32/unique_handle.h"
#include "common/win32/window_thunk.h"
#include "editor/editor_state.h"
#include "editor/tools/file_search.h"
#include "editor/tools/memo_search.h"

namespace kanopa::editor::win32 {

class SearchWindow final : public WalkObserver {
public:
    SearchWindow(HINSTANCE instance, EditorState& state, FileSystem& fs);
    ~SearchWindow() override;
    SearchWindow(const SearchWindow&) = delete;
    SearchWindow& operator=(const SearchWindow&) = delete;

    // Shows the window over `owner`, which is disabled until the window has closed.
    // Returns the memo the user chose to open (Enter or a double-click on a listed
    // memo), "" when the window was closed otherwise.
    std::string ShowModal(HWND owner);

    // WalkObserver
    void ListingFolder(const std::string& folder) override;
    void Pump() override;
    bool StopRequested() override { return m_stopRequested; }

private:
    friend LRESULT CALLBACK kanopa::WindowProcThunk<SearchWindow>(HWND, UINT, WPARAM, LPARAM);
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool Create(HWND owner);
    bool CreateControls(HWND window);
    void ApplyFont();
    void Layout();
    int Pixels(int twips) const;
    // True when the message was this window's keyboard handling.
    bool PreTranslate(MSG& message);
    void DispatchOne(MSG& message);

    void OnCommand(UINT id, UINT notification);
    void OnActivate(bool active);
    void ApplyEnablingRule();
    void BrowseFolder();
    void RunSearch();
    void ShowRows(const std::vector<SearchRow>& rows);
    void SetStatusText(const std::string& text);
    void OpenSelectedMemo();
    int SelectedRow() const;
    // The unload steps, then the window goes (the owner is enabled first, so that it
    // gets the activation back).
    void Unload();

    HINSTANCE m_instance;
    EditorState& m_state;
    FileSystem& m_fs;
    SearchWindowLogic m_logic;
    HWND m_owner = nullptr;
    UniqueWindow m_window;
    UniqueFont m_font;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    // Child windows: destroyed with the window.
    HWND m_keywordLabel = nullptr, m_keyword = nullptr;
    HWND m_rootLabel = nullptr, m_root = nullptr;
    HWND m_browse = nullptr, m_search = nullptr, m_subFolders = nullptr;
    HWND m_list = nullptr, m_status = nullptr;
    HWND m_lastFocus = nullptr;  // given back when the window is activated again

    bool m_searching = false;
    bool m_stopRequested = false;
    bool m_closeRequested = false;   // closed during a walk: closes once it has ended
    bool m_quitRequested = false;    // WM_QUIT met inside this window's loops
    WPARAM m_quitCode = 0;
    std::uint64_t m_lastProgressTick = 0;
    RECT m_restoredRect{};  // the last one while neither minimised nor maximised
    std::string m_openPath;
};

}  // namespace kanopa::editor::win32
