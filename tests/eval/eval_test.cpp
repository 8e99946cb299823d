// The static evaluation: exact values, the scaling rules, the cache, and
// symmetry and consistency over many positions.

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/see.h"
#include "eval_support.h"
#include "legaltree.h"

namespace {

// Values worked out from the weights (tests/data/eval.txt), with the built-in
// weights or with the piece values alone.
TEST_F(EvalTest, ExactValuesAndScaling) {
    for (const auto& c : readTable("eval.txt")) {  // weights | FEN | value
        if (c[0] != "material") defaultWeights();
        else onlyParams({{&pval, scorePair(850, 1150)}, {&nval, scorePair(3400, 3900)}, {&bval, scorePair(3400, 3900)},
                        {&rval, scorePair(4900, 6400)}, {&qval, scorePair(10100, 12100)}});
        EXPECT_EQ(evalFen(c[1]), std::stoi(c[2])) << c[0] << " " << c[1];
    }
    // Ten knights, queen, rook and bishop at the king: 105 units, clamped to 95.
    onlyParams({{&ksarea, scorePair(5, 0)}});
    EXPECT_EQ(evalFen("7Q/2NN1N2/2N3N1/R3k3/2N3N1/2NN1N2/7B/6K1 b - -"), -div10(int(7605 * 9 * 0.4 / 24 + 0.5)));
    defaultWeights();
    EXPECT_NE(evalFen("4k3/8/4K3/4P3/8/8/8/6N1 b - -"), -404) << "a knight: the full evaluation";
    // The cache answers the second call.
    const Position p = evalPos("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    const int v = eval(p);
    EvalCacheEntry& e = eca[p.hashKey & EC_MASK];
    e.score = e.key == p.hashKey ? v + 1000 : v;
    EXPECT_EQ(eval(p), v + 1000);
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

}  // namespace
