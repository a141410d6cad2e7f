#include "common/cp932.h"

#include <algorithm>
#include <utility>

#include "common/utf8.h"

namespace kanopa {
namespace {

#include "common/cp932_table.inc"

bool IsLeadByte(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

char32_t DecodeSingle(unsigned b) {
    if (b == 0) return 0;
    const char32_t cp = kCp932Single[b];
    return cp ? cp : kCp932DefaultChar;
}

char32_t DecodePair(unsigned lead, unsigned trail) {
    const unsigned leadIndex = lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0xA0 - 0x81);
    if (trail < kCp932TrailFirst || trail >= unsigned(kCp932TrailFirst + kCp932TrailCount))
        return kCp932DefaultChar;
    const char32_t cp = kCp932Double[leadIndex * kCp932TrailCount + (trail - kCp932TrailFirst)];
    return cp ? cp : kCp932DefaultChar;
}

}  // namespace

namespace {

// Characters the code page holds under another code point: what other systems' Japanese
// encodings and input methods produce for the code page's own characters.
constexpr std::pair<char32_t, char32_t> kCp932Twins[] = {
    {0x00A2, 0xFFE0},  // ¢ -> ￠
    {0x00A3, 0xFFE1},  // £ -> ￡
    {0x00A6, 0xFFE4},  // ¦ -> ￤
    {0x00AC, 0xFFE2},  // ¬ -> ￢
    {0x2014, 0x2015},  // EM DASH -> HORIZONTAL BAR
    {0x2016, 0x2225},  // ‖ -> ∥
    {0x2212, 0xFF0D},  // MINUS SIGN -> －
    {0x301C, 0xFF5E},  // 〜 -> ～
};

std::int16_t LookUp(char32_t codePoint) {
    const auto* end = std::end(kCp932Encode);
    const auto* it = std::lower_bound(std::begin(kCp932Encode), end, codePoint,
        [](const Cp932EncodeEntry& e, char32_t cp) { return e.codePoint < cp; });
    if (it == end || it->codePoint != codePoint) return kUnmappableCode;
    return static_cast<std::int16_t>(it->code);
}

}  // namespace

std::int16_t AnsiCodeOf(char32_t codePoint) {
    // ASCII is itself in the code page; most of a memo's record is ASCII.
    if (codePoint < 0x80) return static_cast<std::int16_t>(codePoint);
    if (codePoint <= std::end(kCp932Twins)[-1].first) {
        for (const auto& [twin, held] : kCp932Twins) {
            if (codePoint == twin) return LookUp(held);
        }
    }
    return LookUp(codePoint);
}

bool IsCp932Storable(char32_t codePoint) {
    return codePoint == '?' || AnsiCodeOf(codePoint) != kUnmappableCode;
}

std::optional<std::string> FindUnstorableChar(std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(utf8, pos);
        if (!IsCp932Storable(cp)) return std::string(utf8.substr(start, pos - start));
    }
    return std::nullopt;
}

void AppendCharOfAnsiCode(std::string& out, std::int16_t code) {
    const auto value = static_cast<std::uint16_t>(code);
    if (value <= 0xFF) {
        AppendUtf8(out, IsLeadByte(value) ? kCp932DefaultChar : DecodeSingle(value));
        return;
    }
    const unsigned lead = value >> 8, trail = value & 0xFF;
    if (IsLeadByte(lead)) {
        AppendUtf8(out, DecodePair(lead, trail));
    } else {
        // Two single-byte characters, as the byte pair decodes.
        AppendUtf8(out, DecodeSingle(lead));
        AppendUtf8(out, IsLeadByte(trail) ? kCp932DefaultChar : DecodeSingle(trail));
    }
}

std::vector<std::int16_t> Utf8ToAnsiCodes(std::string_view utf8) {
    std::vector<std::int16_t> codes;
    codes.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) codes.push_back(AnsiCodeOf(NextCodePoint(utf8, pos)));
    return codes;
}

std::string Utf8ToCp932(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::int16_t code : Utf8ToAnsiCodes(utf8)) {
        const auto value = static_cast<std::uint16_t>(code);
        if (value > 0xFF) out += static_cast<char>(value >> 8);
        out += static_cast<char>(value & 0xFF);
    }
    return out;
}

namespace {

// Each character of CP932 bytes in order, and whether its bytes were one at all: a lone
// lead byte, an unassigned pair or byte decode to the default character, which is also
// what 0x81 0x45 means. A NUL byte decodes to it too but is a character of its own.
template <class Visit>
void DecodeEach(std::string_view bytes, Visit visit) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned b = static_cast<unsigned char>(bytes[i]);
        if (!IsLeadByte(b)) {
            const char32_t c = DecodeSingle(b);
            visit(c, b == 0 || c != kCp932DefaultChar);
        } else if (i + 1 == bytes.size()) {
            visit(kCp932DefaultChar, false);
        } else {
            const unsigned trail = static_cast<unsigned char>(bytes[++i]);
            const char32_t c = DecodePair(b, trail);
            visit(c, c != kCp932DefaultChar || (b == 0x81 && trail == 0x45));
        }
    }
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    DecodeEach(bytes, [&](char32_t c, bool) { AppendUtf8(out, c); });
    return out;
}

bool DecodesWhole(std::string_view bytes) {
    bool whole = true;
    DecodeEach(bytes, [&](char32_t, bool isCharacter) { whole = whole && isCharacter; });
    return whole;
}

}  // namespace kanopa
