// Copy-make: the fields of the child record after each kind of move, keys
// against the keys from scratch, and the incremental piece-square sum and stage.
#include <gtest/gtest.h>

#include <random>

#include "board_support.h"
#include "eval/evaltables.h"

namespace {

Position makeText(const Position& p, const char* text) {
    Position child{};
    EXPECT_EQ(algMake(p, child, text), 1) << text;
    return child;
}

TEST(Make, DoubleStepWithoutAndWithACapturer) {
    Position start = fromFen("");
    Position a = makeText(start, "e2e4");
    EXPECT_EQ(a.ep, 0ULL);
    EXPECT_EQ(a.lastMove, 0x131cU);
    EXPECT_EQ(a.movedKind, PAWN);
    EXPECT_EQ(a.capturedKind, 0);
    EXPECT_EQ(a.ctm, 1);
    EXPECT_EQ(a.prev, &start);
    EXPECT_EQ(a.hashKey, slowHash(a));

    Position withPawn = fromFen("rnbqkbnr/pppppppp/8/8/3p4/8/PPPPPPPP/RNBQKBNR w KQkq -");
    Position b = makeText(withPawn, "e2e4");
    EXPECT_EQ(b.ep, bit(20));  // e3
    EXPECT_EQ(b.hashKey, slowHash(b));
    Position c = makeText(b, "d4e3");  // the en-passant capture itself
    EXPECT_EQ(moveType(c.lastMove), EN_PASSANT);
    EXPECT_EQ(c.capturedKind, 0);
    EXPECT_EQ(c.pcs[WHITE][PAWN] & bit(28), 0ULL);
    EXPECT_EQ(c.pcs[BLACK][PAWN] & bit(20), bit(20));
    EXPECT_EQ(c.ep, 0ULL);
    EXPECT_TRUE(positionIsOk(c));
}

TEST(Make, CastlingMovesTheRook) {
    struct Case {
        const char* fen;
        const char* move;
        int rookFrom, rookTo;
        Bitboard marked;
    };
    const Case cases[] = {
        {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq -", "e1g1", 7, 5, 0xf0ULL},
        {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq -", "e1c1", 0, 3, 0x1dULL},
        {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R b KQkq -", "e8g8", 63, 61, 0xf0ULL << 56},
        {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R b KQkq -", "e8c8", 56, 59, 0x1dULL << 56},
    };
    for (const Case& c : cases) {
        Position p = fromFen(c.fen);
        const int col = sideToMove(p);
        Position q = makeText(p, c.move);
        EXPECT_EQ(moveType(q.lastMove), CASTLE) << c.move;
        EXPECT_EQ(q.pcs[col][ROOK] & (bit(c.rookFrom) | bit(c.rookTo)), bit(c.rookTo)) << c.move;
        EXPECT_EQ(q.movedKind, KING);
        EXPECT_EQ(q.castle & c.marked, c.marked) << c.move;
        EXPECT_EQ(q.hashKey, slowHash(q)) << c.move;
        // Both rights of the side that castled are gone, the other side keeps its own.
        Move list[4];
        EXPECT_EQ(genCastling(q, col, list), 0) << c.move;
        EXPECT_EQ(genCastling(q, col ^ 1, list), 2) << c.move;
    }
}

TEST(Make, KingMoveLosesBothRightsForGood) {
    Position p = fromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    Position a = makeText(p, "e1e2");
    Position b = makeText(a, "e8e7");
    Position c = makeText(b, "e2e1");
    Position d = makeText(c, "e7e8");
    Move list[4];
    EXPECT_EQ(genCastling(d, WHITE, list), 0);
    EXPECT_EQ(genCastling(d, BLACK, list), 0);
    EXPECT_EQ(d.hashKey, slowHash(d));
}

TEST(Make, RookTakenOnItsCorner) {
    Position p = fromFen("r3k1nr/8/8/8/8/8/8/R3K2R w KQkq -");
    p.stage = 4;
    Position q = makeText(p, "h1h8");
    EXPECT_EQ(q.capturedKind, ROOK);
    EXPECT_EQ(q.stage, 2);
    EXPECT_NE(q.castle & bit(63), 0ULL);
    Move list[4];
    EXPECT_EQ(listText(list, genCastling(q, BLACK, list)), "e8c8");
    EXPECT_EQ(q.hashKey, slowHash(q));

    // A rook taken on h1 stops white's king-side castling even when another
    // rook arrives there later; the queen side is untouched.
    Position r = fromFen("4k3/8/8/8/8/8/1R5r/R3K2R b KQ -");
    Position g[8];
    const char* line[7] = {"h2h1", "b2h2", "h1g1", "h2h3", "g1g8", "h3h1", "g8g7"};
    g[0] = r;
    for (int i = 0; i < 7; ++i) ASSERT_EQ(algMake(g[i], g[i + 1], line[i]), 1) << line[i];
    EXPECT_EQ(g[7].pcs[WHITE][ROOK], bit(0) | bit(7));
    EXPECT_EQ(listText(list, genCastling(g[7], WHITE, list)), "e1c1");
}

TEST(Make, Promotions) {
    struct Case {
        const char* fen;
        const char* move;
        int kind, captured, stageChange;
    };
    const Case cases[] = {
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "E7E8N", KNIGHT, 0, 0},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e7e8q", QUEEN, 0, 6},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e7e8r", ROOK, 0, 2},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e7e8b", BISHOP, 0, 1},
        {"3r1k2/4P3/8/8/8/8/8/4K3 w - -", "e7d8q", QUEEN, ROOK, 4},
        {"4k3/8/8/8/8/8/1p6/R3K3 b - -", "b2a1n", KNIGHT, ROOK, -2},
    };
    for (const Case& c : cases) {
        Position p = fromFen(c.fen);
        p.stage = 10;
        const int col = sideToMove(p);
        Position q = makeText(p, c.move);
        const int to = moveTo(q.lastMove);
        EXPECT_EQ(q.pcs[col][c.kind] & bit(to), bit(to)) << c.move;
        EXPECT_EQ(q.pcs[col][PAWN] & bit(to), 0ULL) << c.move;
        EXPECT_EQ(q.movedKind, PAWN) << c.move;
        EXPECT_EQ(q.capturedKind, c.captured) << c.move;
        EXPECT_EQ(q.stage, 10 + c.stageChange) << c.move;
        EXPECT_EQ(q.hashKey, slowHash(q)) << c.move;
        EXPECT_EQ(q.pawnKey, slowPsHash(q)) << c.move;
    }
    // The queen gives check from e8; algMake records it for the side to move.
    EXPECT_EQ(makeText(fromFen("3k4/4P3/8/8/8/8/8/4K3 w - -"), "e7e8q").inCheck, 1);
    EXPECT_EQ(makeText(fromFen("3k4/4P3/8/8/8/8/8/4K3 w - -"), "e7e8n").inCheck, 0);
}

TEST(Make, NullMove) {
    Position p = fromFen("rnbqkbnr/ppp1pppp/8/8/2Pp4/8/PP1PPPPP/RNBQKBNR b KQkq c3");
    ASSERT_NE(p.ep, 0ULL);
    p.inCheck = 1;
    Position q;
    EXPECT_EQ(make(p, q, 0), 1);
    EXPECT_EQ(q.ctm, p.ctm + 1);
    EXPECT_EQ(q.ep, 0ULL);
    EXPECT_EQ(q.inCheck, 0);
    EXPECT_EQ(q.movedKind, 0);
    EXPECT_EQ(q.capturedKind, 0);
    EXPECT_EQ(q.lastMove, 0U);
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < 7; ++k) EXPECT_EQ(q.pcs[c][k], p.pcs[c][k]);
    EXPECT_EQ(q.hashKey, slowHash(q));
}

TEST(Make, ErrorPathsKeepARecord) {
    Position p = fromFen("4k3/8/8/8/8/8/8/4K3 w - -");
    Position q;
    const uint64_t before = nodecount;
    EXPECT_EQ(make(p, q, makeMove(20, 28)), 1);  // nothing on e3
    EXPECT_EQ(nodecount, before + 1);
    EXPECT_EQ(q.ctm, 1);
    EXPECT_EQ(q.hashKey, slowHash(q));
    EXPECT_EQ(q.pcs[WHITE][ALL], p.pcs[WHITE][ALL]);

    Position r = fromFen("4k3/4R3/8/8/8/8/8/4K3 w - -");  // black king left en prise
    Position s;
    make(r, s, makeMove(52, 60));
    EXPECT_EQ(s.capturedKind, KING);
    EXPECT_EQ(s.pcs[BLACK][KING], 0ULL);
}

TEST(Make, PreTestMoveForCheck) {
    struct Case {
        const char* fen;
        Move m;
        int want;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/8/3N4/4K3 w - -", makeMove(11, 28), 0},
        {"4k3/8/8/8/8/8/3N4/4K3 w - -", makeMove(4, 5), 1},             // king move
        {"4k3/8/8/8/8/8/3N4/4K3 w - -", CASTLE_WK, 1},                  // type 3
        {"4k3/8/8/8/8/8/3P4/4K3 w - -", makeMove(11, 19, PROMO_R), 1},  // bit 13 set
        {"4k3/8/8/8/8/8/3P4/4K3 w - -", makeMove(11, 19, PROMO_Q), 0},
        {"4k3/8/8/8/8/8/3N3q/4K3 w - -", makeMove(11, 28), 1},          // queen on d2's rank
        {"4k3/8/8/8/8/8/3N4/4K1b1 w - -", makeMove(11, 28), 0},         // bishop g1 not on d2's lines
        {"4k3/8/8/8/8/8/3N4/2b1K3 w - -", makeMove(11, 28), 1},         // bishop c1 on d2's diagonal
    };
    for (const Case& c : cases) EXPECT_EQ(preTestMoveForCheck(fromFen(c.fen), c.m), c.want) << c.fen;
}

int32_t stageOf(const Position& p) {
    int32_t s = 0;
    for (int c = 0; c < 2; ++c)
        s += popCount(p.pcs[c][BISHOP]) + 2 * popCount(p.pcs[c][ROOK]) + 6 * popCount(p.pcs[c][QUEEN]);
    return s;
}

ScorePair pstOf(const Position& p) {
    ScorePair s = 0;
    for (int c = 0; c < 2; ++c)
        for (int k = PAWN; k <= KING; ++k)
            for (Bitboard b = p.pcs[c][k]; b; b &= b - 1) s = spAdd(s, pst[zobIndex(c, k, nextBit(b))]);
    return s;
}

// With random piece-square values the running sum and the stage count must
// follow every kind of move exactly.
TEST(Make, PieceSquareSumAndStageFollowEveryMove) {
    ScorePair saved[1024];
    std::copy(pst, pst + 1024, saved);
    std::mt19937 rng(7);
    for (auto& v : pst) v = scorePair(int32_t(rng() % 20001) - 10000, int32_t(rng() % 20001) - 10000);
    for (const PerftCase& c : loadPerftSuite()) {
        Position root = fromFen(c.fen);
        root.pstScore = pstOf(root);
        root.stage = stageOf(root);
        walkTree(root, 2, [&](const Position&, const Position& child, Move m) {
            ASSERT_EQ(child.pstScore, pstOf(child)) << c.fen << " " << moveText(m);
            ASSERT_EQ(child.stage, stageOf(child)) << c.fen << " " << moveText(m);
        });
    }
    std::copy(saved, saved + 1024, pst);
}

}  // namespace
