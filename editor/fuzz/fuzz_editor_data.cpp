// Feeds untrusted bytes to the editor's data readers: the delimited items of its data
// files, DateTime.txt's sections, the date patterns, the era table's entries and
// FixedForm.txt's phrases, and the memo search's text pattern. Any crash, sanitizer
// report or hang is a finding, and so is a phrase the add command accepts that does not
// come back from the file as it went in.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp932.h"
#include "editor/insert/date_format.h"
#include "editor/insert/date_time_file.h"
#include "editor/insert/delimited_items.h"
#include "editor/insert/fixed_phrases.h"
#include "editor/tools/memo_pattern.h"

namespace {

using namespace kanopa;
using namespace kanopa::editor;

// Both ends of the supported years and the era boundaries.
constexpr LocalDateTime kMoments[] = {
    {1, 1, 1, 0, 0, 0}, {1867, 12, 31, 23, 59, 59}, {1989, 1, 8, 12, 0, 0}, {9999, 12, 31, 23, 59, 59},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // As DateTime.txt: CP932 bytes, items, sections, every pattern formatted.
    const DateTimeLists lists = SortDateTimeItems(ReadDelimitedItems(Cp932ToUtf8(bytes)));
    for (const auto* list : {&lists.era, &lists.western}) {
        for (const std::string& pattern : *list) (void)FormatDateTime(pattern, kMoments[2]);
    }

    // As one pattern, raw (not necessarily UTF-8), at every moment.
    for (const LocalDateTime& at : kMoments) (void)FormatDateTime(bytes, at);

    // As an era entry: value name before the first NUL, data after it; a table made of it.
    const std::string_view view(bytes);
    const std::size_t split = view.find('\0');
    const std::string name(view.substr(0, split));
    const std::string value(split == std::string_view::npos ? "" : view.substr(split + 1));
    if (const auto eras = EraTableFromEntries({{name, value}})) {
        for (const LocalDateTime& at : kMoments) (void)FormatDateTime("gggee ggee e", at, *eras);
    }

    // As a search pattern (before the first NUL) and a memo text (after it).
    const MemoPattern pattern(name);
    (void)pattern.Matches(value);
    (void)pattern.Matches(name);
    // A star matches every text, whatever bytes it holds.
    if (!MemoTextMatches("*", value)) std::abort();

    // As FixedForm.txt: every phrase it holds that could also have been added survives
    // writing and reading back.
    std::vector<std::string> phrases = ReadFixedPhrases(bytes);
    std::erase_if(phrases, [](const std::string& phrase) { return PhraseRefusal(phrase).has_value(); });
    if (ReadFixedPhrases(WriteFixedPhrases(phrases)) != phrases) std::abort();
    (void)PhraseRefusal(bytes);
    return 0;
}
