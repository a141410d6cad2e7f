#include <gtest/gtest.h>

#include "common/config_file.h"
#include "common/memo_file.h"
#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/tests/fakes.h"
#include "editor/document.h"
#include "editor/tests/editor_fakes.h"

namespace kanopa::editor {
namespace {

constexpr char kConfig[] = "C:\\Kanopa\\Config.txt";
using Message = std::pair<std::string, MessageIcon>;
using Paths = std::vector<std::string>;

// Reads can be denied, as a file locked by another program or without permission.
class TestFileSystem : public kanopa::testing::FakeFileSystem {
public:
    bool denyReads = false;
    Status ReadFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes) override {
        if (denyReads) return Status::Fail("アクセスが拒否されました。");
        return FakeFileSystem::ReadFile(path, maxBytes, bytes);
    }
};

class EditorDocument : public ::testing::Test {
protected:
    explicit EditorDocument(std::string startupFile = "")
        : state({"C:\\Kanopa\\", MemoKey()}, Defaults(), std::move(startupFile)),
          preview(state, view, 15),
          document(state, fs, clock, view, preview) {}

    static MemoRecord Defaults() {
        MemoRecord memo;
        SetDefaultMemoValues(memo);
        return memo;
    }
    void PutMemo(const std::string& path, const std::string& text, int anchor = 5) {
        MemoRecord memo = Defaults();
        memo.memoText = text;
        memo.anchorPosition = anchor;
        ASSERT_TRUE(SaveMemo(fs, clock, MemoKey(), path, memo));
    }
    MemoRecord ReadBack(const std::string& path) {
        MemoRecord memo;
        EXPECT_TRUE(LoadMemo(fs, MemoKey(), path, memo).complete()) << path;
        return memo;
    }
    Paths Recent() const { return {state.Recent().Entries().begin(), state.Recent().Entries().end()}; }

