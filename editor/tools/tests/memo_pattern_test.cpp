#include "editor/tools/memo_pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace kanopa::editor {
namespace {

struct Case {
    const char* pattern;
    const char* text;
    bool matches;
};

void ExpectTable(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c) {
        EXPECT_EQ(MemoTextMatches(c->pattern, c->text), c->matches)
            << "pattern \"" << c->pattern << "\" text \"" << c->text << "\"";
    }
}

TEST(MemoPattern, WholeTextExactCaseAndWholeCharacters) {
    const Case cases[] = {
        {"", "", true},
        {"", "a", false},
        {"*", "", true},
        {"?", "", false},
        {"abc", "abc", true},
        {"abc", "abcd", false},  // one character more
        {"abc", "ab", false},    // one less
        {"abc", "ABC", false},
        {"ａｂｃ", "abc", false},  // full-width is not half-width
        {"重要", "重要な", false},
        {"?", "あ", true},        // a double-byte character is one character
        {"??", "あ", false},
        {"?", "あい", false},
        {"?", "\xFF", true},       // a stray byte counts as one character
        {"a?b", "a\r\nb", false},  // a line break is two characters
        {"a??b", "a\r\nb", true},
        {"*重要*", "今日は\r\n重要な日です", true},
        {"*重要*", "今日は大事な日", false},
        {"重要*", "重要", true},
        {"*a*b", "xaxxb", true},
        {"*a*b", "xaxxbx", false},
        {"a*a", "a", false},
    };
    ExpectTable(std::begin(cases), std::end(cases));
}

TEST(MemoPattern, DigitsAndBracketsByCodePoint) {
    const Case cases[] = {
        {"#", "0", true},
        {"#", "9", true},
        {"#", "/", false},   // just below "0"
        {"#", ":", false},   // just above "9"
        {"#", "０", false},  // full-width digit
        {"[a-c]", "a", true},
        {"[a-c]", "c", true},
        {"[a-c]", "`", false},  // just below "a"
        {"[a-c]", "d", false},  // just above "c"
        {"[!a-c]", "d", true},
        {"[!a-c]", "b", false},
        {"[xyz]", "y", true},
        {"[あ-お]", "う", true},
        {"[あ-お]", "か", false},
        {"[*]", "*", true},
        {"[*]", "a", false},
        {"[?]", "?", true},
        {"[?]", "x", false},
        {"[#]", "#", true},
        {"[#]", "1", false},
        {"[[]", "[", true},
        {"[a-]", "-", true},
        {"[a!]", "!", true},
        {"a]", "a]", true},
        {"!", "!", true},
        {"*[0-9]件*", "残り3件", true},
        {"*[0-9]件*", "残り三件", false},
    };
    ExpectTable(std::begin(cases), std::end(cases));
}

TEST(MemoPattern, MalformedBracketsNeverFailTheSearch) {
    const Case cases[] = {
        {"[abc", "[abc", true},  // no "]": the "[" stands for itself
        {"*[*", "x[y", true},
        {"[", "[", true},
        {"[]", "", false},       // an empty list matches no character
        {"[]", "x", false},
        {"[!]", "x", true},
        {"[z-a]", "m", false},   // high to low covers nothing
        {"[!z-a]", "m", true},
    };
    ExpectTable(std::begin(cases), std::end(cases));
}

TEST(MemoPattern, HostilePatternsStayLinearInTheText) {
    // Backtracking on every star would take ages here; on the last star only it is quick.
    const std::string text(6553, 'a');
    EXPECT_FALSE(MemoTextMatches("*a*a*a*a*a*a*a*a*a*a*a*a*b", text));
    EXPECT_TRUE(MemoTextMatches("*a*a*a*a*a*a*a*a*a*a*a*a", text));
    std::string wide;
    for (int i = 0; i < 6553; ++i) wide += "あ";
    EXPECT_TRUE(MemoTextMatches("*?", wide));
    EXPECT_FALSE(MemoTextMatches("*い*", wide));
}

}  // namespace
}  // namespace kanopa::editor
