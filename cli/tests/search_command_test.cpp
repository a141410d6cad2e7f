#include "cli/search_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/tests/fakes.h"

namespace kanopa::cli {
namespace {

TEST(SearchCommand, ListsMatchingMemosInWalkOrderAsLinesOrJson) {
    testing::FakeFileSystem fs;
    testing::FixedClock clock;
    const auto put = [&](const std::string& path, const std::string& text) {
        MemoRecord record;
        SetDefaultMemoValues(record);
        record.memoText = text;
        ASSERT_TRUE(SaveMemo(fs, clock, MemoKey(), path, record).ok);
    };
    fs.PutFolder("R:\\木");
    put("R:\\木\\a.epm", "重要\r\n二行目");
    fs.PutFolder("R:\\木\\サブ");
    put("R:\\木\\サブ\\b\"^.epm", "x\t\"重要\"");  // a quote and a caret in the name
    put("R:\\木\\c.epm", "ほか");

    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"R:\\木", "*重要*"}, "R:\\木\\a.epm\t重要\n"},
        {{"R:\\木\\", "*重要*", "--recursive"},
         "R:\\木\\a.epm\t重要\nR:\\木\\サブ\\b\"^.epm\tx\t\"重要\"\n"},
        {{"R:\\木", "重要"}, ""},
        {{"--json", "R:\\木", "nothing"}, "[]\n"},
        {{"R:\\木", "*重要*", "--json", "--recursive"},
         "[\n{\"path\":\"R:\\\\木\\\\a.epm\",\"folder\":\"R:\\\\木\\\\\",\"name\":\"a.epm\","
         "\"text\":\"重要\\r\\n二行目\"},\n"
         "{\"path\":\"R:\\\\木\\\\サブ\\\\b\\\"^.epm\",\"folder\":\"R:\\\\木\\\\サブ\\\\\","
         "\"name\":\"b\\\"^.epm\",\"text\":\"x\\t\\\"重要\\\"\"}\n]\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        EXPECT_EQ(RunSearchCommand(c.args, fs, '\\', out), std::nullopt);
        EXPECT_EQ(out.str(), c.out) << c.args[1];
    }
}

TEST(SearchCommand, RefusesAMissingFolderAndBadArguments) {
    testing::FakeFileSystem fs;
    fs.PutFolder("R:\\木");
    fs.Put("\\m.epm", "");  // at the root, where an empty folder would lead
    const struct {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {{"R:\\無い", "*"}, 1}, {{"", "*"}, 2},           {{"R:\\木"}, 2},
        {{"R:\\木", "*", "x"}, 2}, {{"R:\\木", "*", "--all"}, 2},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        const std::optional<CommandFailure> failure = RunSearchCommand(c.args, fs, '\\', out);
        ASSERT_TRUE(failure.has_value()) << c.args.size();
        EXPECT_EQ(failure->code, c.code);
        EXPECT_EQ(out.str(), "");
    }
}

}  // namespace
}  // namespace kanopa::cli
