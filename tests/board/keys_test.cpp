// Zobrist keys: the side-to-move and castling terms.
#include <gtest/gtest.h>

#include "board_support.h"

namespace {

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
