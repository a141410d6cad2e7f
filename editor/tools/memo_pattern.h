#pragma once
// Memo-text patterns of the memo search. A pattern must match the WHOLE memo text;
// nothing is added before or after it, so a word inside a text is found with "*word*".
// Characters are whole code points (a double-byte character is one character) and are
// compared exactly: upper and lower case, full-width and half-width forms all differ.
//
//   ?        any one character (a line break is two: CR and LF)
//   *        any run of characters, the empty run and line breaks included
//   #        one digit 0 to 9
//   [list]   one character of the list; "a-z" in a list is the range of code points
//            from a to z; "-" first or last in the list stands for itself
//   [!list]  one character not in the list
//   inside brackets ? * # [ and ! (after the first place) stand for themselves
//   anything else, "]" and "!" outside brackets included, stands for itself
//
// Malformed brackets never fail the search:
//   "[" with no "]" after it stands for itself, and so does the rest of the pattern;
//   a range written high to low ("[z-a]") covers no character;
//   "[]" matches no character and "[!]" any one.
#include <string>
#include <string_view>
#include <vector>

namespace kanopa::editor {

class MemoPattern {
public:
    explicit MemoPattern(std::string_view pattern);

    bool Matches(std::string_view text) const;

private:
    enum class Kind { Literal, AnyOne, Digit, AnyRun, Set };
    struct Range {
        char32_t first, last;
    };
    struct Token {
        Kind kind;
        char32_t literal = 0;
        bool negated = false;            // Set: "[!...]"
        std::size_t rangeBegin = 0, rangeEnd = 0;  // Set: its ranges in m_ranges
    };
    bool MatchesOne(const Token& token, char32_t c) const;

    std::vector<Token> m_tokens;
    std::vector<Range> m_ranges;
};

// One-off form of MemoPattern(pattern).Matches(text).
bool MemoTextMatches(std::string_view pattern, std::string_view text);

}  // namespace kanopa::editor
