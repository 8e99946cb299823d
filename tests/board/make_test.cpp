// Copy-make: promotions, the null move, the error paths, and the screen that
// spares most moves the test of the mover's king.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "board_support.h"

namespace {

Position play(const Position& p, const char* text) {
    Position child{};
    EXPECT_EQ(algMake(p, child, text), 1) << text;
    return child;
}

TEST(Make, Promotions) {
    const std::tuple<const char*, const char*, int, int, int> cases[] = {
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "E7E8N", KNIGHT, 0, 0}, {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e7e8q", QUEEN, 0, 6},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e7e8r", ROOK, 0, 2},   {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e7e8b", BISHOP, 0, 1},
        {"3r1k2/4P3/8/8/8/8/8/4K3 w - -", "e7d8q", QUEEN, ROOK, 4}, {"4k3/8/8/8/8/8/1p6/R3K3 b - -", "b2a1n", KNIGHT, ROOK, -2}};
    for (const auto& [fen, move, kind, captured, stageChange] : cases) {
        Position p = fromFen(fen);
        p.stage = 10;
        const int col = sideToMove(p);
        Position q = play(p, move);
        const Bitboard to = bit(moveTo(q.lastMove));  // inCheck: algMake sets it
        EXPECT_EQ(std::tuple(q.pcs[col][kind] & to, q.movedKind * 10 + q.capturedKind, q.stage, q.inCheck, positionIsOk(q)),
                  std::tuple(to, PAWN * 10 + captured, 10 + stageChange, kind == QUEEN || kind == ROOK, 1)) << move;
    }
}

TEST(Make, NullMoveErrorPathsAndPreTest) {
    Position p = fromFen("rnbqkbnr/ppp1pppp/8/8/2Pp4/8/PP1PPPPP/RNBQKBNR b KQkq c3");
    ASSERT_NE(p.ep, 0ULL);
    p.inCheck = 1;
    Position q;
    EXPECT_EQ(make(p, q, 0), 1);
    EXPECT_EQ(q.ctm, p.ctm + 1);
    EXPECT_EQ(q.ep | Bitboard(q.inCheck) | Bitboard(q.movedKind) | q.lastMove, 0ULL);
    EXPECT_TRUE(std::memcmp(q.pcs, p.pcs, sizeof p.pcs) == 0 && q.hashKey == slowHash(q));

    const uint64_t before = nodecount;
    EXPECT_EQ(make(fromFen("4k3/8/8/8/8/8/8/4K3 w - -"), q, makeMove(20, 28)), 1);  // nothing on e3
    EXPECT_EQ(nodecount, before + 1);
    EXPECT_TRUE(positionIsOk(q));  // reported, and the record stays sound
    make(fromFen("4k3/4R3/8/8/8/8/8/4K3 w - -"), q, makeMove(52, 60));  // the black king left en prise
    EXPECT_EQ(q.capturedKind, KING);

    const Position quiet = fromFen("4k3/8/8/8/8/8/3N4/4K1b1 w - -"), pinned = fromFen("4k3/8/8/8/8/8/3N4/2b1K3 w - -");
    EXPECT_EQ(preTestMoveForCheck(quiet, makeMove(11, 28)), 0);
    EXPECT_EQ(preTestMoveForCheck(quiet, makeMove(4, 5)) + preTestMoveForCheck(quiet, makeMove(11, 19, PROMO_B)), 2);
    EXPECT_EQ(preTestMoveForCheck(pinned, makeMove(11, 28)), 1);  // bishop on d2's diagonal
    EXPECT_EQ(preTestMoveForCheck(fromFen("4k3/8/8/8/8/8/3N3r/4K3 w - -"), makeMove(11, 28)), 1);  // rook on its rank
}

// Out of check, a move that mayExposeKing clears never leaves the king attacked,
// and the filter clears most moves.
TEST(Make, MayExposeKingNeverMissesAnExposure) {
    uint64_t cleared = 0, moves = 0;
    for (const PerftCase& c : loadPerftSuite()) {
        walkTree(fromFen(c.fen), 2, [&](const Position&, const Position& node, Move) {
            const int col = sideToMove(node);
            if (fasterInCheck(node, col)) return;
            Move list[MAX_MOVES];
            const int n = genAll(node, list);
            Position child;
            for (int i = 0; i < n; ++i) {
                ++moves;
                if (mayExposeKing(node, list[i])) continue;
                ++cleared;
                make(node, child, list[i]);
                ASSERT_FALSE(fasterInCheck(child, col)) << c.fen << " " << moveText(list[i]);
            }
        });
    }
    EXPECT_GT(cleared * 2, moves);
}

}  // namespace
