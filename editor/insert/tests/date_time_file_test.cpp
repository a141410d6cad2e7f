#include "editor/insert/date_time_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp932.h"
#include "common/tests/fakes.h"
#include "editor/insert/delimited_items.h"

namespace kanopa::editor {
namespace {

using Items = std::vector<std::string>;

TEST(DateTimeSections, EveryPatternIsOfferedButATrailingBlank) {
    const struct {
        Items items;
        Items era;
        Items western;
    } cases[] = {
        // The last pattern of each section is there.
        {{"和暦", "a", "b", "西暦", "c", "d"}, {"a", "b"}, {"c", "d"}},
        // A blank line at a section's end is left out; elsewhere it is the empty pattern.
        {{"和暦", "a", "", "西暦", "c", ""}, {"a"}, {"c"}},
        {{"和暦", "", "a", "西暦"}, {"", "a"}, {}},
        {{"西暦", "c", "", ""}, {}, {"c", ""}},
        {{"和暦", ""}, {}, {}},
        // Markers anywhere in an item; items before the first one belong nowhere.
        {{"x", "《和暦》", "a", "--西暦--", "b"}, {"a"}, {"b"}},
        {{"a", "b"}, {}, {}},
        // The Western section stays on: a later era marker and what follows go there too.
        {{"西暦", "a", "和暦", "b"}, {"b"}, {"a", "和暦", "b"}},
        // Both markers in one item: Western wins.
        {{"和暦西暦", "a"}, {}, {"a"}},
        {{"和暦", "a", "和暦", "b"}, {"a", "b"}, {}},
    };
    for (const auto& c : cases) {
        const DateTimeLists lists = SortDateTimeItems(c.items);
        EXPECT_EQ(lists.era, c.era) << ::testing::PrintToString(c.items);
        EXPECT_EQ(lists.western, c.western) << ::testing::PrintToString(c.items);
    }
}

TEST(DateTimeSections, TheFileIsReadAsCodePage932ItemsAndFormattedPerCalendar) {
    testing::FakeFileSystem fs;
    fs.Put("DateTime.txt", Utf8ToCp932("\"和暦\"\r\n\"ggge年\"\r\ng,e\r\n\"西暦\"\r\n\"yyyy,m\"\r\n\r\n"
                                       "\r\nhh:nn\r\n\r\n"));
    DateTimeLists lists;
    ASSERT_TRUE(ReadDateTimeFile(fs, "DateTime.txt", lists));
    EXPECT_EQ(lists.era, (Items{"ggge年", "g", "e"}));
    EXPECT_EQ(lists.western, (Items{"yyyy,m", "", "", "hh:nn"}));

    testing::FixedClock clock;
    clock.now = {2026, 12, 6, 0, 0, 0};
    EXPECT_EQ(FormatDateTimeList(lists, 0, clock, BuiltInEras()), (Items{"令和8年", "R", "8"}));
    EXPECT_EQ(FormatDateTimeList(lists, 1, clock, BuiltInEras()),
              (Items{"2026,12", "2026/12/06", "2026/12/06", "00:00"}));
    EXPECT_TRUE(FormatDateTimeList(lists, -1, clock, BuiltInEras()).empty());
    EXPECT_TRUE(FormatDateTimeList(lists, 2, clock, BuiltInEras()).empty());

    // A missing file is a failure with empty lists, and so is one saved as UTF-8 (its
    // markers unreadable); a stray byte in a file that keeps its markers is shown as it
    // decodes, and a file of no patterns in CP932 is no failure.
    EXPECT_FALSE(ReadDateTimeFile(fs, "Missing.txt", lists));
    EXPECT_EQ(lists, DateTimeLists{});
    const std::string otherEncodings[] = {
        "\"和暦\"\r\nggge年\r\n\"西暦\"\r\nyyyy\r\n",  // UTF-8 whose bytes pass for CP932
        "\x81\r\nyyyy\r\n",                                // no marker, a lone lead byte
    };
    for (const std::string& bytes : otherEncodings) {
        fs.Put("Other.txt", bytes);
        EXPECT_EQ(ReadDateTimeFile(fs, "Other.txt", lists).error, kDataFileNotCp932Reason) << bytes;
        EXPECT_EQ(lists, DateTimeLists{});
    }
    fs.Put("Stray.txt", Utf8ToCp932("\"和暦\"\r\n") + "\x81\r\n" + Utf8ToCp932("\"西暦\"\r\nyyyy\r\n"));
    ASSERT_TRUE(ReadDateTimeFile(fs, "Stray.txt", lists));
    EXPECT_EQ(lists.western, (Items{"yyyy"}));
    fs.Put("Plain.txt", "yyyy\r\n");
    EXPECT_TRUE(ReadDateTimeFile(fs, "Plain.txt", lists));
}

}  // namespace
}  // namespace kanopa::editor
