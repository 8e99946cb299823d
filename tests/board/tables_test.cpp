// Attack tables: every subset of every line mask against a plain ray walk.

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

}  // namespace
