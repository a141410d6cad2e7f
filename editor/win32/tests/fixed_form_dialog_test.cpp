// The fixed-phrase dialog of Kanopa.exe under Wine (or Windows), driven from outside as
// a user would: the rules themselves are proven natively; here the window, its message
// box, the memo's edit box and the file on disk.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp932.h"
#include "common/win32/test_support/window_testing.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "editor/insert/fixed_phrases.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/resource.h"
#include "editor/win32/tests/editor_process.h"

namespace kanopa::editor::win32::testing {
namespace {

using kanopa::testing::TempFolder;
using kanopa::testing::WaitUntil;
using kanopa::testing::WindowText;
using Phrases = std::vector<std::string>;

constexpr wchar_t kCaption[] = L"定型文";

// lstFix's entries.
Phrases ListItems(HWND list) {
    Phrases items;
    for (const std::wstring& item : ListBoxItems(list)) items.push_back(WideToUtf8(item));
    return items;
}

struct Dialog {
    HWND window, text, list;
    explicit Dialog(HWND dialog)
        : window(dialog), text(GetDlgItem(dialog, IDC_FIX_TEXT)), list(GetDlgItem(dialog, IDC_FIX_LIST)) {}
    void Select(int index) const {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_FIX_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    bool Gone() const {
        return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
    }
};

TEST(FixedFormDialog, AddsDeletesInsertsAtTheMemosEndAndRewritesTheFileOnClosing) {
    TempFolder folder;
    PrepareProgramFolder(folder);
    const std::string phraseFile = folder / "FixedForm.txt";
    kanopa::testing::MakeFile(phraseFile, WriteFixedPhrases({"お世話になります。"}) +
                                              Utf8ToCp932("よろしく, 以上\r\n"));
    WriteMemoFile(folder / "start.epm", "本文");
    EditorProcess editor(folder / "Kanopa.exe", L"\"" + Utf8ToWide(folder / "start.epm") + L"\"");
    HWND main = editor.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    HWND toolbar = GetDlgItem(main, IDC_TOOLBAR);
    HWND memoText = GetDlgItem(GetDlgItem(main, IDC_FRAME), IDC_TEXT);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(memoText) == L"本文"; }));

    // The toolbar's "FixedForm" button opens it over the open edit box.
    EXPECT_NE(SendMessageW(toolbar, TB_ISBUTTONENABLED, IDM_INSERT_FIXED_FORM, 0), 0);
    PostMessageW(main, WM_COMMAND, IDM_INSERT_FIXED_FORM, reinterpret_cast<LPARAM>(toolbar));
    Dialog d(editor.WaitForDialog(kCaption));
    ASSERT_NE(d.window, nullptr);
    EXPECT_TRUE(IsWindowVisible(memoText));
    EXPECT_EQ(ListItems(d.list), (Phrases{"お世話になります。", "よろしく", "以上"}));

    // Adding: Enter in the box, which has the focus.
    SendMessageW(d.text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"追加した文"));
    PostMessageW(d.text, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(WaitUntil([&] { return ListItems(d.list).size() == 4; }));
    EXPECT_EQ(WindowText(d.text), L"");

    // A click copies the phrase into the box; deleting takes it out of the list.
    d.Select(1);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(d.text) == L"よろしく"; }));
    ClickButton(d.window, IDC_FIX_DELETE);
    ASSERT_TRUE(WaitUntil([&] { return ListItems(d.list).size() == 3; }));
    EXPECT_EQ(ListItems(d.list), (Phrases{"お世話になります。", "以上", "追加した文"}));

    // Enter in the list: nothing selected is refused, a selected phrase is inserted.
    PostMessageW(d.list, WM_KEYDOWN, VK_RETURN, 0);
    const MessageSeen refusal = TakeMessage(editor, kProgramName);
    EXPECT_EQ(refusal.text, L"挿入する定型文を選択してください。");
    EXPECT_EQ(refusal.icon, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_TRUE(IsWindowVisible(d.window));
    d.Select(2);
    PostMessageW(d.list, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(d.Gone());
    EXPECT_TRUE(WaitUntil([&] { return WindowText(memoText) == L"本文追加した文"; }))
        << WideToUtf8(WindowText(memoText));
    DWORD start = 0, end = 0;
    SendMessageW(memoText, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 7u) << "typing goes on after the phrase";
    EXPECT_EQ(end, 7u);
    EXPECT_EQ(FileBytes(phraseFile), WriteFixedPhrases({"お世話になります。", "以上", "追加した文"}));

    // Esc closes as the close box does, rewriting a hand-edited file in its own form.
    kanopa::testing::MakeFile(phraseFile, "a,b\r\n");
    PostMessageW(main, WM_COMMAND, IDM_INSERT_FIXED_FORM, 0);
    Dialog again(editor.WaitForDialog(kCaption));
    ASSERT_NE(again.window, nullptr);
    PostMessageW(again.list, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(again.Gone());
    EXPECT_EQ(FileBytes(phraseFile), WriteFixedPhrases({"a", "b"}));

    EXPECT_EQ(WindowText(memoText), L"本文追加した文");
}

}  // namespace
}  // namespace kanopa::editor::win32::testing
