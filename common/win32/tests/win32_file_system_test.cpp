// Win32FileSystem against the real (Wine or Windows) file system.
#include "common/win32/win32_file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/log.h"
#include "common/memo_file.h"
#include "common/services.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"

namespace kanopa::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

class RecordingSink final : public LogSink {
public:
    void Write(std::string_view source, std::string_view message) noexcept override {
        lines.push_back(std::string(source) + "|" + std::string(message));
    }
    std::vector<std::string> lines;
};

std::vector<std::string> ListAll(Win32FileSystem& fs, const std::string& pattern) {
    std::vector<std::string> names;
    const Status status = fs.ListFiles(pattern, [&](const std::string& name) {
        names.push_back(name);
        return true;
    });
    EXPECT_TRUE(status.ok) << pattern << ": " << status.error;
    return names;
}

MemoRecord MemoWithText(std::string text) {
    MemoRecord record;
    SetDefaultMemoValues(record);
    record.memoText = std::move(text);
    return record;
}

// --- IsFile: which entries count as files, and wildcard patterns -------------------

enum class Kind { Normal, ReadOnly, Hidden, System, Folder };

struct Entry {
    const char* name;
    Kind kind;
};

struct IsFileCase {
    const char* what;
    std::vector<Entry> entries;
    const char* pattern;  // relative to the case's own folder
    bool expected;
    friend void PrintTo(const IsFileCase& c, std::ostream* out) { *out << c.what; }
};

class IsFileTest : public ::testing::TestWithParam<IsFileCase> {};

TEST_P(IsFileTest, SeesOnlyOrdinaryFilesMatchingThePattern) {
    const IsFileCase& c = GetParam();
    TempFolder temp;
    Win32FileSystem fs;
    for (const Entry& e : c.entries) {
        const std::string path = temp / e.name;
        switch (e.kind) {
            case Kind::Normal: MakeFile(path, "x"); break;
            case Kind::ReadOnly: MakeFile(path, "x", FILE_ATTRIBUTE_READONLY); break;
            case Kind::Hidden: MakeFile(path, "x", FILE_ATTRIBUTE_HIDDEN); break;
            case Kind::System: MakeFile(path, "x", FILE_ATTRIBUTE_SYSTEM); break;
            case Kind::Folder: MakeFolder(path); break;
        }
    }
    EXPECT_EQ(IsFile(fs, temp / c.pattern), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Win32FileSystem, IsFileTest,
    ::testing::Values(
        IsFileCase{"ordinary file", {{"memo.epm", Kind::Normal}}, "memo.epm", true},
        IsFileCase{"read-only file", {{"memo.epm", Kind::ReadOnly}}, "memo.epm", true},
        IsFileCase{"folder", {{"memo.epm", Kind::Folder}}, "memo.epm", false},
        IsFileCase{"hidden file", {{"memo.epm", Kind::Hidden}}, "memo.epm", false},
        IsFileCase{"system file", {{"memo.epm", Kind::System}}, "memo.epm", false},
        IsFileCase{"star finds the ordinary one among others",
                   {{"a.epm", Kind::Folder}, {"b.epm", Kind::Hidden}, {"c.epm", Kind::System},
                    {"d.epm", Kind::Normal}},
                   "*.epm", true},
        IsFileCase{"star with only folders, hidden and system entries",
                   {{"a.epm", Kind::Folder}, {"b.epm", Kind::Hidden}, {"c.epm", Kind::System},
                    {"d.txt", Kind::Normal}},
                   "*.epm", false},
        IsFileCase{"star ignores case", {{"Note.EPM", Kind::Normal}}, "*.epm", true},
        IsFileCase{"question mark takes one character", {{"a.epm", Kind::Normal}}, "?.epm", true},
        IsFileCase{"question mark is not two characters", {{"ab.epm", Kind::Normal}}, "?.epm",
                   false},
        IsFileCase{"question mark takes one Japanese character", {{"メ.epm", Kind::Normal}},
                   "?.epm", true},
        IsFileCase{"longer extension is another extension", {{"a.epmx", Kind::Normal}}, "*.epm",
                   false},
        IsFileCase{"no match", {{"a.txt", Kind::Normal}}, "*.epm", false},
        IsFileCase{"empty folder", {}, "*.epm", false},
        IsFileCase{"star-dot-star includes names without a dot", {{"README", Kind::Normal}},
                   "*.*", true},
        IsFileCase{"file in a missing folder", {}, "missing\\memo.epm", false}),
    [](const ::testing::TestParamInfo<IsFileCase>& param) {
        return "Case" + std::to_string(param.index);
    });

TEST(Win32FileSystemIsFile, LogsAMissingFolderWithPathAndSystemText) {
    TempFolder temp;
    Win32FileSystem fs;
    RecordingSink sink;
    const ScopedLogSink installed(sink);
    const std::string path = temp / "missing\\*.epm";
    EXPECT_FALSE(IsFile(fs, path));
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_EQ(sink.lines[0], "IsFile()|" + path + " " + LastErrorText(ERROR_PATH_NOT_FOUND));
}

// --- ListFiles ---------------------------------------------------------------------

// The names the system lists, read directly, without the filtering under test.
std::vector<std::string> RawListing(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    const UniqueFind find(FindFirstFileW(Utf8ToWide(folder + "*").c_str(), &data));
    if (!find) return names;
    do {
        names.push_back(WideToUtf8(data.cFileName));
    } while (FindNextFileW(find.Get(), &data));
    return names;
}

class Win32FileSystemList : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"c.epm", "a.epm", "b.txt", "d.epm"}) MakeFile(m_temp / name, "x");
        MakeFolder(m_temp / "folder.epm");
        MakeFile(m_temp / "hidden.epm", "x", FILE_ATTRIBUTE_HIDDEN);
        MakeFile(m_temp / "system.epm", "x", FILE_ATTRIBUTE_SYSTEM);
    }
    TempFolder m_temp;
    Win32FileSystem m_fs;
};

