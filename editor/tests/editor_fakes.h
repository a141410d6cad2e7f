#pragma once
// A recording stand-in for the editor window: answers questions and file dialogs from
// what the test set up, and keeps what the logic showed.
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/editor_view.h"

namespace kanopa::editor::testing {

struct Question {
    std::string text;
    std::string caption;
    DefaultButton defaultButton;
};

class FakeEditorView : public EditorView {
public:
    // Set up by the test.
    std::deque<bool> answers;                   // one per question; none left: No
    std::optional<std::string> openDialogResult;  // nullopt: cancelled
    std::optional<std::string> saveDialogResult;
    PixelSize frame{600, 400};

    // Window contents.
    std::string labelCaption;
    std::string editText;
    bool editVisible = false;
    bool labelVisible = false;
    PixelRect label{50, 50, 200, 100};
    LayoutControls controls;
    PreviewModel preview;
    std::string statusCoordinates;
    std::string statusPath;
    RecentMenu recentMenu;
    int marginFocus = 0;
    int textEdits = 0;
    int openDialogs = 0;
    int saveDialogs = 0;

    // Recorded.
    std::vector<Question> questions;
    std::vector<std::pair<std::string, MessageIcon>> messages;

    bool AskYesNo(const std::string& text, const std::string& caption,
                  DefaultButton defaultButton) override {
        questions.push_back({text, caption, defaultButton});
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        messages.emplace_back(text, icon);
    }
    std::optional<std::string> ShowOpenDialog() override {
        ++openDialogs;
        return openDialogResult;
    }
    std::optional<std::string> ShowSaveDialog() override {
        ++saveDialogs;
        return saveDialogResult;
    }
    void CommitEditBox() override {
        if (!editText.empty()) labelCaption = editText;
        editVisible = false;
    }
    std::string LabelCaption() override { return labelCaption; }
    void SetEditText(const std::string& text) override { editText = text; }
    void ShowLabel() override { labelVisible = true; }
    PixelRect LabelRect() override { return label; }
    void SetLabelRect(const PixelRect& rect) override { label = rect; }
    void BeginTextEdit() override {
        ++textEdits;
        editVisible = true;
    }
    PixelSize FrameSize() override { return frame; }
    void SetFrameSize(const PixelSize& size) override { frame = size; }
    void ApplyLayoutControls(const LayoutControls& c) override { controls = c; }
    void ApplyPreview(const PreviewModel& model) override {
        preview = model;
        label = model.label;
        labelCaption = model.text;
        editText = model.text;
    }
    void FocusMarginBox() override { ++marginFocus; }
    void SetStatusCoordinates(const std::string& text) override { statusCoordinates = text; }
    void SetStatusPath(const std::string& text) override { statusPath = text; }
    void SetRecentMenu(const RecentMenu& items) override { recentMenu = items; }
};

}  // namespace kanopa::editor::testing
