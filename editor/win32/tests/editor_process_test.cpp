// Kanopa.exe under Wine (or Windows) as a user meets it: started as a process in a folder
// of its own, driven by posting the messages that the user's keys and mouse produce, and
// judged by its windows and by the files it leaves behind.
#include "common/win32/win32_file_system.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "common/config_file.h"
#include "common/memo_defaults.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "common/win32/about_dialog_resource.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/editor_texts.h"
#include "editor/win32/resource.h"
#include "editor/win32/tests/editor_process.h"
#include "common/win32/test_support/window_testing.h"

namespace kanopa::editor::win32::testing {
namespace {

using kanopa::testing::TempFolder;
using kanopa::testing::CloseHelpWindow;
using kanopa::testing::FindProcessWindow;
using kanopa::testing::LogLines;
using kanopa::testing::MessageBoxIcon;
using kanopa::testing::WaitForHelpWindow;
using kanopa::testing::WaitUntil;
using kanopa::testing::WindowText;
using namespace std::chrono_literals;

constexpr wchar_t kMemoFilters[] = L"メモファイル(*.epm)|全てのファイル(*.*)";

// The editor's controls, found the way any program can find them.
struct EditorControls {
    explicit EditorControls(HWND mainWindow)
        : main(mainWindow),
          layoutMode(GetDlgItem(mainWindow, IDC_LAYOUT_MODE)),
          place(GetDlgItem(mainWindow, IDC_PLACE)),
          margin(GetDlgItem(mainWindow, IDC_MARGIN)),
          frame(GetDlgItem(mainWindow, IDC_FRAME)),
          label(GetDlgItem(frame, IDC_LABEL)),
          text(GetDlgItem(frame, IDC_TEXT)) {}
    HWND main, layoutMode, place, margin, frame, label, text;

    void Command(UINT id) const { PostMessageW(main, WM_COMMAND, id, 0); }
    RECT Label() const { return ChildRect(label); }
    SIZE Frame() const {
        RECT client{};
        GetClientRect(frame, &client);
        return SIZE{client.right, client.bottom};
    }
    LRESULT Mode() const { return SendMessageW(layoutMode, CB_GETCURSEL, 0, 0); }
};

// A visible dialog or message box of the process other than `known`.
HWND OtherDialog(DWORD processId, HWND known) {
    for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && window != known && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// The colour on screen at a point of a window's client area.
COLORREF ScreenColor(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    const UniqueWindowDc screen = GetWindowDcOf(nullptr);
    return GetPixel(screen.Get().dc, point.x, point.y);
}

// --- Start-up ------------------------------------------------------------------------

TEST(EditorStartup, ASecondStartIsRefusedEvenWithAMemoFileAndTheFirstGoesOn) {
    TempFolder folder;
    PrepareProgramFolder(folder);
    WriteMemoFile(folder / "second.epm", "二つ目");

    EditorProcess first(folder / "Kanopa.exe");
    HWND mainWindow = first.WaitForMainWindow();
    ASSERT_NE(mainWindow, nullptr);

    EditorProcess second(folder / "Kanopa.exe", L"\"" + Utf8ToWide(folder / "second.epm") + L"\"");
    // Every refusal of the start-up checks is shown so: an OK-only error box, before any
    // window of its own; which refusal comes when is the native tests' matter.
    HWND box = second.WaitForDialog(kProgramName);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), kAlreadyRunningMessage);
    EXPECT_EQ(MessageBoxIcon(box), static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDYES), nullptr);
    EXPECT_EQ(FindProcessWindow(second.Id(), kMainWindowClass), nullptr);
    Answer(box, IDOK);
    EXPECT_EQ(second.ExitCode(), 0u);
    const EditorControls controls(mainWindow);
    EXPECT_FALSE(IsWindowVisible(controls.label)) << "the file went nowhere";

