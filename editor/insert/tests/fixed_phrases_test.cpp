#include "editor/insert/fixed_phrases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp932.h"
#include "common/safe_save.h"
#include "common/tests/fakes.h"

namespace kanopa::editor {
namespace {

using Phrases = std::vector<std::string>;
using kanopa::testing::FakeFileSystem;
using kanopa::testing::LogCapture;

// The header as it must read, byte for byte once in code page 932.
constexpr const char* kHeaderLines[] = {
    "#####################################",
    "#                                   #",
    "#   　　定型文 データファイル    　 #",
    "#                                   #",
    "#       カノパ                      #",
    "#       Copyright (C) Kanopa        #",
    "#                                   #",
    "#####################################",
    "#",
    "#定型文",
};

std::string Cp932Lines(const std::vector<std::string>& utf8Lines) {
    std::string bytes;
    for (const std::string& line : utf8Lines) bytes += Utf8ToCp932(line) + "\r\n";
    return bytes;
}

std::string Header() { return Cp932Lines({std::begin(kHeaderLines), std::end(kHeaderLines)}); }

TEST(FixedFormFile, IsWrittenInItsCanonicalFormAndReadsBack) {
    const std::string bytes = WriteFixedPhrases({"お世話になります。", "a,b", "", " 前後 ", "ＡＢＣ"});
    EXPECT_EQ(bytes, Header() + Cp932Lines({"\"お世話になります。\"", "\"a,b\"", "\"\"",
                                            "\" 前後 \"", "\"ＡＢＣ\""}));
    const Phrases roundTrips[] = {
        {},
        {"a,b", "", " 前後 ", "\t"},
        {"同じ", "同じ"},
        {"ｶﾅ 半角", "～∥￥¨"},
        {"ab\"c", "15\" 画面", "x\"\"\""},  // from unquoted items of a hand-edited file
    };
    for (const Phrases& phrases : roundTrips) {
        EXPECT_EQ(ReadFixedPhrases(WriteFixedPhrases(phrases)), phrases);
    }
}

TEST(FixedFormFile, ReadsHandEditedFiles) {
    const struct {
        const char* name;
        std::string bytes;
        Phrases phrases;
    } cases[] = {
        {"unquoted, commas, blank lines, duplicates",
         Header() + Cp932Lines({"一つ目, 二つ目", "", "\"三,つ目\"", "一つ目"}),
         {"一つ目", "二つ目", "", "三,つ目", "一つ目"}},
        {"no header, LF only", "a\nb\n", {"a", "b"}},
        {"another title and a comment", Cp932Lines({"###", "# 自分用 #", "x", "#メモ: 未使用", "y"}),
         {"x", "y"}},
        {"'#' anywhere in an item", "\"a#b\",c#,#,d\r\n", {"d"}},
        {"header only", Header(), {}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadFixedPhrases(c.bytes), c.phrases) << c.name;
    }
}

TEST(FixedPhraseRefusal, NamesTheFirstCharacterTheFileCannotCarry) {
    const struct {
        const char* phrase;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {"番号#1", "「#」は定型文に使えません。"},
        {"\"引用\"", "「\"」は定型文に使えません。"},
        {"行1\r\n行2", "改行は定型文に使えません。"},
        {"a\nb", "改行は定型文に使えません。"},
        {"a\rb", "改行は定型文に使えません。"},
        {"笑顔😀です#", "「😀」は定型文に使えません。"},
        {"©2026", "「©」は定型文に使えません。"},
        {"￦", "「￦」は定型文に使えません。"},
        // Next to each refused character, one the file carries.
        {"!$", nullptr},
        {"＃＂", nullptr},
        {"\t\x0B\x0C\x0E", nullptr},
        {"¨￥", nullptr},
        {"〜", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> refusal = PhraseRefusal(c.phrase);
        if (c.message == nullptr) {
            EXPECT_FALSE(refusal.has_value()) << c.phrase << ": " << refusal.value_or("");
        } else {
            EXPECT_EQ(refusal.value_or("(accepted)"), c.message) << c.phrase;
        }
    }
}

// lstFix, txtFix and the message boxes, recorded.
class FakePhraseView : public FixedPhraseView {
public:
    Phrases shown;
    std::optional<std::size_t> selected;
    std::string input;
    std::vector<std::pair<std::string, MessageIcon>> messages;
    std::string focus;

    void ShowPhrases(const Phrases& phrases) override {
        shown = phrases;
        selected.reset();
    }
    std::optional<std::size_t> SelectedIndex() override { return selected; }
    std::string InputText() override { return input; }
    void SetInputText(const std::string& text) override { input = text; }
    void FocusInput() override { focus = "txtFix"; }
    void FocusList() override { focus = "lstFix"; }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        messages.emplace_back(text, icon);
    }
};

constexpr char kPath[] = "C:\\Kanopa\\FixedForm.txt";

struct Opened {
    FakeFileSystem fs;
    FakePhraseView view;
    FixedPhraseDialog dialog{fs, kPath, view};
    explicit Opened(const Phrases& phrases) {
        fs.Put(kPath, WriteFixedPhrases(phrases));
        dialog.Open();
    }
};

TEST(FixedPhraseDialog, AddRefusesEmptyDuplicateAndUnstorableTextAndKeepsIt) {
    const struct {
        const char* input;
        const char* message;  // nullptr: added
        MessageIcon icon;
        Phrases after;
    } cases[] = {
        {"", kEmptyPhraseMessage, MessageIcon::Information, {"ABC", "挨拶"}},
        {"ABC", kDuplicatePhraseMessage, MessageIcon::Exclamation, {"ABC", "挨拶"}},
        {"#", "「#」は定型文に使えません。", MessageIcon::Exclamation, {"ABC", "挨拶"}},
        {"abc", nullptr, MessageIcon::Information, {"ABC", "挨拶", "abc"}},
        {" 挨拶", nullptr, MessageIcon::Information, {"ABC", "挨拶", " 挨拶"}},
        // Stored as the code page keeps it, so that it comes back equal.
        {"〜", nullptr, MessageIcon::Information, {"ABC", "挨拶", "～"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        Opened opened({"ABC", "挨拶"});
        opened.view.input = c.input;
        opened.dialog.Add();
        EXPECT_EQ(opened.dialog.Phrases(), c.after);
        EXPECT_EQ(opened.view.shown, c.after);
        if (c.message == nullptr) {
            EXPECT_TRUE(opened.view.messages.empty());
            EXPECT_EQ(opened.view.input, "");
        } else {
            ASSERT_EQ(opened.view.messages.size(), 1u);
            EXPECT_EQ(opened.view.messages[0].first, c.message);
            EXPECT_EQ(opened.view.messages[0].second, c.icon);
            EXPECT_EQ(opened.view.input, c.input);
            EXPECT_EQ(opened.view.focus, "txtFix");
        }
    }
}

// The file the dialog writes must stay one it reads again.
TEST(FixedPhraseDialog, NeitherAddNorCloseWritesAFilePastTheSizeLimit) {
    const std::size_t lineOfAbc = std::string("\"abc\"\r\n").size();
    const std::size_t filler = kFixedFormMaxBytes - lineOfAbc - WriteFixedPhrases({""}).size();
    for (const std::string input : {"abc", "abcd"}) {
        SCOPED_TRACE(input);
        Opened opened({std::string(filler, 'x')});
        opened.view.input = input;
        opened.dialog.Add();
        const bool fits = input == "abc";
        EXPECT_EQ(opened.dialog.Phrases().size(), fits ? 2u : 1u);
        EXPECT_EQ(opened.view.messages.size(), fits ? 0u : 1u);
        EXPECT_TRUE(opened.dialog.Close());
        EXPECT_EQ(opened.fs.Get(kPath).size(), kFixedFormMaxBytes - (fits ? 0 : lineOfAbc));
    }
    // Unquoted by hand, a file of exactly the limit reads, but written back quoted it
    // would pass it: the file read stays as it was.
    std::string byHand;
    for (int line = 0; byHand.size() < kFixedFormMaxBytes; ++line) {
        byHand += std::to_string(line) + std::string(50, 'y') + "\r\n";
    }
    byHand.resize(kFixedFormMaxBytes);
    FakeFileSystem fs;
    FakePhraseView view;
    fs.Put(kPath, byHand);
    FixedPhraseDialog dialog{fs, kPath, view};
    dialog.Open();
    ASSERT_TRUE(view.messages.empty());
    EXPECT_FALSE(dialog.Close());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].first, kFixedFormTooLargeMessage);
    EXPECT_EQ(fs.Get(kPath), byHand);
}

TEST(FixedPhraseDialog, ClickDeleteAndInsertWorkOnTheSelectedPhrase) {
    const Phrases file = {"a", "b", "a", ""};
    const struct {
        std::optional<std::size_t> selected;
        Phrases afterDelete;
        std::optional<std::string> inserted;
    } cases[] = {
        {std::nullopt, file, std::nullopt},
        {0, {"b", "a", ""}, "a"},
        {2, {"b", "a", ""}, "a"},  // the first equal phrase goes
        {1, {"a", "a", ""}, "b"},
        {3, {"a", "b", "a"}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected.value_or(99));
        Opened opened(file);
        opened.view.selected = c.selected;
        opened.view.input = "typed";
        opened.dialog.OnPhraseClicked();
        EXPECT_EQ(opened.view.input, c.selected ? file[*c.selected] : "typed");
        EXPECT_EQ(opened.dialog.Insert(), c.inserted);
        if (!c.inserted) {
            ASSERT_EQ(opened.view.messages.size(), 1u);
            EXPECT_EQ(opened.view.messages[0].first, kNoPhraseSelectedMessage);
            EXPECT_EQ(opened.view.messages[0].second, MessageIcon::Information);
            EXPECT_EQ(opened.view.focus, "lstFix");
        }
        opened.dialog.Delete();
        EXPECT_EQ(opened.view.shown, c.afterDelete);
        EXPECT_EQ(opened.dialog.Phrases(), c.afterDelete);
    }
}

TEST(FixedPhraseDialog, ClosingRewritesTheFileInOneStepOrKeepsTheOldOneAndSaysSo) {
    const std::string handEdited = "x, y\r\n\r\n";
    {
        SCOPED_TRACE("written");
        Opened opened({});
        opened.fs.Put(kPath, handEdited);
        opened.dialog.Open();
        EXPECT_TRUE(opened.dialog.Close());
        EXPECT_EQ(opened.fs.Get(kPath), WriteFixedPhrases({"x", "y", ""}));
        EXPECT_EQ(opened.fs.PathsStartingWith(std::string(kPath) + ".").size(), 0u);
    }
    for (const bool create : {true, false}) {
        SCOPED_TRACE(create ? "create fails" : "replace fails");
        Opened opened({});
        opened.fs.Put(kPath, handEdited);
        opened.dialog.Open();
        opened.view.input = "新しい文";
        opened.dialog.Add();
        (create ? opened.fs.failCreate : opened.fs.failReplace) = true;
        LogCapture capture;
        EXPECT_FALSE(opened.dialog.Close());
        EXPECT_EQ(opened.fs.Get(kPath), handEdited);
        EXPECT_EQ(opened.fs.PathsStartingWith(std::string(kPath) + ".").size(), 0u);
        const std::string reason = create ? "disk full" : "access denied";
        ASSERT_EQ(opened.view.messages.size(), 1u);
        EXPECT_EQ(opened.view.messages[0].first, SaveFailureMessage(kPath, reason));
        EXPECT_EQ(opened.view.messages[0].second, MessageIcon::Exclamation);
        ASSERT_EQ(capture.log.entries.size(), 1u);
        EXPECT_EQ(capture.log.entries[0].first, "frmFixedForm.SetFixedData()");
        EXPECT_EQ(capture.log.entries[0].second, reason);
    }
}

TEST(FixedPhraseDialog, AFileThatCannotBeReadIsReportedAndNeverReplaced) {
    const std::size_t limit = static_cast<std::size_t>(kFixedFormMaxBytes);
    const struct {
        const char* name;
        std::optional<std::string> bytes;  // nullopt: a folder stands there
        bool read;
        bool reported;  // shown to the user, and left as it is on closing
    } cases[] = {
        {"missing: made on closing", "", false, false},
        {"a folder", std::nullopt, false, true},
        {"at the size limit", WriteFixedPhrases({std::string(limit - WriteFixedPhrases({""}).size(), 'a')}),
         true, false},
        {"one byte past it", std::string(limit + 1, 'a'), false, true},
        {"code page 932 to its last byte", Header() + "\"\x81\x45\xFC\x4B\"", true, false},
        {"a lone lead byte at the end", Header() + "\"\x81\x45\xFC", false, true},
        {"an unassigned pair", Header() + "\"\x85\x40\"", false, true},
        {"UTF-8", Header() + "\"\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86\"", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem fs;
        FakePhraseView view;
        if (!c.bytes) fs.PutFolder(kPath);
        if (c.bytes && !c.bytes->empty()) fs.Put(kPath, *c.bytes);
        FixedPhraseDialog dialog(fs, kPath, view);
        LogCapture capture;
        dialog.Open();
        EXPECT_EQ(view.shown.size(), c.read ? 1u : 0u);
        EXPECT_EQ(capture.log.Has("frmFixedForm.GetFixedData()"), !c.read);
        ASSERT_EQ(view.messages.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            EXPECT_EQ(view.messages[0].first.rfind(kFixedFormReadFailedMessage, 0), 0u);
        }
        EXPECT_EQ(dialog.Close(), !c.reported);
        if (c.bytes && !c.read) {
            EXPECT_EQ(fs.Get(kPath), c.reported ? *c.bytes : Header());
        }
    }
}

}  // namespace
}  // namespace kanopa::editor
