// Move generators: the exact orders, the legality screen, castling rules, and
// cross-checks between the generators over many positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "board_support.h"

namespace {

struct OrderCase {
    const char* what;
    const char* fen;
    int (*gen)(const Position&, Move*);
    const char* want;
};

TEST(Generators, ExactOrders) {
    const OrderCase cases[] = {
        {"start position", "", genAll,
         "a2a3 b2b3 c2c3 d2d3 e2e3 f2f3 g2g3 h2h3 b1a3 b1c3 g1f3 g1h3 a2a4 b2b4 c2c4 d2d4 e2e4 f2f4 g2g4 h2h4"},
        {"promotions, then promotion captures, then the king", "r3k3/1P6/8/8/8/8/8/4K3 w - -", genAll,
         "b7b8q b7b8n b7b8r b7b8b b7a8q b7a8n b7a8r b7a8b e1d1 e1f1 e1d2 e1e2 e1f2"},
        {"queen promotions only among captures", "r3k3/1P6/8/8/8/8/8/4K3 w - -", genCaps, "b7a8q b7b8q"},
        {"black pawn captures toward the a-file first", "4k3/8/8/3p1p2/2P1P1P1/8/8/4K3 b - -", genCaps,
         "d5c4 f5e4 d5e4 f5g4"},
        {"castling follows the push promotions", "r3k2r/6P1/8/8/8/8/8/R3K2R w KQkq -", genAll,
         "g7g8q g7g8n g7g8r g7g8b e1g1 e1c1 g7h8q g7h8n g7h8r g7h8b a1a2 a1a3 a1a4 a1a5 a1a6 a1a7 a1a8 "
         "a1b1 a1c1 a1d1 h1h2 h1h3 h1h4 h1h5 h1h6 h1h7 h1h8 h1f1 h1g1 e1d1 e1f1 e1d2 e1e2 e1f2"},
        {"queen captures split between diagonal and straight", "3rk3/8/8/8/1b6/8/3Q4/3RK3 w - -", genCaps,
         "d2b4 d2d8"},
        {"evasions from a knight check", "4k3/8/8/8/8/5n2/4P3/4K2B w - -", genOut,
         "e1d1 e1f1 e1d2 e1f2 e2f3 h1f3"},
        {"evasions from a rook two squares away", "4k3/8/8/8/8/3B3N/8/4K1r1 w - -", genOut,
         "e1d1 e1f1 e1d2 e1e2 e1f2 h3g1 d3f1"},
        {"an adjacent checking rook is taken twice", "4k3/8/8/8/8/8/8/4Kr2 w - -", genOut,
         "e1d1 e1f1 e1d2 e1e2 e1f2 e1f1"},
        {"pawn check answered en passant", "8/8/8/4k3/3Pp3/8/8/4K3 b - d3", genOut,
         "e5d4 e5f4 e5d5 e5f5 e5d6 e5e6 e5f6 e5d4 e4d3"},
        {"interposition by promotion", "r6K/4P3/8/8/8/8/8/k7 w - -", genOut, "h8g7 h8h7 h8g8 e7e8q"},
        {"interposition by push, double push and knight", "4k3/8/8/8/K6r/4P3/2P2N2/8 w - -", genOut,
         "a4a3 a4b3 a4b4 a4a5 a4b5 e3e4 c2c4 f2e4 f2g4"},
        {"candidate checks: knight unmasking a rook, rook along the file", "4k3/8/8/8/4N3/8/8/4R1K1 w - -",
         genCapsChecks, "e4d2 e4f2 e4c3 e4g3 e4c5 e4g5 e4d6 e4f6 e1e2 e1e3"},
        {"candidate checks: pawn pushes", "8/8/8/4k3/8/5P2/P2P4/4K3 w - -", genCapsChecks, "f3f4 d2d4"},
        {"candidate checks: quiet knight moves onto check squares only", "4k3/8/8/8/4N3/8/8/4K3 w - -",
         genCapsChecks, "e4d6 e4f6"},
    };
    for (const OrderCase& c : cases) EXPECT_EQ(genText(c.fen, c.gen), c.want) << c.what;
}

TEST(Generators, MoveTypes) {
    struct Case {
        const char* fen;
        int (*gen)(const Position&, Move*);
        const char* want;
    };
    const Case cases[] = {
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", genCaps, "e5d6/2"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", genCapsChecks, "e5d6/2"},
        {"4k3/8/8/8/8/8/4P3/4K3 w - -", [](const Position& p, Move* l) { return genPawn2(p, WHITE, l); }, "e2e4/1"},
        {"8/8/8/4k3/8/5P2/P2P4/4K3 w - -", genCapsChecks, "f3f4/0 d2d4/1"},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", [](const Position& p, Move* l) { return genCastling(p, WHITE, l); },
         "e1g1/3 e1c1/3"},
    };
    for (const Case& c : cases) EXPECT_EQ(genText(c.fen, c.gen, true), c.want) << c.fen;
}

