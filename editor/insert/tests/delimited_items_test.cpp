#include "editor/insert/delimited_items.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kanopa::editor {
namespace {

using Items = std::vector<std::string>;

TEST(DelimitedItems, CommasQuotesBlankLinesAndLineEnds) {
    const struct {
        const char* text;
        Items items;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a,b\r\n", {"a", "b"}},
        {"\"a,b\"\r\n", {"a,b"}},
        {"  \"x\" junk ,y\r\n", {"x", "y"}},
        {"\r\n\r\n", {"", ""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a,\r\nb", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {"a,   ", {"a", ""}},
        {" \t a b \t,c", {"a b", "c"}},
        {"\"\"\r\n", {""}},
        {"\"open, never closed\r\nnext", {"open, never closed", "next"}},
        {"\"和暦\",\"gggee年\"\r\n", {"和暦", "gggee年"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadDelimitedItems(c.text), c.items) << '[' << c.text << ']';
    }
}

TEST(DelimitedItems, QuotedItemsReadBackAsWritten) {
    for (const std::string item : {"", "a,b", " lead and trail ", "定型文, 二つ"}) {
        EXPECT_EQ(ReadDelimitedItems(QuoteItem(item) + "\r\n"), Items{item});
    }
}

}  // namespace
}  // namespace kanopa::editor