    // Closing: No keeps the window and writes nothing; Yes writes Config.txt and ends.
    ASSERT_TRUE(DeleteFileW(Utf8ToWide(folder / "Config.txt").c_str()));
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(TakeMessage(first, kConfirmCaption, IDNO).icon, static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_FALSE(FileExists(folder / "Config.txt"));

    // Windows asking to end the session asks the same question; No keeps the editor.
    PostMessageW(mainWindow, WM_QUERYENDSESSION, 0, 0);
    EXPECT_EQ(TakeMessage(first, kConfirmCaption, IDNO).text, kCloseQuestion);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_FALSE(FileExists(folder / "Config.txt"));

    controls.Command(IDM_FILE_CLOSE);
    TakeMessage(first, kConfirmCaption, IDYES);
    EXPECT_EQ(first.ExitCode(), 0u);
    MemoRecord config;
    Win32FileSystem fs;
    EXPECT_TRUE(LoadConfig(fs, folder / "Config.txt", config).ok);
    EXPECT_THAT(LogLines(folder / "Log.txt"),
                ::testing::ElementsAre("|", "*********アプリケーション開始*********|", "|",
                                       "*********アプリケーション開始*********|",
                                       "*********二重起動システム終了*********|",
                                       "*********アプリケーション終了*********|"));
}

// --- A memo from the command line, saved in every way -----------------------------------

class EditorDocument : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareProgramFolder(m_folder);
        SetDefaultMemoValues(m_memo);
        m_memo.memoWidth = 260;
        m_memo.memoHeight = 110;
        m_memo.backColor = 0x99FFFF;
        m_memo.layoutMode = 1;
        m_memo.anchorPosition = 9;
        m_memo.margin = 20;
        m_memo.memoText = "このフォルダのメモです。\r\n二行目";
        WriteMemoFile(m_folder / "start.epm", m_memo);
    }

    // Starts the editor on start.epm and waits until the memo shows.
    void Start() {
        m_editor = std::make_unique<EditorProcess>(
            m_folder / "Kanopa.exe", L"\"" + Utf8ToWide(m_folder / "start.epm") + L"\"");
        HWND mainWindow = m_editor->WaitForMainWindow();
        ASSERT_NE(mainWindow, nullptr);
        m_controls = std::make_unique<EditorControls>(mainWindow);
        // Shown and placed: the memo's own size.
        ASSERT_TRUE(WaitUntil([&] {
            const RECT label = m_controls->Label();
            return IsWindowVisible(m_controls->label) && label.right - label.left == m_memo.memoWidth;
        }));
    }

    // Save As (or Save selection as) into `name` in the folder, as typed in the dialog.
    void SaveAs(UINT command, const std::wstring& typed) {
        m_controls->Command(command);
        HWND dialog = m_editor->WaitForDialog(kSaveDialogTitle);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(DialogFilters(dialog), kMemoFilters);
        ASSERT_TRUE(ChooseFileInDialog(dialog, typed));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    }

    std::wstring Typed(const std::string& name) { return Utf8ToWide(m_folder / name); }

    // The only message box expected now, a warning: its text, answered with OK.
    std::wstring Warning() {
        const MessageSeen seen = TakeMessage(*m_editor, kProgramName);
        EXPECT_EQ(seen.icon, static_cast<UINT>(MB_ICONEXCLAMATION));
        return seen.text;
    }

    TempFolder m_folder;
    MemoRecord m_memo;
    std::unique_ptr<EditorProcess> m_editor;
    std::unique_ptr<EditorControls> m_controls;
};

TEST_F(EditorDocument, ShowsTheMemoNamedOnTheCommandLineAtItsAnchorInItsColours) {
    Start();
    const EditorControls& c = *m_controls;
    const SIZE frame = c.Frame();
    const RECT label = c.Label();
    // Full scale (Start saw the width): the record's pixels are the screen's, anchored at
    // "右-下" 20 pixels in.
    EXPECT_EQ(label.bottom - label.top, 110);
    EXPECT_EQ(label.left, frame.cx - 260 - 20);
    EXPECT_EQ(label.top, frame.cy - 110 - 20);
    EXPECT_EQ(WindowText(c.label), L"このフォルダのメモです。\r\n二行目");
    EXPECT_EQ(WindowText(c.text), L"このフォルダのメモです。\r\n二行目");
    EXPECT_EQ(WindowText(c.place), L"右-下");
    EXPECT_EQ(WindowText(c.margin), L"20");
    EXPECT_TRUE(WaitUntil([&] { return ScreenColor(c.label, 3, label.bottom - label.top - 4) == 0x99FFFF; }))
        << std::hex << ScreenColor(c.label, 3, label.bottom - label.top - 4);

    // The frame follows the window; the anchored memo keeps its corner.
    RECT window{};
    GetWindowRect(c.main, &window);
    SetWindowPos(c.main, nullptr, 0, 0, window.right - window.left - 100,
                 window.bottom - window.top - 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil([&] { return c.Frame().cx == frame.cx - 100 && c.Frame().cy == frame.cy - 50; }));
    EXPECT_EQ(c.Label().left, c.Frame().cx - 260 - 20);
    EXPECT_EQ(c.Label().top, c.Frame().cy - 110 - 20);

    // A click on the memo opens the edit box over it, with the focus.
    PostClick(c.label, 30, 30);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(c.text) != FALSE; }));
    const RECT edit = ChildRect(c.text);
    EXPECT_EQ(edit.left, c.Label().left);
    EXPECT_EQ(edit.top, c.Label().top);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(c.main) == c.text; }));
    // Esc in the box (a multi-line box asks its parent to close on it) leaves the
    // preview and its memo in place.
    PostMessageW(c.text, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(WaitUntil([&] { return !IsWindow(c.text); }, 500ms)) << "the preview went";
    // The open box stays over the memo when the window's size moves it.
    SetWindowPos(c.main, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return c.Label().left == frame.cx - 260 - 20; }));
    EXPECT_EQ(ChildRect(c.text).left, c.Label().left);
    EXPECT_EQ(ChildRect(c.text).top, c.Label().top);
    // A click on the bare frame commits the text into the label.
    SendMessageW(c.text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"書き直したメモ"));
    PostClick(c.frame, 5, 5);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(c.text); }));
    EXPECT_EQ(WindowText(c.label), L"書き直したメモ");
}

