#include "viewer/memo_paths.h"

#include <gtest/gtest.h>

namespace kanopa::viewer {
namespace {

TEST(LocationUrlToPathTest, GivesTheFolderPathOrNothing) {
    const struct {
        const char* url;
        const char* path;
    } cases[] = {
        // Blanks and other escapes.
        {"file:///C:/My%20Memos/Work", "C:\\My Memos\\Work\\"},
        {"file:///C:/100%25/a%23b%5Bc%5d", "C:\\100%\\a#b[c]\\"},
        {"file:///C:/%E4%BB%95%E4%BA%8B/%e3%83%a1%20帳", "C:\\仕事\\メ 帳\\"},
        // Not escapes, or control characters: kept as written.
        {"file:///C:/50%/a%zz/b%2", "C:\\50%\\a%zz\\b%2\\"},
        {"file:///C:/a%00b%0A", "C:\\a%00b%0A\\"},
        // Escaped bytes that are no UTF-8 name no folder the platform could open.
        {"file:///C:/%83%81", ""},
        {"file:///C:/%C0%AF", ""},
        // Drives, hosts and network shares.
        {"FILE:///C:/", "C:\\"},
        {"file://localhost/C:/x", "C:\\x\\"},
        {"file://server/share/a%20b", "\\\\server\\share\\a b\\"},
        {"file:////server/share/x/", "\\\\server\\share\\x\\"},
        // No file-system folder at all.
        {"", ""},
        {"file:///", ""},
        {"http://example.jp/C:/x", ""},
        {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(LocationUrlToPath(c.url), c.path) << c.url;
}

}  // namespace
}  // namespace kanopa::viewer