    TestFileSystem fs;
    kanopa::testing::FixedClock clock;
    kanopa::testing::LogCapture capture;
    testing::FakeEditorView view;
    EditorState state;
    Preview preview;
    Document document;
};

TEST_F(EditorDocument, NewAsksFirstAndKeepsTheCurrentFile) {
    PutMemo("C:\\w\\a.epm", "old");
    document.OpenFile("C:\\w\\a.epm", kOpenModeNormal);
    view.answers = {false, true};
    document.New();
    EXPECT_EQ(view.questions[0].text, "現在編集中のメモは破棄されます。よろしいですか？");
    EXPECT_EQ(view.questions[0].defaultButton, DefaultButton::No);
    EXPECT_EQ(state.Memo().memoText, "old");
    document.New();
    EXPECT_EQ(state.Memo(), Defaults());
    EXPECT_EQ(view.statusPath, "C:\\w\\a.epm");
    document.SaveOverwrite();  // writes the default memo into the last file
    EXPECT_EQ(ReadBack("C:\\w\\a.epm").anchorPosition, 1);
}

TEST_F(EditorDocument, OpenFromTheDialogOrByName) {
    PutMemo("c:\\work\\note.epm", "text");
    view.openDialogResult = "  C:\\Work\\Note.EPM ";
    document.OpenFile("", kOpenModeNormal);
    EXPECT_EQ(state.Memo().memoText, "text");
    EXPECT_EQ(view.statusPath, "c:\\work\\note.epm");
    EXPECT_EQ(Recent(), Paths{"c:\\work\\note.epm"});
    EXPECT_TRUE(view.labelVisible);
    EXPECT_EQ(view.controls.placeText, "中央");
    view.openDialogResult.reset();  // cancelled
    document.OpenFile("", kOpenModeNormal);

    document.OpenFile("C:\\Gone.epm", kOpenModeFromSearch);
    EXPECT_EQ(view.messages,
              (std::vector<Message>{{"指定のファイルが存在しません。", MessageIcon::Exclamation}}));
    PutMemo("C:\\Found\\A.epm", "found");
    document.OpenFile("C:\\Found\\A.epm", kOpenModeFromSearch);  // listed as given
    document.OpenFile("C:\\Found\\A.epm", kOpenModeNormal);      // a recent item: not listed
    EXPECT_EQ(Recent(), (Paths{"C:\\Found\\A.epm", "c:\\work\\note.epm"}));
    EXPECT_EQ(state.CurrentFilePath(), "C:\\Found\\A.epm");
}

TEST_F(EditorDocument, RecentFilesKeepTheFiveNewestWithRepeats) {
    document.OnWindowLoad();
    EXPECT_EQ(view.recentMenu[0], (RecentMenuItem{"なし", true, false}));
    EXPECT_FALSE(view.recentMenu[1].visible);
    for (int i = 1; i <= 6; ++i) document.AddRecentFile("C:\\m&" + std::to_string(i) + ".epm");
    EXPECT_EQ(Recent(), (Paths{"C:\\m&6.epm", "C:\\m&5.epm", "C:\\m&4.epm", "C:\\m&3.epm",
                               "C:\\m&2.epm"}));
    EXPECT_EQ(view.recentMenu[4], (RecentMenuItem{"C:\\m&&2.epm", true, true}));
    document.AddRecentFile("C:\\m&6.epm");
    EXPECT_EQ(Recent()[1], "C:\\m&6.epm");

    PutMemo("C:\\m&4.epm", "four");
    document.OpenRecent(3);  // the raw path opens; the order stays
    EXPECT_EQ(state.Memo().memoText, "four");
    EXPECT_EQ(Recent()[3], "C:\\m&4.epm");
}

TEST_F(EditorDocument, AFileThatIsNotACompleteMemoChangesNothing) {
    PutMemo("C:\\w\\good.epm", "good");
    document.OpenFile("C:\\w\\good.epm", kOpenModeFromSearch);
    const MemoRecord before = state.Memo();
    const std::string good = fs.Get("C:\\w\\good.epm");
    fs.Put("C:\\w\\junk.epm", "this is not a memo");
    fs.Put("C:\\w\\cut.epm", good.substr(0, good.size() / 2));
    fs.Put("C:\\w\\empty.epm", "");
    for (const char* path : {"C:\\w\\junk.epm", "C:\\w\\cut.epm", "C:\\w\\empty.epm"}) {
        view.messages.clear();
        document.OpenFile(path, kOpenModeFromSearch);
        ASSERT_EQ(view.messages.size(), 1u) << path;
        EXPECT_EQ(view.messages[0].first.rfind("メモファイルを読み込めませんでした。\r\n", 0), 0u);
        EXPECT_EQ(view.messages[0].second, MessageIcon::Exclamation);
        EXPECT_EQ(state.Memo(), before);
        EXPECT_EQ(state.CurrentFilePath(), "C:\\w\\good.epm");
        EXPECT_EQ(Recent().size(), 1u);
    }
    fs.denyReads = true;
    document.OpenFile("C:\\w\\good.epm", kOpenModeFromSearch);
    EXPECT_EQ(view.messages.back().first,
              "メモファイルを読み込めませんでした。\r\nC:\\w\\good.epm\r\nアクセスが拒否されました。");
    EXPECT_EQ(Recent().size(), 1u);
}

class EditorStartupFile : public EditorDocument {
protected:
    EditorStartupFile() : EditorDocument("C:\\w\\start.epm") {}
};

TEST_F(EditorStartupFile, LoadedAtWindowLoadOrRefusedWhole) {
    fs.Put("C:\\w\\start.epm", "junk");
    document.OnWindowLoad();
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(state.Memo(), Defaults());
    EXPECT_EQ(state.CurrentFilePath(), "");
    EXPECT_EQ(view.label, (PixelRect{50, 50, 200, 100}));  // the preview still follows

    PutMemo("C:\\w\\start.epm", "start", 9);
    document.OnWindowLoad();
    EXPECT_EQ(view.statusPath, "C:\\w\\start.epm");
    EXPECT_EQ(Recent(), Paths{"C:\\w\\start.epm"});
    EXPECT_EQ(view.label, (PixelRect{350, 250, 200, 100}));
}

TEST_F(EditorDocument, SaveAsWritesCaptionOrSelectionAndGeometry) {
    view.labelCaption = "caption";
    view.label = {70, 80, 90, 100};
    view.saveDialogResult = " C:\\Work\\New ";
    document.SaveAs("");
    const MemoRecord saved = ReadBack("c:\\work\\new.epm");
    EXPECT_EQ(saved.memoText, "caption");  // an empty edit box keeps the caption
    EXPECT_EQ((PixelRect{saved.memoLeft, saved.memoTop, saved.memoWidth, saved.memoHeight}),
              view.label);
    EXPECT_EQ(view.statusPath, "c:\\work\\new.epm");
    EXPECT_EQ(Recent(), Paths{"c:\\work\\new.epm"});

    view.editText = "first line and more";
    view.saveDialogResult = "C:\\w\\part.epm";
    document.SaveAs("first line");
    EXPECT_EQ(ReadBack("c:\\w\\part.epm").memoText, "first line");
    EXPECT_EQ(view.editText, "first line");
    EXPECT_EQ(view.labelCaption, "first line and more");

    // "part." names part.epm, which the dialog did not ask about: asked here, No default.
    view.saveDialogResult = "C:\\w\\part.";
    view.answers = {false, true};
    view.editText = "new text";
    document.SaveAs("");
    EXPECT_EQ(ReadBack("c:\\w\\part.epm").memoText, "first line");
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0].text, "c:\\w\\part.epm\r\nは既に存在します。上書きしますか？");
    EXPECT_EQ(view.questions[0].defaultButton, DefaultButton::No);
    document.SaveAs("");
    EXPECT_EQ(ReadBack("c:\\w\\part.epm").memoText, "new text");
    view.saveDialogResult = "C:\\w\\part.epm.";  // the dialog asked about this one
    document.SaveAs("");
    EXPECT_EQ(view.questions.size(), 2u);
}

