#include "editor/insert/date_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kanopa::editor {
namespace {

struct Case {
    LocalDateTime at;
    const char* pattern;
    const char* expected;
};

void ExpectAll(const std::vector<Case>& cases, const EraTable& eras = BuiltInEras()) {
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDateTime(c.pattern, c.at, eras), c.expected)
            << c.pattern << " at " << c.at.year << "-" << c.at.month << "-" << c.at.day << " "
            << c.at.hour << ":" << c.at.minute << ":" << c.at.second;
    }
}

LocalDateTime Day(int year, int month, int day) { return {year, month, day, 0, 0, 0}; }
LocalDateTime Time(int hour, int minute, int second = 0) { return {2026, 12, 6, hour, minute, second}; }
const LocalDateTime kSample{2026, 12, 6, 9, 5, 7};  // a Sunday

TEST(DateFormat, EveryCodeAtItsBoundaries) {
    const char* twelveHour = "AMPM h:nn|hh:nn AM/PM|h am/pm|h A/P|h a/p|Am/pM";
    ExpectAll({
        // Eras: each begins on its day, and its first year is 1; before the table, Western.
        {Day(1867, 12, 31), "ggg|gg|g|e|ee", "|||1867|1867"},
        {Day(1868, 1, 1), "ggg|gg|g|e|ee", "明治|明|M|1|01"},
        {Day(1912, 7, 29), "ggg|gg|g|e|ee", "明治|明|M|45|45"},
        {Day(1912, 7, 30), "ggg|gg|g|e|ee", "大正|大|T|1|01"},
        {Day(1926, 12, 24), "ggg|gg|g|e|ee", "大正|大|T|15|15"},
        {Day(1926, 12, 25), "ggg|gg|g|e|ee", "昭和|昭|S|1|01"},
        {Day(1989, 1, 7), "ggge年m月d日", "昭和64年1月7日"},
        {Day(1989, 1, 8), "ggge年m月d日", "平成1年1月8日"},
        {Day(2019, 4, 30), "ge.m.d", "H31.4.30"},
        {Day(2019, 5, 1), "ge.m.d", "R1.5.1"},
        {Day(2019, 5, 1), "GGGEE", "令和01"},
        // Weekdays and months in English and Japanese.
        {Day(2026, 12, 6), "w ddd dddd aaa aaaa", "1 Sun Sunday 日 日曜日"},
        {Day(2026, 12, 7), "w ddd dddd aaa aaaa", "2 Mon Monday 月 月曜日"},
        {Day(2026, 12, 8), "w ddd dddd aaa aaaa", "3 Tue Tuesday 火 火曜日"},
        {Day(2026, 12, 9), "w ddd dddd aaa aaaa", "4 Wed Wednesday 水 水曜日"},
        {Day(2026, 12, 10), "w ddd dddd aaa aaaa", "5 Thu Thursday 木 木曜日"},
        {Day(2026, 12, 11), "w ddd dddd aaa aaaa", "6 Fri Friday 金 金曜日"},
        {Day(2026, 12, 12), "w ddd dddd aaa aaaa", "7 Sat Saturday 土 土曜日"},
        {Day(2027, 1, 1), "mmm mmmm oooo q", "Jan January 1月 1"},
        {Day(2027, 3, 31), "mmm q", "Mar 1"},
        {Day(2027, 4, 1), "mmm q", "Apr 2"},
        {Day(2026, 12, 31), "mmm mmmm oooo q", "Dec December 12月 4"},
        // The 12-hour codes and their halves: one code anywhere turns every hour of the
        // pattern to the 12-hour clock.
        {Time(0, 0), twelveHour, "午前 12:00|12:00 AM|12 am|12 A|12 a|Am"},
        {Time(11, 59), twelveHour, "午前 11:59|11:59 AM|11 am|11 A|11 a|Am"},
        {Time(12, 0), twelveHour, "午後 12:00|12:00 PM|12 pm|12 P|12 p|pM"},
        {Time(23, 59), twelveHour, "午後 11:59|11:59 PM|11 pm|11 P|11 p|pM"},
        {Time(0, 0), "h:nn", "0:00"},
        {Time(23, 59), "hh:nn", "23:59"},
        {Time(9, 5, 7), "h hh n nn s ss ttttt", "9 09 5 05 7 07 9:05:07"},
        // "m" is the month or the minute by the nearest code.
        {kSample, "h:m", "9:5"},
        {kSample, "hh:mm", "09:05"},
        {kSample, "m:ss", "5:07"},
        {kSample, "mm\"分\"s", "05分7"},
        {kSample, "h時m分", "9時5分"},
        {kSample, "yyyy/mm/dd hh:mm:ss", "2026/12/06 09:05:07"},
        {kSample, "m/d", "12/6"},
        {kSample, "m h", "12 9"},
        {kSample, "s m", "7 12"},
        {kSample, "h d m", "9 6 12"},
        {kSample, "hh m m ss", "09 5 5 07"},
        {kSample, "h mmm", "9 Dec"},
        // Quotes, escapes, case and other characters.
        {kSample, "\\y\\y yy", "yy 26"},
        {kSample, "\"dd mm\" dd", "dd mm 06"},
        {kSample, "\"open", "open"},
        {kSample, "d\\", "6"},
        {kSample, "\\\\", "\\"},
        {kSample, "\\年d", "年6"},
        {kSample, "YYYY/MM/DD HH:NN:SS", "2026/12/06 09:05:07"},
        {kSample, "xyz-+()", "x340z-+()"},
        {kSample, "yyy", "26340"},
        {kSample, "ddddddd", "2026年12月6日6"},
        {kSample, "tttt t", "tttt t"},
        {kSample, "ooo aa", "ooo aa"},
        {kSample, "ge.m.d", "R8.12.6"},
        // Weeks start on Sunday; week 1 holds the first of January.
        {Day(2022, 1, 1), "ww|y", "1|1"},     // a Saturday
        {Day(2022, 1, 2), "ww|y", "2|2"},     // the next day begins week 2
        {Day(2022, 12, 31), "ww|y", "53|365"},
        {Day(2000, 12, 31), "ww|y", "54|366"},  // leap year begun on a Saturday
        {Day(2023, 1, 1), "ww|w", "1|1"},     // a Sunday
        {Day(2023, 1, 7), "ww|w", "1|7"},
        {Day(2023, 1, 8), "ww|w", "2|1"},
        // The empty pattern is the general form, only the date at midnight.
        {Time(0, 0, 0), "", "2026/12/06"},
        {Time(0, 0, 1), "", "2026/12/06 0:00:01"},
        {Time(23, 59, 59), "c", "2026/12/06 23:59:59"},
        {Time(9, 5, 7), "ddddd|dddddd", "2026/12/06|2026年12月6日"},
        {{1, 1, 1, 0, 0, 0}, "yyyy yy", "0001 01"},
        {{2000, 2, 29, 0, 0, 0}, "yy", "00"},
        {{9999, 12, 31, 23, 59, 59}, "", "9999/12/31 23:59:59"},
    });
}

