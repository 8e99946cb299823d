// Copy-make: the null move and every child of the perft trees. (The screen that
// spares most moves the test of the mover's king is held by the perft counts.)

#include <cstring>

#include "board_support.h"
#include "board/pst.h"

TEST(Make, NullMove) {
    Position p = fromFen("rnbqkbnr/ppp1pppp/8/8/2Pp4/8/PP1PPPPP/RNBQKBNR b KQkq c3");
    ASSERT_NE(p.ep, 0ULL);
    p.inCheck = 1;
    Position q;
    EXPECT_EQ(make(p, q, 0), 1);
    EXPECT_EQ(q.ctm, p.ctm + 1);
    EXPECT_EQ(q.ep | Bitboard(q.inCheck) | Bitboard(q.movedKind) | q.lastMove, 0ULL);
    EXPECT_TRUE(std::memcmp(q.pcs, p.pcs, sizeof p.pcs) == 0 && q.hashKey == slowHash(q));
}

// Every child record of the suite's two-ply trees: keys, en-passant square,
// rights and move kinds folded into one number, and the running keys, sum
// and stage equal to those from scratch.
TEST(Make, FingerprintOverPerftTrees) {
    Fingerprint fp;
    walkSuiteTrees([&](const Position& p, const Position& ch, Move m) {
        for (uint64_t v : {ch.hashKey, ch.pawnKey, ch.ep, ch.castle, uint64_t(ch.capturedKind * 8 + ch.movedKind)}) fp(v);
        ASSERT_TRUE(ch.hashKey == slowHash(ch) && ch.pawnKey == slowPsHash(ch) && ch.pstScore == getSC(ch) &&
                    ch.stage == getSTAGE(ch)) << moveText(p.lastMove) << " " << moveText(m);
    });
    EXPECT_EQ(std::pair(fp.value, fp.count), std::pair(uint64_t(1096477575354438968u), uint64_t(15957 * 5)));
}
