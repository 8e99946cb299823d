// Copy-make: the child record after each kind of move, the null move,
// and the incremental piece-square sum and stage.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>

#include "board_support.h"
#include "eval/eval.h"
#include "eval/evaltables.h"

namespace {

Position play(const Position& p, const char* text) {
    Position child{};
    EXPECT_EQ(algMake(p, child, text), 1) << text;
    return child;
}

TEST(Make, DoubleStepAndEnPassant) {
    Position start = fromFen("");
    Position a = play(start, "e2e4");  // no black pawn beside e4: no ep square
    EXPECT_EQ(std::tuple(a.ep, a.lastMove, a.movedKind * 10 + a.capturedKind + a.ctm * 100, a.prev),
              std::tuple(0ULL, 0x131cU, 100 + PAWN * 10, &start));
    Position b = play(fromFen("rnbqkbnr/pppppppp/8/8/3p4/8/PPPPPPPP/RNBQKBNR w KQkq -"), "e2e4");
    EXPECT_EQ(b.ep, bit(20));
    EXPECT_EQ(b.hashKey, slowHash(b));
    Position c = play(b, "d4e3");  // the victim was not on the target square
    EXPECT_TRUE(c.capturedKind == 0 && !(c.pcs[WHITE][PAWN] & bit(28)) && positionIsOk(c));
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

// With random piece-square values the running sum and the stage count must
// follow every kind of move exactly: equal the sums from scratch.
TEST(Make, PieceSquareSumAndStageFollowEveryMove) {
    ScorePair saved[1024];
    std::copy(pst, pst + 1024, saved);
    std::mt19937 rng(7);
    for (auto& v : pst) v = scorePair(int32_t(rng() % 20001) - 10000, int32_t(rng() % 20001) - 10000);
    for (const PerftCase& c : loadPerftSuite()) {
        Position root = fromFen(c.fen);  // its sum taken with the random values
        walkTree(root, 2, [&](const Position&, const Position& child, Move m) {
            ASSERT_TRUE(child.pstScore == getSC(child) && child.stage == getSTAGE(child)) << c.fen << " " << moveText(m);
        });
    }
    std::copy(saved, saved + 1024, pst);
}

}  // namespace