TEST_F(Win32FileSystemList, VisitsOrdinaryFilesInTheSystemsOrder) {
    std::vector<std::string> expected;
    for (const std::string& name : RawListing(m_temp.Path())) {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".epm") == 0 &&
            name != "folder.epm" && name != "hidden.epm" && name != "system.epm")
            expected.push_back(name);
    }
    ASSERT_THAT(expected, UnorderedElementsAre("a.epm", "c.epm", "d.epm"));
    EXPECT_EQ(ListAll(m_fs, m_temp / "*.epm"), expected);
}

TEST_F(Win32FileSystemList, NeverReportsDotEntriesOrFolders) {
    EXPECT_THAT(ListAll(m_fs, m_temp / "*"), UnorderedElementsAre("a.epm", "b.txt", "c.epm", "d.epm"));
    EXPECT_THAT(ListAll(m_fs, m_temp / "."), IsEmpty());
    EXPECT_THAT(ListAll(m_fs, m_temp / ".."), IsEmpty());
    EXPECT_THAT(ListAll(m_fs, m_temp / ".*"), IsEmpty());
}

TEST_F(Win32FileSystemList, StopsWhenTheVisitorSaysSo) {
    const std::vector<std::string> all = ListAll(m_fs, m_temp / "*.epm");
    ASSERT_EQ(all.size(), 3u);
    std::vector<std::string> visited;
    const Status status = m_fs.ListFiles(m_temp / "*.epm", [&](const std::string& name) {
        visited.push_back(name);
        return visited.size() < 2;
    });
    EXPECT_TRUE(status.ok) << status.error;
    EXPECT_THAT(visited, ElementsAre(all[0], all[1]));
}

TEST_F(Win32FileSystemList, NoMatchIsNoFailureButAMissingFolderIs) {
    int visits = 0;
    const auto count = [&](const std::string&) { return ++visits, true; };
    EXPECT_TRUE(m_fs.ListFiles(m_temp / "*.none", count).ok);
    const Status missing = m_fs.ListFiles(m_temp / "missing\\*.epm", count);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, LastErrorText(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(visits, 0);
}

// --- Reading and writing -----------------------------------------------------------

TEST(Win32FileSystemFiles, CreateNewFileWritesAllBytesAndRefusesAnExistingFile) {
    TempFolder temp;
    Win32FileSystem fs;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);  // every byte value
    const std::string path = temp / "new.bin";
    ASSERT_TRUE(fs.CreateNewFile(path, bytes).ok);
    std::string read;
    ASSERT_TRUE(fs.ReadFile(path, read).ok);
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(fs.FileSize(path), bytes.size());

    const Status again = fs.CreateNewFile(path, "other");
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(again.error, LastErrorText(ERROR_FILE_EXISTS));
    ASSERT_TRUE(fs.ReadFile(path, read).ok);
    EXPECT_EQ(read, bytes);
}

