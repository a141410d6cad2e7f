#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "common/safe_save.h"
#include "common/tests/fakes.h"

namespace kanopa {
namespace {

using std::chrono::milliseconds;
using ::testing::UnorderedElementsAre;

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

TEST(SaveFileReplacing, ABriefLockIsWaitedOut) {
    for (const int busy : {1, 5, 20}) {
        testing::FakeFileSystem fs;
        fs.Put(kPath, "old");
        fs.busyReplaces = busy;
        CountingSleeper sleeper;
        ASSERT_TRUE(SaveFileReplacing(fs, kPath, "new", sleeper.Get())) << busy;
        EXPECT_EQ(fs.Get(kPath), "new");
        EXPECT_EQ(sleeper.calls, busy);
        EXPECT_EQ(fs.PathsStartingWith("C:\\W\\"), std::vector<std::string>{kPath});
    }
}

TEST(SaveFileReplacing, ALockThatStaysFailsAfterAboutASecondAndKeepsTheFile) {
    testing::FakeFileSystem fs;
    fs.Put(kPath, "old");
    fs.busyReplaces = -1;
    CountingSleeper sleeper;
    const Status result = SaveFileReplacing(fs, kPath, "new", sleeper.Get());
    EXPECT_FALSE(result);
    EXPECT_EQ(result.problem, Problem::Busy);
    EXPECT_EQ(sleeper.slept, kBusyRetryTotal);
    EXPECT_EQ(fs.replaceAttempts, 1 + kBusyRetryTotal / kBusyRetryStep);
    EXPECT_EQ(fs.Get(kPath), "old");
    EXPECT_EQ(fs.PathsStartingWith("C:\\W\\"), std::vector<std::string>{kPath});
}

TEST(SaveFileReplacing, OtherFailuresAreNotRetried) {
    testing::FakeFileSystem fs;
    fs.Put(kPath, "old");
    fs.failReplace = true;
    CountingSleeper sleeper;
    EXPECT_FALSE(SaveFileReplacing(fs, kPath, "new", sleeper.Get()));
    EXPECT_EQ(sleeper.calls, 0);
    EXPECT_EQ(fs.Get(kPath), "old");
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