TEST(DateFormatEras, TheTableIsDataAndANewEraIsUsedFromItsFirstDay) {
    EXPECT_EQ(ParseEraEntry("1989 01 08", "平成_平_Heisei_H"), (Era{1989, 1, 8, "平成", "平", "H"}));
    const struct {
        const char* name;
        const char* data;
    } refused[] = {
        {"1989 01", "平成_平_Heisei_H"},     {"1989 01 08 ", "平成_平_Heisei_H"},
        {"19890108", "平成_平_Heisei_H"},    {"1989 02 30", "平成_平_Heisei_H"},
        {"1989 13 01", "平成_平_Heisei_H"},  {"0 01 01", "平成_平_Heisei_H"},
        {"1989 0x 08", "平成_平_Heisei_H"},  {"1989 01 08", "平成_平_Heisei"},
        {"1989 01 08", "平成_平_Heisei_H_X"}, {"1989 01 08", "平成_平_Heisei_"},
        {"1989 01 08", "_平_Heisei_H"},
    };
    for (const auto& entry : refused) {
        EXPECT_FALSE(ParseEraEntry(entry.name, entry.data)) << entry.name << " = " << entry.data;
    }
    EXPECT_FALSE(EraTableFromEntries({}));
    EXPECT_FALSE(EraTableFromEntries({{"x", "y"}}));

    // Out of order, one unusable entry, and an era after Reiwa.
    const auto eras = EraTableFromEntries({{"2031 02 03", "新元_新_Shingen_N"},
                                           {"2019 05 01", "令和_令_Reiwa_R"},
                                           {"broken", "entry"},
                                           {"1989 01 08", "平成_平_Heisei_H"}});
    ASSERT_TRUE(eras);
    ASSERT_EQ(eras->size(), 3u);
    ExpectAll({{Day(2031, 2, 2), "ggge", "令和13"},
               {Day(2031, 2, 3), "ggge g gg", "新元1 N 新"},
               {Day(1989, 1, 7), "ggg|e", "|1989"}},
              *eras);
}

TEST(DateFormatCalendar, OnlyRealDatesAndTimesAreFormatted) {
    const struct {
        LocalDateTime at;
        bool valid;
    } cases[] = {
        {{1, 1, 1, 0, 0, 0}, true},       {{0, 12, 31, 0, 0, 0}, false},
        {{9999, 12, 31, 23, 59, 59}, true}, {{10000, 1, 1, 0, 0, 0}, false},
        {{2024, 2, 29, 0, 0, 0}, true},   {{2023, 2, 29, 0, 0, 0}, false},
        {{1900, 2, 29, 0, 0, 0}, false},  {{2000, 2, 29, 0, 0, 0}, true},
        {{2026, 1, 0, 0, 0, 0}, false},   {{2026, 4, 31, 0, 0, 0}, false},
        {{2026, 0, 1, 0, 0, 0}, false},   {{2026, 13, 1, 0, 0, 0}, false},
        {{2026, 1, 1, -1, 0, 0}, false},  {{2026, 1, 1, 24, 0, 0}, false},
        {{2026, 1, 1, 0, 60, 0}, false},  {{2026, 1, 1, 0, 0, 60}, false},
        {{2026, 1, 1, 0, 0, -1}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidDateTime(c.at), c.valid) << c.at.year << "-" << c.at.month << "-" << c.at.day;
        EXPECT_EQ(FormatDateTime("yyyy", c.at).empty(), !c.valid);
    }
}

}  // namespace
}  // namespace kanopa::editor
