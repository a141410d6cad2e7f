#include "editor/insert/delimited_items.h"

namespace kanopa::editor {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Moves past one line end (CR LF counts as one).
void SkipLineEnd(std::string_view text, std::size_t& pos) {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
    ++pos;
}

}  // namespace

std::vector<std::string> ReadDelimitedItems(std::string_view text) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    // True right after a comma: the line end that may follow still closes an (empty) item.
    bool afterComma = false;
    while (pos < text.size()) {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        if (pos == text.size()) break;
        std::string item;
        if (text[pos] == '"') {
            const std::size_t start = ++pos;
            while (pos < text.size() && text[pos] != '"' && !IsLineEnd(text[pos])) ++pos;
            item.assign(text.substr(start, pos - start));
            if (pos < text.size() && text[pos] == '"') ++pos;
            while (pos < text.size() && text[pos] != ',' && !IsLineEnd(text[pos])) ++pos;
        } else {
            const std::size_t start = pos;
            while (pos < text.size() && text[pos] != ',' && !IsLineEnd(text[pos])) ++pos;
            std::size_t end = pos;
            while (end > start && IsBlank(text[end - 1])) --end;
            item.assign(text.substr(start, end - start));
        }
        items.push_back(std::move(item));
        afterComma = pos < text.size() && text[pos] == ',';
        if (pos < text.size()) {
            if (afterComma) {
                ++pos;
                // "a," at the end of a line: the empty item after the comma.
                if (pos < text.size() && IsLineEnd(text[pos])) {
                    items.emplace_back();
                    afterComma = false;
                    SkipLineEnd(text, pos);
                }
            } else {
                SkipLineEnd(text, pos);
            }
        }
    }
    if (afterComma) items.emplace_back();  // "a," at the very end of the file
    return items;
}

std::string QuoteItem(std::string_view item) {
    std::string quoted;
    quoted.reserve(item.size() + 2);
    quoted += '"';
    quoted += item;
    quoted += '"';
    return quoted;
}

}  // namespace kanopa::editor
