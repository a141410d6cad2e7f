#include "viewer/memo_paths.h"

#include <cstddef>

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

// Escapes may spell out byte sequences that are no UTF-8 at all (a URL encoded in
// another code page); such a path could not be handed to the platform faithfully.
bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            code = lead & 0x07u;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;  // cut short
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
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
    if (path.empty() || !IsValidUtf8(path)) return "";
    if (path.back() != '\\') path += '\\';
    return path;
}

bool IsMemoFileName(std::string_view fileName) {
    // The extension is what follows the last "."; a name without one is all extension.
    const std::size_t dot = fileName.rfind('.');
    const std::string_view extension =
        dot == std::string_view::npos ? fileName : fileName.substr(dot + 1);
    return extension == kMemoExtension;
}

}  // namespace kanopa::viewer
