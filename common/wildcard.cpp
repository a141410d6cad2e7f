#include "common/wildcard.h"

#include <cstddef>

#include "common/utf8.h"

namespace kanopa {
namespace {

// A block of case pairs side by side (upper, lower, upper, lower...).
bool InAlternating(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

}  // namespace

char32_t FoldCase(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 0x20 : c;
    // Latin-1: à..þ except ÷; ÿ pairs with Ÿ.
    if (c >= 0xE0 && c <= 0xFE) return c == 0xF7 ? c : c - 0x20;
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: alternating pairs; ı, ĸ, ŉ and ſ have no simple partner here.
    if (InAlternating(c, 0x100, 0x12F) || InAlternating(c, 0x132, 0x137) ||
        InAlternating(c, 0x14A, 0x177)) {
        return c & ~char32_t{1};
    }
    if (InAlternating(c, 0x139, 0x148) || InAlternating(c, 0x179, 0x17E)) {
        return (c & 1) ? c : c - 1;
    }
    // Greek.
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x3B1 && c <= 0x3CB) return c - 0x20;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    // Cyrillic.
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (InAlternating(c, 0x460, 0x481) || InAlternating(c, 0x48A, 0x4BF) ||
        InAlternating(c, 0x4D0, 0x52F)) {
        return c & ~char32_t{1};
    }
    if (InAlternating(c, 0x4C1, 0x4CE)) return (c & 1) ? c : c - 1;
    if (c == 0x4CF) return 0x4C0;
    // Armenian.
    if (c >= 0x561 && c <= 0x586) return c - 0x30;
    // Latin Extended Additional (Vietnamese and others).
    if (InAlternating(c, 0x1E00, 0x1E95) || InAlternating(c, 0x1EA0, 0x1EFF)) {
        return c & ~char32_t{1};
    }
    // Roman numerals, circled letters, full-width letters.
    if (c >= 0x2170 && c <= 0x217F) return c - 0x10;
    if (c >= 0x24D0 && c <= 0x24E9) return c - 0x1A;
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
    return c;
}

bool WildcardMatch(std::string_view pattern, std::string_view name, CaseFolding folding) {
    const auto same = [folding](char32_t a, char32_t b) {
        return a == b || (folding == CaseFolding::IgnoreCase && FoldCase(a) == FoldCase(b));
    };
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
            if (pc == '?' || same(pc, nc)) {
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

}  // namespace kanopa
