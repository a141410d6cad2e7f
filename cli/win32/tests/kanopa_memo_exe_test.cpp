// kanopa-memo.exe as a whole: wide arguments in, UTF-8 out, exit codes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/paths.h"
#include "common/win32/program_path.h"
#include "common/win32/unique_handle.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"

namespace kanopa::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

// Runs the tool beside this test executable with `arguments` (UTF-8, already quoted),
// its output going to files as it would through a pipe: not to a console.
ToolRun RunTool(const std::string& arguments) {
    const TempFolder temp;
    // CMD drops the outermost quotes and keeps everything between them as it is.
    const std::string command = "\"\"" + GetFolderPart(ProgramPath()) + "kanopa-memo.exe\" " +
                                arguments + " >\"" + (temp / "out") + "\" 2>\"" + (temp / "err") + "\"\"";
    ToolRun run;
    run.exitCode = _wsystem(Utf8ToWide(command).c_str());
    Win32FileSystem fs;
    EXPECT_TRUE(fs.ReadFile(temp / "out", 1 << 20, run.out).ok && fs.ReadFile(temp / "err", 1 << 20, run.err).ok);
    return run;
}

TEST(KanopaMemoExe, JapanesePathsUtf8OutputAndExitCodes) {
    const TempFolder temp;
    MakeFolder(temp / "メモ帳フォルダ");
    const std::string path = temp / "メモ帳フォルダ\\テスト①.epm";
    const ToolRun created = RunTool("create \"" + path + "\" --text \"会議は３階です①\"");
    EXPECT_EQ(created.exitCode, 0) << created.err;

    const ToolRun shown = RunTool("show \"" + path + "\"");
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_THAT(shown.out, StartsWith("メモファイル: " + path + "\n"));
    EXPECT_THAT(shown.out, HasSubstr("----\n会議は３階です①\n"));
    EXPECT_THAT(shown.out, Not(HasSubstr("\r")));  // no text-mode "\n" doubling

    const ToolRun missing = RunTool("show \"" + (temp / "無い.epm") + "\"");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.err, HasSubstr("無い.epm"));
}

// Output to a handle that refuses writes (as a full disk or a closed pipe does) ends the
// run with exit code 1 and says so, instead of passing for a complete listing.
TEST(KanopaMemoExe, OutputThatCannotBeWrittenFailsTheRun) {
    const TempFolder temp;
    MakeFile(temp / "out", "");
    SECURITY_ATTRIBUTES inherit{};
    inherit.nLength = sizeof inherit;
    inherit.bInheritHandle = TRUE;
    const UniqueFile readOnly(CreateFileW(Utf8ToWide(temp / "out").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          &inherit, OPEN_EXISTING, 0, nullptr));
    const UniqueFile err(CreateFileW(Utf8ToWide(temp / "err").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                     &inherit, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(readOnly && err);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = readOnly.Get();
    startup.hStdError = err.Get();
    std::wstring command = L"\"" + Utf8ToWide(GetFolderPart(ProgramPath())) + L"kanopa-memo.exe\" --help";
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                               &process));
    const UniqueKernelHandle processHandle(process.hProcess), thread(process.hThread);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 1u);
    std::string message;
    EXPECT_TRUE(Win32FileSystem().ReadFile(temp / "err", 1 << 20, message).ok);
    EXPECT_EQ(message, "kanopa-memo: 出力を書き込めませんでした。\n");
}

// The console is the user's: a code page set there outlives the tool and would garble
// what the next program writes in the console's own.
TEST(KanopaMemoExe, LeavesTheConsoleCodePageAsItWas) {
    // A console of the test's own, which the tool shares (under Wine the test has none).
    FreeConsole();
    if (!AllocConsole()) GTEST_SKIP() << "no console can be made here";
    ASSERT_TRUE(SetConsoleOutputCP(932));
    EXPECT_EQ(RunTool("--help").exitCode, 0);
    EXPECT_EQ(GetConsoleOutputCP(), 932u);
    FreeConsole();
}

}  // namespace
}  // namespace kanopa::testing
