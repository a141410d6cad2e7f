// kanopa-memo.exe as a whole: wide arguments in, UTF-8 out, exit codes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/paths.h"
#include "common/win32/program_path.h"
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