TEST_F(EditorDocument, SavesAsOverwritesSavesASelectionAndRefusesWhatCannotBeStored) {
    Start();
    const EditorControls& c = *m_controls;

    // Save As with a name typed without extension: ".epm" is added.
    SaveAs(IDM_FILE_SAVE, Typed("copy"));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(m_folder / "copy.epm"); }));
    const MemoRecord saved = ReadMemoFile(m_folder / "copy.epm");
    EXPECT_EQ(saved.memoText, m_memo.memoText);
    EXPECT_EQ(saved.memoLeft, c.Frame().cx - 280) << "the anchored place is stored";
    EXPECT_EQ(saved.memoTop, c.Frame().cy - 130);

    // Overwrite save (Ctrl+S's command) writes the edited text into the current file.
    SendMessageW(c.text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"上書きした本文です。"));
    c.Command(IDM_FILE_UWAGAKI);
    ASSERT_TRUE(WaitUntil([&] { return ReadMemoFile(m_folder / "copy.epm").memoText == "上書きした本文です。"; }));
    EXPECT_EQ(ReadMemoFile(m_folder / "start.epm").memoText, m_memo.memoText) << "the other file is untouched";

    // Save selection as: only the selected text goes into the file.
    SendMessageW(c.text, EM_SETSEL, 3, 6);
    SaveAs(IDM_EDIT_SAVE_RANGE, Typed("part.epm"));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(m_folder / "part.epm"); }));
    EXPECT_EQ(ReadMemoFile(m_folder / "part.epm").memoText, "した本");

    // Save As onto an existing file asks before replacing it; No keeps the file.
    const std::string before = FileBytes(m_folder / "start.epm");
    c.Command(IDM_FILE_SAVE);
    HWND dialog = m_editor->WaitForDialog(kSaveDialogTitle);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ChooseFileInDialog(dialog, Typed("start.epm")));
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (question = OtherDialog(m_editor->Id(), dialog)) != nullptr; }))
        << "no question before replacing";
    EXPECT_NE(GetDlgItem(question, IDYES), nullptr);
    Answer(question, IDNO);
    Answer(dialog, IDCANCEL);
    EXPECT_EQ(FileBytes(m_folder / "start.epm"), before);

    // A character code page 932 cannot hold, typed in the box, is refused with a reason
    // and leaves the current file (now part.epm) as it was, not written as "?".
    const std::string current = m_folder / "part.epm";
    const std::string written = FileBytes(current);
    SendMessageW(c.text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"顔文字 \U0001F600 入り"));
    c.Command(IDM_FILE_UWAGAKI);
    EXPECT_NE(Warning(), L"");
    EXPECT_EQ(FileBytes(current), written);
}

// --- Opening, the layout list and the margin box --------------------------------------
// (Dragging the memo out of anchored mode, and its question, are the editor-to-viewer walk's.)

TEST_F(EditorDocument, OpensFromTheDialogAndTheRecentListAndTheLayoutListAndMarginBoxWork) {
    MemoRecord other;
    SetDefaultMemoValues(other);
    other.layoutMode = 0;
    other.memoLeft = 40;
    other.memoTop = 30;
    other.anchorPosition = 9;  // named in the place box, not followed
    other.margin = 20;
    other.memoText = "開いたメモ";
    WriteMemoFile(m_folder / "other.epm", other);
    Start();
    const EditorControls& c = *m_controls;

    c.Command(IDM_FILE_OPEN);
    HWND dialog = m_editor->WaitForDialog(kOpenDialogTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogFilters(dialog), kMemoFilters);
    ASSERT_TRUE(ChooseFileInDialog(dialog, Typed("other.epm")));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(c.label) == L"開いたメモ"; }));
    EXPECT_EQ(c.Mode(), 1);
    EXPECT_FALSE(IsWindowEnabled(c.margin));
    EXPECT_FALSE(IsWindowEnabled(c.place));
    EXPECT_EQ(WindowText(c.place), L"右-下");
    EXPECT_EQ(c.Label().left, 40);
    EXPECT_EQ(c.Label().top, 30);

    // Back to anchored: the list's own choice, as the user makes it.
    SendMessageW(c.layoutMode, CB_SETCURSEL, 0, 0);
    PostMessageW(c.main, WM_COMMAND, MAKEWPARAM(IDC_LAYOUT_MODE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(c.layoutMode));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(c.place) == L"左-上"; }));
    EXPECT_TRUE(IsWindowEnabled(c.margin));
    EXPECT_EQ(c.Label().left, 20);

    // The recent list: other.epm (newest) then start.epm; item 2 opens start.epm again.
    c.Command(IDM_FILE_RECENT_FILE_2);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(c.label) == L"このフォルダのメモです。\r\n二行目"; }));

    // Enter in the margin box: one past the range is refused with the range message and
    // the focus goes back (the editor-to-viewer test commits a value with Enter).
    SendMessageW(c.margin, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1001"));
    PostMessageW(c.margin, WM_KEYDOWN, VK_RETURN, 0);
    const MessageSeen range = TakeMessage(*m_editor, kProgramName);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(c.main) == c.margin; }));
    // Leaving the box with a bad value (a click into the place box) shows the message once;
    // its own box taking the focus, and the focus coming back, do not show it again.
    SendMessageW(c.margin, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-1"));
    PostClick(c.place, 3, 3);
    EXPECT_EQ(TakeMessage(*m_editor, kProgramName).text, range.text);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(c.main) == c.margin; }));
    EXPECT_FALSE(WaitUntil([&] { return FindProcessWindow(m_editor->Id(), L"#32770") != nullptr; }, 500ms))
        << "the message came back";
}

