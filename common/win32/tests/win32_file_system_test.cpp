// Win32FileSystem on the real (Wine or Windows) file system.
#include "common/win32/win32_file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/paths.h"
#include "common/tests/fakes.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"

namespace kanopa::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

TEST(Win32FileSystemIsFile, SeesOnlyOrdinaryFilesWhoseLongNameMatches) {
    TempFolder temp;
    Win32FileSystem fs;
    MakeFolder(temp / "folder.epm");
    MakeFile(temp / "hidden.epm", "x", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(temp / "system.epm", "x", FILE_ATTRIBUTE_SYSTEM);
    MakeFile(temp / "a.epmx", "x");  // the system also matches "*.epm" against its 8.3 name
    MakeFile(temp / "Note.TXT", "x", FILE_ATTRIBUTE_READONLY);
    MakeFile(temp / "メ.dat", "x");
    MakeFile(temp / "README", "x");
    const std::pair<const char*, bool> cases[] = {
        {"folder.epm", false}, {"hidden.epm", false}, {"system.epm", false}, {"*.epm", false},
        {"a.epmx", true},      {"*.epm?", true},      {"*.txt", true},       {"?.dat", true},
        {"??.dat", false},     {"READ*.*", true},     {"*.none", false},     {"missing\\*.epm", false},
    };
    LogCapture capture;
    for (const auto& [pattern, expected] : cases) EXPECT_EQ(IsFile(fs, temp / pattern), expected) << pattern;
    // Finding nothing is no failure; a missing folder is, with the system's text.
    EXPECT_THAT(capture.log.entries,
                ElementsAre(Pair("IsFile()", temp / "missing\\*.epm " + LastErrorText(ERROR_PATH_NOT_FOUND))));
}

TEST(Win32FileSystemPaths, OnlyLongPathsGetTheLongPathPrefixOnTheirFullForm) {
    const std::string deep(300, 'd');
    const std::wstring wideDeep = Utf8ToWide(deep);
    std::wstring current(MAX_PATH, L'\0');
    current.resize(GetCurrentDirectoryW(MAX_PATH, current.data()));
    if (current.back() != L'\\') current += L'\\';
    const std::pair<std::string, std::wstring> cases[] = {
        {"C:\\Work\\memo.epm", L"C:\\Work\\memo.epm"},
        {"Work\\..\\memo.epm", L"Work\\..\\memo.epm"},
        {"C:\\" + deep, L"\\\\?\\C:\\" + wideDeep},
        {"\\\\server\\share\\" + deep, L"\\\\?\\UNC\\server\\share\\" + wideDeep},
        // The prefix would pass "..", "." and "/" on uncleaned: cleaned first.
        {"C:\\a\\..\\.\\" + deep, L"\\\\?\\C:\\" + wideDeep},
        {"C:/a/" + deep, L"\\\\?\\C:\\a\\" + wideDeep},
        // A relative path is as long as its full form.
        {"rel\\" + deep, L"\\\\?\\" + current + L"rel\\" + wideDeep},
        {"\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + wideDeep},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(ToWin32Path(path), expected) << path;
}

// Saving over a memo in a folder with a Japanese name: the names on disk are the real
// ones, a shorter memo replaces a longer one completely, a read-only memo stays as it is,
// and no temporary file is left either way.
TEST(Win32FileSystemMemo, SavedOverInAJapaneseFolder) {
    TempFolder temp;
    Win32FileSystem fs;
    const Win32Clock clock;
    const std::string folder = temp / "メモ帳フォルダ\\", path = folder + "テスト①.epm";
    MakeFolder(folder);
    const auto save = [&](std::string text) {
        MemoRecord memo;
        SetDefaultMemoValues(memo);
        memo.memoText = std::move(text);
        return SaveMemo(fs, clock, MemoKey(), path, memo);
    };
    const auto load = [&] {
        MemoRecord memo;
        EXPECT_TRUE(LoadMemo(fs, MemoKey(), path, memo).complete());
        return memo.memoText;
    };
    ASSERT_TRUE(save(std::string(3000, 'L')).ok);
    const std::uint64_t longSize = fs.FileSize(path).value_or(0);
    ASSERT_TRUE(save("会議は３階です。\r\n①持ち物").ok);
    EXPECT_LT(fs.FileSize(path).value_or(longSize), longSize);
    EXPECT_EQ(load(), "会議は３階です。\r\n①持ち物");
    const std::wstring wideName = Utf8ToWide(temp.Path()) +
                                  L"\u30E1\u30E2\u5E33\u30D5\u30A9\u30EB\u30C0\\"
                                  L"\u30C6\u30B9\u30C8\u2460.epm";
    EXPECT_NE(GetFileAttributesW(wideName.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(IsFile(fs, folder + "*.epm"));
    EXPECT_FALSE(fs.CreateNewFile(path, "x").ok);  // never over an existing file

    ASSERT_TRUE(SetFileAttributesW(wideName.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(save("changed").ok);
    EXPECT_EQ(load(), "会議は３階です。\r\n①持ち物");
    std::vector<std::string> names;
    EXPECT_TRUE(fs.ListFiles(folder + "*", [&](const std::string& name) {
        names.push_back(name);
        return true;
    }).ok);
    EXPECT_THAT(names, ElementsAre("テスト①.epm"));
}

// A reader that holds the memo without sharing its deletion (a viewer or a virus scanner
// reading it) makes the final move fail for that instant: the adapter tells it as busy
// (the save retries only then) and keeps the new file for the next try.
TEST(Win32FileSystemMemo, AReaderHoldingTheFileMakesTheMoveBusy) {
    TempFolder temp;
    Win32FileSystem fs;
    const std::string path = temp / "m.epm";
    MakeFile(path, "old");
    UniqueFile reader(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    ASSERT_TRUE(fs.CreateNewFile(path + ".new", "new").ok);
    const Status held = fs.MoveReplacing(path + ".new", path);
    EXPECT_EQ(held.problem, Problem::Busy) << held.error;
    reader.Reset();
    ASSERT_TRUE(fs.MoveReplacing(path + ".new", path).ok);
    std::string bytes;
    EXPECT_TRUE(fs.ReadFile(path, 100, bytes).ok);
    EXPECT_EQ(bytes, "new");
}

// Folders nested past MAX_PATH, each name short enough for one Linux name.
std::string NestDeep(const std::string& root, std::size_t atLeast) {
    std::string path = root;
    for (int level = 0; path.size() <= atLeast; ++level) {
        path += std::string(60, static_cast<char>('a' + level)) + "\\";
        MakeFolder(path);
    }
    return path;
}

TEST(Win32FileSystemFolders, ListingSeesEveryEntryPastMaxPathAndOutsideCp932) {
    TempFolder temp;
    Win32FileSystem fs;
    const std::string deep = NestDeep(temp.Path(), 300);
    const std::string korean = "한국어 메모";  // no code page 932 character
    MakeFolder(deep + korean);
    MakeFile(deep + "h.epm", "x", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(deep + "s.epm", "x", FILE_ATTRIBUTE_SYSTEM);
    MakeFile(deep + korean + ".epm", "x", FILE_ATTRIBUTE_READONLY);
    std::map<std::string, std::uint32_t> seen;
    for (const std::string& folder : {deep, deep.substr(0, deep.size() - 1)}) {
        seen.clear();
        ASSERT_TRUE(fs.ListFolder(folder, [&](const FolderEntry& e) {
            seen[e.name] = e.attributes & (attribute::kDirectory | attribute::kHidden |
                                           attribute::kSystem | attribute::kReadOnly);
            return true;
        })) << folder;
        const std::map<std::string, std::uint32_t> expected = {
            {".", attribute::kDirectory},   {"..", attribute::kDirectory},
            {korean, attribute::kDirectory}, {"h.epm", attribute::kHidden},
            {"s.epm", attribute::kSystem},  {korean + ".epm", attribute::kReadOnly},
        };
        EXPECT_EQ(seen, expected);
    }
    // A link to a folder is another name for it. Wine's CreateSymbolicLinkW may report
    // success and make nothing: the check counts only where a reparse point exists.
    const std::wstring link = ToWin32Path(deep + "link");
    if (CreateSymbolicLinkW(link.c_str(), ToWin32Path(deep + korean).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        (GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) {
        bool surrogate = false;
        fs.ListFolder(deep, [&](const FolderEntry& e) {
            if (e.name == "link") surrogate = e.IsFolder() && e.IsNameSurrogate();
            return true;
        });
        EXPECT_TRUE(surrogate);
        RemoveDirectoryW(link.c_str());
    } else {
        std::printf("note: no symbolic link could be made here; the link case was not checked\n");
    }
    int visits = 0;
    EXPECT_TRUE(fs.ListFolder(deep, [&](const FolderEntry&) { return ++visits < 2; }));
    EXPECT_EQ(visits, 2);
    EXPECT_FALSE(fs.ListFolder(deep + "missing", [](const FolderEntry&) { return true; }));
    EXPECT_FALSE(fs.ListFolder(deep + "h.epm", [](const FolderEntry&) { return true; }));
}

TEST(Win32FileSystemFolders, IdentityAndCopyWorkPastMaxPath) {
    TempFolder temp;
    Win32FileSystem fs;
    const std::string deep = NestDeep(temp.Path(), 300);
    const std::string bytes = "\x82\xa0memo\r\n" + std::string(100000, 'z');
    MakeFile(deep + "src.epm", bytes, FILE_ATTRIBUTE_READONLY);
    MakeFile(deep + "there.epm", "old");

    const auto folder = fs.IdentityOf(deep);
    ASSERT_TRUE(folder);
    EXPECT_EQ(fs.IdentityOf(deep.substr(0, deep.size() - 1)), folder);
    EXPECT_NE(fs.IdentityOf(deep + "src.epm"), folder);
    EXPECT_NE(fs.IdentityOf(deep + "src.epm"), fs.IdentityOf(deep + "there.epm"));
    EXPECT_EQ(fs.IdentityOf(deep + "missing"), std::nullopt);

    ASSERT_TRUE(fs.CopyToNewFile(deep + "src.epm", deep + "copy.epm"));
    std::string copied;
    ASSERT_TRUE(fs.ReadFile(deep + "copy.epm", 1 << 20, copied));
    EXPECT_EQ(copied, bytes);
    EXPECT_EQ(GetFileAttributesW(ToWin32Path(deep + "copy.epm").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(fs.CopyToNewFile(deep + "src.epm", deep + "there.epm"));
    std::string kept;
    ASSERT_TRUE(fs.ReadFile(deep + "there.epm", 1 << 20, kept));
    EXPECT_EQ(kept, "old");
    EXPECT_FALSE(fs.CopyToNewFile(deep + "missing.epm", deep + "new.epm"));
    EXPECT_EQ(fs.FileSize(deep + "new.epm"), std::nullopt);
}

}  // namespace
}  // namespace kanopa::testing
