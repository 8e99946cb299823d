#pragma once
// Score pairs: a middle-game and an end-game value packed into one 64-bit word
// (mid in bits 32-62, end in bits 0-30, each a 31-bit two's complement field),
// so both halves of every evaluation term are summed with one addition and
// blended only once, at the end of the evaluation. Units are tenths of a
// centipawn.
#include <cstdint>

using ScorePair = uint64_t;

constexpr uint64_t PAIR_MASK = 0x7fffffff7fffffffULL;

constexpr ScorePair scorePair(int32_t mid, int32_t end) {
    return (uint64_t(uint32_t(mid) & 0x7fffffffU) << 32) | (uint32_t(end) & 0x7fffffffU);
}
// Sign-extends a 31-bit field by copying bit 30 into bit 31.
constexpr int32_t field31(uint32_t x) {
    return int32_t((x & 0x7fffffffU) | ((x & 0x40000000U) << 1));
}
constexpr int32_t getMidVal(ScorePair p) { return field31(uint32_t(p >> 32)); }
constexpr int32_t getEndVal(ScorePair p) { return field31(uint32_t(p)); }
constexpr ScorePair spAdd(ScorePair a, ScorePair b) { return (a + b) & PAIR_MASK; }
constexpr ScorePair spNeg(ScorePair b) { return (0x8000000080000000ULL - b) & PAIR_MASK; }
constexpr ScorePair spSub(ScorePair a, ScorePair b) { return spAdd(a, spNeg(b)); }
// Half-by-half product modulo 2^31.
constexpr ScorePair MUL(ScorePair a, ScorePair b) {
    return (((a >> 32) * (b >> 32)) & 0x7fffffffULL) << 32 | ((a * b) & 0x7fffffffULL);
}
constexpr ScorePair spScale(int32_t k, ScorePair p) {
    return scorePair(int32_t(uint32_t(k) * uint32_t(getMidVal(p))),
                     int32_t(uint32_t(k) * uint32_t(getEndVal(p))));
}

// Tenths of a centipawn to centipawns, half away from zero.
constexpr int32_t div10(int32_t x) { return x >= 0 ? (x + 5) / 10 : -((5 - x) / 10); }
