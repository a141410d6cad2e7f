#pragma once
// The fixed phrases (frmFixedForm) and their file, FixedForm.txt.
//
// The file, code page 932, every line ended by CR LF:
//   lines 1-8   a frame of "#", 37 columns (bytes) wide, holding the file's name, the
//               program's title and its maker;
//   line 9      "#"
//   line 10     "#定型文"
//   line 11...  one phrase per line in double quotes, in list order (a phrase holding a
//               quote, which only an unquoted item of a hand-edited file brings, bare).
// Reading takes the file's delimited items (editor/insert/delimited_items.h): every item
// holding "#" is skipped, which drops the header whatever it says, and every other item
// is a phrase, in file order. A hand-edited file may therefore hold unquoted phrases,
// several to a line between commas, duplicates, and blank lines (empty phrases, written
// back as "").
// Because of that form, a phrase holding "#", a double quote, a line break or a character
// the code page lacks could not come back as it went in: adding one is refused.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_system.h"
#include "editor/editor_view.h"

namespace kanopa::editor {

inline constexpr char kFixedFormDialogName[] = "frmFixedForm";
inline constexpr std::size_t kFixedFormHeaderLines = 10;
inline constexpr std::size_t kFixedFormFrameWidth = 37;  // bytes of code page 932
// Larger than any list a person keeps; a bigger file is not ours to rewrite.
inline constexpr std::uint64_t kFixedFormMaxBytes = 1024 * 1024;

inline constexpr char kEmptyPhraseMessage[] = "追加する文を入力して下さい。";
inline constexpr char kDuplicatePhraseMessage[] = "同じ文が既に存在します。";
inline constexpr char kNoPhraseSelectedMessage[] = "挿入する定型文を選択してください。";
inline constexpr char kLineBreakRefusedMessage[] = "改行は定型文に使えません。";
inline constexpr char kFixedFormFullMessage[] = "定型文ファイルがいっぱいのため、これ以上追加できません。";
inline constexpr char kFixedFormTooLargeMessage[] =
    "定型文ファイルが大きくなりすぎるため、変更を保存できません。";
// Followed by the file's path and the system's reason, a line each.
inline constexpr char kFixedFormReadFailedMessage[] =
    "定型文ファイルを読み込めませんでした。この画面での変更は保存されません。";

// The phrases of FixedForm.txt's bytes.
std::vector<std::string> ReadFixedPhrases(std::string_view cp932Bytes);
// The whole file, as bytes of code page 932, for these phrases.
std::string WriteFixedPhrases(const std::vector<std::string>& phrases);

// Why `phrase` cannot be kept in the file, as the message the user sees; nullopt when
// it can.
std::optional<std::string> PhraseRefusal(std::string_view phrase);

// What the dialog logic needs of its window: lstFix, txtFix and message boxes.
class FixedPhraseView {
public:
    virtual ~FixedPhraseView() = default;
    // Refills lstFix; nothing is selected afterwards.
    virtual void ShowPhrases(const std::vector<std::string>& phrases) = 0;
    // The selected entry of lstFix (its index), nullopt when none is.
    virtual std::optional<std::size_t> SelectedIndex() = 0;
    virtual std::string InputText() = 0;
    virtual void SetInputText(const std::string& text) = 0;
    virtual void FocusInput() = 0;
    virtual void FocusList() = 0;
    // OK only, the program's title as caption.
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
};

// The dialog's logic from opening to closing. The list on screen mirrors Phrases() one
// to one.
class FixedPhraseDialog {
public:
    FixedPhraseDialog(FileSystem& fs, std::string path, FixedPhraseView& view);

    // GetFixedData and SetList. A missing file gives an empty list (written on closing);
    // a file that is there but cannot be read is reported and left alone.
    void Open();
    // A click in lstFix: the selected phrase goes into txtFix.
    void OnPhraseClicked();
    void Add();
    // Removes the first phrase equal to the selected one; nothing without a selection.
    void Delete();
    // The phrase to append to the memo text, after which the dialog closes; nullopt
    // (with a message) when nothing, or an empty phrase, is selected.
    std::optional<std::string> Insert();
    // SetFixedData: rewrites the file in one step; a failure keeps the old file whole
    // and is shown. False when it was not written.
    bool Close();

    const std::vector<std::string>& Phrases() const { return m_phrases; }

private:
    std::string SelectedPhrase();
    void ShowList();

    FileSystem& m_fs;
    std::string m_path;
    FixedPhraseView& m_view;
    std::vector<std::string> m_phrases;
    bool m_readFailed = false;  // the file is there but unread: closing must not replace it
};

}  // namespace kanopa::editor
