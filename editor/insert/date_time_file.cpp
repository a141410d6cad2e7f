#include "editor/insert/date_time_file.h"

#include "common/cp932.h"
#include "editor/insert/delimited_items.h"

namespace kanopa::editor {
namespace {

bool Holds(const std::string& item, const char* marker) {
    return item.find(marker) != std::string::npos;
}

void DropTrailingBlank(std::vector<std::string>& list) {
    if (!list.empty() && list.back().empty()) list.pop_back();
}

}  // namespace

DateTimeLists SortDateTimeItems(const std::vector<std::string>& items) {
    DateTimeLists lists;
    bool era = false;
    bool western = false;
    for (const std::string& item : items) {
        const bool eraMarker = Holds(item, "和暦");
        const bool westernMarker = Holds(item, "西暦");
        if (eraMarker) era = true;
        if (westernMarker) {
            western = true;
            era = false;
        }
        if (era && !eraMarker) lists.era.push_back(item);
        if (western && !westernMarker) lists.western.push_back(item);
    }
    DropTrailingBlank(lists.era);
    DropTrailingBlank(lists.western);
    return lists;
}

Status ReadDateTimeFile(FileSystem& fs, const std::string& path, DateTimeLists& lists) {
    lists = {};
    std::string bytes;
    if (Status read = fs.ReadFile(path, kMaxDateTimeFileBytes, bytes); !read) return read;
    lists = SortDateTimeItems(ReadDelimitedItems(Cp932ToUtf8(bytes)));
    // Saved as UTF-8 (Notepad's default), the file shows no section marker and both lists
    // would come out empty without a word. Its bytes may still pass for CP932 pairs, so
    // the markers are looked for in them as UTF-8 too. A stray byte in a file that keeps
    // its sections is shown as it decodes.
    if (lists == DateTimeLists{} &&
        (!DecodesWhole(bytes) || Holds(bytes, "和暦") || Holds(bytes, "西暦"))) {
        return Status::Fail(kDataFileNotCp932Reason);
    }
    return Status::Ok();
}

std::vector<std::string> FormatDateTimeList(const DateTimeLists& lists, int calendarIndex,
                                            const Clock& clock, const EraTable& eras) {
    const std::vector<std::string>* patterns = nullptr;
    if (calendarIndex == static_cast<int>(CalendarType::Era)) patterns = &lists.era;
    if (calendarIndex == static_cast<int>(CalendarType::Western)) patterns = &lists.western;
    std::vector<std::string> entries;
    if (patterns == nullptr) return entries;
    entries.reserve(patterns->size());
    for (const std::string& pattern : *patterns) {
        entries.push_back(FormatDateTime(pattern, clock.Now(), eras));
    }
    return entries;
}

}  // namespace kanopa::editor
