// Feeds untrusted bytes to the memo search's pattern: the bytes up to the first NUL are
// the pattern, the rest the memo text. Any crash, sanitizer report or hang is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "editor/tools/memo_pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = bytes.find('\0');
    const std::string_view pattern = bytes.substr(0, cut);
    const std::string_view text = cut == std::string_view::npos ? bytes : bytes.substr(cut + 1);

    const kanopa::editor::MemoPattern parsed(pattern);
    (void)parsed.Matches(text);
    (void)parsed.Matches(pattern);
    // A star matches every text, whatever bytes it holds.
    if (!kanopa::editor::MemoTextMatches("*", text)) __builtin_trap();
    return 0;
}
