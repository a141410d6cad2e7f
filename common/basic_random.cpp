#include "common/basic_random.h"

#include <bit>

namespace kanopa {

std::uint32_t BasicRandom::Rnd(float x) {
    if (x < 0) {
        const auto bits = std::bit_cast<std::uint32_t>(x);
        m_state = (bits + (bits >> 24)) & 0xFFFFFFu;
    }
    Advance();
    return m_state;
}

void BasicRandom::Randomize(double seed) {
    const auto high = static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(seed) >> 32);
    m_state = (((high & 0xFFFFu) << 8) ^ ((high >> 8) & 0xFFFF00u)) | (m_state & 0xFF0000FFu);
}

int BasicRandom::Next96() {
    Advance();
    return static_cast<int>((std::uint64_t{m_state} * 96) >> 24);
}

}  // namespace kanopa
