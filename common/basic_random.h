#pragma once
// The pseudo-random generator both programs scramble with: the classic 24-bit BASIC
// generator, so that files stay compatible across that family of runtimes.
//   state' = (state * 0xFD43FD + 0xC39EC3) mod 2^24, value = state / 2^24
// Rnd(x < 0) first restarts the state from the bits of x as a single-precision float;
// Randomize(n) mixes the high word of n as a double into the middle bits.
#include <cstdint>

namespace kanopa {

class BasicRandom {
public:
    static constexpr std::uint32_t kInitialState = 0x50000;

    // Rnd(x) for x != 0: restarts for x < 0, then advances. Returns the new state.
    std::uint32_t Rnd(float x);
    void Randomize(double seed);
    // Advances and returns floor(value * 96), computed exactly.
    int Next96();
    double Value() const { return m_state / 16777216.0; }
    std::uint32_t state() const { return m_state; }

private:
    void Advance() { m_state = (m_state * 0xFD43FDu + 0xC39EC3u) & 0xFFFFFFu; }
    std::uint32_t m_state = kInitialState;
};

}  // namespace kanopa