TEST_F(EditorDocument, RefusedOrFailedSaveKeepsFileStatusAndRecentList) {
    PutMemo("C:\\w\\a.epm", "a");
    document.OpenFile("C:\\w\\a.epm", kOpenModeFromSearch);
    fs.failReplace = true;
    view.labelCaption = "changed";
    document.SaveOverwrite();
    view.saveDialogResult = "C:\\w\\b.epm";
    document.SaveAs("");
    view.editText = "whole text";
    document.SaveAs("whole");  // the box and the memo keep the whole text
    EXPECT_EQ(view.editText, "whole text");
    EXPECT_EQ(state.Memo().memoText, "whole text");
    fs.failReplace = false;
    state.Memo().fontName = "Bad,Name";  // refused before anything is written
    document.SaveAs("");
    state.Memo().fontName = "Arial";
    view.editText = "\xF0\x9F\x98\x80";  // no code page 932 character for it
    document.SaveOverwrite();
    ASSERT_EQ(view.messages.size(), 5u);
    for (const auto& [text, icon] : view.messages) {
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(ReadBack("C:\\w\\a.epm").memoText, "a");
    EXPECT_FALSE(fs.Exists("c:\\w\\b.epm"));
    EXPECT_EQ(view.statusPath, "C:\\w\\a.epm");
    EXPECT_EQ(Recent(), Paths{"C:\\w\\a.epm"});
}

// A margin typed without Enter (Ctrl+S or the toolbar leave the box focused) is saved
// as shown; one out of range stops the save with the range message, before any dialog.
TEST_F(EditorDocument, SavesTakeTheMarginStillBeingTyped) {
    PutMemo("C:\\w\\a.epm", "a", 1);
    document.OpenFile("C:\\w\\a.epm", kOpenModeNormal);
    view.controls.marginText = "1000";
    document.SaveOverwrite();
    const MemoRecord saved = ReadBack("C:\\w\\a.epm");
    EXPECT_EQ(saved.margin, 1000);
    EXPECT_EQ(saved.memoLeft, 1000);  // placed with it before the geometry was taken

    view.controls.marginText = "1001";
    document.SaveOverwrite();
    document.SaveAs("");
    EXPECT_EQ(view.saveDialogs, 0);
    EXPECT_EQ(ReadBack("C:\\w\\a.epm").margin, 1000);
    EXPECT_EQ(view.messages, (std::vector<Message>(2, {"0～1000までの数値を入力してください。",
                                                        MessageIcon::Information})));
}

TEST_F(EditorDocument, OverwriteSaveWithoutAFileOrAfterItWasMoved) {
    document.SaveOverwrite();  // right after start: the Save dialog, no message
    EXPECT_EQ(view.saveDialogs, 1);
    EXPECT_TRUE(view.messages.empty());

    PutMemo("C:\\w\\a.epm", "a");
    document.OpenFile("C:\\w\\a.epm", kOpenModeNormal);
    fs.RemoveFile("C:\\w\\a.epm");
    document.SaveOverwrite();  // Save As cancelled
    EXPECT_EQ(view.messages, (std::vector<Message>{{"C:\\w\\a.epm\r\nは移動又は削除されています。",
                                                    MessageIcon::Exclamation}}));
    EXPECT_EQ(view.saveDialogs, 2);
    EXPECT_EQ(view.statusPath, "");

    view.saveDialogResult = "C:\\w\\moved.epm";
    document.SaveOverwrite();
    document.SaveOverwrite();  // exists now: written in place
    EXPECT_EQ(view.saveDialogs, 3);
    EXPECT_EQ(state.CurrentFilePath(), "c:\\w\\moved.epm");
}

TEST_F(EditorDocument, CloseWritesTheConfigurationNotTheMemo) {
    PutMemo("C:\\w\\a.epm", "a");
    document.OpenFile("C:\\w\\a.epm", kOpenModeNormal);
    view.labelCaption = "unsaved";
    state.Memo().fontUnderline = 1;
    view.answers = {false, true};
    EXPECT_FALSE(document.ConfirmClose());
    EXPECT_EQ(view.questions[0].text, "カノパを終了します。よろしいですか？");
    EXPECT_EQ(view.questions[0].caption, "確認");
    EXPECT_EQ(view.questions[0].defaultButton, DefaultButton::No);
    EXPECT_FALSE(fs.Exists(kConfig));
    EXPECT_TRUE(document.ConfirmClose());
    MemoRecord config;
    ASSERT_TRUE(LoadConfig(fs, kConfig, config));
    EXPECT_EQ(config.fontUnderline, 1);
    EXPECT_EQ(ReadBack("C:\\w\\a.epm").memoText, "a");
    EXPECT_TRUE(capture.log.Has("*********アプリケーション終了*********"));

    fs.RemoveFile(kConfig);
    document.SaveConfigForSessionEnd();  // no question
    EXPECT_EQ(view.questions.size(), 2u);
    EXPECT_TRUE(fs.Exists(kConfig));

    fs.failCreate = true;
    view.answers = {true};
    EXPECT_TRUE(document.ConfirmClose());  // a failed write is shown; the close goes on
    EXPECT_EQ(view.messages.back().second, MessageIcon::Exclamation);
}

TEST(EditorDialogPaths, TrimmedLowerCasedAndCompleted) {
    const std::pair<const char*, const char*> cases[] = {
        {"  C:\\Work\\Note  ", "c:\\work\\note.epm"}, {"C:\\Work\\Note.EPM", "c:\\work\\note.epm"},
        {"C:\\Work\\Note.txt", "c:\\work\\note.txt"}, {"C:\\Work.d\\Note", "c:\\work.d\\note.epm"},
        {"C:\\Work\\Note.", "c:\\work\\note.epm"},    {"C:\\Work\\メモ", "c:\\work\\メモ.epm"},
        {"C:\\Work\\", ""},                           {"   ", ""},
    };
    for (const auto& [chosen, path] : cases) EXPECT_EQ(NormalizeSavePath(chosen), path) << chosen;
}

}  // namespace
}  // namespace kanopa::editor
