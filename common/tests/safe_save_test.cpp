#include <gtest/gtest.h>

#include <chrono>

#include "common/safe_save.h"
#include "common/tests/fakes.h"

namespace kanopa {
namespace {

using std::chrono::milliseconds;

constexpr char kPath[] = "C:\\W\\m.epm";

// Counts the time a save would have waited instead of waiting.
struct CountingSleeper {
    milliseconds slept{0};
    int calls = 0;
    Sleeper Get() {
        return [this](milliseconds d) {
            slept += d;
            ++calls;
        };
    }
};

// A lock held for a moment is waited out (20 waits: the last one within the second); one
// that stays fails after about a second; other failures are not retried. Either way the
// file is whole and no temporary file stays.
TEST(SaveFileReplacing, WaitsOutABriefLockButNotOneThatStaysOrAnotherFailure) {
    const struct { int busy; bool failReplace; Problem problem; int waits; } cases[] = {
        {1, false, Problem::None, 1},   {5, false, Problem::None, 5}, {20, false, Problem::None, 20},
        {-1, false, Problem::Busy, 20}, {0, true, Problem::Failed, 0},
    };
    for (const auto& c : cases) {
        testing::FakeFileSystem fs;
        fs.Put(kPath, "old");
        fs.busyReplaces = c.busy;
        fs.failReplace = c.failReplace;
        CountingSleeper sleeper;
        const Status result = SaveFileReplacing(fs, kPath, "new", sleeper.Get());
        EXPECT_EQ(result.problem, c.problem) << c.busy;
        EXPECT_EQ(fs.Get(kPath), c.problem == Problem::None ? "new" : "old") << c.busy;
        EXPECT_EQ(sleeper.calls, c.waits) << c.busy;
        EXPECT_EQ(fs.replaceAttempts, c.waits + 1) << c.busy;
        EXPECT_EQ(fs.PathsStartingWith("C:\\W\\"), std::vector<std::string>{kPath}) << c.busy;
        if (c.busy < 0) {
            EXPECT_EQ(sleeper.slept, milliseconds(1000));
        }
    }
}

// A save that was killed leaves its temporary file; the next save of the same file
// removes it, and only what that save itself could have written.
TEST(SaveFileReplacing, LeftoversOfKilledSavesOfTheSameFileGo) {
    testing::FakeFileSystem fs;
    const char* const mine[] = {"C:\\W\\m.epm.0123abcd0.tmp", "C:\\W\\m.epm.ffffffff3.tmp",
                                "C:\\W\\M.EPM.000000001.tmp"};
    const char* const others[] = {
        "C:\\W\\m.epm.tmp",           "C:\\W\\m.epm.0123abcd4.tmp", "C:\\W\\m.epm.0123ABCD0.tmp",
        "C:\\W\\m.epm.0123abc0.tmp",  "C:\\W\\xm.epm.0123abcd0.tmp", "C:\\W\\other.epm.0123abcd0.tmp",
        "C:\\W\\m.epm.0123abcd0.tmpx", "C:\\W\\m.0123abcd0.tmp",    "C:\\X\\m.epm.0123abcd0.tmp",
    };
    for (const char* path : mine) fs.Put(path, "half");
    for (const char* path : others) fs.Put(path, "keep");
    fs.Put(kPath, "old");
    ASSERT_TRUE(SaveFileReplacing(fs, kPath, "new"));
    EXPECT_EQ(fs.Get(kPath), "new");
    for (const char* path : mine) EXPECT_FALSE(fs.Exists(path)) << path;
    for (const char* path : others) EXPECT_EQ(fs.Get(path), "keep") << path;
}

TEST(SaveFileReplacing, ALinkIsSavedThroughToItsTarget) {
    testing::FakeFileSystem fs;
    fs.Put("C:\\Real\\m.epm", "old");
    fs.PutLink(kPath, "C:\\Real\\m.epm");
    fs.Put("C:\\Real\\m.epm.0123abcd0.tmp", "half");
    ASSERT_TRUE(SaveFileReplacing(fs, kPath, "new"));
    EXPECT_EQ(fs.Get("C:\\Real\\m.epm"), "new");
    EXPECT_FALSE(fs.Exists(kPath));  // the link itself is not replaced by a file
    EXPECT_EQ(fs.PathsStartingWith("C:\\Real\\"), std::vector<std::string>{"C:\\Real\\m.epm"});
}

}  // namespace
}  // namespace kanopa
