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
        // The whole text, one character more or less, in its exact case and width.
        {"abc", "abc", true},
        {"abc", "abcd", false},
        {"abc", "ab", false},
        {"abc", "ABC", false},
        {"ａｂｃ", "abc", false},
        {"重要", "重要な", false},
        // A double-byte character, or a stray byte, is one character; a line break two.
        {"?", "あ", true},
        {"??", "あ", false},
        {"?", "あい", false},
        {"?", "\xFF", true},
        {"a?b", "a\r\nb", false},
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
        // Both ends of each range and the code points just outside; a full-width digit.
        {"#", "0", true},
        {"#", "9", true},
        {"#", "/", false},
        {"#", ":", false},
        {"#", "０", false},
        {"[a-c]", "a", true},
        {"[a-c]", "c", true},
        {"[a-c]", "`", false},
        {"[a-c]", "d", false},
        {"[!a-c]", "d", true},
        {"[!a-c]", "b", false},
        {"[xyz]", "y", true},
        {"[あ-お]", "う", true},
        {"[あ-お]", "か", false},
        // Inside brackets the special characters stand for themselves.
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
        // No "]": the "[" stands for itself.
        {"[abc", "[abc", true},
        {"*[*", "x[y", true},
        {"[", "[", true},
        // An empty list, or a range from high to low, matches no character.
        {"[]", "", false},
        {"[]", "x", false},
        {"[!]", "x", true},
        {"[z-a]", "m", false},
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
