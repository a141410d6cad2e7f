// kanopa-memo on the native file system.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
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

}  // namespace
}  // namespace kanopa
