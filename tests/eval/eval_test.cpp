// The static evaluation: exact values, scaling rules, the cache, and
// symmetry over many positions.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/see.h"
#include "eval/kpkdb.h"
#include "dev.h"
#include "eval_support.h"
#include "support.h"

namespace {

TEST(Eval, StartPositionAndBareKings) {
    evalSetUp();
    restoreDefaults();
    EXPECT_EQ(evalFen(START_FEN), 9);
    EXPECT_EQ(evalFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"), 9);
    EXPECT_EQ(evalFen("4k3/8/8/8/8/8/8/4K3 w - -"), 2);
    EXPECT_EQ(evalFen("4k3/8/8/8/8/8/8/4K3 b - -"), 2);
    EXPECT_EQ(getSTAGE(evalPos(START_FEN)), 24);
    EXPECT_EQ(getSC(evalPos(START_FEN)), 0u);
}

TEST(Eval, SecondCallComesFromTheCache) {
    evalSetUp();
    restoreDefaults();
    Position p = evalPos("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    const int v = eval(p);
    EvalCacheEntry& e = eca[p.hashKey & EC_MASK];
    EXPECT_EQ(e.key, p.hashKey);
    EXPECT_EQ(e.score, v);
    e.score = v + 1000;
    EXPECT_EQ(eval(p), v + 1000);
    e.key = 0;
    EXPECT_EQ(eval(p), v);
}

TEST(Eval, KingAndPawnAgainstKing) {
    evalSetUp();
    restoreDefaults();
    struct Case {
        const char* fen;
        int value;
    };
    const Case cases[] = {
        {"4k3/8/4K3/4P3/8/8/8/8 b - -", -404},  // won: 340 + 16 * 4 for white
        {"4k3/8/4K3/4P3/8/8/8/8 w - -", 404},
        {"k7/8/8/8/8/8/P7/2K5 w - -", 3},  // the defender holds the corner
        {"k7/8/8/8/8/8/P7/2K5 b - -", -3},
        {"8/8/8/8/4k3/8/4P3/4K3 w - -", 3},  // opposition draws
        {"8/8/8/8/8/4k3/4P3/4K3 b - -", -3},
        {"4k3/8/8/8/8/8/4P3/4K3 w - -", 356},  // the king is too far away
        {"8/8/8/8/8/4K3/4P3/4k3 w - -", 356},
        {"8/4p3/8/8/8/8/8/K3k3 b - -", 356},  // colours swapped
        {"4k3/4p3/8/8/8/8/8/K7 b - -", 356},
    };
    for (const Case& c : cases) EXPECT_EQ(evalFen(c.fen), c.value) << c.fen;
    // The pawn's own table of weights plays no part.
    onlyParams({});
    EXPECT_EQ(evalFen("4k3/8/4K3/4P3/8/8/8/8 b - -"), -404);
    restoreDefaults();
    // Not that ending: a knight is on the board.
    EXPECT_NE(evalFen("4k3/8/4K3/4P3/8/8/8/6N1 b - -"), -404);
}

// Only material counts: the blend and the drawishness rules show exactly.
struct MaterialOnly : ParamsTest {
    void SetUp() override {
        ParamsTest::SetUp();
        onlyParams({{&pval, scorePair(850, 1150)},
                    {&nval, scorePair(3400, 3900)},
                    {&bval, scorePair(3400, 3900)},
                    {&rval, scorePair(4900, 6400)},
                    {&qval, scorePair(10100, 12100)}});
    }
};

TEST_F(MaterialOnly, BishopAndDrawishnessScaling) {
    struct Case {
        const char* fen;
        int value;
        const char* why;
    };
    const Case cases[] = {
        {"4k3/p7/8/3b4/8/8/PP6/2B1K3 w - -", 39, "opposite bishops: halved, then 0.7 for two pawns"},
        {"4k3/p7/8/4b3/8/8/PP6/2B1K3 w - -", 39, "both bishops dark: halved too"},
        {"4k3/p7/8/3b4/8/8/PP6/4KB2 w - -", 79, "both bishops light: not halved"},
        {"r3k3/p7/8/3b4/8/8/PP6/R1B1K3 w - -", 68, "with rooks, stage 6: 0.9"},
        {"r3k3/p7/8/3b4/8/8/PP6/R1B1K3 b - -", -68, "black to move"},
        {"rr2k3/p1q5/8/3b4/8/8/PP6/RRBQK3 w - -", 61, "stage 22: no bishop scaling"},
        {"6k1/pp6/8/8/8/8/8/3R2K1 w - -", 161, "side ahead without pawns: 0.4"},
        {"6k1/pp6/8/8/8/8/8/3R2K1 b - -", -161, "side ahead without pawns, black to move"},
        {"6k1/pp6/8/8/8/8/PPPP4/3R2K1 w - -", 767, "four pawns: 0.9"},
        {"6k1/pp6/8/8/8/8/PPPPP3/3R2K1 w - -", 965, "five pawns: no scaling"},
        {"6k1/8/8/8/8/8/8/3R2K1 w - -", 251, "rook alone: 0.4"},
        {"6k1/8/5b2/8/8/8/8/3R2K1 w - -", 24, "rook against bishop without pawns: 0.1"},
        {"6k1/8/5b2/8/8/8/8/3R2K1 b - -", -24, "the same, black to move"},
        {"6k1/8/5n2/8/8/8/8/3Q2K1 w - -", 313, "queen against knight: 0.4"},
        {"4k3/pp6/8/8/8/8/PPP5/4K3 w - -", 150, "pawn ending: 1.3"},
        {"4k3/pp6/8/8/8/8/PPP5/4K3 b - -", -150, "pawn ending, black to move"},
        {"4k3/8/8/8/8/8/8/1NB1K3 w - -", 310, "bishop and knight without pawns"},
    };
    for (const Case& c : cases) EXPECT_EQ(evalFen(c.fen), c.value) << c.why << ": " << c.fen;
}

TEST_F(ParamsTest, KingAttackUnitsAreClamped) {
    // Ten knights, a queen, a rook and a bishop reach the black king's zone:
    // 105 units, past the end of the curve, so the last entry 7605 counts.
    // Stage 9; no pawns and far more material: scaled by 0.4.
    onlyParams({{&ksarea, scorePair(5, 0)}});
    const int v = evalFen("7Q/2NN1N2/2N3N1/R3k3/2N3N1/2NN1N2/7B/6K1 b - -");
    EXPECT_EQ(v, -div10(int(7605 * 9 * 0.4 / 24.0 + 0.5)));
}

std::vector<std::string> epdFens(const std::string& name) {
    std::vector<std::string> fens;
    std::ifstream in(dataPath(name));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string a, b, c, d;
        if (line.empty() || line[0] == '#' || !(f >> a >> b >> c >> d)) continue;
        fens.push_back(a + " " + b + " " + c + " " + d);
    }
    return fens;
}

// The roots of all shared position sets and every legal position one move on.
std::vector<Position> manyPositions() {
    std::vector<std::string> fens = epdFens("openings.epd");
    for (const std::string& f : epdFens("wac.epd")) fens.push_back(f);
    for (const PerftCase& c : loadPerftSuite()) fens.push_back(c.fen);
    std::vector<Position> out;
    for (const std::string& fen : fens) {
        Position root = evalPos(fen);
        out.push_back(root);
        out.back().prev = nullptr;
        Move list[MAX_MOVES];
        const int n = genAll(root, list);
        for (int i = 0; i < n; ++i) {
            Position child;
            make(root, child, list[i]);
            if (fasterInCheck(child, sideToMove(root))) continue;
            child.prev = nullptr;
            out.push_back(child);
        }
    }
    return out;
}

// One odd bishop each, all on one square colour: the mirrors change which
// colour that is, and only light squares escape the bishop scaling.
bool bishopColourMatters(const Position& p) {
    const Bitboard b = p.pcs[WHITE][BISHOP] | p.pcs[BLACK][BISHOP];
    const Bitboard light = 0x55aa55aa55aa55aaULL;
    return popCount(p.pcs[WHITE][BISHOP]) % 2 == 1 && popCount(p.pcs[BLACK][BISHOP]) % 2 == 1 &&
           ((b & light) == b || (b & ~light) == b);
}

// The exchange evaluator takes the lowest-square attacker of a kind first,
// which a mirror turns into another piece: positions where that changes the
// verdict on a far-advanced pawn's step are left out.
bool pawnStepsAgree(const Position& p, const Position& m, int (*mirrorSq)(int)) {
    const Bitboard occ = occupied(p);
    for (int col = 0; col < 2; ++col) {
        const Bitboard far = col == WHITE ? 0xffffffff00000000ULL : 0x00000000ffffffffULL;
        for (Bitboard b = p.pcs[col][PAWN] & far; b; b &= b - 1) {
            const int sq = nextBit(b), to = col == WHITE ? sq + 8 : sq - 8;
            if (occ & bit(to)) continue;
            if ((see(p, makeMove(sq, to), 0) < 0) != (see(m, makeMove(mirrorSq(sq), mirrorSq(to)), 0) < 0))
                return false;
        }
    }
    return true;
}
int flipRank(int sq) { return sq ^ 56; }
int flipFile(int sq) { return sq ^ 7; }

TEST(Eval, MirroredPositionsEvaluateAlike) {
    evalSetUp();
    restoreDefaults();
    const std::vector<Position> all = manyPositions();
    ASSERT_GT(all.size(), 5000u);
    int checked = 0;
    for (const Position& p : all) {
        if (bishopColourMatters(p)) continue;
        const Position cm = colourMirror(p), fm = fileMirror(p);
        if (!pawnStepsAgree(p, cm, flipRank) || !pawnStepsAgree(p, fm, flipFile)) continue;
        const int v = eval(p);
        char fen[128];
        positionToFen(p, fen);
        ASSERT_EQ(eval(cm), v) << "colour mirror of " << fen;
        ASSERT_EQ(eval(fm), v) << "file mirror of " << fen;
        ++checked;
    }
    EXPECT_GT(checked, 5000);
}

TEST(Eval, IncrementalPieceSquareSumMatchesFromScratch) {
    evalSetUp();
    restoreDefaults();
    int checked = 0;
    for (const PerftCase& c : loadPerftSuite()) {
        Position root = evalPos(c.fen);
        Move l1[MAX_MOVES], l2[MAX_MOVES];
        const int n1 = genAll(root, l1);
        for (int i = 0; i < n1; ++i) {
            Position a;
            make(root, a, l1[i]);
            ASSERT_EQ(a.pstScore, getSC(a));
            ASSERT_EQ(a.stage, getSTAGE(a));
            const int n2 = genAll(a, l2);
            for (int j = 0; j < n2; ++j) {
                Position b;
                make(a, b, l2[j]);
                ASSERT_EQ(b.pstScore, getSC(b)) << c.fen;
                ASSERT_EQ(b.stage, getSTAGE(b)) << c.fen;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 10000);
}

TEST(Eval, DeveloperProgram) {
    RunResult r = runProgram({ZARV_DEV_BIN, "eval"}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "eval 9\n");
    r = runProgram({ZARV_DEV_BIN, "eval", "4k3/8/4K3/4P3/8/8/8/8", "b", "-", "-"}, "");
    EXPECT_EQ(r.out, "eval -404\n");
    r = runProgram({ZARV_DEV_BIN, "eval", "4k3/8/8/8/8/8/8/8", "w", "-", "-"}, "");
    EXPECT_EQ(r.status, DEV_USAGE);
    EXPECT_EQ(r.out, "");
    r = runProgram({ZARV_DEV_BIN, "eval", "--personality"}, "");
    EXPECT_EQ(r.status, DEV_USAGE);
    r = runProgram({ZARV_DEV_BIN, "evalbench", "3"}, "", 120);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("evaluations per second"), std::string::npos);
    // The checksum is the sum of all evaluations of one round: the same
    // however many rounds run.
    ASSERT_NE(r.out.find("checksum"), std::string::npos);
    const std::string sum3 = r.out.substr(r.out.find("checksum"));
    r = runProgram({ZARV_DEV_BIN, "evalbench", "1"}, "", 120);
    ASSERT_NE(r.out.find("checksum"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.find("checksum")), sum3);
    EXPECT_EQ(runProgram({ZARV_DEV_BIN, "evalbench", "0"}, "").status, DEV_USAGE);
    EXPECT_EQ(runProgram({ZARV_DEV_BIN, "evalbench", "x"}, "").status, DEV_USAGE);
}

}  // namespace
