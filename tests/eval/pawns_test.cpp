// Pawn structure terms, the passer lists and the pawn cache.
#include <string>
#include <vector>

#include "eval_support.h"

namespace {

ScorePair pawnScore(const std::string& fen, PawnEntry** out = nullptr) {
    Position p = evalPos(fen);
    PawnEntry* e = nullptr;
    ScorePair s = pawnStructure(p, e);
    if (out) *out = e;
    return s;
}

std::vector<int> passers(const PawnEntry* e, int col) {
    std::vector<int> v;
    for (int i = 0; i < 8 && e->passers[col][i]; ++i) v.push_back(e->passers[col][i]);
    return v;
}

// Each case switches on one weight and reads the pawn-structure pair.
struct TermCase {
    const char* what;
    ScorePair* param;
    const char* fen;
    int mid, end;
};

TEST_F(ParamsTest, SingleTerms) {
    const TermCase cases[] = {
        // Back-rank king: every existing square ahead holds an own pawn.
        {"luftp b1 a2 b2 c2", &luftp, "7k/8/8/8/8/8/PPP5/1K6 w - -", -108, -180},
        {"luftp a1 a2 b2", &luftp, "7k/8/8/8/8/8/PP6/K7 w - -", -108, -180},
        {"luftp b1 a2 b2 only", &luftp, "7k/8/8/8/8/8/PP6/1K6 w - -", 0, 0},
        {"luftp on rank 2", &luftp, "7k/8/8/8/8/PPP5/1K6/8 w - -", 0, 0},
        {"luftp black", &luftp, "6k1/5ppp/8/8/8/8/8/K7 w - -", 108, 180},
        // Three islands: two penalties.
        {"islands a c f", &islands, "7k/8/8/8/8/8/P1P2P2/K7 w - -", -60, -120},
        {"islands one", &islands, "7k/8/8/8/8/8/PPP5/K7 w - -", 0, 0},
        {"doubled e2 e3", &pdoubled, "7k/8/8/8/8/4P3/4P3/K7 w - -", -50, -80},
        {"tripled", &pdoubled, "7k/8/8/8/4P3/4P3/4P3/K7 w - -", -100, -160},
        // Only the front pawn of a file is passed; e3 is on its third rank.
        {"passed e2 e3", &passed, "7k/8/8/8/8/4P3/4P3/K7 w - -", 14, 23},
        {"control", &predundant, "7k/8/8/8/8/8/PP6/K7 w - -", 30, 30},
        {"isolated open", &isoo, "7k/8/8/8/8/8/4P3/K7 w - -", -140, -170},
        {"isolated half-open", &isoh, "7k/4p3/8/8/8/8/4P3/K7 w - -", 0, 0},
        {"isolated facing", &isoh, "7k/4pp2/8/8/8/8/4P3/K7 w - -", -35, -35},
        {"duo and defended", &duofended, "7k/8/8/8/8/2P5/1PP5/K7 w - -", 60, 0},
        // d4 backward (stop square blocked) but not on an open file.
        {"backward d4", &pbkwd, "7k/8/8/2PpP3/3P4/8/8/K7 w - -", -35, -45},
        {"backward d4 not open", &blockedopen, "7k/8/8/2PpP3/3P4/8/8/K7 w - -", 0, 0},
        {"backward d3", &pbkwd, "7k/8/8/4p3/2P5/3P4/8/K7 w - -", -35, -45},
        {"blocked open d3", &blockedopen, "7k/8/8/4p3/2P5/3P4/8/K7 w - -", -60, -84},
        // White c4 d4 against black e6: c4 is passed (pp 100/160), d4 beside it
        // is a candidate (3/4 of that).
        {"candidate d4", &ppinc, "7k/8/4p3/8/2PP4/8/8/K7 w - -", 175, 280},
        {"king shelter", &ksdefm, "6k1/8/8/8/8/8/5PPP/6K1 w - -", 270 * 4, 0},
        {"pawn storm", &ksattm, "6k1/8/6P1/8/8/8/8/K7 w - -", 450, 0},
        {"kings near a passer", &kppdist, "8/8/8/8/8/8/P7/K6k w - -", 0, 180},
    };
    for (const TermCase& c : cases) {
        ScorePair value = 0;
        for (const ParamEntry& e : paramTable)
            if (e.value == c.param) value = e.def;
        onlyParams({{c.param, value}});
        ScorePair s = pawnScore(c.fen);
        EXPECT_EQ(getMidVal(s), c.mid) << c.what;
        EXPECT_EQ(getEndVal(s), c.end) << c.what;
    }
}

TEST(PawnStructure, PasserLists) {
    evalSetUp();
    restoreDefaults();
    PawnEntry* e;
    // White e6 and b5 are listed, e4 only scored; black d3 and h4 are listed.
    pawnScore("7k/8/4P3/1P6/4P2p/3p4/8/K7 w - -", &e);
    EXPECT_EQ(passers(e, WHITE), (std::vector<int>{33, 44}));
    EXPECT_EQ(passers(e, BLACK), (std::vector<int>{19, 31}));
    pawnScore("7k/8/8/8/4P3/8/8/K7 w - -", &e);
    EXPECT_TRUE(passers(e, WHITE).empty());
    // A pawn facing an enemy pawn on a neighbour file ahead is not passed.
    pawnScore("7k/8/3p4/4P3/8/8/8/K7 w - -", &e);
    EXPECT_TRUE(passers(e, WHITE).empty());
}

TEST(PawnStructure, PasserOnItsFourthRankStillScores) {
    evalSetUp();
    restoreDefaults();
    onlyParams({{&passed, scorePair(14, 23)}, {&ppinc, scorePair(100, 160)}});
    ScorePair s = pawnScore("7k/8/8/8/4P3/8/8/K7 w - -");
    EXPECT_EQ(s, scorePair(114, 183));
    restoreDefaults();
}

TEST(PawnStructure, NoPawnsScoresNothing) {
    evalSetUp();
    restoreDefaults();
    PawnEntry* e;
    EXPECT_EQ(pawnScore("4k3/8/8/8/8/8/8/4K3 w - -", &e), 0u);
    EXPECT_TRUE(passers(e, WHITE).empty() && passers(e, BLACK).empty());
}

TEST(PawnStructure, CacheHitReturnsStoredScore) {
    evalSetUp();
    restoreDefaults();
    Position p = evalPos("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    PawnEntry* e1;
    PawnEntry* e2;
    ScorePair first = pawnStructure(p, e1);
    const uint64_t probes = eprobes, hits = ehits;
    e1->score = spAdd(first, scorePair(1, 1));  // proves the second answer is the stored one
    ScorePair second = pawnStructure(p, e2);
    EXPECT_EQ(eprobes, probes + 1);
    EXPECT_EQ(ehits, hits + 1);
    EXPECT_EQ(e1, e2);
    EXPECT_EQ(second, spAdd(first, scorePair(1, 1)));
    clear_pht();
    EXPECT_EQ(pawnStructure(p, e2), first);
}

TEST(PawnStructure, ColoursScoreAlike) {
    evalSetUp();
    restoreDefaults();
    const char* fens[] = {
        "7k/8/4P3/1P6/4P2p/3p4/8/K7 w - -",
        "r1bq1rk1/ppp1npbp/3p2p1/3Pp3/2P1P3/2N2N2/PP2BPPP/R1BQ1RK1 w - -",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
        "6k1/pp3ppp/8/2P5/1P1p4/P7/5PPP/6K1 w - -",
    };
    for (const char* fen : fens) {
        Position p = evalPos(fen);
        PawnEntry* e;
        ScorePair s = pawnStructure(p, e);
        ScorePair ms = pawnStructure(colourMirror(p), e);
        EXPECT_EQ(ms, spNeg(s)) << fen;
        EXPECT_EQ(pawnStructure(fileMirror(p), e), s) << fen;
    }
}

}  // namespace
