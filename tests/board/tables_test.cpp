// Attack tables: every subset of every line mask against a plain ray walk, and
// the fixed geometry tables at known squares.
#include <gtest/gtest.h>

#include "board_support.h"

namespace {

Bitboard walk(int sq, int df, int dr, Bitboard occ) {
    Bitboard a = 0;
    for (int s = -1; s <= 1; s += 2)
        for (int f = sq % 8 + s * df, r = sq / 8 + s * dr; f >= 0 && f < 8 && r >= 0 && r < 8; f += s * df, r += s * dr) {
            a |= bit(r * 8 + f);
            if (occ & bit(r * 8 + f)) break;
        }
    return a;
}

TEST(LineTables, EverySubsetOfEveryMaskFindsItsAttackSet) {
    struct Line {
        const std::array<Bitboard, 64>& mask;
        const std::array<uint64_t, 64>& magic;
        LineList (*mob)[64];
        Bitboard (*bits)[64];
        int df, dr;
    };
    const Line lines[] = {{neDiag, neMagic, neMob, neBits, 1, 1}, {nwDiag, nwMagic, nwMob, nwBits, -1, 1},
                          {nsOrth, nsMagic, nsMob, nsBits, 0, 1}, {ewOrth, ewMagic, ewMob, ewBits, 1, 0}};
    for (const Line& l : lines)
        for (int sq = 0; sq < 64; ++sq) {
            const Bitboard mask = l.mask[sq];
            ASSERT_EQ(mask, walk(sq, l.df, l.dr, 0)) << "mask of " << sq;
            Bitboard sub = 0;
            do {  // squares off the line must not change the index
                const int idx = lineIndex(sub | (~mask & 0x5a5a5a5a5a5a5a5aULL), mask, l.magic[sq]);
                const LineList& list = l.mob[sq][idx];
                Bitboard got = 0;
                for (int i = 0; i < list.n; ++i) {
                    if (i) { ASSERT_LT(list.sq[i - 1], list.sq[i]); }
                    got |= bit(list.sq[i]);
                }
                ASSERT_EQ(got, walk(sq, l.df, l.dr, sub)) << "square " << sq << " occupancy " << sub;
                ASSERT_EQ(l.bits[sq][idx], got);
                sub = (sub - mask) & mask;
            } while (sub);
        }
}

TEST(FixedTables, KnownSquares) {
    const struct { Bitboard got, want; } cases[] = {{neDiag[0], 0x8040201008040200ULL}, {nsOrth[0], 0x0101010101010100ULL}, {nwDiag[0], 0},
                 {kATT[27], 0x1c141c0000ULL},        {nATT[27], 0x142200221400ULL},      {kATT[7], 0xc040ULL},
                 {nATT[63], 0x0020400000000000ULL},  {bet[0][63], 0x0040201008040200ULL},
                 {bet[56][7], 0x0002040810204000ULL}, {bet[0][1] | bet[0][10] | bet[5][5], 0},  // adjacent, unaligned, equal
                 {super[27], superD[27] | superO[27]}, {superF[9] | superR[9], superO[9]},
                 {rnk4[BLACK], 0xffULL << 32},       {rnk7[WHITE], rnk2[BLACK]},
                 {wing[0], 0x0707070707070707ULL},   {wing[4], 0x0707070707070707ULL << 3},  // a: a-c, e: d-f
                 {wing[63], 0x0707070707070707ULL << 5}};
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
}

}  // namespace
