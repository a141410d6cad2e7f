#pragma once
// DateTime.txt: the date/time patterns the insert dialog offers, in two sections.
//
// The file is CP932 text read as delimited items (delimited_items.h). Two switches, both
// off at the start, sort the items in file order:
//   an item holding "和暦" switches the era section on;
//   an item holding "西暦" switches the Western section on and the era section off;
//   while the era section is on, every item without "和暦" is an era pattern;
//   while the Western section is on, every item without "西暦" is a Western pattern.
// So items before the first marker belong nowhere, and the Western section stays on: an
// era marker after the Western one and everything after it are Western patterns too
// (and era patterns again). Every pattern of a section is offered except one empty item
// at its very end, which a trailing blank line leaves behind; an empty item elsewhere is
// the empty pattern (the general date and time).
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/file_system.h"
#include "common/status.h"
#include "editor/insert/date_format.h"

namespace kanopa::editor {

inline constexpr char kDateTimeFileName[] = "DateTime.txt";
inline constexpr std::uint64_t kMaxDateTimeFileBytes = 1024 * 1024;
// Followed by the file's path and the reason, a line each.
inline constexpr char kDateTimeReadFailedMessage[] = "日付表示ファイルを読み込めませんでした。";

// Index of each calendar in the dialog's drop-down list.
enum class CalendarType { Era = 0, Western = 1 };

struct DateTimeLists {
    std::vector<std::string> era;
    std::vector<std::string> western;
    bool operator==(const DateTimeLists&) const = default;
};

DateTimeLists SortDateTimeItems(const std::vector<std::string>& items);

// Reads and sorts the file. On failure `lists` is left empty; a file that gives no
// pattern because it is not CP932 text fails too.
Status ReadDateTimeFile(FileSystem& fs, const std::string& path, DateTimeLists& lists);

// The entries the dialog shows for a calendar index (0 era, 1 Western; any other index
// shows none): each pattern formatted with the clock's time, read anew for each one.
std::vector<std::string> FormatDateTimeList(const DateTimeLists& lists, int calendarIndex,
                                            const Clock& clock, const EraTable& eras);

}  // namespace kanopa::editor
