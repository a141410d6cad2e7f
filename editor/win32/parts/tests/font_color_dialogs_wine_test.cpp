// The system's font and colour dialogs, opened by the wrappers and answered from a
// second thread as a user would: what they open with, what OK and Cancel give back.
#include "editor/win32/font_color_dialogs.h"

#include <dlgs.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "common/win32/test_support/window_testing.h"

namespace kanopa::editor::win32 {
namespace {

using kanopa::testing::FindProcessWindow;
using kanopa::testing::TestWindow;
using kanopa::testing::WaitUntil;
using kanopa::testing::WindowText;

// What the dialog showed when it was answered.
struct DialogSeen {
    bool found = false;
    HWND owner = nullptr;
    std::wstring face;   // font dialog: the face name box
    std::wstring size;   // font dialog: the size box
};

// Waits on a thread of its own for the dialog the test opens, reads it, lets `edit`
// change it as a user would, and presses `button` in it.
class DialogAnswerer {
public:
    using Edit = std::function<void(HWND dialog)>;
    explicit DialogAnswerer(int button, Edit edit = nullptr)
        : m_edit(std::move(edit)), m_worker([this, button] { Run(button); }) {}
    ~DialogAnswerer() {
        if (m_worker.joinable()) m_worker.join();
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    const DialogSeen& Seen() {
        if (m_worker.joinable()) m_worker.join();
        return m_seen;
    }

private:
    void Run(int button) {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindProcessWindow(GetCurrentProcessId(), L"#32770")) != nullptr; },
                       std::chrono::seconds(10)))
            return;
        m_seen.found = true;
        m_seen.owner = GetWindow(dialog, GW_OWNER);
        if (HWND face = GetDlgItem(dialog, cmb1)) m_seen.face = WindowText(face);
        if (HWND size = GetDlgItem(dialog, cmb3)) m_seen.size = WindowText(size);
        if (m_edit) m_edit(dialog);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    }

    Edit m_edit;
    DialogSeen m_seen;
    std::thread m_worker;
};

class SystemDialogs : public ::testing::Test {
protected:
    TestWindow owner{L"frmCreateMemo stand-in", RECT{100, 100, 600, 500}};
};

TEST_F(SystemDialogs, ColourCancelledLeavesTheColourAndOkGivesTheOneShown) {
    struct Case { int button; std::int32_t start; bool result; std::int32_t after; };
    const Case cases[] = {
        {IDCANCEL, 0x00C0FFEE & 0x00FFFFFF, false, 0x00C0FFEE & 0x00FFFFFF},
        {IDOK, 0x00123456, true, 0x00123456},
        {IDOK, 0x00000000, true, 0x00000000},
        {IDOK, 0x00FFFFFF, true, 0x00FFFFFF},
    };
    for (const Case& c : cases) {
        std::int32_t colour = c.start;
        DialogAnswerer answerer(c.button);
        EXPECT_EQ(ShowColorDialog(owner.Get(), colour), c.result) << std::hex << c.start;
        EXPECT_EQ(colour, c.after) << std::hex << c.start;
        EXPECT_TRUE(answerer.Seen().found);
        EXPECT_EQ(answerer.Seen().owner, owner.Get());
    }
}

// Picks another size from the list and flips the underline box, telling the dialog as the
// controls themselves would.
void PickSizeAndFlipUnderline(HWND dialog, const wchar_t* size) {
    HWND sizes = GetDlgItem(dialog, cmb3);
    SendMessageW(sizes, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(size));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
    HWND underline = GetDlgItem(dialog, chx2);
    const bool checked = SendMessageW(underline, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SendMessageW(underline, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(chx2, BN_CLICKED), reinterpret_cast<LPARAM>(underline));
}

TEST_F(SystemDialogs, FontOpensWithTheRecordAndOkWritesBackWhatItShows) {
    struct Case {
        std::int32_t size, style, strikeout, underline, colour;
        int button;
        const wchar_t* pick;  // another size chosen and the underline flipped, or untouched
        std::int32_t sizeAfter;
    };
    // Both ends of the size range, every style, both effects, a text colour in the dialog's
    // own list (red) and one outside it (which must survive), changes taken by OK and
    // dropped by Cancel.
    const Case cases[] = {
        {8, 0, 0, 0, 0x0000FF, IDOK, nullptr, 8},      {12, 3, 1, 0, 0x0000FF, IDOK, nullptr, 12},
        {24, 1, 0, 1, 0x0000FF, IDOK, nullptr, 24},    {11, 2, 1, 1, 0x123456, IDOK, nullptr, 11},
        {12, 2, 0, 1, 0x0000FF, IDOK, L"20", 20},      {24, 2, 0, 0, 0x0000FF, IDOK, L"8", 8},
        {16, 3, 1, 1, 0x0000FF, IDCANCEL, L"20", 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "size " << c.size << " style " << c.style);
        MemoRecord record;
        record.fontName = "Tahoma";
        record.fontSize = c.size;
        record.fontStyle = c.style;
        record.fontStrikeout = c.strikeout;
        record.fontUnderline = c.underline;
        record.foreColor = c.colour;
        MemoRecord expected = record;
        if (c.button == IDOK && c.pick != nullptr) {
            expected.fontSize = c.sizeAfter;
            expected.fontUnderline = 1 - c.underline;
        }
        DialogAnswerer answerer(c.button, [&](HWND dialog) {
            if (c.pick != nullptr) PickSizeAndFlipUnderline(dialog, c.pick);
        });
        EXPECT_EQ(ShowMemoFontDialog(owner.Get(), record), c.button == IDOK);
        const DialogSeen& seen = answerer.Seen();
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.owner, owner.Get());
        EXPECT_EQ(seen.face, L"Tahoma");
        EXPECT_EQ(seen.size, std::to_wstring(c.size));
        EXPECT_EQ(record, expected);
    }
}

}  // namespace
}  // namespace kanopa::editor::win32
