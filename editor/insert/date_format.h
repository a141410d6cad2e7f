#pragma once
// Date/time patterns as DateTime.txt writes them: the classic BASIC date codes as the
// Japanese runtime renders them, with the Japanese-era codes.
//
// Codes (letters in any case; a longer run splits greedily, "yyy" = "yy" "y"):
//   yyyy yy     year, four digits (zero-padded) / last two digits
//   y           day of the year, 1-366
//   q           quarter, 1-4
//   m mm        month 1-12 / 01-12, or minutes when the nearest code before it is h/hh
//               or the nearest code after it is s/ss (literals may lie in between)
//   mmm mmmm    Jan / January
//   oooo        1月 (the Japanese month name)
//   d dd        day 1-31 / 01-31
//   ddd dddd    Sun / Sunday
//   aaa aaaa    日 / 日曜日
//   ddddd       short date "yyyy/mm/dd";  dddddd  long date "yyyy年m月d日"
//   w ww        weekday 1 (Sunday)-7 / week of the year, 1-54: weeks start on Sunday
//               and week 1 holds 1 January
//   h hh        hour 0-23 / 00-23; 1-12 / 01-12 when the pattern holds an AM/PM code
//   n nn        minute;  s ss  second
//   ttttt       long time "h:nn:ss"
//   c           "ddddd ttttt", or only the date at exactly 00:00:00
//   AM/PM am/pm A/P a/p   the half written for the time of day, letters as written
//   AMPM        午前 / 午後
//   g gg ggg    era: H / 平 / 平成
//   e ee        year of the era: 1, 2 ... / 01, 02 ... (the first year is 1, never 元)
// ":" and "/" are the time and date separators (":" and "/" in Japan). "\x" writes x
// itself, "..." writes what is between the quotes; any other character is written as it
// stands. The empty pattern is "c".
//
// Before the first era of the table the era codes fall back to the Western calendar:
// g gg ggg write nothing and e ee the year (so "ggge年" gives "1867年").
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/clock.h"

namespace kanopa::editor {

struct Era {
    int year = 0, month = 0, day = 0;  // first day of the era
    std::string name;                  // 平成
    std::string shortName;             // 平
    std::string initial;               // H
    bool operator==(const Era&) const = default;
};

// Oldest first.
using EraTable = std::vector<Era>;

// Meiji to Reiwa with Windows' own start dates.
const EraTable& BuiltInEras();

// One value of the system's era table: the name "1989 01 08" and the data
// "平成_平_Heisei_H" (long name, short name, English name, initial). nullopt when either
// does not have that shape or the date does not exist.
std::optional<Era> ParseEraEntry(std::string_view name, std::string_view data);
// The table from such entries, oldest first; nullopt when no entry is usable, so the
// caller keeps the built-in table.
std::optional<EraTable> EraTableFromEntries(
    const std::vector<std::pair<std::string, std::string>>& entries);

// `at` must be a real date (years 1-9999) and time of day.
std::string FormatDateTime(std::string_view pattern, const LocalDateTime& at,
                           const EraTable& eras = BuiltInEras());

bool IsValidDateTime(const LocalDateTime& at);

}  // namespace kanopa::editor
