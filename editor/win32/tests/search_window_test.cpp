// The memo search window of Kanopa.exe under Wine (or Windows): a real folder tree with
// Japanese names and a path past 260 characters, searched, listed, reopened and opened
// in the editor; and a walk stopped by the stop button and by closing the window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "common/win32/test_support/window_testing.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "editor/tools/memo_search.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/resource.h"
#include "editor/win32/tests/editor_process.h"

namespace kanopa::editor::win32::testing {
namespace {

using kanopa::testing::TempFolder;
using kanopa::testing::WaitUntil;
using kanopa::testing::WindowText;
using namespace std::chrono_literals;

// A folder by its long-path form, so that any depth can be made.
void MakeDeepFolder(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + Utf8ToWide(path)).c_str(), nullptr)) << path;
}

// Memory in the editor's process for the list view's messages, which carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, std::size_t size) : m_size(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        m_process.Reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (m_process) m_memory = VirtualAllocEx(m_process.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (m_memory != nullptr) VirtualFreeEx(m_process.Get(), m_memory, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* At(std::size_t offset) const { return static_cast<char*>(m_memory) + offset; }
    void Write(std::size_t offset, const void* data, std::size_t size) const {
        WriteProcessMemory(m_process.Get(), At(offset), data, size, nullptr);
    }
    void Read(std::size_t offset, void* data, std::size_t size) const {
        ReadProcessMemory(m_process.Get(), At(offset), data, size, nullptr);
    }

private:
    UniqueKernelHandle m_process;
    void* m_memory = nullptr;
    std::size_t m_size;
};

struct ListRow {
    std::wstring name, folder, text;
    bool operator<(const ListRow& o) const { return std::tie(name, folder) < std::tie(o.name, o.folder); }
    bool operator==(const ListRow&) const = default;
};

std::wstring ItemText(HWND list, int row, int column) {
    constexpr std::size_t kChars = 2048;
    RemoteBuffer remote(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(LVITEMW)));
    item.cchTextMax = kChars;
    remote.Write(0, &item, sizeof(item));
    const auto length = static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.At(0))));
    std::wstring text(length, L'\0');
    remote.Read(sizeof(LVITEMW), text.data(), length * sizeof(wchar_t));
    return text;
}

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
int SelectedRow(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::vector<ListRow> Rows(HWND list) {
    std::vector<ListRow> rows;
    for (int i = 0; i < RowCount(list); ++i) {
        rows.push_back({ItemText(list, i, 0), ItemText(list, i, 1), ItemText(list, i, 2)});
    }
    return rows;
}

int RowNamed(HWND list, const std::wstring& name) {
    for (int i = 0; i < RowCount(list); ++i) {
        if (ItemText(list, i, 0) == name) return i;
    }
    return -1;
}

void Select(HWND list, int row) {
    RemoteBuffer remote(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(0, &item, sizeof(item));
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.At(0)));
}

RECT ItemRect(HWND list, int row) {
    RemoteBuffer remote(list, sizeof(RECT));
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    remote.Write(0, &rect, sizeof(rect));
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.At(0)));
    remote.Read(0, &rect, sizeof(rect));
    return rect;
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The search window and its controls, as the user meets them.
struct SearchControls {
    explicit SearchControls(HWND searchWindow)
        : window(searchWindow),
          keyword(GetDlgItem(searchWindow, IDC_SEARCH_KEYWORD)),
          root(GetDlgItem(searchWindow, IDC_SEARCH_ROOT)),
          browse(GetDlgItem(searchWindow, IDC_SEARCH_BROWSE)),
          search(GetDlgItem(searchWindow, IDC_SEARCH_BUTTON)),
          subFolders(GetDlgItem(searchWindow, IDC_SEARCH_SUBFOLDERS)),
          list(GetDlgItem(searchWindow, IDC_SEARCH_LIST)),
          status(GetDlgItem(searchWindow, IDC_SEARCH_STATUS)) {}
    HWND window, keyword, root, browse, search, subFolders, list, status;

    void Type(HWND box, const std::string& text) const {
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
    }
    void ClickSearch() const {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(search));
    }
    std::wstring Status() const { return WindowText(status); }
    bool Idle() const { return WindowText(search) == Utf8ToWide(kSearchButtonCaption); }
    int Headers() const {
        return static_cast<int>(SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)),
                                             HDM_GETITEMCOUNT, 0, 0));
    }
};

std::wstring Found(int count) { return std::to_wstring(count) + Utf8ToWide(kFoundSuffix); }

