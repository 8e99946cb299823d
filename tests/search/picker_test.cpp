// The staged picker against a plain model of its rules (vectors and a library
// stable sort), over every node of shallow perft trees, plus the rules' corner cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/see.h"
#include "board/tables.h"
#include "board/zobrist.h"
#include "frontend/notation.h"
#include "search/picker.h"
#include "support.h"

namespace {

using Moves = std::vector<Move>;

Position fromFen(const std::string& fen) {
    static const bool ready = (initBoardTables(), initZob(), true);
    (void)ready;
    Position p{};
    fenToPosition(p, fen.c_str());
    return p;
}

Moves drain(const Position& p, int row, Move h = 0, Move k1 = 0, Move k2 = 0) {
    GenContext g;
    initGenContext(p, g, row, h, k1, k2);
    Moves out;
    for (Move m; (m = nextMove(g));) out.push_back(m);
    return out;
}

std::string text(const Moves& ms) {
    std::string s;
    char t[8];
    for (Move m : ms) {
        alg(m, t);
        if (!s.empty()) s += ' ';
        s += t;
    }
    return s;
}

// The rules, written out plainly.
struct Model {
    const Position& p;
    Move hash, k1, k2;
    Moves out, tried, post;
    int victim(Move m) const { return kindAt(p, sideToMove(p) ^ 1, moveTo(m)); }
    int key(int stage, Move m) const {
        int t = moveType(m), v = victim(m), a = kindAt(p, sideToMove(p), moveFrom(m));
        if (stage == 5) {
            int i = (sideToMove(p) * 8 + a) * 64 + moveTo(m);
            return int(2048 * his_s[i] / (his_s[i] + his_f[i] + 1));
        }
        if (stage != 2 && t == EN_PASSANT) return 14;
        if (m == hash) return 30000;
        if (t >= PROMO_Q) return 29998;
        if (t == EN_PASSANT) return 14;
        if (v) return 16 * v - 2 * a;
        return stage == 6 ? (m == k1 ? 2 : m == k2 ? 1 : 0) : 0;
    }
    void single(Move& k) {
        if (!k) return;
        if ((k >> 12) == EN_PASSANT) k = 0;
        else if (tried.push_back(k), pslegal(p, k)) out.push_back(k);
    }
    void list(int stage, Moves ms) {
        std::stable_sort(ms.begin(), ms.end(), [&](Move a, Move b) { return key(stage, a) > key(stage, b); });
        for (Move m : ms) {
            if (std::count(tried.begin(), tried.end(), m)) continue;
            if (stage != 5 && moveType(m) <= DOUBLE_STEP && see(p, m, 0) < 0) post.push_back(m);
            else out.push_back(m);
        }
    }
    Moves gen(int (*g)(const Position&, Move*)) const {
        Moves ms(MAX_MOVES);
        ms.resize(g(p, ms.data()));
        return ms;
    }
    Moves quiets() const {  // genAll's non-captures come in the quiet stage's order
        Moves ms;
        for (Move m : gen(genAll))
            if (moveType(m) != EN_PASSANT && moveType(m) < PROMO_Q && !victim(m)) ms.push_back(m);
        return ms;
    }
    void postponed() {
        for (Move m : post)
            if (!std::count(tried.begin(), tried.end(), m)) out.push_back(m);
    }
    Moves run(int row) {
        if (row == 3) return list(6, gen(genOut)), postponed(), out;
        single(hash);
        if (row == 1) return list(7, gen(genCapsChecks)), out;
        list(2, gen(genCaps));
        if (row == 2) return out;
        single(k1), single(k2), list(5, quiets()), postponed();
        return out;
    }
};

Moves modelRun(const Position& p, int row, Move h, Move k1, Move k2) { return Model{p, h, k1, k2, {}, {}, {}}.run(row); }

// Every position of the legal tree to `depth` plies, in-check flags set.
void collect(const Position& p, int depth, std::vector<Position>& nodes) {
    nodes.push_back(p);
    nodes.back().prev = nullptr;
    if (!depth) return;
    Move list[MAX_MOVES];
    int n = genAll(p, list), col = sideToMove(p);
    Position c;
    for (int i = 0; i < n; ++i)
        if (make(p, c, list[i]), !fasterInCheck(c, col)) c.inCheck = fasterInCheck(c, col ^ 1), collect(c, depth - 1, nodes);
}

Moves sorted(Moves ms) { return std::sort(ms.begin(), ms.end()), ms; }

// History counters are globals: every test starts and ends with them empty.
struct Picker : ::testing::Test {
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear() { std::memset(his_s, 0, sizeof his_s), std::memset(his_f, 0, sizeof his_f); }
};

TEST_F(Picker, MatchesTheRulesOverPerftTrees) {
    std::mt19937 rng(7);
    for (int i = 0; i < 1024; ++i) his_s[i] = rng() % 4, his_f[i] = rng() % 4;  // many equal keys
    std::vector<Position> nodes;
    for (const auto& c : loadPerftSuite()) collect(fromFen(c.fen), 2, nodes);
    int postponedSeen = 0;
    for (const Position& p : nodes) {
        Moves all = Model{p, 0, 0, 0, {}, {}, {}}.gen(genAll), caps = Model{p, 0, 0, 0, {}, {}, {}}.gen(genCaps), plain;
        for (Move m : all)
            if (moveType(m) <= PROMO_Q) plain.push_back(m);
        Moves row0 = drain(p, 0);
        ASSERT_EQ(sorted(row0), sorted(plain)) << text(all);  // each move once, no under-promotions
        Move ep = 0, legal = all.empty() ? 0 : all[rng() % all.size()];
        for (Move m : all) ep = moveType(m) == EN_PASSANT ? m : ep;
        Move cap = caps.empty() ? 0 : caps[rng() % caps.size()];
        Move junk = makeMove(rng() % 64, rng() % 64);
        const Move configs[][3] = {{0, 0, 0}, {legal, junk, cap}, {ep ? ep : legal, legal, legal},
                                   {junk, ep, cap}, {cap, cap, legal}};
        for (const auto& k : configs)
            for (int row = 0; row < 4; ++row) {
                if (row == 3 && !p.inCheck) continue;
                Moves got = drain(p, row, k[0], k[1], k[2]);
                ASSERT_EQ(text(got), text(modelRun(p, row, k[0], k[1], k[2]))) << row;
                // Quiescence rows never return a losing capture (the hash move aside).
                for (size_t i = 1; (row == 1 || row == 2) && i < got.size(); ++i)
                    ASSERT_FALSE(moveType(got[i]) <= DOUBLE_STEP && see(p, got[i], 0) < 0);
            }
        Model m0{p, 0, 0, 0, {}, {}, {}};
        m0.run(0);
        postponedSeen += int(m0.post.size());
        if (!p.inCheck) continue;
        // In check, the evasion row keeps exactly the legal moves of the full row.
        auto legalOf = [&](const Moves& ms) {
            Moves r;
            Position c;
            for (Move m : ms)
                if (make(p, c, m), !fasterInCheck(c, sideToMove(p)) && !std::count(r.begin(), r.end(), m)) r.push_back(m);
            return sorted(r);
        };
        ASSERT_EQ(legalOf(drain(p, 3)), legalOf(row0));
    }
    EXPECT_GT(postponedSeen, 0);
}

TEST_F(Picker, StartPositionInGenerationOrderAndByHistory) {
    Position p = fromFen(START_FEN);
    EXPECT_EQ(text(drain(p, 0)),
              "a2a3 b2b3 c2c3 d2d3 e2e3 f2f3 g2g3 h2h3 b1a3 b1c3 g1f3 g1h3 a2a4 b2b4 c2c4 d2d4 e2e4 f2f4 g2g4 h2h4");
    his_s[(0 * 8 + KNIGHT) * 64 + 21] = uint64_t(1) << 62;  // g1f3 succeeds always
    his_s[(0 * 8 + PAWN) * 64 + 28] = 1;                     // e2e4: 2048 / 2
    EXPECT_EQ(text(drain(p, 0)).substr(0, 20), "g1f3 e2e4 a2a3 b2b3 ");
}

TEST_F(Picker, CornerCases) {
    // Every capture loses: row 0 hands it out last, rows 1 and 2 never.
    Position p = fromFen("4k3/8/2p5/3p4/8/8/8/3QK3 w - -");
    Move qxd5 = makeMove(3, 35);
    EXPECT_EQ(drain(p, 0).back(), qxd5);
    EXPECT_TRUE(drain(p, 2).empty());
    Moves checks = drain(p, 1);
    EXPECT_EQ(std::count(checks.begin(), checks.end(), qxd5), 0);
    EXPECT_FALSE(checks.empty());  // the queen's safe checks remain
    // A killer equal to the hash move comes twice; the generated copy never.
    p = fromFen(START_FEN);
    Move e4 = makeMove(12, 28, DOUBLE_STEP);
    Moves twice = drain(p, 0, e4, e4);
    EXPECT_EQ(twice.size(), 21u);
    EXPECT_EQ(text(twice).substr(0, 15), "e2e4 e2e4 a2a3 ");
    // An en-passant hash move waits for the captures, behind the knight's capture.
    p = fromFen("4k3/8/8/3pP3/8/8/1q6/3NK3 w - d6");
    EXPECT_EQ(text(drain(p, 0, makeMove(36, 43, EN_PASSANT))).substr(0, 10), "d1b2 e5d6 ");
    // In check the hash move leads the evasions; the king's capture of an adjacent
    // checker is generated, and handed out, twice.
    p = fromFen("4k3/8/8/8/8/8/4r3/4K3 w - -");
    ASSERT_TRUE(p.inCheck);
    Moves ev = drain(p, 3, makeMove(4, 3));
    EXPECT_EQ(text(ev).substr(0, 10), "e1d1 e1e2 ");
    EXPECT_EQ(std::count(ev.begin(), ev.end(), makeMove(4, 12)), 2);
    // Quiet evasions: first killer, second killer, the rest; steps into the rook's
    // line lose the king by the exchange test and come last.
    EXPECT_EQ(text(drain(p, 3, 0, makeMove(4, 5), makeMove(4, 3))), "e1e2 e1e2 e1f1 e1d1 e1d2 e1f2");
    // More than 32 losing captures are all kept, and the quiet moves still follow.
    p = fromFen("4k3/pppppppp/pppppppp/QQQQQQQQ/NNNNNNNN/8/8/4K3 w - -");
    GenContext g;
    initGenContext(p, g, 0, 0, 0, 0);
    Moves got;
    for (Move m; (m = nextMove(g));) got.push_back(m);
    EXPECT_GT(g.postponed, 32);
    EXPECT_EQ(text(got), text(modelRun(p, 0, 0, 0, 0)));
    Moves all(MAX_MOVES);
    all.resize(genAll(p, all.data()));
    EXPECT_EQ(sorted(got), sorted(all));
}

}  // namespace
