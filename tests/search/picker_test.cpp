// The staged picker: a fingerprint of its orders over the perft trees, and the
// rules' corner cases. That the evasion row keeps exactly the legal moves is
// testOutGen's check, run over the perft trees by zarv-dev selftest.

#include <algorithm>
#include <random>

#include "../board/board_support.h"
#include "search/picker.h"
#include "search/search.h"

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

// Every row's order at every node of the suite's two-ply trees, with the first
// move as hash move, the last one and the move that led to the node (a stale
// killer, mostly not legal here) as killers and history drawn at random,
// folded into one number: a change to any rule moves it.
TEST(Picker, FingerprintOverPerftTrees) {
    learned = {};  // the history counters the picker reads
    std::mt19937 rng(7);
    for (int i = 0; i < 1024; ++i) learned.his_s[i] = rng() % 4, learned.his_f[i] = rng() % 4;  // many equal keys
    Fingerprint fp;
    walkSuiteTrees([&](const Position&, const Position& child, Move k2) {
        Position p = child;
        p.inCheck = fasterInCheck(p, sideToMove(p));
        const Moves all = gen(p, genAll);
        const Move h = all.empty() ? 0 : all[0], k1 = all.size() < 2 ? 0 : all.back();
        for (int row = 0; row < (p.inCheck ? 4 : 3); ++row)
            for (Move m : drain(p, row, h, k1, k2)) fp(m);
    });
    EXPECT_EQ(std::pair(fp.value, fp.count), std::pair(uint64_t(14003349062070578857u), uint64_t(637197)));
}

TEST(Picker, CornerCases) {
    learned = {};
    // Every capture loses: row 0 hands it out last, rows 1 and 2 never.
    Position p = fromFen("4k3/8/2p5/3p4/8/8/8/3QK3 w - -");
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
    Moves all = gen(p, genAll);
    std::sort(got.begin(), got.end()), std::sort(all.begin(), all.end());
    EXPECT_EQ(got, all);
}

}  // namespace
