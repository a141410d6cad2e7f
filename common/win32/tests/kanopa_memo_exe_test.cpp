// kanopa-memo.exe as a whole: wide arguments in, UTF-8 out, exit codes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "common/services.h"
#include "common/win32/program_path.h"
#include "common/win32/tests/temp_folder.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"

namespace kanopa::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

struct ToolRun {
    DWORD exitCode = 0;
    std::string out, err;
};

std::string ReadAll(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

// Runs the tool beside this test executable with `arguments` (UTF-8, already quoted).
ToolRun RunTool(const std::string& arguments) {
    ToolRun run;
    const std::string exe = GetFolderPart(ProgramPath()) + "kanopa-memo.exe";
    std::wstring commandLine = Utf8ToWide("\"" + exe + "\" " + arguments);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    EXPECT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 0));
    EXPECT_TRUE(CreatePipe(&errRead, &errWrite, &inherit, 0));
    const UniqueKernelHandle outReader(outRead), errReader(errRead);
    UniqueKernelHandle outWriter(outWrite), errWriter(errWrite);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start " << exe << ": " << LastErrorText(GetLastError());
        return run;
    }
    const UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    outWriter.Reset();  // so that reading ends when the tool ends
    errWriter.Reset();
    // Small outputs: the pipe buffers hold all of stderr while stdout is read.
    run.out = ReadAll(outReader.Get());
    run.err = ReadAll(errReader.Get());
    EXPECT_EQ(WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
    GetExitCodeProcess(process.Get(), &run.exitCode);
    return run;
}

TEST(KanopaMemoExe, CreatesAndShowsAJapaneseMemoInUtf8) {
    TempFolder temp;
    MakeFolder(temp / "メモ帳フォルダ");
    const std::string path = temp / "メモ帳フォルダ\\テスト①.epm";

    const ToolRun created = RunTool("create \"" + path + "\" --text \"会議は３階です①\"");
    EXPECT_EQ(created.exitCode, 0u) << created.err;
    EXPECT_TRUE(PathExists(path));

    const ToolRun shown = RunTool("show \"" + path + "\"");
    EXPECT_EQ(shown.exitCode, 0u) << shown.err;
    EXPECT_THAT(shown.out, StartsWith("メモファイル: " + path + "\n"));
    EXPECT_THAT(shown.out, HasSubstr("----\n会議は３階です①\n"));
    EXPECT_THAT(shown.out, Not(HasSubstr("\r\n")));  // no text-mode "\n" doubling
    EXPECT_THAT(shown.err, IsEmpty());
}

TEST(KanopaMemoExe, ReportsUsageAndBadInputThroughTheExitCode) {
    const ToolRun usage = RunTool("");
    EXPECT_EQ(usage.exitCode, 2u);
    EXPECT_THAT(usage.err, StartsWith("kanopa-memo"));
    EXPECT_THAT(usage.out, IsEmpty());

    TempFolder temp;
    const ToolRun missing = RunTool("show \"" + (temp / "無い.epm") + "\"");
    EXPECT_EQ(missing.exitCode, 1u);
    EXPECT_THAT(missing.err, HasSubstr("無い.epm"));
}

}  // namespace
}  // namespace kanopa::testing
