// Move generators: the legality screen, and a fingerprint of every list over
// the perft trees (castling past attacked squares and double steps: the perft edges).

#include "board_support.h"

using Gen = int (*)(const Position&, Move*);

TEST(Legality, Pslegal) {
    const std::tuple<const char*, Move, int> cases[] = {
        {"", makeMove(12, 28, DOUBLE_STEP), 1}, {"", makeMove(12, 28), 0},  // a double step needs its type
        {"", makeMove(12, 20), 1},              {"", makeMove(6, 21, DOUBLE_STEP), 0},
        {"", makeMove(5, 26), 0},               {"", makeMove(4, 12), 0},
        {"", makeMove(52, 36, DOUBLE_STEP), 0}, {"", 0, 0},
        {"", CASTLE_WK, 0},                     {"", makeMove(6, 21) | 0x50000, 1},  // ordering bits ignored
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", makeMove(36, 43, EN_PASSANT), 0},
        {"4k3/8/8/8/8/8/3r4/4K3 w - -", makeMove(4, 12), 1},  // a king move into check passes
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - -", makeMove(28, 35), 1}, {"4k3/8/8/3p4/4P3/8/8/4K3 w - -", makeMove(28, 37), 0},
        {"4k3/8/8/8/8/4n3/4P3/4K3 w - -", makeMove(12, 28, DOUBLE_STEP), 0},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", CASTLE_WK, 1}, {"4k3/8/8/8/8/8/8/R3K2R w Q -", CASTLE_WK, 0},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", makeMove(0, 5), 0},  // the king is in the way
    };
    for (const auto& [fen, m, want] : cases) EXPECT_EQ(pslegal(fromFen(fen), m), want) << fen << " " << std::hex << m;
}

// Every generator's list at every node of the suite's two-ply trees, folded in
// order into one number: a change to any move or its place moves it.
TEST(Generators, FingerprintOverPerftTrees) {
    Fingerprint fp;
    walkSuiteTrees([&](const Position&, const Position& p, Move) {
        Move list[MAX_MOVES];
        for (Gen g : {genAll, genCaps, genCapsChecks, genOut}) {
            const int n = g == genOut && !fasterInCheck(p, sideToMove(p)) ? 0 : g(p, list);
            for (int i = 0; i < n; ++i) fp(list[i]);
            fp(uint64_t(n));
        }
    });
    EXPECT_EQ(std::pair(fp.value, fp.count), std::pair(uint64_t(2860307625095682866u), uint64_t(687377 + 15957 * 4)));
}

// A king step is a candidate check only from files b-g, ranks 2-7: in a corner
// the list holds no quiet king move, even with a slider aimed at the enemy king.
TEST(Generators, NoQuietKingStepFromACorner) {
    for (const auto& [fen, want] : {std::pair{"7k/6p1/8/8/8/2B5/8/K7 w - -", "c3b2 c3d4 c3e5 c3f6 c3g7"},
                                    {"7k/8/5b2/8/8/8/1P6/K7 b - -", "f6b2 f6c3 f6d4 f6e5 f6g7"}}) {
        Move list[MAX_MOVES];
        EXPECT_EQ(listText(list, genCapsChecks(fromFen(fen), list)), want) << fen;
    }
}
