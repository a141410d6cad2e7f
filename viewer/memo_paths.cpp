#include "viewer/memo_paths.h"

#include <cstddef>

#include "common/utf8.h"

namespace kanopa::viewer {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    }
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Control characters stay escaped: a NUL or line break has no business in a path and
// would cut it short at the platform's API.
std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            const int value = high * 16 + low;
            if (high >= 0 && low >= 0 && value >= 0x20 && value != 0x7F) {
                out += static_cast<char>(value);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

std::string LocationUrlToPath(std::string_view url) {
    if (!StartsWithNoCase(url, "file:")) return "";
    std::string_view rest = url.substr(5);

    std::string raw;  // the path with "/" separators, still escaped
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        std::string_view local = slash == std::string_view::npos ? "" : rest.substr(slash);
        if (!host.empty() && !EqualsNoCase(host, "localhost")) {
            raw = "//";
            raw += host;
            raw += local;
        } else if (local.substr(0, 2) == "//") {
            // file:////server/share: a UNC path written after an empty host.
            while (!local.empty() && local.front() == '/') local.remove_prefix(1);
            raw = "//";
            raw += local;
        } else {
            if (!local.empty()) local.remove_prefix(1);  // "/C:/dir" -> "C:/dir"
            raw = local;
        }
    } else {
        if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
        raw = rest;
    }

    for (char& c : raw) {
        if (c == '/') c = '\\';
    }
    std::string path = Unescape(raw);
    // Escapes may spell out bytes that are no UTF-8 at all (a URL encoded in another code
    // page); such a path could not be handed to the platform faithfully.
    if (path.empty() || FindInvalidUtf8(path) != std::string_view::npos) return "";
    if (path.back() != '\\') path += '\\';
    return path;
}

std::string_view GetExtension(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? fileName : fileName.substr(dot + 1);
}

bool IsMemoFileName(std::string_view fileName) { return GetExtension(fileName) == kMemoExtension; }

}  // namespace kanopa::viewer
