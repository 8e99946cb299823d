// Move generators: exact orders, the legality screen, and a fingerprint of every
// list over the perft trees (castling past attacked squares: the perft edges).
#include <gtest/gtest.h>

#include <tuple>

#include "board_support.h"

namespace {

using Gen = int (*)(const Position&, Move*);

std::string gen(const char* fen, Gen g, bool withType = false) {
    Position p = fromFen(fen);
    Move list[MAX_MOVES];
    return listText(list, g(p, list), withType);
}

TEST(Generators, ExactOrders) {
    const Gen castleW = [](const Position& p, Move* l) { return genCastling(p, WHITE, l); };
    const Gen pawn2W = [](const Position& p, Move* l) { return genPawn2(p, WHITE, l); };
    const Gen capsOfD5 = [](const Position& p, Move* l) { return genCapturesOf(p, l, 35); };
    const Gen toMask = [](const Position& p, Move* l) { return genMovesToMask(p, l, bit(19) | bit(20) | bit(34)); };
    const std::tuple<const char*, Gen, const char*> cases[] = {
        {"", genAll,
         "a2a3 b2b3 c2c3 d2d3 e2e3 f2f3 g2g3 h2h3 b1a3 b1c3 g1f3 g1h3 a2a4 b2b4 c2c4 d2d4 e2e4 f2f4 g2g4 h2h4"},
        {"r3k3/1P6/8/8/8/8/8/4K3 w - -", genCaps, "b7a8q b7b8q"},
        {"4k3/8/8/3p1p2/2P1P1P1/8/8/4K3 b - -", genCaps, "d5c4 f5e4 d5e4 f5g4"},  // toward the a-file first
        {"3rk3/8/8/8/1b6/8/3Q4/3RK3 w - -", genCaps, "d2b4 d2d8"},  // queen with the bishops, then the rooks
        {"4k3/8/8/8/8/8/8/4Kr2 w - -", genOut, "e1d1 e1f1 e1d2 e1e2 e1f2 e1f1"},  // adjacent rook: twice
        {"8/8/8/4k3/3Pp3/8/8/4K3 b - d3", genOut, "e5d4 e5f4 e5d5 e5f5 e5d6 e5e6 e5f6 e5d4 e4d3"},
        {"4k3/8/8/8/4N3/8/8/4R1K1 w - -", genCapsChecks, "e4d2 e4f2 e4c3 e4g3 e4c5 e4g5 e4d6 e4f6 e1e2 e1e3"},
        {"4k3/8/8/3p4/2P1N3/8/8/2BRK3 w - -", capsOfD5, "c4d5 d1d5"},
        {"4k3/8/8/3p4/2P1N3/8/8/2BRK3 w - -", toMask, "c4c5 e4c5 c1e3 d1d3"},
    };
    for (const auto& [fen, g, want] : cases) EXPECT_EQ(gen(fen, g), want) << fen;
    const std::tuple<const char*, Gen, const char*> typed[] = {
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", genCapsChecks, "e5d6/2"},
        {"8/8/8/4k3/8/5P2/P2P4/4K3 w - -", genCapsChecks, "f3f4/0 d2d4/1"},  // pawn checks, single and double
        {"4k3/8/8/8/8/8/4P3/4K3 w - -", pawn2W, "e2e4/1"},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", castleW, "e1g1/3 e1c1/3"},
    };
    for (const auto& [fen, g, want] : typed) EXPECT_EQ(gen(fen, g, true), want) << fen;
}

TEST(Legality, Pslegal) {
    const std::tuple<const char*, Move, int> cases[] = {
        {"", makeMove(12, 28, DOUBLE_STEP), 1}, {"", makeMove(12, 28), 0},  // a double step needs its type
        {"", makeMove(12, 20), 1},              {"", makeMove(6, 21, DOUBLE_STEP), 0},
        {"", makeMove(5, 26), 0},               {"", makeMove(4, 12), 0},
        {"", makeMove(52, 36, DOUBLE_STEP), 0}, {"", 0, 0},
        {"", CASTLE_WK, 0},                     {"", makeMove(6, 21) | 0x50000, 1},  // ordering bits ignored
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", makeMove(36, 43, EN_PASSANT), 0},
        {"4k3/8/8/8/8/8/3r4/4K3 w - -", makeMove(4, 12), 1},  // a king move into check passes
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - -", makeMove(28, 35), 1},
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - -", makeMove(28, 37), 0},
        {"4k3/8/8/8/8/4n3/4P3/4K3 w - -", makeMove(12, 28, DOUBLE_STEP), 0},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", CASTLE_WK, 1},
        {"4k3/8/8/8/8/8/8/R3K2R w Q -", CASTLE_WK, 0},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", makeMove(0, 5), 0},  // the king is in the way
    };
    for (const auto& [fen, m, want] : cases) EXPECT_EQ(pslegal(fromFen(fen), m), want) << fen << " " << std::hex << m;
}

TEST(Attacks, AttackBoardOfTheStart) {
    Position p = fromFen("");
    EXPECT_EQ(getAttBoard(p, WHITE), 0xffdf56ULL);
    EXPECT_EQ(getAttBoard(p, BLACK), 0x56dfff0000000000ULL);
}

// Every generator's list at every node of the suite's two-ply trees, folded in
// order into one number: a change to any move or its place moves it.
TEST(Generators, FingerprintOverPerftTrees) {
    uint64_t fingerprint = 0, moves = 0;
    for (const PerftCase& c : loadPerftSuite())
        walkTree(fromFen(c.fen), 2, [&](const Position&, const Position& p, Move) {
            Move list[MAX_MOVES];
            for (Gen g : {genAll, genCaps, genCapsChecks, genOut}) {
                const int n = g == genOut && !fasterInCheck(p, sideToMove(p)) ? 0 : g(p, list);
                for (int i = 0; i < n; ++i) fingerprint = fingerprint * 1000003 + list[i], ++moves;
                fingerprint = fingerprint * 1000003 + uint64_t(n);
            }
        });
    EXPECT_EQ(std::pair(fingerprint, moves), std::pair(uint64_t(2860307625095682866u), uint64_t(687377)));
}

}  // namespace
