#pragma once
// Square sets as 64-bit words and the bit helpers every layer uses.
#include <bit>
#include <cstdint>

using Bitboard = uint64_t;

constexpr Bitboard bit(int sq) { return 1ULL << sq; }
// Index of the lowest set bit; b is never 0.
inline int nextBit(Bitboard b) { return std::countr_zero(b); }
inline int popCount(Bitboard b) { return std::popcount(b); }
