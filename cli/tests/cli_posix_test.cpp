// kanopa-memo on the native file system.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/kanopa_memo.h"
#include "common/posix/posix_file_system.h"
#include "common/tests/fakes.h"

namespace kanopa {
namespace {

// On a real file system: a pipe or a device given as the text file is refused at once
// (a pipe with no writer would otherwise block, /dev/zero never end).
TEST(CliOnDisk, TextFileThatIsAPipeOrADeviceIsRefusedAtOnce) {
    const std::string dir = ::testing::TempDir() + "kanopa-cli-" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    const std::string fifo = dir + "/fifo", memo = dir + "/m.epm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    PosixFileSystem fs;
    testing::FixedClock clock;
    for (const std::string& source : {fifo, std::string("/dev/zero")}) {
        std::ostringstream out, err;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(cli::RunKanopaMemo({"create", memo, "--text-file", source}, fs, clock, out, err), 1);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(err.str(), "kanopa-memo: テキストファイルが通常のファイルではありません: " + source + "\n");
    }
    EXPECT_FALSE(fs.FileSize(memo));
    ::unlink(fifo.c_str());
    ::rmdir(dir.c_str());
}

TEST(CliOnDisk, CopyWritesIntoEachFolderAndStopsAtTheFirstFailure) {
    namespace fsys = std::filesystem;
    const fsys::path dir = fsys::path(::testing::TempDir()) / ("kanopa-copy-" + std::to_string(::getpid()));
    fsys::create_directories(dir / "src");
    fsys::create_directories(dir / "dst" / "a");
    fsys::create_directories(dir / "dst" / "b");
    fsys::create_directory_symlink(dir / "dst" / "a", dir / "dst" / "link");
    std::ofstream(dir / "src" / "m.epm") << "MEMO";
    const std::string source = (dir / "src" / "m.epm").string(), dst = (dir / "dst").string();
    PosixFileSystem fs;
    testing::FixedClock clock;
    const auto run = [&](std::vector<std::string> args, std::string& out, std::string& err) {
        std::ostringstream o, e;
        const int code = cli::RunKanopaMemo(args, fs, clock, o, e);
        out = o.str();
        err = e.str();
        return code;
    };
    std::string out, err;
    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;
    } refusals[] = {
        {{"copy", source}, 2, "kanopa-memo: copy にはメモファイルとフォルダを指定してください（使い方: kanopa-memo --help）\n"},
        {{"copy", source, dst, "extra"}, 2, "kanopa-memo: copy にはメモファイルとフォルダを指定してください（使い方: kanopa-memo --help）\n"},
        {{"copy", dst, dst}, 1, "kanopa-memo: 指定されたファイルは存在しません。確認してください。\n"},
        {{"copy", source, dst + "/none"}, 1, "kanopa-memo: 指定されたフォルダは存在しません。確認してください。\n"},
    };
    for (const auto& r : refusals) {
        EXPECT_EQ(run(r.args, out, err), r.code) << r.args.size();
        EXPECT_EQ(err, r.err);
        EXPECT_EQ(out, "");
    }

    ASSERT_EQ(run({"copy", source, dst}, out, err), 0) << err;
    const std::string a = dst + "/a/m.epm", b = dst + "/b/m.epm";
    const std::string summary = "コピーが完了しました。\n2 個のフォルダにコピーしました。\n";
    EXPECT_TRUE(out == "コピーしました: " + a + "\nコピーしました: " + b + "\n" + summary ||
                out == "コピーしました: " + b + "\nコピーしました: " + a + "\n" + summary)
        << out;

    ::chmod(b.c_str(), 0444);
    EXPECT_EQ(run({"copy", source, dst}, out, err), 1);
    EXPECT_EQ(err, "kanopa-memo: コピーできませんでした。\n\nコピー元：\n" + source + "\nコピー先：\n" + b +
                       "\nエラー内容：\n" + std::strerror(EACCES) + "\n");
    fsys::remove_all(dir);
}

}  // namespace
}  // namespace kanopa
