#include "editor/tools/memo_pattern.h"

#include "common/utf8.h"

namespace kanopa::editor {
namespace {

std::vector<char32_t> Decode(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) out.push_back(NextCodePoint(text, pos));
    return out;
}

}  // namespace

MemoPattern::MemoPattern(std::string_view pattern) {
    const std::vector<char32_t> chars = Decode(pattern);
    const std::size_t count = chars.size();
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t c = chars[i];
        if (c == '*') {
            // A run of stars is one star.
            if (m_tokens.empty() || m_tokens.back().kind != Kind::AnyRun) {
                m_tokens.push_back({Kind::AnyRun});
            }
            continue;
        }
        if (c == '?') {
            m_tokens.push_back({Kind::AnyOne});
            continue;
        }
        if (c == '#') {
            m_tokens.push_back({Kind::Digit});
            continue;
        }
        if (c == '[') {
            std::size_t first = i + 1;
            const bool negated = first < count && chars[first] == '!';
            if (negated) ++first;
            std::size_t close = first;
            while (close < count && chars[close] != ']') ++close;
            if (close < count) {
                Token token{Kind::Set};
                token.negated = negated;
                token.rangeBegin = m_ranges.size();
                for (std::size_t j = first; j < close; ++j) {
                    // "x-y" is a range unless the "-" is the list's last character.
                    if (j + 2 < close && chars[j + 1] == '-') {
                        m_ranges.push_back({chars[j], chars[j + 2]});
                        j += 2;
                    } else {
                        m_ranges.push_back({chars[j], chars[j]});
                    }
                }
                token.rangeEnd = m_ranges.size();
                m_tokens.push_back(token);
                i = close;
                continue;
            }
            // No "]" follows: the "[" stands for itself.
        }
        Token literal{Kind::Literal};
        literal.literal = c;
        m_tokens.push_back(literal);
    }
}

bool MemoPattern::MatchesOne(const Token& token, char32_t c) const {
    switch (token.kind) {
    case Kind::Literal: return c == token.literal;
    case Kind::AnyOne: return true;
    case Kind::Digit: return c >= '0' && c <= '9';
    case Kind::Set: {
        bool inList = false;
        for (std::size_t r = token.rangeBegin; r < token.rangeEnd && !inList; ++r) {
            inList = c >= m_ranges[r].first && c <= m_ranges[r].last;
        }
        return inList != token.negated;
    }
    case Kind::AnyRun: break;
    }
    return false;
}

bool MemoPattern::Matches(std::string_view text) const {
    // Every token but "*" takes exactly one character, so keeping only the last "*" as
    // the backtrack point is exact, and the work stays within text x pattern steps.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    const std::size_t tokens = m_tokens.size();
    std::size_t p = 0, n = 0;
    std::size_t starP = kNone, starN = 0;
    while (n < text.size()) {
        if (p < tokens) {
            const Token& token = m_tokens[p];
            if (token.kind == Kind::AnyRun) {
                starP = ++p;
                starN = n;
                continue;
            }
            std::size_t next = n;
            if (MatchesOne(token, NextCodePoint(text, next))) {
                ++p;
                n = next;
                continue;
            }
        }
        if (starP == kNone) return false;
        NextCodePoint(text, starN);
        n = starN;
        p = starP;
    }
    while (p < tokens && m_tokens[p].kind == Kind::AnyRun) ++p;
    return p == tokens;
}

bool MemoTextMatches(std::string_view pattern, std::string_view text) {
    return MemoPattern(pattern).Matches(text);
}

}  // namespace kanopa::editor