TEST(Generators, SingleKindFamilies) {
    const char* fen = "4k3/1P6/8/8/3Q4/2n5/PB4P1/R3K1N1 w Q -";
    auto w = [](int (*g)(const Position&, int, Move*)) {
        return [g](const Position& p, Move* l) { return g(p, WHITE, l); };
    };
    EXPECT_EQ(genText(fen, w(genPromo)), "b7b8q b7b8n b7b8r b7b8b");
    EXPECT_EQ(genText(fen, w(genPawn1)), "a2a3 g2g3");
    EXPECT_EQ(genText(fen, w(genPawn2)), "a2a4 g2g4");
    EXPECT_EQ(genText(fen, w(genKnightsNc)), "g1e2 g1f3 g1h3");
    EXPECT_EQ(genText(fen, w(genKnights)), "g1e2 g1f3 g1h3");
    EXPECT_EQ(genText(fen, w(genBishopsNc)), "b2c1 b2a3");
    EXPECT_EQ(genText(fen, w(genBishops)), "b2c3 b2c1 b2a3");
    EXPECT_EQ(genText(fen, w(genRooksNc)), "a1b1 a1c1 a1d1");
    EXPECT_EQ(genText(fen, w(genKingsNc)), "e1d1 e1f1 e1d2 e1e2 e1f2");
    EXPECT_EQ(genText(fen, w(genQueens)).substr(0, 14), "d4c3 d4e5 d4f6");
    EXPECT_EQ(genText(fen, w(genPawnCaptures)), "");
}

TEST(Generators, CapturesOfAndMovesToMask) {
    Position p = fromFen("4k3/8/8/3p4/2P1N3/8/8/2BRK3 w - -");
    Move list[MAX_MOVES];
    // d5 is hit by the c4 pawn and the d1 rook; the e4 knight does not reach it.
    int n = genCapturesOf(p, list, 35);
    EXPECT_EQ(listText(list, n), "c4d5 d1d5");
    n = genMovesToMask(p, list, bit(20) | bit(19) | bit(34));  // e3, d3 and c5
    EXPECT_EQ(listText(list, n), "c4c5 e4c5 c1e3 d1d3");
}

TEST(Legality, Pslegal) {
    struct Case {
        const char* fen;
        Move m;
        int want;
    };
    const char* start = "";
    const Case cases[] = {
        {start, makeMove(12, 28, DOUBLE_STEP), 1},
        {start, makeMove(12, 28), 0},               // a double step must carry its type
        {start, makeMove(12, 20), 1},
        {start, makeMove(12, 36), 0},
        {start, makeMove(6, 21), 1},
        {start, makeMove(6, 21, DOUBLE_STEP), 0},   // knight with the double-step type
        {start, makeMove(5, 26), 0},                // bishop blocked by its own pawn
        {start, makeMove(4, 12), 0},                // own piece on the target
        {start, makeMove(52, 36, DOUBLE_STEP), 0},  // black's move with white to move
        {start, 0, 0},
        {start, CASTLE_WK, 0},
        {start, makeMove(6, 21) | 0x50000, 1},      // ordering bits above 16 are ignored
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", makeMove(36, 43, EN_PASSANT), 0},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", makeMove(36, 43), 0},
        {"4k3/8/8/8/8/8/3r4/4K3 w - -", makeMove(4, 12), 1},  // king into check passes
        {"4k3/8/8/8/8/8/3r4/4K3 w - -", makeMove(4, 11), 1},
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - -", makeMove(28, 35), 1},
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - -", makeMove(28, 37), 0},
        {"4k3/8/8/8/8/4n3/4P3/4K3 w - -", makeMove(12, 28, DOUBLE_STEP), 0},
        {"4k3/8/8/8/8/4n3/4P3/4K3 w - -", makeMove(12, 20), 0},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", CASTLE_WK, 1},
        {"4k3/8/8/8/8/8/8/R3K2R w Q -", CASTLE_WK, 0},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", makeMove(0, 56), 1},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", makeMove(0, 5), 0},  // the king is in the way
        {"4k3/8/8/8/8/8/8/4K2Q w - -", makeMove(7, 63), 1},
        {"4k3/8/8/8/8/8/8/4K2Q w - -", makeMove(7, 61), 0},
    };
    for (const Case& c : cases) {
        Position p = fromFen(c.fen);
        EXPECT_EQ(pslegal(p, c.m), c.want) << c.fen << " " << moveText(c.m & 0xffff) << " " << std::hex << c.m;
    }
}

