#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/kanopa_memo.h"
#include "common/cp932.h"
#include "common/tests/fakes.h"

namespace kanopa {
namespace {

class CliDates : public ::testing::Test {
protected:
    void SetUp() override {
        fs.Put("DateTime.txt", Utf8ToCp932("\"和暦\"\r\n\"ggge年m月d日\"\r\n\"西暦\"\r\n\"yyyy/mm/dd\"\r\n"
                                           "\"hh:nn:ss\"\r\n"));
    }
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return cli::RunKanopaMemo(args, fs, clock, out, err);
    }
    testing::FakeFileSystem fs;
    testing::FixedClock clock;  // 2026-12-06 09:05:07
    std::ostringstream out, err;
};

TEST_F(CliDates, ListsBothCalendarsFromTheFileNamedOrTheCurrentFolder) {
    ASSERT_EQ(Run({"dates"}), 0) << err.str();
    EXPECT_EQ(out.str(), "[和暦]\n  令和8年12月6日\n[西暦]\n  2026/12/06\n  09:05:07\n");
    fs.Put("other.txt", Utf8ToCp932("\"西暦\"\r\nyyyy\r\n"));
    ASSERT_EQ(Run({"dates", "other.txt", "--at", "2019-04-30T23:59:59"}), 0) << err.str();
    EXPECT_EQ(out.str(), "[和暦]\n[西暦]\n  2019\n");
}

TEST_F(CliDates, TheMomentMustBeARealDateAndTimeInItsOneShape) {
    const struct {
        const char* at;
        int code;
        const char* era;  // the era line when accepted
    } cases[] = {
        // Which dates and times are real is the formatter's own table; here both ends, the
        // day before the first, a day that does not exist, and the shape.
        {"0001-01-01T00:00:00", 0, "1年1月1日"},
        {"9999-12-31T23:59:59", 0, "令和7981年12月31日"},
        {"0000-12-31T00:00:00", 1, nullptr},
        {"2023-02-29T00:00:00", 1, nullptr},
        {"2026-12-06 23:59:59", 1, nullptr},
        {"2026-12-06T23:59:5", 1, nullptr},
        {"2026-12-06T23:59:590", 1, nullptr},
        {"+026-12-06T23:59:59", 1, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run({"dates", "--at", c.at}), c.code) << c.at << ": " << err.str();
        if (c.era) {
            EXPECT_EQ(out.str().substr(0, out.str().find("\n[西暦]")), std::string("[和暦]\n  ") + c.era);
        } else {
            EXPECT_EQ(out.str(), "");
            EXPECT_NE(err.str().find(c.at), std::string::npos) << err.str();
        }
    }
}

TEST_F(CliDates, UsageAndUnreadableFile) {
    EXPECT_EQ(Run({"dates", "--at"}), 2);
    EXPECT_EQ(Run({"dates", "--json"}), 2);
    EXPECT_EQ(Run({"dates", "a.txt", "b.txt"}), 2);
    EXPECT_EQ(Run({"dates", "missing.txt"}), 1);
    EXPECT_NE(err.str().find("missing.txt"), std::string::npos);
    EXPECT_EQ(out.str(), "");
    ASSERT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.str().find("kanopa-memo dates [DATETIME-FILE] [--at YYYY-MM-DDTHH:MM:SS]"), std::string::npos);
}

}  // namespace
}  // namespace kanopa
