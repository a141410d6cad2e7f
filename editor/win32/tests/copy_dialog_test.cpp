// frmCopy in Kanopa.exe under Wine (or Windows): opened from the Tools command, refusing
// empty fields, choosing the memo in the file dialog, asking first, copying into the
// visible folders, and stopping with the error report at a read-only memo.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/tests/temp_folder.h"
#include "common/win32/test_support/window_testing.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "editor/win32/resource.h"
#include "editor/win32/tests/editor_process.h"

namespace kanopa::editor::win32::testing {
namespace {

using kanopa::testing::MakeFile;
using kanopa::testing::MakeFolder;
using kanopa::testing::TempFolder;
using kanopa::testing::WaitUntil;
using kanopa::testing::WindowText;

constexpr wchar_t kCaption[] = L"メモファイル一括コピー";

TEST(CopyDialog, CopiesIntoTheVisibleFoldersAndStopsAtAReadOnlyMemo) {
    TempFolder program;
    PrepareProgramFolder(program);
    TempFolder data;
    MakeFolder(data / "元");
    MakeFile(data / "元\\Note.EPM", "MEMO BYTES");
    const std::string dst = data / "先";
    MakeFolder(dst);
    const std::string korean = "한국";  // a name code page 932 cannot hold
    for (const std::string& name : {std::string("a"), korean, std::string("icon"), std::string("hidden"),
                                    std::string("a\\deeper")})
        MakeFolder(dst + "\\" + name);
    SetFileAttributesW(Utf8ToWide(dst + "\\icon").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(Utf8ToWide(dst + "\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);

    EditorProcess editor(program / "Kanopa.exe");
    HWND main = editor.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, IDM_TOOL_COPY, 0);
    HWND dialog = editor.WaitForDialog(kCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);  // no taskbar entry of its own
    RECT client{};
    GetClientRect(dialog, &client);
    const int dpi = static_cast<int>(GetDpiForWindow(dialog));
    EXPECT_EQ(client.right, MulDiv(7740, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(4035, dpi, 1440));

    // Empty fields are refused one by one.
    ClickButton(dialog, IDC_COPY_START);
    MessageSeen box = TakeMessage(editor, L"コピー");
    EXPECT_EQ(box.text, L"コピー元ファイルパスを入力してください。");
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONINFORMATION));

    // The file dialog's choice comes in lower case.
    ClickButton(dialog, IDC_COPY_FILE);
    HWND open = editor.WaitForDialog(L"開く");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(DialogFilters(open), L"メモファイル(*.epm)|全てのファイル(*.*)");
    ASSERT_TRUE(ChooseFileInDialog(open, Utf8ToWide(data / "元\\Note.EPM")));
    std::wstring lower = Utf8ToWide(data / "元\\Note.EPM");
    CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(dialog, IDC_COPY_SOURCE)) == lower; }));
    const std::string source = WideToUtf8(lower);

    // The folder browser opens with its title; cancelling changes nothing.
    ClickButton(dialog, IDC_COPY_DIR);
    HWND browser = editor.WaitForDialog(L"フォルダを選択してください");
    ASSERT_NE(browser, nullptr);
    Answer(browser, IDCANCEL);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_COPY_FOLDER)), L"");

    // The question's texts are the copy logic's; here No is its default and copies nothing,
    // and Yes copies into a, 한국 and the read-only-bit folder.
    SendMessageW(GetDlgItem(dialog, IDC_COPY_FOLDER), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(dst).c_str()));
    ClickButton(dialog, IDC_COPY_START);
    HWND question = editor.WaitForDialog(L"確認");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(question, IDNO), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    Answer(question, IDNO);
    EXPECT_EQ(FileBytes(dst + "\\a\\note.epm"), "");
    ClickButton(dialog, IDC_COPY_START);
    TakeMessage(editor, L"確認", IDYES);
    EXPECT_EQ(TakeMessage(editor, L"完了").text, L"コピーが完了しました。\r\n3 個のフォルダにコピーしました。");
    for (const std::string& name : {std::string("a"), korean, std::string("icon")})
        EXPECT_EQ(FileBytes(dst + "\\" + name + "\\Note.EPM"), "MEMO BYTES") << name;
    for (const std::string& name : {std::string(""), std::string("\\hidden"), std::string("\\a\\deeper")})
        EXPECT_EQ(FileBytes(dst + name + "\\Note.EPM"), "") << name;

    // A read-only memo stops the run with the error report, and no memo or part of one
    // changes. Which folders a run reaches before it stops is the copy logic's (native).
    const std::vector<std::string> reached = {"a", korean, "icon"};
    for (const std::string& name : reached) MakeFile(dst + "\\" + name + "\\Note.EPM", "OLD", FILE_ATTRIBUTE_READONLY);
    ClickButton(dialog, IDC_COPY_START);
    TakeMessage(editor, L"確認", IDYES);
    box = TakeMessage(editor, L"コピーエラー");
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(box.text.starts_with(Utf8ToWide("コピーできませんでした。\r\n\r\nコピー元：\r\n" + source +
                                                "\r\nコピー先：\r\n" + dst + "\\")) &&
                box.text.ends_with(Utf8ToWide("\\Note.EPM\r\nエラー内容：\r\n" + LastErrorText(ERROR_ACCESS_DENIED))))
        << WideToUtf8(box.text);
    Win32FileSystem fs;
    for (const std::string& name : reached) {
        const std::string memo = dst + "\\" + name + "\\Note.EPM";
        EXPECT_EQ(FileBytes(memo), "OLD") << name;
        int files = 0;
        fs.ListFolder(dst + "\\" + name, [&](const FolderEntry& e) { return files += !e.IsFolder(), true; });
        EXPECT_EQ(files, 1) << name << ": a temporary file was left beside the read-only memo";
        SetFileAttributesW(Utf8ToWide(memo).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

}  // namespace
}  // namespace kanopa::editor::win32::testing
