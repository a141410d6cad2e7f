#pragma once
// A recording stand-in for the editor window: answers questions and file dialogs as
// the test set them up, and keeps what the logic showed.
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/editor_view.h"

namespace kanopa::editor::testing {

struct Question {
    std::string text, caption;
    DefaultButton defaultButton;
};

class FakeEditorView : public EditorView {
public:
    std::deque<bool> answers;  // one per question; none left: No
    std::optional<std::string> openDialogResult, saveDialogResult;  // nullopt: cancelled
    PixelSize frame{600, 400};
    std::string labelCaption, editText, statusCoordinates, statusPath;
    bool labelVisible = false;
    PixelRect label{50, 50, 200, 100};
    LayoutControls controls{true, "左-上", "50"};  // as the window shows the defaults
    PreviewModel preview;
    RecentMenu recentMenu;
    int marginFocus = 0, textEdits = 0, saveDialogs = 0;
    std::vector<Question> questions;
    std::vector<std::pair<std::string, MessageIcon>> messages;

    bool AskYesNo(const std::string& text, const std::string& caption,
                  DefaultButton defaultButton) override {
        questions.push_back({text, caption, defaultButton});
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        messages.emplace_back(text, icon);
    }
    std::optional<std::string> ShowOpenDialog() override { return openDialogResult; }
    std::optional<std::string> ShowSaveDialog() override {
        ++saveDialogs;
        return saveDialogResult;
    }
    void CommitEditBox() override {
        if (editText.empty()) return;
        labelCaption = editText;
        labelVisible = true;
    }
    std::string LabelCaption() override { return labelCaption; }
    void SetEditText(const std::string& text) override { editText = text; }
    void ShowLabel() override { labelVisible = true; }
    PixelRect LabelRect() override { return label; }
    void SetLabelRect(const PixelRect& rect) override { label = rect; }
    void BeginTextEdit() override { ++textEdits; }
    PixelSize FrameSize() override { return frame; }
    void SetFrameSize(const PixelSize& size) override { frame = size; }
    void ApplyLayoutControls(const LayoutControls& c) override { controls = c; }
    void ApplyPreview(const PreviewModel& model) override {
        preview = model;
        label = model.label;
        labelCaption = editText = model.text;
    }
    void FocusMarginBox() override { ++marginFocus; }
    std::string MarginText() override { return controls.marginText; }
    void SetStatusCoordinates(const std::string& text) override { statusCoordinates = text; }
    void SetStatusPath(const std::string& text) override { statusPath = text; }
    void SetRecentMenu(const RecentMenu& items) override { recentMenu = items; }
};

}  // namespace kanopa::editor::testing
