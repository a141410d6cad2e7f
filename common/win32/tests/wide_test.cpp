#include "common/win32/wide.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/log.h"
#include "common/win32/log_last_error.h"
#include "common/win32/program_path.h"

namespace kanopa {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

struct Pair {
    std::string utf8;
    std::wstring wide;
};

TEST(WideText, RoundTripsAndMatchesTheCodePoints) {
    const std::vector<Pair> cases = {
        {"", L""},
        {"abc", L"abc"},
        {"メモ帳フォルダ\\テスト①.epm",
         L"\u30E1\u30E2\u5E33\u30D5\u30A9\u30EB\u30C0\\\u30C6\u30B9\u30C8\u2460.epm"},
        {"ＭＳ ゴシック", L"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF"},
        // Outside the Basic Multilingual Plane: surrogate pairs in UTF-16.
        {"\xF0\xA9\xB8\xBD\xF0\x9F\x93\x9D", L"\xD867\xDE3D\xD83D\xDCDD"},
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"line\r\nbreak", L"line\r\nbreak"},
    };
    for (const Pair& c : cases) {
        EXPECT_EQ(Utf8ToWide(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(WideToUtf8(c.wide), c.utf8) << c.utf8;
    }
}

TEST(WideText, BrokenInputBecomesReplacementCharacters) {
    // A stray byte or a lone surrogate must not swallow the text around it.
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(WideToUtf8(std::wstring(L"a\xD800" L"b")), "a\xEF\xBF\xBD" "b");
}

TEST(LastErrorText, GivesTheSystemsDescriptionWithoutTheLineBreak) {
    const std::string notFound = LastErrorText(ERROR_FILE_NOT_FOUND);
    const std::string denied = LastErrorText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(notFound.empty());
    EXPECT_NE(notFound, denied);
    for (const std::string& text : {notFound, denied}) {
        EXPECT_NE(text.back(), '\n');
        EXPECT_NE(text.back(), '\r');
        EXPECT_THAT(text, Not(HasSubstr("Win32 error")));
    }
}

TEST(LastErrorText, NamesTheCodeWhenTheSystemHasNoText) {
    EXPECT_THAT(LastErrorText(0x2000FFFF), HasSubstr("536936447"));
}

class RecordingSink final : public LogSink {
public:
    void Write(std::string_view source, std::string_view message) noexcept override {
        sources.emplace_back(source);
        messages.emplace_back(message);
    }
    std::vector<std::string> sources, messages;
};

TEST(LogLastError, LogsTheApiAndTheSystemsTextAndKeepsTheErrorCode) {
    RecordingSink sink;
    const ScopedLogSink installed(sink);
    SetLastError(ERROR_ACCESS_DENIED);
    LogLastError("PlaceMemoWindow()", "SetWindowPos");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    LogLastError("frmMain.Start()", "CreateMutexW", ERROR_INVALID_NAME);
    ASSERT_EQ(sink.sources.size(), 2u);
    EXPECT_EQ(sink.sources[0], "PlaceMemoWindow()");
    EXPECT_EQ(sink.messages[0], "SetWindowPos failed: " + LastErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(sink.sources[1], "frmMain.Start()");
    EXPECT_EQ(sink.messages[1], "CreateMutexW failed: " + LastErrorText(ERROR_INVALID_NAME));
}

TEST(ProgramPath, IsTheFullPathOfThisExecutable) {
    const std::string path = ProgramPath();
    EXPECT_THAT(path, EndsWith("\\kanopa_win32_tests.exe"));
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), ":\\");
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
}  // namespace kanopa
