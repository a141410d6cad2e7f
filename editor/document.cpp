#include "editor/document.h"

#include <utility>

#include "common/config_file.h"
#include "common/log.h"
#include "common/memo_file.h"
#include "common/memo_defaults.h"
#include "common/paths.h"
#include "editor/startup.h"

namespace kanopa::editor {
namespace {

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Reads a memo file into `record` and says why when it is not a complete memo.
bool ReadMemo(FileSystem& fs, const std::string& key, const std::string& path,
              MemoRecord& record, std::string& reason) {
    const LoadResult result = LoadMemo(fs, key, path, record);
    if (!result.read) {
        reason = result.read.problem == Problem::TooLarge ? "メモファイルとしては大きすぎます。"
                                                          : result.read.error;
        return false;
    }
    if (!result.complete()) {
        reason = "メモファイルの形式ではないか、壊れています。";
        return false;
    }
    return true;
}

// Windows drops trailing dots from a file name; the name then has no extension.
std::string WithoutTrailingDots(std::string path) {
    while (!path.empty() && path.back() == '.') path.pop_back();
    return path;
}

}  // namespace

std::string NormalizeDialogPath(const std::string& chosen) {
    return AsciiLower(Trim(chosen));
}

std::string NormalizeSavePath(const std::string& chosen) {
    std::string path = WithoutTrailingDots(NormalizeDialogPath(chosen));
    const std::string name = GetFileName(path);
    if (name.empty()) return {};
    if (name.find('.') == std::string::npos) path += kMemoExtension;
    return path;
}

Document::Document(EditorState& state, FileSystem& fs, const Clock& clock, EditorView& view,
                   Preview& preview)
    : m_state(state), m_fs(fs), m_clock(clock), m_view(view), m_preview(preview) {}

void Document::OnWindowLoad() {
    m_view.SetRecentMenu(m_state.Recent().MenuItems());
    const std::string path = m_state.StartupFilePath();
    if (!path.empty() && LoadInto(path)) {
        m_view.ShowLabel();
        AddRecentFile(path);
        m_state.SetCurrentFilePath(path);
    }
    ShowCurrentPath();
    RefreshFromRecord();
}

void Document::New() {
    if (!m_view.AskYesNo(kNewMemoQuestion, "", DefaultButton::No)) return;
    SetDefaultMemoValues(m_state.Memo());
    RefreshFromRecord();
    m_view.ShowLabel();
}

void Document::OpenFile(const std::string& path, int openMode) {
    std::string target = path;
    const bool fromDialog = path.empty();
    if (fromDialog) {
        const auto chosen = m_view.ShowOpenDialog();
        if (!chosen) return;
        target = NormalizeDialogPath(*chosen);
        if (target.empty()) return;
    } else if (!IsFile(m_fs, target)) {
        m_view.ShowMessage(kFileMissingMessage, MessageIcon::Exclamation);
        return;
    }
    if (!LoadInto(target)) return;
    RefreshFromRecord();
    m_view.ShowLabel();
    if (fromDialog || openMode == kOpenModeFromSearch) AddRecentFile(target);
    m_state.SetCurrentFilePath(target);
    ShowCurrentPath();
}

void Document::OpenRecent(int index) {
    const std::string path = m_state.Recent().PathAt(index);
    if (!path.empty()) OpenFile(path, kOpenModeNormal);
}

void Document::AddRecentFile(const std::string& path) {
    m_state.Recent().Add(path);
    m_view.SetRecentMenu(m_state.Recent().MenuItems());
}

void Document::SaveAs(const std::string& selection) {
    // The margin box shows what the user expects in the file: a value still being typed
    // is taken now, and one out of range stops the save.
    if (!m_preview.CommitPendingMargin()) return;
    const auto chosen = m_view.ShowSaveDialog();
    if (!chosen) return;
    const std::string target = NormalizeSavePath(*chosen);
    if (target.empty()) return;
    // The dialog asked about the name as it came back (trailing dots aside); ".epm"
    // added here makes another file, which may exist and must not be replaced unasked.
    if (target != WithoutTrailingDots(NormalizeDialogPath(*chosen)) && m_fs.FileSize(target) &&
        !m_view.AskYesNo(target + "\r\n" + kReplaceQuestionSuffix, "", DefaultButton::No)) {
        return;
    }

    m_view.CommitEditBox();
    MemoRecord& memo = m_state.Memo();
    const std::string whole = m_view.LabelCaption();
    memo.memoText = selection.empty() ? whole : selection;
    m_preview.StoreLabelGeometry();
    if (!WriteMemo(target)) {
        // The memo on screen is still the whole text: a later overwrite save of the
        // current file must not write the selection alone.
        memo.memoText = whole;
        return;
    }
    // Only the selection was saved; the edit box keeps it, the label the full text.
    if (!selection.empty()) m_view.SetEditText(selection);
    m_state.SetCurrentFilePath(target);
    ShowCurrentPath();
    AddRecentFile(target);
}

void Document::SaveOverwrite() {
    if (!m_preview.CommitPendingMargin()) return;
    if (m_state.CurrentFilePath().empty()) {
        SaveAs("");
        return;
    }
    if (!IsFile(m_fs, m_state.CurrentFilePath())) {
        m_view.ShowMessage(m_state.CurrentFilePath() + "\r\n" + kMovedOrDeletedSuffix,
                           MessageIcon::Exclamation);
        m_state.SetCurrentFilePath("");
        SaveAs("");
        ShowCurrentPath();
        return;
    }
    m_view.CommitEditBox();
    m_state.Memo().memoText = m_view.LabelCaption();
    m_preview.StoreLabelGeometry();
    if (WriteMemo(m_state.CurrentFilePath())) ShowCurrentPath();
}

bool Document::ConfirmClose() {
    if (!m_view.AskYesNo(kCloseQuestion, kCloseCaption, DefaultButton::No)) return false;
    if (const Status written = WriteConfig(); !written) {
        m_view.ShowMessage(written.error, MessageIcon::Exclamation);
    }
    WriteLog(kEndLogLine, "");
    return true;
}

void Document::SaveConfigForSessionEnd() {
    // No message box while the session ends: it would hold the shutdown up. A failure
    // is in the log (SaveConfig writes it).
    WriteConfig();
    WriteLog(kEndLogLine, "");
}

void Document::RefreshFromRecord() {
    m_preview.ApplyLayoutControls();
    m_preview.ApplyMemoToPreview();
}

bool Document::LoadInto(const std::string& path) {
    // Read into a copy: a half-read record never reaches the editor.
    MemoRecord loaded = m_state.Memo();
    std::string reason;
    if (!ReadMemo(m_fs, m_state.Context().memoKey, path, loaded, reason)) {
        WriteLog("LoadMemo()", "FILEPATH:" + path + " " + reason);
        m_view.ShowMessage(std::string(kLoadFailedMessage) + "\r\n" + path + "\r\n" + reason,
                           MessageIcon::Exclamation);
        return false;
    }
    m_state.Memo() = std::move(loaded);
    return true;
}

bool Document::WriteMemo(const std::string& path) {
    const Status saved =
        SaveMemo(m_fs, m_clock, m_state.Context().memoKey, path, m_state.Memo());
    if (!saved) m_view.ShowMessage(saved.error, MessageIcon::Exclamation);
    return saved.ok;
}

Status Document::WriteConfig() {
    // The configuration carries the default memo settings, not the memo on screen;
    // SaveConfig resets what it writes, so it works on a copy.
    MemoRecord config = m_state.Memo();
    return SaveConfig(m_fs, m_state.ConfigPath(), config);
}

void Document::ShowCurrentPath() {
    m_view.SetStatusPath(m_state.CurrentFilePath());
}

}  // namespace kanopa::editor
