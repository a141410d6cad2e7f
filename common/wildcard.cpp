#include "common/wildcard.h"

#include <cstddef>

#include "common/utf8.h"

namespace kanopa {
namespace {

char32_t Fold(char32_t c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0;
    // Greedy match with one backtrack point: the last "*" seen.
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size()) {
            std::size_t nextP = p;
            const char32_t pc = NextCodePoint(pattern, nextP);
            if (pc == '*') {
                starP = nextP;
                starN = n;
                p = nextP;
                continue;
            }
            std::size_t nextN = n;
            const char32_t nc = NextCodePoint(name, nextN);
            if (pc == '?' || Fold(pc) == Fold(nc)) {
                p = nextP;
                n = nextN;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        NextCodePoint(name, starN);
        n = starN;
        p = starP;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool HasWildcard(std::string_view text) {
    return text.find_first_of("*?") != std::string_view::npos;
}

}  // namespace kanopa