class SearchWindowTest : public ::testing::Test {
protected:
    void SetUp() override { PrepareProgramFolder(m_folder); }

    void StartEditor() {
        m_editor = std::make_unique<EditorProcess>(m_folder / "Kanopa.exe");
        m_main = m_editor->WaitForMainWindow();
        ASSERT_NE(m_main, nullptr);
    }
    HWND OpenSearch() const {
        PostMessageW(m_main, WM_COMMAND, IDM_TOOL_SEARCH, 0);
        return m_editor->WaitForWindow(kSearchWindowClass, Utf8ToWide(kSearchWindowCaption).c_str());
    }
    bool Gone(HWND window) const {
        return WaitUntil([&] { return !IsWindow(window) && IsWindowEnabled(m_main); });
    }

    TempFolder m_folder;
    std::unique_ptr<EditorProcess> m_editor;
    HWND m_main = nullptr;
};

TEST_F(SearchWindowTest, FindsListsReopensAndOpensMemosOfARealTree) {
    const std::string tree = m_folder / "検索の木";
    kanopa::testing::MakeFolder(tree);
    kanopa::testing::MakeFolder(tree + "\\日本語フォルダ");
    WriteMemoFile(tree + "\\メモ一.epm", "重要な打ち合わせ\r\n二行目");
    WriteMemoFile(tree + "\\日本語フォルダ\\二^番.EPM", "^重要^");
    WriteMemoFile(tree + "\\関係なし.epm", "ほかの話");
    kanopa::testing::MakeFolder(tree + "\\.隠し");
    WriteMemoFile(tree + "\\.隠し\\重要.epm", "重要");  // never reached: dot-folders are skipped
    // Past 260 characters by nesting: one name on the Linux side holds 255 bytes at most.
    std::string deep = tree;
    const std::string level = "とても深い階層に置かれたメモのためのフォルダの名前です";
    for (int i = 0; Utf8ToWide(deep).size() < 270; ++i) {
        deep += "\\" + level + std::to_string(i);
        MakeDeepFolder(deep);
    }
    WriteMemoFile(deep + "\\深.epm", "深い所の重要メモ");
    ASSERT_GT(Utf8ToWide(deep + "\\深.epm").size(), 260u);

    StartEditor();
    HWND window = OpenSearch();
    ASSERT_NE(window, nullptr);
    const SearchControls c(window);
    EXPECT_FALSE(IsWindowEnabled(m_main)) << "shown modally";
    EXPECT_FALSE(IsWindowEnabled(c.search));
    EXPECT_EQ(c.Headers(), 0);
    EXPECT_EQ(c.Status(), L"");

    // A search over the tree without and with its sub-folders.
    c.Type(c.keyword, "*重要*");
    EXPECT_FALSE(IsWindowEnabled(c.search));
    // The folder browser, with its title, puts the chosen folder in with a "\\".
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_BROWSE, BN_CLICKED), reinterpret_cast<LPARAM>(c.browse));
    HWND browser = m_editor->WaitForDialog(L"フォルダの参照");
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(ChooseFileInDialog(browser, Utf8ToWide(tree)));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(c.root) == Utf8ToWide(tree + "\\"); }));
    EXPECT_TRUE(IsWindowEnabled(c.search));
    c.ClickSearch();
    ASSERT_TRUE(WaitUntil([&] { return c.Idle() && c.Status() == Found(1); }));
    EXPECT_EQ(Rows(c.list), (std::vector<ListRow>{{L"メモ一.epm", Utf8ToWide(tree + "\\"), L"重要な打ち合わせ 二行目"}}));

    SendMessageW(c.subFolders, BM_SETCHECK, BST_CHECKED, 0);
    c.ClickSearch();
    ASSERT_TRUE(WaitUntil([&] { return c.Idle() && c.Status() == Found(3); }, 20s));
    EXPECT_EQ(c.Headers(), 3);
    std::vector<ListRow> rows = Rows(c.list);
    std::sort(rows.begin(), rows.end());
    std::vector<ListRow> expected = {
        {L"メモ一.epm", Utf8ToWide(tree + "\\"), L"重要な打ち合わせ 二行目"},
        {L"二^番.EPM", Utf8ToWide(tree + "\\日本語フォルダ\\"), L"^重要^"},
        {L"深.epm", Utf8ToWide(deep + "\\"), L"深い所の重要メモ"},
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);

    // Moved, narrowed below the minimum, a row selected, closed: all of it comes back.
    const int caretRow = RowNamed(c.list, L"二^番.EPM");
    ASSERT_GE(caretRow, 0);
    Select(c.list, caretRow);
    const LONG minimum = SearchMinimumPixels(GetDeviceCaps(GetWindowDcOf(nullptr).Get().dc, LOGPIXELSX));
    SetWindowPos(window, nullptr, 40, 30, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] {
        const RECT r = WindowRectOf(window);
        return r.right - r.left == minimum && r.bottom - r.top == minimum;
    }));
    SetWindowPos(window, nullptr, 40, 30, 700, 520, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT closedAt = WindowRectOf(window);
    // Closed maximised, it comes back at the rectangle it had before.
    ShowWindow(window, SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(window) != FALSE; }));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Gone(window));

    window = OpenSearch();
    ASSERT_NE(window, nullptr);
    const SearchControls again(window);
    const RECT reopenedAt = WindowRectOf(window);
    for (const auto side : {&RECT::left, &RECT::top, &RECT::right, &RECT::bottom})
        EXPECT_NEAR(reopenedAt.*side, closedAt.*side, 1);
    EXPECT_EQ(again.Status(), Found(3));
    EXPECT_EQ(Rows(again.list).size(), 3u);
    ASSERT_TRUE(WaitUntil([&] { return SelectedRow(again.list) == caretRow; }));
    EXPECT_EQ(FocusOf(window), again.list);
    EXPECT_EQ(WindowText(again.keyword), L"");
    EXPECT_EQ(WindowText(again.root), L"");
    EXPECT_FALSE(IsWindowEnabled(again.search));

    // A double-click on the deep memo opens it in the editor.
    const int deepRow = RowNamed(again.list, L"深.epm");
    ASSERT_GE(deepRow, 0);
    Select(again.list, deepRow);
    const RECT item = ItemRect(again.list, deepRow);
    const LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
    PostMessageW(again.list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(again.list, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(Gone(window));
    HWND label = GetDlgItem(GetDlgItem(m_main, IDC_FRAME), IDC_LABEL);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(label) == L"深い所の重要メモ"; }));

    // Its row is the one selected at the next opening; Enter opens it as well.
    window = OpenSearch();
    ASSERT_NE(window, nullptr);
    const SearchControls third(window);
    ASSERT_TRUE(WaitUntil([&] { return SelectedRow(third.list) == deepRow; }));
    Select(third.list, RowNamed(third.list, L"メモ一.epm"));
    PostMessageW(third.list, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(Gone(window));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(label) == L"重要な打ち合わせ\r\n二行目"; }));
}

