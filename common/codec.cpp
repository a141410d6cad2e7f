#include "common/codec.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/basic_random.h"
#include "common/cp932.h"
#include "common/log.h"
#include "common/utf8.h"

namespace kanopa {
namespace {

constexpr int kAnsiOffset = 50000;
constexpr int kGroup = 5;

// Restart with -1, then seed: both directions draw the same sequence.
BasicRandom SeededGenerator(std::string_view key) {
    BasicRandom rnd;
    rnd.Rnd(-1.0f);
    rnd.Randomize(static_cast<double>(NumericPassword(key)));
    return rnd;
}

}  // namespace

std::string Ango(std::string_view text) {
    const auto codes = Utf8ToAnsiCodes(text);
    if (codes.size() > kMaxCodecChars) {
        WriteLog("Ango()", "");
        return "";
    }
    std::string digits(codes.size() * kGroup, '0');
    std::size_t end = 0;
    for (std::int16_t code : codes) {
        int value = code + kAnsiOffset;  // always five digits: 17232..82767
        end += kGroup;
        for (std::size_t pos = end; pos > end - kGroup; value /= 10) {
            digits[--pos] = static_cast<char>('0' + value % 10);
        }
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::string Fukugo(std::string_view digits) {
    if (digits.size() > kMaxCodecChars) {
        WriteLog("Fukugo()", "");
        return "";
    }
    const std::string reversed(digits.rbegin(), digits.rend());
    std::string text;
    text.reserve(digits.size() / kGroup * 3);
    for (std::size_t start = 0; start < reversed.size(); start += kGroup) {
        const std::string_view group = std::string_view(reversed).substr(start, kGroup);
        int value = 0;
        for (char c : group) {
            if (c < '0' || c > '9') {
                WriteLog("Fukugo()", "");
                return "";
            }
            value = value * 10 + (c - '0');
        }
        const int code = value - kAnsiOffset;
        if (group.size() < kGroup || code < std::numeric_limits<std::int16_t>::min() ||
            code > std::numeric_limits<std::int16_t>::max()) {
            WriteLog("Fukugo()", "");
            return "";
        }
        AppendCharOfAnsiCode(text, static_cast<std::int16_t>(code));
    }
    return text;
}

std::int32_t NumericPassword(std::string_view key) {
    const auto codes = Utf8ToAnsiCodes(key);
    if (codes.size() > kMaxCodecChars) {
        WriteLog("NumericPassword()", "");
        return 0;
    }
    std::int32_t accumulator = 0;
    int p = 0, q = 0;
    for (std::int16_t c : codes) {
        const double a = std::ldexp(static_cast<double>(c), p);
        const double b = std::ldexp(static_cast<double>(c), q);
        // A product beyond the 32-bit range is an overflow, as in the original runtime.
        constexpr double kMin = std::numeric_limits<std::int32_t>::min();
        constexpr double kMax = std::numeric_limits<std::int32_t>::max();
        if (a < kMin || a > kMax || b < kMin || b > kMax) {
            WriteLog("NumericPassword()", "");
            return 0;
        }
        accumulator ^= static_cast<std::int32_t>(a) ^ static_cast<std::int32_t>(b);
        p = (p + 7) % 19;
        q = (q + 13) % 23;
    }
    return accumulator;
}

namespace {

// Shifts each printable character (32..126) by the next keyed random value, forwards
// (+1) or backwards (-1). Other characters, every byte of a multi-byte character
// included, are dropped without drawing a value, so both directions stay in step.
void Shift(std::string_view key, std::string_view text, int direction, std::string& out) {
    BasicRandom rnd = SeededGenerator(key);
    out.reserve(out.size() + text.size());
    for (char ch : text) {
        const int c = static_cast<unsigned char>(ch);
        if (c < 32 || c > 126) continue;
        const int v = ((c - 32 + direction * rnd.Next96()) % 95 + 95) % 95;
        out += static_cast<char>(v + 32);
    }
}

}  // namespace

void Cipher(std::string_view key, std::string_view plain, std::string& out) {
    if (CountCodePoints(plain) > kMaxCodecChars) {
        WriteLog("Cipher()", "");
        return;
    }
    Shift(key, plain, +1, out);
}

void Decipher(std::string_view key, std::string_view scrambled, std::string& out) {
    if (scrambled.size() > kMaxCodecChars) {
        WriteLog("Decipher()", "");
        return;
    }
    Shift(key, scrambled, -1, out);
}

std::string EncodeForFile(std::string_view key, std::string_view text) {
    std::string scrambled;
    Cipher(key, Ango(text), scrambled);
    return scrambled;
}

std::string DecodeFromFile(std::string_view key, std::string_view bytes) {
    std::string digits;
    Decipher(key, bytes, digits);
    return Fukugo(digits);
}

}  // namespace kanopa
