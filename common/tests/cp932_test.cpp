#include <gtest/gtest.h>

#include "common/cp932.h"
#include "common/utf8.h"

namespace kanopa {
namespace {

std::string CharOf(std::int16_t code) {
    std::string out;
    AppendCharOfAnsiCode(out, code);
    return out;
}

TEST(Cp932, AnsiCodesOfKnownCharacters) {
    struct Case { const char* text; int code; };
    const Case cases[] = {
        {"A", 65}, {"~", 126}, {"\\", 92}, {"ｱ", 0xB1}, {"あ", -32096},
        {"漢", static_cast<std::int16_t>(0x8ABF)}, {"　", static_cast<std::int16_t>(0x8140)},
        {"①", static_cast<std::int16_t>(0x8740)}, {"€", 63}, {"😀", 63}, {"é", 63},
        // Twins take the code of the code page's own character.
        {"\u301C", static_cast<std::int16_t>(0x8160)}, {"\u2212", static_cast<std::int16_t>(0x817C)},
        {"\u00AC", static_cast<std::int16_t>(0x81CA)},
    };
    for (const Case& c : cases) {
        const auto codes = Utf8ToAnsiCodes(c.text);
        ASSERT_EQ(codes.size(), 1u) << c.text;
        EXPECT_EQ(codes[0], c.code) << c.text;
    }
}

TEST(Cp932, EveryEncodableCharacterComesBackFromItsCode) {
    // Walk the whole double-byte range: each code that decodes to a character must
    // encode to a code that decodes to the same character.
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead < 0xE0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const auto code = static_cast<std::int16_t>((lead << 8) | trail);
            const std::string ch = CharOf(code);
            std::size_t pos = 0;
            if (NextCodePoint(ch, pos) == kCp932DefaultChar) continue;
            const auto back = Utf8ToAnsiCodes(ch);
            ASSERT_EQ(back.size(), 1u);
            ASSERT_EQ(CharOf(back[0]), ch) << std::hex << lead << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 7000);
}

TEST(Cp932, UndecodableCodesBecomeTheDefaultCharacter) {
    EXPECT_EQ(CharOf(0x81), "・");                               // lone lead byte
    EXPECT_EQ(CharOf(static_cast<std::int16_t>(0x8130)), "・");  // bad trail
    EXPECT_EQ(Cp932ToUtf8("a\x82"), "a・");                              // cut-off pair
}

TEST(Cp932, ByteConversionRoundTripsJapaneseText) {
    const std::string text = "定型文,日付\r\n２０２６年 ｶﾅ ①";
    const std::string bytes = Utf8ToCp932(text);
    EXPECT_EQ(bytes.size(), 29u);  // two bytes a full-width character, one a half-width
    EXPECT_EQ(Cp932ToUtf8(bytes), text);
}

TEST(Utf8, MalformedInputDecodesAsReplacementOneByteAtATime) {
    const std::string bad = "a\xC3(\xE3\x81\xF0\x9F\x98\x80";
    EXPECT_EQ(CountCodePoints(bad), 6u);  // a, bad C3, '(', bad E3, bad 81, U+1F600
    EXPECT_EQ(CountCodePoints("\xC0\xAF"), 2u);  // overlong form
}

}  // namespace
}  // namespace kanopa