TEST_F(SearchWindowTest, StopAndCloseEndTheWalkEarly) {
    // Two hundred folders with a memo each and none in the root: a walk stopped at its
    // start finds at most the first folder's memo.
    const std::string tree = m_folder / "大きな木";
    kanopa::testing::MakeFolder(tree);
    constexpr int kFolders = 200;
    for (int i = 0; i < kFolders; ++i) {
        const std::string folder = tree + "\\フォルダ" + std::to_string(i);
        kanopa::testing::MakeFolder(folder);
        WriteMemoFile(folder + "\\m.epm", "重要");
    }
    StartEditor();
    HWND window = OpenSearch();
    ASSERT_NE(window, nullptr);
    const SearchControls c(window);
    c.Type(c.keyword, "*");
    c.Type(c.root, tree);
    SendMessageW(c.subFolders, BM_SETCHECK, BST_CHECKED, 0);
    c.ClickSearch();
    ASSERT_TRUE(WaitUntil([&] { return c.Idle() && c.Status() == Found(kFolders); }, 30s));

    // The stop click is waiting when the walk starts: the walk takes it at once.
    c.ClickSearch();
    c.ClickSearch();
    // Until the stopped search has reported: its count, never the full one, which the
    // status still shows before the clicks are taken.
    std::wstring stopped;
    const std::wstring suffix = Utf8ToWide(kFoundSuffix);
    ASSERT_TRUE(WaitUntil([&] {
        stopped = c.Status();
        return stopped != Found(kFolders) && stopped.ends_with(suffix) && c.Idle();
    }, 30s)) << WideToUtf8(stopped);
    EXPECT_TRUE(stopped == Found(0) || stopped == Found(1)) << WideToUtf8(stopped);

    // Closing during a walk stops it, then the window goes; the rows are the stopped ones.
    c.ClickSearch();
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Gone(window));
    window = OpenSearch();
    ASSERT_NE(window, nullptr);
    const std::wstring closed = SearchControls(window).Status();
    EXPECT_TRUE(closed == Found(0) || closed == Found(1)) << WideToUtf8(closed);
}

}  // namespace
}  // namespace kanopa::editor::win32::testing
