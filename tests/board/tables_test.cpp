// Attack tables: the line lists against a plain ray walk for every subset of
// every mask, and the fixed geometry tables against their definitions.
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

struct LineCase {
    const char* name;
    const std::array<Bitboard, 64>* mask;
    const std::array<uint64_t, 64>* magic;
    LineList (*mob)[64];
    Bitboard (*bits)[64];
    int df, dr;
};

TEST(LineTables, EverySubsetOfEveryMaskFindsItsAttackSet) {
    boardSetUp();
    const LineCase cases[] = {{"ne", &neDiag, &neMagic, neMob, neBits, 1, 1},
                              {"nw", &nwDiag, &nwMagic, nwMob, nwBits, -1, 1},
                              {"ns", &nsOrth, &nsMagic, nsMob, nsBits, 0, 1},
                              {"ew", &ewOrth, &ewMagic, ewMob, ewBits, 1, 0}};
    for (const LineCase& c : cases)
        for (int sq = 0; sq < 64; ++sq) {
            const Bitboard mask = (*c.mask)[sq];
            EXPECT_EQ(mask, walk(sq, c.df, c.dr, 0)) << c.name << " mask " << sq;
            Bitboard sub = 0;
            do {
                const int idx = lineIndex(sub | (~mask & 0x5a5a5a5a5a5a5a5aULL), mask, (*c.magic)[sq]);
                const LineList& l = c.mob[sq][idx];
                const Bitboard want = walk(sq, c.df, c.dr, sub);
                Bitboard got = 0;
                for (int i = 0; i < l.n; ++i) {
                    if (i) { ASSERT_LT(l.sq[i - 1], l.sq[i]) << "list not ascending"; }
                    got |= bit(l.sq[i]);
                }
                ASSERT_EQ(got, want) << c.name << " sq " << sq << " occ " << std::hex << sub;
                ASSERT_EQ(popCount(got), l.n);
                ASSERT_EQ(c.bits[sq][idx], want);
                sub = (sub - mask) & mask;
            } while (sub);
        }
}

TEST(LineTables, MaskExamplesIncludeTheEdges) {
    boardSetUp();
    EXPECT_EQ(neDiag[0], 0x8040201008040200ULL);
    EXPECT_EQ(nsOrth[0], 0x0101010101010100ULL);
    EXPECT_EQ(nwDiag[0], 0ULL);
    EXPECT_EQ(ewOrth[63], 0x7f00000000000000ULL);
    EXPECT_EQ(popCount(neDiag[27]), 7);
}

TEST(StepTables, KingAndKnightTargets) {
    struct Case {
        int sq;
        Bitboard king, knight;
    };
    const Case cases[] = {{0, 0x302ULL, 0x20400ULL},
                          {7, 0xc040ULL, 0x402000ULL},
                          {27, 0x1c141c0000ULL, 0x142200221400ULL},
                          {63, 0x40c0000000000000ULL, 0x0020400000000000ULL}};
    for (const Case& c : cases) {
        EXPECT_EQ(kATT[c.sq], c.king) << c.sq;
        EXPECT_EQ(nATT[c.sq], c.knight) << c.sq;
    }
    int kings = 0, knights = 0;
    for (int sq = 0; sq < 64; ++sq) {
        kings += popCount(kATT[sq]);
        knights += popCount(nATT[sq]);
    }
    EXPECT_EQ(kings, 420);   // every king step counted from both ends
    EXPECT_EQ(knights, 336);
}

TEST(LineUnions, SuperTablesAreTheirLines) {
    for (int sq = 0; sq < 64; ++sq) {
        EXPECT_EQ(superD[sq], neDiag[sq] | nwDiag[sq] | bit(sq));
        EXPECT_EQ(superO[sq], nsOrth[sq] | ewOrth[sq] | bit(sq));
        EXPECT_EQ(super[sq], superD[sq] | superO[sq]);
        EXPECT_EQ(superF[sq], nsOrth[sq] | bit(sq));
        EXPECT_EQ(superR[sq], ewOrth[sq] | bit(sq));
    }
}

TEST(Between, StrictlyBetweenAlignedSquares) {
    struct Case {
        int a, b;
        Bitboard want;
    };
    const Case cases[] = {{0, 63, 0x0040201008040200ULL},  // a1-h8
                          {0, 7, 0x7eULL},                 // a1-h1
                          {4, 60, 0x0010101010101000ULL},  // e1-e8
                          {0, 1, 0},                       // adjacent
                          {0, 10, 0},                      // not aligned
                          {5, 5, 0},                       // same square
                          {7, 56, 0x0002040810204000ULL}}; // h1-a8
    for (const Case& c : cases) {
        EXPECT_EQ(bet[c.a][c.b], c.want) << c.a << "-" << c.b;
        EXPECT_EQ(bet[c.b][c.a], c.want) << c.b << "-" << c.a;
    }
}

TEST(RankTables, CountedFromEachSide) {
    const Bitboard* ranks[8] = {rnk1, rnk2, rnk3, rnk4, rnk5, rnk6, rnk7, rnk8};
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(ranks[r][WHITE], 0xffULL << (8 * r));
        EXPECT_EQ(ranks[r][BLACK], 0xffULL << (8 * (7 - r)));
    }
}

TEST(Wing, ThreeFilesPushedInwards) {
    boardSetUp();
    const Bitboard fileA = 0x0101010101010101ULL;
    const Bitboard abc = fileA * 7;
    EXPECT_EQ(wing[0], abc);
    EXPECT_EQ(wing[1], abc);
    EXPECT_EQ(wing[2 + 8 * 5], abc << 1);
    EXPECT_EQ(wing[4], abc << 3);
    EXPECT_EQ(wing[6], abc << 5);
    EXPECT_EQ(wing[63], abc << 5);
}

}  // namespace
