#include <gtest/gtest.h>

#include <string>

#include "common/basic_random.h"
#include "common/codec.h"
#include "common/tests/fakes.h"

namespace kanopa {
namespace {

std::string Reversed(std::string s) { return {s.rbegin(), s.rend()}; }

// Reference values from an independent implementation of the generator.
TEST(BasicRandom, RestartAndSeededSequenceMatchReferenceValues) {
    BasicRandom rnd;
    rnd.Rnd(-1.0f);
    EXPECT_NEAR(rnd.Value(), 0.224007, 1e-6);
    rnd.Randomize(12345);
    const double expected[] = {0.376422, 0.8146238, 0.7294495};
    for (double e : expected) {
        rnd.Rnd(1.0f);
        EXPECT_NEAR(rnd.Value(), e, 1e-7);
    }
    EXPECT_EQ(rnd.state(), 12238131u);
}

TEST(Codec, AngoEncodesFiveDigitsPerCharacterReversedAndFukugoDecodesBack) {
    // The text, and its digits before they are reversed.
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"abc", "500975009850099"},  // Ango("abc") = "990058900579005"
        {"あ", "17904"},
        {"\r\n", "5001350010"},
        {"ｱ", "50177"},  // half-width katakana is single-byte
        {"漢,A", "19983" "50044" "50065"},
    };
    for (const auto& [text, beforeReversal] : cases) {
        const std::string digits = Ango(text);
        EXPECT_EQ(digits, Reversed(beforeReversal)) << text;
        EXPECT_EQ(Fukugo(digits), text);
    }
}

TEST(Codec, FukugoRejectsMalformedDigitTexts) {
    testing::LogCapture capture;
    EXPECT_EQ(Fukugo("1234"), "");             // not a multiple of five
    EXPECT_EQ(Fukugo("990058900579"), "");     // trailing short group
    EXPECT_EQ(Fukugo("99005x900579005"), "");  // not a digit
    EXPECT_EQ(Fukugo("99999"), "");            // 99999 - 50000 is no character code
    EXPECT_EQ(Fukugo("13271"), "");            // 17231 reversed: below the range
    EXPECT_EQ(capture.log.entries.size(), 5u);
    for (const auto& [source, message] : capture.log.entries) {
        EXPECT_EQ(source, "Fukugo()");
        EXPECT_EQ(message, "");
    }
}

TEST(Codec, NumericPasswordMatchesReferenceAndFailsOnOverflow) {
    EXPECT_EQ(NumericPassword("31975"), 4136660);
    EXPECT_EQ(NumericPassword("80463"), 4027320);
    EXPECT_EQ(NumericPassword("7"), 0);  // the first character cancels itself
    testing::LogCapture capture;
    EXPECT_EQ(NumericPassword("12345あ"), 0);  // a double-byte code shifted past 32 bits
    EXPECT_TRUE(capture.log.Has("NumericPassword()"));
}

TEST(Codec, CipherMatchesReferenceOutputAndIgnoresTheKeysFirstCharacter) {
    std::string out, sameSeed;
    Cipher("31975", "990058900579005", out);
    EXPECT_EQ(out, "!rsO'pE<Z4p8PFV");
    Cipher("91975", "990058900579005", sameSeed);
    EXPECT_EQ(sameSeed, out);
    out.clear();
    Cipher("80463", "Hello, World!", out);
    EXPECT_EQ(out, "[)iZHsN/D2K?1");
}

TEST(Codec, CharactersOutsidePrintableRangeAreDroppedWithoutDrawing) {
    std::string withControls, plain, back;
    Cipher("31975", "01\r\n23\t45あ6789", withControls);
    Cipher("31975", "0123456789", plain);
    EXPECT_EQ(withControls, plain);
    plain.insert(3, "\x01\xff\n");  // damaged file bytes: later ones still decode
    Decipher("31975", plain, back);
    EXPECT_EQ(back, "0123456789");
}

TEST(Codec, RoundTripOfEveryPrintableCharacterWithBothKeys) {
    std::string all;
    for (int c = 32; c <= 126; ++c) all += static_cast<char>(c);
    for (const char* key : {"31975", "80463"}) {
        std::string scrambled, back;
        Cipher(key, all + all, scrambled);
        for (char c : scrambled) ASSERT_TRUE(c >= 32 && c <= 126);
        Decipher(key, scrambled, back);
        EXPECT_EQ(back, all + all);
    }
}

TEST(Codec, StorableLengthBoundaryIs6553CharactersAndLongerInputsFail) {
    testing::LogCapture capture;
    const std::string fits(6553, 'x');
    const std::string encoded = EncodeForFile("31975", fits);
    EXPECT_EQ(encoded.size(), 32765u);
    EXPECT_EQ(DecodeFromFile("31975", encoded), fits);
    EXPECT_TRUE(capture.log.entries.empty());

    EXPECT_EQ(EncodeForFile("31975", std::string(6554, 'x')), "");  // 32770 digits
    EXPECT_EQ(Ango(std::string(32768, 'a')), "");
    EXPECT_EQ(Fukugo(std::string(32770, '0')), "");
    std::string out;
    Decipher("31975", std::string(32768, 'a'), out);
    EXPECT_EQ(out, "");
    for (const char* source : {"Cipher()", "Ango()", "Fukugo()", "Decipher()"}) {
        EXPECT_TRUE(capture.log.Has(source)) << source;
    }
}

}  // namespace
}  // namespace kanopa