TEST(Win32FileSystemFiles, AppendCreatesThenAppends) {
    TempFolder temp;
    Win32FileSystem fs;
    const std::string path = temp / "Log.txt";
    ASSERT_TRUE(fs.AppendToFile(path, "first\n").ok);
    ASSERT_TRUE(fs.AppendToFile(path, "second\n").ok);
    std::string read;
    ASSERT_TRUE(fs.ReadFile(path, read).ok);
    EXPECT_EQ(read, "first\nsecond\n");
}

TEST(Win32FileSystemFiles, ReadsAFileAnotherProgramHasOpenForWriting) {
    TempFolder temp;
    Win32FileSystem fs;
    const std::string path = temp / "busy.txt";
    MakeFile(path, "content");
    const UniqueFile writer(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    std::string read;
    const Status status = fs.ReadFile(path, read);
    EXPECT_TRUE(status.ok) << status.error;
    EXPECT_EQ(read, "content");
}

TEST(Win32FileSystemFiles, FailuresCarryTheSystemsDescription) {
    TempFolder temp;
    Win32FileSystem fs;
    std::string read = "unchanged";
    const Status missing = fs.ReadFile(temp / "missing.txt", read);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, LastErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(read, "unchanged");

    const Status removed = fs.RemoveFile(temp / "missing.txt");
    EXPECT_FALSE(removed.ok);
    EXPECT_EQ(removed.error, LastErrorText(ERROR_FILE_NOT_FOUND));

    MakeFolder(temp / "folder");
    EXPECT_EQ(fs.FileSize(temp / "folder"), std::nullopt);
    EXPECT_EQ(fs.FileSize(temp / "missing.txt"), std::nullopt);
    EXPECT_FALSE(fs.ReadFile(temp / "folder", read).ok);
}

TEST(Win32FileSystemFiles, ReplaceOntoAReadOnlyFileFailsAndKeepsBoth) {
    TempFolder temp;
    Win32FileSystem fs;
    const std::string target = temp / "memo.epm";
    const std::string source = temp / "memo.epm.tmp";
    MakeFile(target, "old", FILE_ATTRIBUTE_READONLY);
    MakeFile(source, "new");
    const Status status = fs.ReplaceFile(source, target);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.error, LastErrorText(ERROR_ACCESS_DENIED));
    std::string read;
    ASSERT_TRUE(fs.ReadFile(target, read).ok);
    EXPECT_EQ(read, "old");
    EXPECT_TRUE(PathExists(source));
}