TEST(Legality, PslegalAcceptsEveryGeneratedNonEnPassantMove) {
    for (const PerftCase& c : loadPerftSuite()) {
        walkTree(fromFen(c.fen), 2, [&](const Position&, const Position& child, Move) {
            Move list[MAX_MOVES];
            const int n = genAll(child, list);
            for (int i = 0; i < n; ++i)
                if (moveType(list[i]) != EN_PASSANT) { ASSERT_EQ(pslegal(child, list[i]), 1) << moveText(list[i]); }
        });
    }
}

TEST(Castling, Rules) {
    struct Case {
        const char* fen;
        int col;
        const char* want;
    };
    const Case cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", WHITE, "e1g1 e1c1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", BLACK, "e8g8 e8c8"},
        {"r3k2r/8/8/8/8/8/4r3/R3K2R w KQkq -", WHITE, ""},        // in check
        {"r3k2r/8/8/8/8/8/8/R3K2R w Q -", WHITE, "e1c1"},          // queen side only
        {"r3kr2/8/8/8/8/8/8/R3K2R w KQ -", WHITE, "e1c1"},         // f1 attacked
        {"1r2k3/8/8/8/8/8/8/R3K2R w KQ -", WHITE, "e1g1 e1c1"},    // b1 may be attacked
        {"2r1k3/8/8/8/8/8/8/R3K2R w KQ -", WHITE, "e1g1"},         // c1 may not
        {"r3k2r/8/8/8/8/8/8/R3K1NR w KQ -", WHITE, "e1c1"},        // g1 occupied
        {"r3k2r/8/8/8/8/8/8/RN2K2R w KQ -", WHITE, "e1g1"},        // b1 occupied
        {"r3k2r/8/8/8/8/8/8/R3K2R w - -", WHITE, ""},
        {"r3k2r/8/8/8/8/8/8/R3K2R b kq -", BLACK, "e8g8 e8c8"},
        {"r3k2r/8/8/8/8/8/8/R3K1R1 b kq -", BLACK, "e8c8"},       // g8 attacked
        {"r3k2r/8/8/8/8/8/8/R3K2R b q -", BLACK, "e8c8"},
    };
    for (const Case& c : cases) {
        Position p = fromFen(c.fen);
        Move list[4];
        int n = genCastling(p, c.col, list);
        EXPECT_EQ(listText(list, n), c.want) << c.fen;
    }
}

TEST(Attacks, StartPositionBoards) {
    Position p = fromFen("");
    EXPECT_EQ(getAttBoard(p, WHITE), 0xffdf56ULL);
    EXPECT_EQ(getAttBoard(p, BLACK), 0x56dfff0000000000ULL);
    EXPECT_EQ(fastInCheck(p, WHITE), 0);
    EXPECT_EQ(fasterInCheck(p, BLACK), 0);
    EXPECT_EQ(slowAttacked(p, 20, BLACK), 1);  // e3 is attacked by white
    EXPECT_EQ(slowAttacked(p, 28, BLACK), 0);  // e4 is not
}

