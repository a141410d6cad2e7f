#include <gtest/gtest.h>

#include "common/log.h"
#include "common/tests/fakes.h"

namespace kanopa {
namespace {

constexpr char kFolder[] = "C:\\Kanopa\\";
constexpr char kLog[] = "C:\\Kanopa\\Log.txt";
constexpr char kOld[] = "C:\\Kanopa\\Log.old.txt";

TEST(Log, ScopedSinkRestoresThePreviousOne) {
    testing::RecordingLog outer, inner;
    ScopedLogSink a(outer);
    {
        ScopedLogSink b(inner);
        WriteLog("inner", "");
    }
    WriteLog("outer", "");
    ASSERT_EQ(inner.entries.size(), 1u);
    ASSERT_EQ(outer.entries.size(), 1u);
    EXPECT_EQ(outer.entries[0].first, "outer");
}

TEST(Log, FileSinkAppendsOneLinePerCallWithTimeSourceAndMessage) {
    testing::FakeFileSystem fs;
    testing::FixedClock clock;
    FileLogSink sink(fs, clock, kFolder);
    sink.Write("SaveMemo()", "FILEPATH:C:\\a.epm 拒否されました");
    sink.Write("*********アプリケーション開始*********", "");
    EXPECT_EQ(fs.Get(kLog),
              "\xEF\xBB\xBF"
              "2026/12/06 09:05:07\tSaveMemo()\tFILEPATH:C:\\a.epm 拒否されました\r\n"
              "2026/12/06 09:05:07\t*********アプリケーション開始*********\t\r\n");
}

TEST(Log, FileSinkKeepsOneOlderGenerationPastTheLimit) {
    testing::FakeFileSystem fs;
    testing::FixedClock clock;
    FileLogSink sink(fs, clock, kFolder, 200);
    for (int i = 0; i < 20; ++i) sink.Write("Source()", "message number " + std::to_string(i));
    EXPECT_LE(fs.Get(kLog).size(), 200u);
    EXPECT_LE(fs.Get(kOld).size(), 200u);
    EXPECT_NE(fs.Get(kLog).find("message number 19"), std::string::npos);
    EXPECT_TRUE(fs.Exists(kOld));
    EXPECT_EQ(fs.PathsStartingWith(kFolder).size(), 2u);
}

TEST(Log, FileSinkGoesQuietForTheRestOfTheMinuteAfterAFailedWrite) {
    testing::FakeFileSystem fs;
    fs.failAppend = true;
    testing::FixedClock clock;
    clock.now = {2026, 12, 6, 9, 5, 0};
    FileLogSink sink(fs, clock, kFolder);
    sink.Write("A()", "one");
    EXPECT_TRUE(sink.failed());
    fs.failAppend = false;
    clock.now.second = 59;
    sink.Write("B()", "two");  // no retry on every call
    EXPECT_FALSE(fs.Exists(kLog));
    clock.now = {2026, 12, 6, 9, 6, 0};
    sink.Write("C()", "three");
    EXPECT_FALSE(sink.failed());
    EXPECT_EQ(fs.Get(kLog), "\xEF\xBB\xBF"
              "2026/12/06 09:06:00\tC()\tthree\r\n");
}

}  // namespace
}  // namespace kanopa