TEST(Win32FileSystemPaths, OnlyLongFullPathsGetTheLongPathPrefix) {
    const std::string deep = std::string(300, 'd');
    const struct {
        std::string path;
        std::wstring expected;
    } cases[] = {
        {"C:\\Work\\memo.epm", L"C:\\Work\\memo.epm"},
        {"C:\\" + deep, L"\\\\?\\C:\\" + Utf8ToWide(deep)},
        {"\\\\server\\share\\" + deep, L"\\\\?\\UNC\\server\\share\\" + Utf8ToWide(deep)},
        // The prefix would pass these on uncleaned, so they stay as they are.
        {"C:\\a\\..\\" + deep, L"C:\\a\\..\\" + Utf8ToWide(deep)},
        {"C:/" + deep, L"C:/" + Utf8ToWide(deep)},
        {"relative\\" + deep, L"relative\\" + Utf8ToWide(deep)},
        {"\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + Utf8ToWide(deep)},
    };
    for (const auto& c : cases) EXPECT_EQ(ToWin32Path(c.path), c.expected) << c.path;
}

// --- Memo files through the real file system ---------------------------------------

TEST(Win32FileSystemMemo, SavingOverALongerMemoReplacesItAndLeavesNoTemporaryFile) {
    TempFolder temp;
    Win32FileSystem fs;
    Win32Clock clock;
    const std::string path = temp / "memo.epm";
    MemoRecord longMemo = MemoWithText(std::string(3000, 'L') + "\r\n終わり");
    ASSERT_TRUE(SaveMemo(fs, clock, kViewerMemoKey, path, longMemo).ok);
    const std::uint64_t longSize = fs.FileSize(path).value_or(0);

    MemoRecord shortMemo = MemoWithText("短い, memo");
    const Status saved = SaveMemo(fs, clock, kViewerMemoKey, path, shortMemo);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_LT(fs.FileSize(path).value_or(longSize), longSize);
    EXPECT_THAT(ListAll(fs, temp / "*"), ElementsAre("memo.epm"));

    MemoRecord loaded;
    EXPECT_TRUE(LoadMemo(fs, kViewerMemoKey, path, loaded).complete());
    EXPECT_EQ(loaded.memoText, "短い, memo");
    EXPECT_EQ(loaded.savedAt, shortMemo.savedAt);
}

TEST(Win32FileSystemMemo, SavingOntoAReadOnlyMemoFailsAndChangesNothing) {
    TempFolder temp;
    Win32FileSystem fs;
    Win32Clock clock;
    const std::string path = temp / "memo.epm";
    MemoRecord original = MemoWithText("original");
    ASSERT_TRUE(SaveMemo(fs, clock, kViewerMemoKey, path, original).ok);
    ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_READONLY));

    RecordingSink sink;
    const ScopedLogSink installed(sink);
    MemoRecord changed = MemoWithText("changed");
    const Status saved = SaveMemo(fs, clock, kViewerMemoKey, path, changed);
    EXPECT_FALSE(saved.ok);
    EXPECT_THAT(saved.error, HasSubstr(path));
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_THAT(sink.lines[0], HasSubstr("SaveMemo()|FILEPATH:" + path + " "));

    EXPECT_THAT(ListAll(fs, temp / "*"), ElementsAre("memo.epm"));
    MemoRecord loaded;
    EXPECT_TRUE(LoadMemo(fs, kViewerMemoKey, path, loaded).complete());
    EXPECT_EQ(loaded.memoText, "original");
}

TEST(Win32FileSystemMemo, JapaneseFolderAndFileNamesRoundTrip) {
    TempFolder temp;
    Win32FileSystem fs;
    Win32Clock clock;
    const std::string folder = temp / "メモ帳フォルダ\\";
    MakeFolder(folder);
    const std::string path = folder + "テスト①.epm";
    MemoRecord memo = MemoWithText("会議は３階です。\r\n①持ち物：資料");
    const Status saved = SaveMemo(fs, clock, kViewerMemoKey, path, memo);
    ASSERT_TRUE(saved.ok) << saved.error;

    // The name on disk is the real one, not a code-page approximation of it.
    const std::wstring wideName = Utf8ToWide(temp.Path()) +
                                  L"\u30E1\u30E2\u5E33\u30D5\u30A9\u30EB\u30C0\\"
                                  L"\u30C6\u30B9\u30C8\u2460.epm";
    EXPECT_NE(GetFileAttributesW(wideName.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(IsFile(fs, path));
    EXPECT_TRUE(IsFile(fs, folder + "*.epm"));
    EXPECT_THAT(ListAll(fs, folder + "*.epm"), ElementsAre("テスト①.epm"));
    MemoRecord loaded;
    EXPECT_TRUE(LoadMemo(fs, kViewerMemoKey, path, loaded).complete());
    EXPECT_EQ(loaded.memoText, memo.memoText);
}

TEST(Win32FileSystemMemo, PathsLongerThanMaxPathWork) {
    TempFolder temp;
    Win32FileSystem fs;
    Win32Clock clock;
    std::string folder = temp.Path();
    while (folder.size() < MAX_PATH + 40) {
        folder += std::string(40, 'd') + "\\";
        MakeFolder(folder);
    }
    const std::string path = folder + "長い.epm";
    ASSERT_GT(Utf8ToWide(path).size(), static_cast<std::size_t>(MAX_PATH));
    MemoRecord memo = MemoWithText("deep");
    const Status saved = SaveMemo(fs, clock, kViewerMemoKey, path, memo);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_TRUE(IsFile(fs, folder + "*.epm"));
    MemoRecord loaded;
    EXPECT_TRUE(LoadMemo(fs, kViewerMemoKey, path, loaded).complete());
    EXPECT_EQ(loaded.memoText, "deep");
    EXPECT_TRUE(fs.RemoveFile(path).ok);
    EXPECT_FALSE(IsFile(fs, path));
}

}  // namespace
}  // namespace kanopa::testing
