// The staged picker against a plain model of its rules (vectors and a library
// stable sort) over every node of shallow perft trees, plus the rules' corner
// cases. That the evasion row keeps exactly the legal moves is testOutGen's
// check, run over the same trees by the self-test tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "../board/board_support.h"
#include "board/see.h"
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

// The rules written out plainly.
Moves model(const Position& p, int row, Move h, Move k1, Move k2, int* setAside = nullptr) {
    int col = sideToMove(p);
    Moves out, tried, post;
    auto wasTried = [&](Move m) { return std::count(tried.begin(), tried.end(), m) > 0; };
    auto single = [&](Move& k) {
        if ((k >> 12) == EN_PASSANT) k = 0;
        else if (k && (tried.push_back(k), pslegal(p, k))) out.push_back(k);
    };
    auto key = [&](int st, Move m) {
        int t = moveType(m), v = kindAt(p, col ^ 1, moveTo(m)), a = kindAt(p, col, moveFrom(m));
        int i = (col * 8 + a) * 64 + moveTo(m);
        if (st == 5) return int(2048 * (unsigned __int128)his_s[i] / (his_s[i] + his_f[i] + 1));
        if (st != 2 && t == EN_PASSANT) return 14;
        if (m == h) return 30000;
        if (t >= PROMO_Q) return 29998;
        if (t == EN_PASSANT) return 14;
        if (v) return 16 * v - 2 * a;
        return st == 6 ? (m == k1 ? 2 : m == k2 ? 1 : 0) : 0;
    };
    auto stage = [&](int st, Moves ms) {
        std::stable_sort(ms.begin(), ms.end(), [&](Move a, Move b) { return key(st, a) > key(st, b); });
        for (Move m : ms) {
            if (wasTried(m)) continue;
            bool loses = st != 5 && moveType(m) <= DOUBLE_STEP && see(p, m, 0) < 0;
            (loses ? post : out).push_back(m);
        }
    };
    if (row == 3) {
        stage(6, gen(p, genOut));
    } else {
        single(h);
        stage(row == 1 ? 7 : 2, gen(p, row == 1 ? genCapsChecks : genCaps));
        if (row) return out;
        single(k1), single(k2);
        Moves quiet;  // genAll's non-captures come in the quiet stage's order
        for (Move m : gen(p, genAll))
            if (moveType(m) != EN_PASSANT && moveType(m) < PROMO_Q && !kindAt(p, col ^ 1, moveTo(m))) quiet.push_back(m);
        stage(5, quiet);
    }
    for (Move m : post)
        if (!wasTried(m)) out.push_back(m);
    if (setAside) *setAside += int(post.size());
    return out;
}

// History counters are globals: every test starts and ends with them empty.
struct Picker : ::testing::Test {
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear() { std::memset(his_s, 0, sizeof his_s), std::memset(his_f, 0, sizeof his_f); }
};

TEST_F(Picker, FollowsTheRulesOverPerftTrees) {
    std::mt19937 rng(7);
    for (int i = 0; i < 1024; ++i) his_s[i] = rng() % 4, his_f[i] = rng() % 4;  // many equal keys
    std::vector<Position> nodes;
    for (const auto& c : loadPerftSuite()) {
        Position root = fromFen(c.fen);
        nodes.push_back(root);
        walkTree(root, 2, [&](const Position&, const Position& child, Move) {
            nodes.push_back(child);
            nodes.back().inCheck = fasterInCheck(child, sideToMove(child));
        });
    }
    int setAside = 0;
    for (const Position& p : nodes) {
        Moves all = gen(p, genAll), caps = gen(p, genCaps), plain, row0 = drain(p, 0);
        std::copy_if(all.begin(), all.end(), std::back_inserter(plain), [](Move m) { return moveType(m) <= PROMO_Q; });
        ASSERT_EQ(sorted(row0), sorted(plain));  // every move once, no under-promotions
        Move ep = 0, any = all.empty() ? 0 : all[rng() % all.size()], junk = makeMove(rng() % 64, rng() % 64);
        Move cap = caps.empty() ? 0 : caps[rng() % caps.size()];
        for (Move m : all) ep = moveType(m) == EN_PASSANT ? m : ep;
        const Move configs[][3] = {{0, 0, 0}, {any, junk, cap}, {ep ? ep : any, any, any}, {junk, ep, cap}, {cap, cap, any}};
        for (const auto& k : configs)
            for (int row = 0; row < (p.inCheck ? 4 : 3); ++row) {
                Moves got = drain(p, row, k[0], k[1], k[2]);
                ASSERT_EQ(text(got), text(model(p, row, k[0], k[1], k[2], &setAside))) << row;
                for (size_t i = 1; (row == 1 || row == 2) && i < got.size(); ++i)
                    ASSERT_FALSE(moveType(got[i]) <= DOUBLE_STEP && see(p, got[i], 0) < 0);
            }
    }
    EXPECT_GT(setAside, 100);
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
    EXPECT_EQ(text(got), text(model(p, 0, 0, 0, 0)));
    EXPECT_EQ(sorted(got), sorted(gen(p, genAll)));
}

}  // namespace
