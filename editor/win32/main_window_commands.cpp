// What the editor's menu, toolbar and layout row commands do; the window itself (its
// controls, layout and messages) is in main_window.cpp.
#include "editor/win32/main_window.h"

#include <shellapi.h>

#include "common/log.h"
#include "common/win32/about_dialog.h"
#include "common/win32/wide.h"
#include "editor/insert/date_time_file.h"
#include "editor/position_picker_logic.h"
#include "editor/win32/copy_dialog.h"
#include "editor/win32/date_time_dialog.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/editor_texts.h"
#include "editor/win32/fixed_form_dialog.h"
#include "editor/win32/font_color_dialogs.h"
#include "editor/win32/japanese_eras.h"
#include "editor/win32/resource.h"
#include "editor/win32/search_window.h"
#include "editor/win32/win32_text.h"

namespace kanopa::editor::win32 {
namespace {

// The version dialog's client area.
constexpr int kAboutWidthTwips = 5160;
constexpr int kAboutHeightTwips = 3015;

}  // namespace

void MainWindow::OnCommand(UINT command, UINT notification, HWND control) {
    if (control == m_layoutMode) {
        // Only the user's choice counts: setting the selection sends no notification.
        if (notification == CBN_SELCHANGE && IsWindowVisible(m_window.Get())) {
            m_preview->OnLayoutModeChosen(SendMessageW(m_layoutMode, CB_GETCURSEL, 0, 0) == 0);
        }
        return;
    }
    if (control == m_placeButton) {
        if (notification == BN_CLICKED) OpenPositionPicker();
        return;
    }
    if (control != nullptr && control != m_toolbar) return;
    switch (command) {
    case IDM_FILE_NEW: m_document->New(); break;
    case IDM_FILE_OPEN: m_document->OpenFile("", kOpenModeNormal); break;
    case IDM_FILE_UWAGAKI: m_document->SaveOverwrite(); break;
    case IDM_FILE_SAVE: m_document->SaveAs(""); break;
    case IDM_EDIT_SAVE_RANGE: m_document->SaveAs(m_pane.EditSelection()); break;
    case IDM_FILE_RECENT_FILE_1:
    case IDM_FILE_RECENT_FILE_2:
    case IDM_FILE_RECENT_FILE_3:
    case IDM_FILE_RECENT_FILE_4:
    case IDM_FILE_RECENT_FILE_5:
        m_document->OpenRecent(static_cast<int>(command - IDM_FILE_RECENT_FILE_1));
        break;
    case IDM_FILE_CLOSE: PostMessageW(m_window.Get(), WM_CLOSE, 0, 0); break;
    case IDM_EDIT_UNDO: OnEditCommand(EM_UNDO); break;
    case IDM_EDIT_CUT: OnEditCommand(WM_CUT); break;
    case IDM_EDIT_COPY: OnEditCommand(WM_COPY); break;
    case IDM_EDIT_PASTE: OnEditCommand(WM_PASTE); break;
    case IDM_INSERT_DATE_TIME: InsertDateTime(); break;
    case IDM_INSERT_FIXED_FORM: InsertFixedPhrase(); break;
    case IDM_FORMAT_FONT:
    case IDM_RIGHT_FONT:
        ChooseMemoFont();
        break;
    case IDM_FORMAT_BACK_COLOR:
    case IDM_RIGHT_BACK_COLOR:
        ChooseBackColor();
        break;
    case IDM_TOOL_SEARCH: OpenSearchWindow(); break;
    case IDM_TOOL_COPY:
        ShowCopyDialog(m_window.Get(), m_instance, m_fs, m_state.Context().programFolder);
        break;
    case IDM_HELP_CONTENTS: OpenHelp(); break;
    case IDM_HELP_VERSION:
        ShowAboutDialog(m_window.Get(), m_instance,
                        AboutDialogInput{kProgramTitle, IDI_KANOPA, kAboutWidthTwips,
                                         kAboutHeightTwips, m_state.Context().programFolder});
        break;
    default: break;
    }
}

void MainWindow::OpenPositionPicker() {
    m_pane.CommitEditBox();
    RECT button{};
    RECT toolbar{};
    GetWindowRect(m_placeButton, &button);
    GetWindowRect(m_toolbar, &toolbar);
    const double twipsPerPixel = m_preview->TwipsPerPixel();
    const PixelPoint origin = PickerOrigin(button.left, toolbar.bottom,
                                           PickerClientSize(twipsPerPixel).width, twipsPerPixel);
    const Status opened = m_picker.Open(m_window.Get(), POINT{origin.x, origin.y},
                                        [this](int anchor) { m_preview->PickAnchor(anchor); });
    if (!opened) WriteLog("frmCreateMemo.cmdPlace_Click()", opened.error);
}

void MainWindow::InsertFixedPhrase() {
    m_pane.BeginTextEdit();
    const std::optional<std::string> phrase =
        ShowFixedFormDialog(m_window.Get(), m_instance, m_fs, m_state.Context().programFolder);
    if (phrase) AppendToMemoText(*phrase);
}

void MainWindow::InsertDateTime() {
    m_pane.BeginTextEdit();
    // The era table is read each time, so that an era the system gained is used at once.
    const DateTimeDialogInput input{m_fs, m_clock, m_state.Context().programFolder + kDateTimeFileName,
                                    SystemEraTable()};
    const std::optional<std::string> entry = ShowDateTimeDialog(m_window.Get(), m_instance, input);
    if (entry && !entry->empty()) AppendToMemoText(*entry);
}

void MainWindow::AppendToMemoText(const std::string& text) {
    // Always at the very end of the edit box's text, wherever the caret is; the box
    // carries it into the memo. Typing goes on after it.
    HWND edit = m_pane.EditBox();
    if (edit == nullptr) return;  // the window went while the dialog was up
    m_pane.SetEditText(WideToUtf8(WindowTextOf(edit)) + text);
    const int end = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void MainWindow::OpenSearchWindow() {
    // A command posted to this disabled window while the search window's own loop runs
    // must not open a second one.
    if (m_searchOpen) return;
    m_searchOpen = true;
    m_picker.Close();
    SearchWindow search(m_instance, m_state, m_fs);
    const std::string path = search.ShowModal(m_window.Get());
    m_searchOpen = false;
    // Loaded once the search window has gone; the mode also lists the file as recent.
    if (!path.empty() && m_window.IsValid()) m_document->OpenFile(path, kOpenModeFromSearch);
}

void MainWindow::ChooseMemoFont() {
    // The label's place first: re-dressing it from the record must not move it back.
    m_preview->StoreLabelGeometry();
    ShowMemoFontDialog(m_window.Get(), m_state.Memo());
    m_preview->ApplyMemoToPreview();
}

void MainWindow::ChooseBackColor() {
    std::int32_t color = m_state.Memo().backColor;
    if (!ShowColorDialog(m_window.Get(), color)) return;
    m_preview->StoreLabelGeometry();
    m_state.Memo().backColor = color;
    m_preview->ApplyMemoToPreview();
}

void MainWindow::OnEditCommand(UINT request) {
    // On the memo's edit box, visible or not; its change notification carries the new
    // text into the memo.
    HWND edit = m_pane.EditBox();
    SendMessageW(edit, request, 0, 0);
    // A second Undo must not redo what the first undid.
    if (request == EM_UNDO) SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
}

void MainWindow::CommitMargin() {
    if (m_committingMargin) return;
    m_committingMargin = true;
    m_preview->CommitMargin(WideToUtf8(WindowTextOf(m_margin)));
    m_committingMargin = false;
}

void MainWindow::OpenHelp() {
    const std::wstring folder = Utf8ToWide(m_state.Context().programFolder);
    const std::wstring file = folder + kHelpFileName;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(m_window.Get(), kOpenVerb, file.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL));
    if (result == SE_ERR_FNF) {
        MessageBoxW(m_window.Get(), kHelpMissingMessage, kProgramName, MB_OK | MB_ICONEXCLAMATION);
    } else if (result <= 32) {
        WriteLog("frmCreateMemo.mnuHelpContents_Click()",
                 "ShellExecuteW failed: error " + std::to_string(result));
    }
}

}  // namespace kanopa::editor::win32