TEST(Attacks, CheckTestsByAttacker) {
    struct Case {
        const char* fen;
        int white, black;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/5n2/8/4K3 w - -", 1, 0},   // knight
        {"4k3/8/8/8/8/8/3p4/4K3 w - -", 1, 0},   // pawn
        {"4k3/8/8/8/8/8/5p2/4K3 w - -", 1, 0},
        {"4k3/8/8/8/8/8/4p3/4K3 w - -", 0, 0},   // a pawn in front does not attack
        {"4k3/8/8/b7/8/8/8/4K3 w - -", 1, 0},    // bishop
        {"4k3/8/8/b7/8/2P5/8/4K3 w - -", 0, 0},  // bishop blocked
        {"4k3/8/8/8/4q3/8/8/4K3 w - -", 1, 0},   // queen on the file
        {"4k3/8/8/8/8/8/8/r3K3 w - -", 1, 0},    // rook on the rank
        {"4k3/8/8/8/8/8/8/rN2K3 w - -", 0, 0},
        {"8/8/8/8/8/8/3k4/4K3 w - -", 1, 1},     // kings side by side
        {"4k3/3P4/8/8/8/8/8/4K3 b - -", 0, 1},   // white pawn gives check
        {"4k3/4P3/8/8/8/8/8/4K3 b - -", 0, 0},
        {"4k3/8/8/8/B7/8/8/4K3 b - -", 0, 1},
        {"4k3/8/5N2/8/8/8/8/4K3 b - -", 0, 1},
    };
    for (const Case& c : cases) {
        Position p = fromFen(c.fen);
        EXPECT_EQ(fasterInCheck(p, WHITE), c.white) << c.fen;
        EXPECT_EQ(fasterInCheck(p, BLACK), c.black) << c.fen;
        EXPECT_EQ(fastInCheck(p, WHITE), c.white) << c.fen;
        EXPECT_EQ(fastInCheck(p, BLACK), c.black) << c.fen;
        EXPECT_EQ(slowInCheck(p, WHITE), c.white) << c.fen;
        EXPECT_EQ(slowInCheck(p, BLACK), c.black) << c.fen;
    }
}