TEST_F(EditorDocument, EditCommandsHelpVersionAndTheEndOfTheSession) {
    Start();
    const EditorControls& c = *m_controls;

    // The edit box's right button shows the editor's four edit commands, not the edit
    // box's own menu: the last item (Up from the top wraps to it) pastes, where the
    // built-in menu's last item would select all.
    PostClick(c.label, 30, 30);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(c.text) != FALSE; }));
    const std::wstring original = WindowText(c.text);
    SendMessageW(c.text, EM_SETSEL, 0, 2);
    SendMessageW(c.text, WM_COPY, 0, 0);
    SendMessageW(c.text, EM_SETSEL, 0, 0);
    POINT screen{20, 20};
    ClientToScreen(c.text, &screen);
    PostMessageW(c.text, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c.text), MAKELPARAM(screen.x, screen.y));
    HWND menu = m_editor->WaitForWindow(L"#32768");
    ASSERT_NE(menu, nullptr);
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(c.text) == original.substr(0, 2) + original; }))
        << WideToUtf8(WindowText(c.text));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
    SendMessageW(c.text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(original.c_str()));

    // Undo takes a typed character back once; a second Undo does not bring it back.
    const std::wstring before = WindowText(c.text);
    SendMessageW(c.text, EM_SETSEL, 0, 0);
    PostMessageW(c.text, WM_CHAR, L'X', 0);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(c.text) == L"X" + before; }));
    c.Command(IDM_EDIT_UNDO);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(c.text) == before; }));
    c.Command(IDM_EDIT_UNDO);
    c.Command(IDM_FILE_UWAGAKI);  // the memo file shows what the memo text became
    ASSERT_TRUE(WaitUntil([&] { return ReadMemoFile(m_folder / "start.epm").memoText == WideToUtf8(before); }))
        << WideToUtf8(WindowText(c.text));
    EXPECT_EQ(WindowText(c.text), before);

    // Help without its file beside the program.
    c.Command(IDM_HELP_CONTENTS);
    EXPECT_EQ(Warning(), L"ヘルプファイル[Kanopa.chm]がありません。");
    // With it there, the help viewer opens it and the message stays away.
    ASSERT_TRUE(CopyBesideTest("Kanopa.chm", m_folder / "Kanopa.chm"));
    c.Command(IDM_HELP_CONTENTS);
    HWND help = WaitForHelpWindow();
    EXPECT_NE(help, nullptr);
    EXPECT_FALSE(WaitUntil([&] { return FindProcessWindow(m_editor->Id(), L"#32770") != nullptr; }, 500ms))
        << "the missing-help message";
    // It holds the test's folder until it has ended.
    if (help != nullptr) {
        EXPECT_TRUE(CloseHelpWindow(help));
    }

    // The version dialog names the editor and its version.
    c.Command(IDM_HELP_VERSION);
    HWND about = m_editor->WaitForDialog(L"バージョン情報");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_TITLE)), L"カノパ");
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_VERSION)), L"1.1.0");
    Answer(about, IDOK);

    // Windows ends the session: Config.txt is written without a question, and the
    // editor ends.
    ASSERT_TRUE(DeleteFileW(Utf8ToWide(m_folder / "Config.txt").c_str()));
    PostMessageW(c.main, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(m_editor->ExitCode(), 0u);
    EXPECT_TRUE(FileExists(m_folder / "Config.txt"));
}

}  // namespace
}  // namespace kanopa::editor::win32::testing
