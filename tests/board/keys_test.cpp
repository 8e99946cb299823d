// Random numbers and Zobrist keys: the reference sequence and the layout of
// the key tables.
#include <gtest/gtest.h>

#include <random>

#include "board/mt.h"
#include "board_support.h"

namespace {

TEST(Mt19937, MatchesTheStandardEngine) {
    for (uint32_t seed : {1027U, 5489U}) {
        init_genrand(seed);
        std::mt19937 ref(seed);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(genrand_int32(), ref()) << "seed " << seed << " draw " << i;
    }
    // The reference program's first outputs for its own array seed.
    const uint32_t key[4] = {0x123, 0x234, 0x345, 0x456};
    init_by_array(key, 4);
    for (uint32_t want : {1067595299U, 955945823U, 477289528U, 4107218783U}) EXPECT_EQ(genrand_int32(), want);
}

TEST(Zobrist, SideToMoveAndCastleTerms) {
    Position w = fromFen("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -"), b = fromFen("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 b - -");
    EXPECT_EQ(w.hashKey ^ b.hashKey, zob[0] ^ zob[1]);
    EXPECT_EQ(w.pawnKey, b.pawnKey);
    // a1 and e1 marked: the a1 bit; e1 alone pairs with nothing.
    const std::pair<Bitboard, uint64_t> cases[] = {{0, 0}, {CASTLE_SQUARES, 0x8100000000000081ULL}, {0x11, 1},
                                                   {0x9000000000000000ULL, 0x8000000000000000ULL}, {0x10, 0}};
    for (auto [marked, bits] : cases) EXPECT_EQ(castleHash(marked), bits * 290837401ULL) << marked;
}

}  // namespace
