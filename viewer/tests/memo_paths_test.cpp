#include "viewer/memo_paths.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace kanopa::viewer {
namespace {

struct UrlCase {
    const char* url;
    const char* path;
};

void PrintTo(const UrlCase& c, std::ostream* os) { *os << '"' << c.url << '"'; }

class LocationUrlToPathTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(LocationUrlToPathTest, GivesFolderPathOrNothing) {
    EXPECT_EQ(LocationUrlToPath(GetParam().url), GetParam().path) << GetParam().url;
}

INSTANTIATE_TEST_SUITE_P(
    Blanks, LocationUrlToPathTest,
    ::testing::Values(UrlCase{"file:///C:/My%20Memos/Work", "C:\\My Memos\\Work\\"},
                      UrlCase{"file:///C:/a%20b/c", "C:\\a b\\c\\"},
                      UrlCase{"file:///C:/a%20%20b/", "C:\\a  b\\"},
                      UrlCase{"file:///C:/", "C:\\"}));

INSTANTIATE_TEST_SUITE_P(
    OtherEscapes, LocationUrlToPathTest,
    ::testing::Values(UrlCase{"file:///C:/100%25/x", "C:\\100%\\x\\"},
                      UrlCase{"file:///C:/a%23b%5Bc%5D", "C:\\a#b[c]\\"},
                      UrlCase{"file:///C:/a%2cb", "C:\\a,b\\"},
                      // Not escapes: kept as written.
                      UrlCase{"file:///C:/50%/x", "C:\\50%\\x\\"},
                      UrlCase{"file:///C:/a%zzb", "C:\\a%zzb\\"},
                      UrlCase{"file:///C:/a%2", "C:\\a%2\\"},
                      UrlCase{"file:///C:/a%", "C:\\a%\\"},
                      // Control characters would cut the path short at the platform.
                      UrlCase{"file:///C:/a%00b", "C:\\a%00b\\"},
                      UrlCase{"file:///C:/a%0Ab", "C:\\a%0Ab\\"}));

INSTANTIATE_TEST_SUITE_P(
    Utf8Escapes, LocationUrlToPathTest,
    ::testing::Values(
        UrlCase{"file:///C:/%E3%83%A1%E3%83%A2", "C:\\メモ\\"},
        UrlCase{"file:///D:/%E4%BB%95%E4%BA%8B/2024%E5%B9%B4", "D:\\仕事\\2024年\\"},
        UrlCase{"file:///C:/%e3%83%a1", "C:\\メ\\"},
        // Unescaped characters pass through untouched.
        UrlCase{"file:///C:/メモ%20帳", "C:\\メモ 帳\\"},
        UrlCase{"file:///C:/%F0%9F%93%81", "C:\\\xF0\x9F\x93\x81\\"},
        // Bytes that are no UTF-8 (a lone lead byte, a cut sequence, an overlong form,
        // a surrogate) name no folder the platform could open.
        UrlCase{"file:///C:/%83%81", ""}, UrlCase{"file:///C:/%E3%83", ""},
        UrlCase{"file:///C:/%C0%AF", ""}, UrlCase{"file:///C:/%ED%A0%80", ""}));

INSTANTIATE_TEST_SUITE_P(
    NetworkAndHosts, LocationUrlToPathTest,
    ::testing::Values(UrlCase{"file://server/share/x", "\\\\server\\share\\x\\"},
                      UrlCase{"file://server/share/a%20b/", "\\\\server\\share\\a b\\"},
                      UrlCase{"file:////server/share/x", "\\\\server\\share\\x\\"},
                      UrlCase{"file://localhost/C:/x", "C:\\x\\"},
                      UrlCase{"FILE:///C:/Work", "C:\\Work\\"}));

INSTANTIATE_TEST_SUITE_P(
    NoFileSystemFolder, LocationUrlToPathTest,
    ::testing::Values(UrlCase{"", ""}, UrlCase{"file:///", ""}, UrlCase{"file://", ""},
                      UrlCase{"http://example.jp/C:/x", ""},
                      UrlCase{"https://example.jp/", ""}, UrlCase{"about:blank", ""},
                      UrlCase{"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", ""},
                      UrlCase{"search-ms:query=memo", ""}, UrlCase{"shell:Downloads", ""},
                      UrlCase{"fil:///C:/x", ""}));

struct NameCase {
    const char* name;
    const char* extension;
    bool memo;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << '"' << c.name << '"'; }

class MemoFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(MemoFileNameTest, ExtensionIsExactlyEpm) {
    EXPECT_EQ(GetExtension(GetParam().name), GetParam().extension) << GetParam().name;
    EXPECT_EQ(IsMemoFileName(GetParam().name), GetParam().memo) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, MemoFileNameTest,
    ::testing::Values(NameCase{"note.epm", "epm", true}, NameCase{"a.b.epm", "epm", true},
                      NameCase{"epm", "epm", true}, NameCase{".epm", "epm", true},
                      NameCase{"MEMO.EPM", "EPM", false}, NameCase{"memo.Epm", "Epm", false},
                      NameCase{"memo.epm.txt", "txt", false}, NameCase{"xepm", "xepm", false},
                      NameCase{"memo.xepm", "xepm", false}, NameCase{"memo.epmx", "epmx", false},
                      NameCase{"memo.", "", false}, NameCase{"", "", false}));

}  // namespace
}  // namespace kanopa::viewer
