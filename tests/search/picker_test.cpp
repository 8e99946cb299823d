// The staged picker: its exact orders on a busy position, and the rules'
// corner cases. That the evasion row keeps exactly the legal moves is
// testOutGen's check, run over the perft trees by the self-test tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "../board/board_support.h"
#include "search/picker.h"
#include "support.h"

namespace {

using Moves = std::vector<Move>;

Moves gen(const Position& p, int (*g)(const Position&, Move*)) {
    Moves ms(MAX_MOVES);
    ms.resize(g(p, ms.data()));
    return ms;
}

Moves drain(const Position& p, int row, Move h = 0, Move k1 = 0, Move k2 = 0, GenContext* keep = nullptr) {
    GenContext g;
    initGenContext(p, g, row, h, k1, k2);
    Moves out;
    for (Move m; (m = nextMove(g));) out.push_back(m);
    if (keep) *keep = g;
    return out;
}

std::string text(const Moves& ms) { return listText(ms.data(), int(ms.size())); }
Moves sorted(Moves ms) { return std::sort(ms.begin(), ms.end()), ms; }

// History counters are globals: every test starts and ends with them empty.
struct Picker : ::testing::Test {
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear() { std::memset(his_s, 0, sizeof his_s), std::memset(his_f, 0, sizeof his_f); }
};

// Hash move, captures by victim then attacker, killers, quiet moves by
// history, losing captures last; rows 1 and 2 stop after the captures (and checks).
TEST_F(Picker, ExactOrders) {
    const char* kiwi = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
    const char* ep = "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3";
    his_s[(0 * 8 + BISHOP) * 64 + 29] = 9, his_f[(0 * 8 + BISHOP) * 64 + 29] = 2;  // a bishop to f4: 2048 * 9 / 12
    his_s[(0 * 8 + ROOK) * 64 + 3] = 5;                                              // a rook to d1: 2048 * 5 / 6
    const struct { const char* fen; int row; const char *h, *k1, *k2, *want; } cases[] = {
        {kiwi, 0, "e1g1", "e5f7", "a2a3",
         "e1g1 e2a6 g2h3 d5e6 e5f7 a2a3 a1d1 d2f4 e1c1 b2b3 g2g3 d5d6 c3b1 c3d1 c3a4 c3b5 e5d3 e5c4 e5g4 e5c6 d2c1 d2e3 "
         "d2g5 d2h6 e2d1 e2f1 e2d3 e2c4 e2b5 a1b1 a1c1 h1f1 h1g1 f3g4 f3h5 f3f4 f3f5 f3d3 f3e3 f3g3 e1d1 e1f1 a2a4 g2g4 "
         "f3f6 e5g6 e5d7 f3h3"},
        {kiwi, 1, "e5d7", "", "", "e5d7 e2a6 g2h3 d5e6 f3e3 e2b5"},  // a losing capture only as the hash move
        {kiwi, 2, "a2a4", "", "", "a2a4 e2a6 g2h3 d5e6"},
        {ep, 0, "c4d3", "b6a5", "", "c4d3 c5d4 b6a5 c4c3 c5a3 c5b4 c5d6 c5e7 c5f8 b6b5 b6a6 b6c6 b6a7 b6b7 b6c7"},
        {ep, 2, "", "", "", "c4d3 c5d4"},
    };
    for (const auto& c : cases) {
        auto move = [&](const char* t) { return *t ? playLine({t}, c.fen)[1].lastMove : Move(0); };
        EXPECT_EQ(text(drain(fromFen(c.fen), c.row, move(c.h), move(c.k1), move(c.k2))), c.want) << c.fen << " " << c.row;
    }
}

// Every row's order at every node of the suite's two-ply trees, with the
// first move as hash move and the last two as killers and history drawn at
// random, folded into one number: a change to any rule moves it.
TEST_F(Picker, FingerprintOverPerftTrees) {
    std::mt19937 rng(7);
    for (int i = 0; i < 1024; ++i) his_s[i] = rng() % 4, his_f[i] = rng() % 4;  // many equal keys
    uint64_t fingerprint = 0, moves = 0;
    for (const auto& c : loadPerftSuite())
        walkTree(fromFen(c.fen), 2, [&](const Position&, const Position& child, Move) {
            Position p = child;
            p.inCheck = fasterInCheck(p, sideToMove(p));
            const Moves all = gen(p, genAll);
            const Move h = all.empty() ? 0 : all[0], k1 = all.size() < 2 ? 0 : all.back(), k2 = all.size() < 3 ? 0 : all[all.size() - 2];
            for (int row = 0; row < (p.inCheck ? 4 : 3); ++row)
                for (Move m : drain(p, row, h, k1, k2)) fingerprint = fingerprint * 1000003 + m, ++moves;
        });
    EXPECT_EQ(std::pair(fingerprint, moves), std::pair(uint64_t(1899224782137378884u), uint64_t(637535)));
}

TEST_F(Picker, CornerCases) {
    Position p = fromFen(START_FEN);
    his_s[(0 * 8 + KNIGHT) * 64 + 21] = uint64_t(1) << 62;  // g1f3 always succeeds
    his_s[(0 * 8 + PAWN) * 64 + 28] = 1;                     // e2e4: 2048 / 2
    EXPECT_EQ(text(drain(p, 0)).substr(0, 20), "g1f3 e2e4 a2a3 b2b3 ");
    clear();
    // Every capture loses: row 0 hands it out last, rows 1 and 2 never.
    p = fromFen("4k3/8/2p5/3p4/8/8/8/3QK3 w - -");
    Moves checks = drain(p, 1);
    EXPECT_EQ(drain(p, 0).back(), makeMove(3, 35));
    EXPECT_TRUE(drain(p, 2).empty());
    EXPECT_FALSE(checks.empty() || std::count(checks.begin(), checks.end(), makeMove(3, 35)));
    // In check: the hash move leads, the adjacent checker is taken twice, the
    // killers order the quiet evasions, and steps along the rook's line come last.
    p = fromFen("4k3/8/8/8/8/8/4r3/4K3 w - -");
    EXPECT_EQ(text(drain(p, 3, makeMove(4, 3))), "e1d1 e1e2 e1e2 e1f1 e1d2 e1f2");
    EXPECT_EQ(text(drain(p, 3, 0, makeMove(4, 5), makeMove(4, 3))), "e1e2 e1e2 e1f1 e1d1 e1d2 e1f2");
    // More than 32 losing captures are all kept, and the quiet moves still come.
    p = fromFen("4k3/pppppppp/pppppppp/QQQQQQQQ/NNNNNNNN/8/8/4K3 w - -");
    GenContext g;
    Moves got = drain(p, 0, 0, 0, 0, &g);
    EXPECT_GT(g.postponed, 32);
    EXPECT_EQ(sorted(got), sorted(gen(p, genAll)));
}

}  // namespace
