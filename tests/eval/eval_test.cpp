// The static evaluation: exact values, the scaling rules, the cache, and
// symmetry and consistency over many positions.
#include <fstream>
#include <vector>

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/see.h"
#include "dev.h"
#include "eval_support.h"
#include "legaltree.h"
#include "support.h"

namespace {

TEST_F(EvalTest, ExactValues) {
    const std::pair<const char*, int> cases[] = {
        {START_FEN, 9}, {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1", 9},
        {"4k3/8/8/8/8/8/8/4K3 w - -", 2}, {"4k3/8/8/8/8/8/8/4K3 b - -", 2},
        {"4k3/8/4K3/4P3/8/8/8/8 b - -", -404},  // king and pawn: the bitbase's scores
        {"k7/8/8/8/8/8/P7/2K5 w - -", 3}, {"k7/8/8/8/8/8/P7/2K5 b - -", -3}, {"4k3/4p3/8/8/8/8/8/K7 b - -", 356},
    };
    for (auto [fen, v] : cases) EXPECT_EQ(evalFen(fen), v) << fen;
    EXPECT_NE(evalFen("4k3/8/4K3/4P3/8/8/8/6N1 b - -"), -404) << "a knight: the full evaluation";
    // The cache answers the second call.
    const Position p = evalPos("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    const int v = eval(p);
    EvalCacheEntry& e = eca[p.hashKey & EC_MASK];
    e.score = e.key == p.hashKey ? v + 1000 : v;
    EXPECT_EQ(eval(p), v + 1000);
}

TEST_F(EvalTest, BishopAndDrawishnessScaling) {
    // Only material counts, so every value below follows from the blend and
    // the scaling rules alone (no side-to-move bonus either).
    onlyParams({{&pval, scorePair(850, 1150)}, {&nval, scorePair(3400, 3900)}, {&bval, scorePair(3400, 3900)},
                {&rval, scorePair(4900, 6400)}, {&qval, scorePair(10100, 12100)}});
    const std::pair<const char*, int> cases[] = {
        {"4k3/p7/8/3b4/8/8/PP6/2B1K3 w - -", 39},        // opposite bishops: halved, two pawns 0.7
        {"4k3/p7/8/4b3/8/8/PP6/2B1K3 w - -", 39},        // both on dark squares: halved too
        {"4k3/p7/8/3b4/8/8/PP6/4KB2 w - -", 79},         // both on light squares: not
        {"r3k3/p7/8/3b4/8/8/PP6/R1B1K3 b - -", -68},     // with rooks, stage 6: 0.9
        {"rr2k3/p1q5/8/3b4/8/8/PP6/RRBQK3 w - -", 61},   // stage 22: 1.0
        {"6k1/pp6/8/8/8/8/8/3R2K1 w - -", 161},          // side ahead without pawns: 0.4
        {"6k1/pp6/8/8/8/8/8/3R2K1 b - -", -161},
        {"6k1/pp6/8/8/8/8/PPPP4/3R2K1 w - -", 767},      // four pawns: 0.9
        {"6k1/pp6/8/8/8/8/PPPPP3/3R2K1 w - -", 965},     // five: none
        {"6k1/8/5b2/8/8/8/8/3R2K1 w - -", 24},           // rook against bishop, no pawns: 0.1
        {"6k1/8/5n2/8/8/8/8/3Q2K1 w - -", 313},          // queen against knight: 0.4
        {"4k3/pp6/8/8/8/8/PPP5/4K3 b - -", -150},        // pawn ending: 1.3
        // No pawns: 0.1 while the pieces differ by at most three pawns and
        // come to less than thirteen, else 0.4.
        {"6k1/8/5n2/8/8/8/8/2BN2K1 w - -", 39},          // +3, 9
        {"2bn2k1/8/8/8/8/8/8/3N2K1 w - -", -39},         // -3
        {"6k1/8/5n2/8/8/8/8/2B1KB2 w - -", 154},         // +4
        {"2b2bk1/8/8/8/8/8/8/3N2K1 w - -", -154},        // -4
        {"6k1/8/5r2/8/8/8/8/2B1KB2 w - -", 15},          // +2, 12
        {"6k1/8/5r2/8/8/8/8/2B1K2R w - -", 152},         // +3, 13
        // Opposite bishops with heavy pieces: 0.9 up to stage 13.
        {"2r1k2r/p7/8/3b4/8/8/PP6/2BQK3 w - -", 50},     // stage 12
        {"2r1k2r/p7/8/3b4/8/8/PP6/2BQK2R w - -", 447},   // stage 14
    };
    for (auto [fen, v] : cases) EXPECT_EQ(evalFen(fen), v) << fen;
    // Ten knights, queen, rook and bishop at the king: 105 units, clamped to 95.
    onlyParams({{&ksarea, scorePair(5, 0)}});
    EXPECT_EQ(evalFen("7Q/2NN1N2/2N3N1/R3k3/2N3N1/2NN1N2/7B/6K1 b - -"), -div10(int(7605 * 9 * 0.4 / 24 + 0.5)));
}

// The perft suite's positions and every legal position one and two moves on.
std::vector<Position> manyPositions() {
    std::vector<Position> out;
    for (const PerftCase& c : loadPerftSuite()) {
        const Position root = evalPos(c.fen);
        out.push_back(root);
        walkTree(root, 2, [&](const Position&, const Position& child, Move) {
            Position p = child;
            out.push_back(rekey(p));
        });
    }
    return out;
}

// Left out: one odd bishop each, all on one square colour (a mirror swaps
// light and dark), and positions where the exchange evaluator, which takes
// the lowest-square attacker first, judges a far pawn's step differently.
bool mirrorsAlike(const Position& p, const Position& m, int flip) {
    const Bitboard b = p.pcs[WHITE][BISHOP] | p.pcs[BLACK][BISHOP], light = 0x55aa55aa55aa55aaULL;
    if (popCount(p.pcs[WHITE][BISHOP]) % 2 && popCount(p.pcs[BLACK][BISHOP]) % 2 && (!(b & light) || !(b & ~light)))
        return false;
    for (int col = 0; col < 2; ++col)
        for (Bitboard x = p.pcs[col][PAWN] & (col ? 0xffffffffULL : ~0xffffffffULL); x; x &= x - 1) {
            const int sq = nextBit(x), to = col ? sq - 8 : sq + 8;
            if (!(occupied(p) & bit(to)) &&
                (see(p, makeMove(sq, to), 0) < 0) != (see(m, makeMove(sq ^ flip, to ^ flip), 0) < 0))
                return false;
        }
    return true;
}

// Every value over the shared positions, folded in order into one number
// that any change of a single value moves: the evaluation's fingerprint. A
// change to the evaluation made on purpose updates it here.
constexpr uint64_t EVAL_FINGERPRINT = 0xb88111739cf208ae;

TEST_F(EvalTest, MirroredPositionsEvaluateAlike) {
    int checked = 0;
    uint64_t fingerprint = 0;
    for (const Position& p : manyPositions()) {
        fingerprint = fingerprint * 1000003 + uint64_t(int64_t(eval(p)));
        const Position cm = mirror(p, 56), fm = mirror(p, 7);
        if (!mirrorsAlike(p, cm, 56) || !mirrorsAlike(p, fm, 7)) continue;
        char fen[128];
        positionToFen(p, fen);
        ASSERT_EQ(eval(cm), eval(p)) << "colour mirror of " << fen;
        ASSERT_EQ(eval(fm), eval(p)) << "file mirror of " << fen;
        ++checked;
    }
    EXPECT_GT(checked, 15000);
    EXPECT_EQ(fingerprint, EVAL_FINGERPRINT);
}

TEST(EvalProgram, EvalAndEvalbench) {
    EXPECT_EQ(runDev("eval").out, "eval 9\n");
    const std::string dir = makeTempDir();
    std::ofstream(dir + "/hmb") << "hmb 90 20\n";
    std::ofstream(dir + "/empty");
    EXPECT_EQ(runDev("eval --personality " + dir + "/empty").out, "eval 0\n");
    EXPECT_EQ(runDev("eval --personality " + dir + "/empty 4k3/8/4K3/4P3/8/8/8/8 b - -").out, "eval -404\n");  // the bitbase stays
    EXPECT_EQ(runDev("eval --personality " + dir + "/hmb 8/8/8/8/8/8/8/k1K5 b - -").out, "eval 2\n");
    for (const std::string& bad : std::vector<std::string>{"eval 4k3/8/8/8/8/8/8/8 w - -", "eval --personality", "evalbench 0",
                                                           "evalbench x", "eval --personality " + dir + "/none"}) {
        const RunResult r = runDev(bad);
        EXPECT_TRUE(r.status == DEV_USAGE && r.out.empty()) << bad;
    }
    removeTree(dir);
    // The checksum is the sum of one round's evaluations, whatever the rounds;
    // a change to the evaluation moves it, and its commit updates it here.
    for (const char* rounds : {"evalbench 1", "evalbench 3"}) {
        const std::string out = runDev(rounds, 120).out;
        EXPECT_NE(out.find("evaluations per second (checksum -36954)\n"), std::string::npos) << out;
    }
}

}  // namespace