TEST(Attacks, StaticThreats) {
    struct Case {
        const char* fen;
        int col, want;
    };
    const Case cases[] = {
        {"", WHITE, 0},
        {"4k3/8/8/8/8/8/p7/4K3 w - -", WHITE, 8532},        // black pawn on its 7th
        {"4k3/8/8/8/8/2p5/1Q6/4K3 w - -", WHITE, 6082},     // queen hit by a pawn
        {"4k3/8/8/8/8/8/1Q5r/4K3 w - -", WHITE, 4422},      // queen hit by a rook
        {"4k3/8/8/8/8/8/1Q3q2/4K3 w - -", WHITE, 0},        // queen against queen counts for nothing
        {"4k3/8/8/8/2n5/8/1R6/4K3 w - -", WHITE, 4110},     // rook hit by a knight, unguarded
        {"4k3/8/8/8/2n5/8/1R6/2P1K3 w - -", WHITE, 3110},   // the c1 pawn guards b2
        {"4k3/8/8/8/2n5/8/1R6/B3K3 w - -", WHITE, 4110},
        {"4k3/8/8/8/2n5/P7/1R6/4K3 w - -", WHITE, 4110},    // a3 pawn is in front, no guard
        {"4k3/8/8/8/3n4/8/2R5/1P2K3 w - -", WHITE, 3110},   // guarded rook hit by a knight
        {"4k3/8/8/8/8/p7/1B6/4K3 w - -", WHITE, 2450},      // bishop hit by a pawn
        {"4k3/8/8/8/8/8/1B5r/4K3 w - -", WHITE, 1450},      // unguarded bishop on a rook's rank
        {"4k3/8/8/8/8/8/1B5r/2P1K3 w - -", WHITE, 0},       // guarded bishop on a rook's rank
        {"4k3/8/8/8/8/8/1N5r/4K3 w - -", WHITE, 2450},      // unguarded knight on a rook's rank
        {"4k3/8/8/8/8/3b4/2N5/1P2K3 w - -", WHITE, 1450},   // guarded knight hit by a bishop
        {"4k3/8/8/8/8/1n6/P7/4K3 w - -", WHITE, 0},         // the b3 knight misses a2
        {"4k3/8/8/8/8/8/P7/1n2K3 w - -", WHITE, 0},
        {"4k3/8/8/8/1n6/8/P7/4K3 w - -", WHITE, 500},       // loose pawn hit by a knight
        {"4k3/8/8/8/1n6/8/P7/1P2K3 w - -", WHITE, 0},       // a2 guarded by b1
        {"4k3/8/8/8/1n6/8/P7/4K3 b - -", BLACK, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(staticAttacked(fromFen(c.fen), c.col), c.want) << c.fen;
}

// Over the suite's trees: the capture generators emit exactly the captures of
// genAll (queen promotions only), evasions cover every legal reply to a check,
// candidate checks hold every direct check, and no generator repeats a word
// except the one documented evasion case.
TEST(Generators, CrossChecksOverPerftTrees) {
    uint64_t checked = 0;
    for (const PerftCase& c : loadPerftSuite()) {
        walkTree(fromFen(c.fen), 2, [&](const Position&, const Position& p, Move) {
            ++checked;
            const int col = sideToMove(p), o = col ^ 1;
            Move all[MAX_MOVES], caps[MAX_MOVES], cc[MAX_MOVES], out[MAX_MOVES];
            const int nAll = genAll(p, all), nCaps = genCaps(p, caps), nCc = genCapsChecks(p, cc);
            std::multiset<Move> allSet(all, all + nAll), capsSet(caps, caps + nCaps), ccSet(cc, cc + nCc);
            ASSERT_EQ(allSet.size(), std::set<Move>(all, all + nAll).size()) << "genAll repeats a move";
            ASSERT_EQ(ccSet.size(), std::set<Move>(cc, cc + nCc).size()) << "genCapsChecks repeats a move";
            std::multiset<Move> wantCaps;
            for (Move m : allSet) {
                const int t = moveType(m);
                const bool capture = (p.pcs[o][ALL] & bit(moveTo(m))) || t == EN_PASSANT;
                if ((capture && (t == NORMAL || t == EN_PASSANT || t == PROMO_Q)) || (!capture && t == PROMO_Q))
                    wantCaps.insert(m);
            }
            ASSERT_EQ(capsSet, wantCaps);
            for (Move m : capsSet) ASSERT_EQ(ccSet.count(m), 1U) << "capture missing from genCapsChecks";
            for (Move m : ccSet) ASSERT_EQ(allSet.count(m), 1U) << "genCapsChecks invented " << moveText(m);

            // Direct checks: the moved piece itself attacks the king from its target.
            const int k = kingSquare(p, o);
            for (Move m : allSet) {
                const int t = moveType(m);
                if (t == CASTLE || t == PROMO_N || t == PROMO_R || t == PROMO_B) continue;
                Position ch;
                make(p, ch, m);
                if (fasterInCheck(ch, col)) continue;
                const int kind = t == PROMO_Q ? QUEEN : ch.movedKind, to = moveTo(m);
                const Bitboard occ = occupied(ch);
                bool direct = false;
                if (kind == KNIGHT) direct = nATT[to] & bit(k);
                if (kind == PAWN)
                    direct = (col == WHITE ? ((bit(to) << 7) & NOT_FILE_H) | ((bit(to) << 9) & NOT_FILE_A)
                                           : ((bit(to) >> 9) & NOT_FILE_H) | ((bit(to) >> 7) & NOT_FILE_A)) &
                             bit(k);
                if (kind == BISHOP || kind == QUEEN) direct |= (superD[to] & bit(k)) && !(bet[to][k] & occ);
                if (kind == ROOK || kind == QUEEN) direct |= (superO[to] & bit(k)) && !(bet[to][k] & occ);
                if (direct) { ASSERT_EQ(ccSet.count(m), 1U) << "check " << moveText(m) << " missing"; }
            }

            if (!fasterInCheck(p, col)) return;
            const int nOut = genOut(p, out);
            std::set<Move> outSet(out, out + nOut);
            for (Move m : allSet) {
                if (moveType(m) >= PROMO_N) continue;  // evasions promote to a queen only
                Position ch;
                make(p, ch, m);
                if (!fasterInCheck(ch, col)) {
                    char fen[128];
                    positionToFen(p, fen);
                    ASSERT_EQ(outSet.count(m), 1U) << "evasion " << moveText(m) << " missing in " << fen;
                }
            }
        });
    }
    EXPECT_GT(checked, 10000U);
}

}  // namespace
