#include "editor/insert/fixed_phrases.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "common/cp932.h"
#include "common/log.h"
#include "common/safe_save.h"
#include "common/utf8.h"
#include "editor/insert/delimited_items.h"

namespace kanopa::editor {
namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr std::size_t kTitleIndent = 7;  // blanks between the frame and the title
constexpr char kTitle[] = "カノパ";
constexpr char kMakerNotice[] = "Copyright (C) Kanopa";

// A line of the frame: "#", seven blanks, the text (code page 932), blanks up to the
// frame's last column, "#".
std::string FramedLine(std::string_view utf8) {
    std::string line(1 + kTitleIndent, ' ');
    line.front() = '#';
    line += Utf8ToCp932(utf8);
    line.resize(kFixedFormFrameWidth - 1, ' ');
    line += '#';
    return line;
}

std::string Header() {
    const std::string full(kFixedFormFrameWidth, '#');
    const std::string empty = "#" + std::string(kFixedFormFrameWidth - 2, ' ') + "#";
    const std::string lines[kFixedFormHeaderLines] = {
        full,
        empty,
        Utf8ToCp932("#   　　定型文 データファイル    　 #"),
        empty,
        FramedLine(kTitle),
        FramedLine(kMakerNotice),
        empty,
        full,
        "#",
        Utf8ToCp932("#定型文"),
    };
    std::string header;
    for (const std::string& line : lines) header += line + kLineEnd;
    return header;
}

// The phrase as the file gives it back: characters that have a twin in the code page
// (WAVE DASH and FULLWIDTH TILDE...) come back as the code page's own.
std::string AsStored(std::string_view phrase) { return Cp932ToUtf8(Utf8ToCp932(phrase)); }

}  // namespace

std::vector<std::string> ReadFixedPhrases(std::string_view cp932Bytes) {
    std::vector<std::string> phrases = ReadDelimitedItems(Cp932ToUtf8(cp932Bytes));
    std::erase_if(phrases, [](const std::string& item) { return item.find('#') != std::string::npos; });
    return phrases;
}

std::string WriteFixedPhrases(const std::vector<std::string>& phrases) {
    std::string bytes = Header();
    for (const std::string& phrase : phrases) {
        // Quotes have no escape; a phrase holding one came from an unquoted item of a
        // hand-edited file (no comma, no blank at either end) and reads back whole as such.
        const bool bare = phrase.find('"') != std::string::npos;
        bytes += Utf8ToCp932(bare ? phrase : QuoteItem(phrase)) + kLineEnd;
    }
    return bytes;
}

std::optional<std::string> PhraseRefusal(std::string_view phrase) {
    for (std::size_t pos = 0; pos < phrase.size();) {
        const std::size_t start = pos;
        const char32_t c = NextCodePoint(phrase, pos);
        if (c == U'\r' || c == U'\n') return kLineBreakRefusedMessage;
        if (c == U'#' || c == U'"' || !IsCp932Storable(c)) {
            return "「" + std::string(phrase.substr(start, pos - start)) + "」は定型文に使えません。";
        }
    }
    return std::nullopt;
}

FixedPhraseDialog::FixedPhraseDialog(FileSystem& fs, std::string path, FixedPhraseView& view)
    : m_fs(fs), m_path(std::move(path)), m_view(view) {}

void FixedPhraseDialog::Open() {
    m_phrases.clear();
    m_readFailed = false;
    std::string bytes;
    Status read = m_fs.ReadFile(m_path, kFixedFormMaxBytes, bytes);
    // Bytes that are no code page 932 text (a file saved as UTF-8...) would come back
    // changed from the rewrite on closing.
    if (read && !DecodesWhole(bytes)) read = Status::Fail(kDataFileNotCp932Reason);
    if (!read) {
        WriteLog(std::string(kFixedFormDialogName) + ".GetFixedData()", read.error);
        // Gone since the editor started: closing makes a new one. Otherwise the file
        // holds phrases this dialog never saw, and replacing it would lose them.
        if (m_fs.FileSize(m_path).has_value() || read.problem != Problem::Failed) {
            m_readFailed = true;
            m_view.ShowMessage(std::string(kFixedFormReadFailedMessage) + "\r\n" + m_path +
                                   "\r\n" + read.error,
                               MessageIcon::Exclamation);
        }
    } else {
        m_phrases = ReadFixedPhrases(bytes);
    }
    ShowList();
}

void FixedPhraseDialog::OnPhraseClicked() {
    if (m_view.SelectedIndex()) m_view.SetInputText(SelectedPhrase());
}

void FixedPhraseDialog::Add() {
    const std::string text = m_view.InputText();
    if (text.empty()) {
        m_view.ShowMessage(kEmptyPhraseMessage, MessageIcon::Information);
        m_view.FocusInput();
        return;
    }
    if (const std::optional<std::string> refusal = PhraseRefusal(text)) {
        m_view.ShowMessage(*refusal, MessageIcon::Exclamation);
        m_view.FocusInput();
        return;
    }
    std::string phrase = AsStored(text);
    if (std::find(m_phrases.begin(), m_phrases.end(), phrase) != m_phrases.end()) {
        m_view.ShowMessage(kDuplicatePhraseMessage, MessageIcon::Exclamation);
        m_view.FocusInput();
        return;
    }
    // A file past the limit would be refused on the next opening, its phrases with it.
    if (WriteFixedPhrases(m_phrases).size() + Utf8ToCp932(QuoteItem(phrase)).size() +
            std::size(kLineEnd) - 1 >
        kFixedFormMaxBytes) {
        m_view.ShowMessage(kFixedFormFullMessage, MessageIcon::Exclamation);
        m_view.FocusInput();
        return;
    }
    m_phrases.push_back(std::move(phrase));
    ShowList();
    m_view.SetInputText("");
}

void FixedPhraseDialog::Delete() {
    if (!m_view.SelectedIndex()) return;
    const auto first = std::find(m_phrases.begin(), m_phrases.end(), SelectedPhrase());
    if (first != m_phrases.end()) m_phrases.erase(first);
    ShowList();
}

std::optional<std::string> FixedPhraseDialog::Insert() {
    std::string phrase = SelectedPhrase();
    if (phrase.empty()) {
        m_view.ShowMessage(kNoPhraseSelectedMessage, MessageIcon::Information);
        m_view.FocusList();
        return std::nullopt;
    }
    return phrase;
}

bool FixedPhraseDialog::Close() {
    if (m_readFailed) return false;
    const std::string bytes = WriteFixedPhrases(m_phrases);
    // Items a hand-edited file held unquoted grow when written back; a file past the limit
    // would be refused on the next opening, so the one read stays.
    if (bytes.size() > kFixedFormMaxBytes) {
        m_view.ShowMessage(kFixedFormTooLargeMessage, MessageIcon::Exclamation);
        return false;
    }
    const Status saved = SaveFileReplacing(m_fs, m_path, bytes);
    if (!saved) {
        WriteLog(std::string(kFixedFormDialogName) + ".SetFixedData()", saved.error);
        m_view.ShowMessage(SaveFailureMessage(m_path, saved.error), MessageIcon::Exclamation);
    }
    return saved.ok;
}

std::string FixedPhraseDialog::SelectedPhrase() {
    const std::optional<std::size_t> index = m_view.SelectedIndex();
    return index && *index < m_phrases.size() ? m_phrases[*index] : std::string();
}

void FixedPhraseDialog::ShowList() { m_view.ShowPhrases(m_phrases); }

}  // namespace kanopa::editor
