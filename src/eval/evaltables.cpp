// Builds every evaluation lookup table from the current weights, so that the
// evaluation itself only adds table entries.
#include "eval/evaltables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "eval/eval.h"
#include "eval/params.h"

ScorePair n_mob_x[16], b_mob_x[16], r_mob_x[16], q_mob_x[32];
ScorePair kstab[96];
ScorePair distBon[8];
ScorePair isle[256];
ScorePair pdoubledA[10], duofendedA[10], isohA[10], isooA[10], pbkwdA[10], blockedopenA[10],
    pmobA[10], minorbehindA[10], nwpA[10], rwpA[10], bwpA[10], NbwpA[10];
ScorePair pthreatA[18], outpostA[18], predundantA[18];
ScorePair ksDef[8], ksAtt[8], ks3m[8];
int32_t spb[64];
ScorePair pp[128], pp40[128], ppm10[128], cpp[128];
int32_t maxPceVals[8];

namespace {

// Reference mobility of each piece: its mobility table is 0 there.
constexpr int32_t madjN = 6, madjB = 7, madjR = 8, madjQ = 14;
constexpr double mobk = 1.5;

// King-attack curve: quadratic in the attack units, flat from 41 on.
constexpr auto t_kstab = [] {
    std::array<int32_t, 96> t{};
    for (int i = 0; i < 96; ++i) t[i] = i < 2 ? 0 : i >= 41 ? 1521 : (i - 2) * (i - 2);
    return t;
}();
constexpr int32_t t_distBon[8] = {13, 9, 6, 4, 3, 2, 1, 0};

constexpr int32_t pawnFileMid[8] = {-12, -2, 4, 10, 10, 4, -2, -12};
constexpr int32_t pawnFileEnd[8] = {3, 1, -1, -3, -3, -1, 1, 3};
constexpr int32_t pawnRankMid[8] = {0, -1, 0, 2, 4, 6, 6, 0};
constexpr int32_t pawnRankEnd[8] = {0, -1, 0, 2, 4, 6, 6, 0};

constexpr ScorePair S(int32_t m, int32_t e) { return scorePair(m, e); }

// Piece-square shapes, printed as white sees the board from rank 8 down to
// rank 1: entry i belongs to white's square i ^ 56.
constexpr ScorePair gKnight[64] = {
    S(-55, -40), S(-3, -3),   S(-1, -1),   S(0, 0),   S(0, 0),   S(-1, -1),   S(-3, -3),   S(-55, -40),
    S(-5, -5),   S(-1, -1),   S(2, 2),     S(3, 3),   S(3, 3),   S(2, 2),     S(-1, -1),   S(-5, -5),
    S(-4, -4),   S(0, 0),     S(3, 3),     S(5, 5),   S(5, 5),   S(3, 3),     S(0, 0),     S(-4, -4),
    S(-4, -4),   S(0, 0),     S(3, 3),     S(5, 5),   S(5, 5),   S(3, 3),     S(0, 0),     S(-4, -4),
    S(-5, -5),   S(-1, -1),   S(2, 2),     S(3, 3),   S(3, 3),   S(2, 2),     S(-1, -1),   S(-5, -5),
    S(-7, -7),   S(-3, -3),   S(-1, -1),   S(0, 0),   S(0, 0),   S(-1, -1),   S(-3, -3),   S(-7, -7),
    S(-10, -10), S(-7, -7),   S(-5, -5),   S(-4, -4), S(-4, -4), S(-5, -5),   S(-7, -7),   S(-10, -10),
    S(-15, -15), S(-12, -12), S(-10, -10), S(-9, -9), S(-9, -9), S(-10, -10), S(-12, -12), S(-15, -15),
};
constexpr ScorePair gBishop[64] = {
    S(-4, -1), S(-5, -2), S(-5, -2), S(-4, -1), S(-4, -1), S(-5, -2), S(-5, -2), S(-4, -1),
    S(-6, -2), S(3, 1),   S(5, 2),   S(2, 1),   S(2, 1),   S(5, 2),   S(3, 1),   S(-6, -2),
    S(-7, -2), S(4, 1),   S(6, 2),   S(5, 2),   S(5, 2),   S(6, 2),   S(4, 1),   S(-7, -2),
    S(-7, -2), S(0, 0),   S(4, 1),   S(9, 3),   S(9, 3),   S(4, 1),   S(0, 0),   S(-7, -2),
    S(-6, -2), S(1, 0),   S(5, 2),   S(10, 3),  S(10, 3),  S(5, 2),   S(1, 0),   S(-6, -2),
    S(-6, -2), S(3, 1),   S(5, 2),   S(4, 1),   S(4, 1),   S(5, 2),   S(3, 1),   S(-6, -2),
    S(-5, -2), S(2, 1),   S(2, 1),   S(-1, 0),  S(-1, 0),  S(2, 1),   S(2, 1),   S(-5, -2),
    S(-3, -1), S(-6, -2), S(-8, -3), S(-9, -3), S(-9, -3), S(-8, -3), S(-6, -2), S(-3, -1),
};
// Rooks: centre files in the middle game, the seventh rank in both phases.
constexpr ScorePair gRook[64] = {
    S(-3, 0), S(0, 0),  S(3, 0), S(6, 0), S(6, 0), S(3, 0), S(0, 0),  S(-3, 0),
    S(-2, 3), S(1, 3),  S(4, 3), S(7, 3), S(7, 3), S(4, 3), S(1, 3),  S(-2, 3),
    S(-3, 2), S(0, 2),  S(3, 2), S(6, 2), S(6, 2), S(3, 2), S(0, 2),  S(-3, 2),
    S(-4, 1), S(-1, 1), S(2, 1), S(5, 1), S(5, 1), S(2, 1), S(-1, 1), S(-4, 1),
    S(-4, 0), S(-1, 0), S(2, 0), S(5, 0), S(5, 0), S(2, 0), S(-1, 0), S(-4, 0),
    S(-4, 0), S(-1, 0), S(2, 0), S(5, 0), S(5, 0), S(2, 0), S(-1, 0), S(-4, 0),
    S(-4, 0), S(-1, 0), S(2, 0), S(5, 0), S(5, 0), S(2, 0), S(-1, 0), S(-4, 0),
    S(-4, 0), S(-1, 0), S(2, 0), S(5, 0), S(5, 0), S(2, 0), S(-1, 0), S(-4, 0),
};
// Queens: away from the edge, best in the centre.
constexpr auto gQueen = [] {
    std::array<ScorePair, 64> t{};
    for (int i = 0; i < 64; ++i) {
        int r = i >> 3, f = i & 7;
        int ring = std::min(std::min(r, 7 - r), std::min(f, 7 - f));
        t[i] = ring == 0 ? S(-6, -6) : ring == 2 ? S(5, 5) : ring == 3 ? S(9, 9) : S(0, 0);
    }
    return t;
}();
constexpr ScorePair gKing[64] = {
    S(-64, -72), S(-58, -52), S(-81, -40), S(-97, -36), S(-97, -36), S(-81, -40), S(-58, -52), S(-64, -72),
    S(-57, -52), S(-51, -32), S(-75, -20), S(-91, -16), S(-91, -16), S(-75, -20), S(-51, -32), S(-57, -52),
    S(-50, -40), S(-44, -20), S(-69, -8),  S(-86, -4),  S(-86, -4),  S(-69, -8),  S(-44, -20), S(-50, -40),
    S(-43, -36), S(-37, -16), S(-63, -4),  S(-80, 0),   S(-80, 0),   S(-63, -4),  S(-37, -16), S(-43, -36),
    S(-36, -40), S(-30, -20), S(-57, -8),  S(-75, -4),  S(-75, -4),  S(-57, -8),  S(-30, -20), S(-36, -40),
    S(-29, -52), S(-23, -32), S(-51, -20), S(-70, -16), S(-70, -16), S(-51, -20), S(-23, -32), S(-29, -52),
    S(-13, -72), S(-7, -52),  S(-36, -40), S(-56, -36), S(-56, -36), S(-36, -40), S(-7, -52),  S(-13, -72),
    S(-8, -100), S(-2, -80),  S(-32, -68), S(-53, -64), S(-53, -64), S(-32, -68), S(-2, -80),  S(-8, -100),
};

// 32-bit arithmetic that wraps like the machine instead of overflowing:
// personality files may hold any 31-bit value.
constexpr int32_t wmul(int32_t a, int32_t b) { return int32_t(uint32_t(a) * uint32_t(b)); }
constexpr int32_t wadd(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }

// Truncation toward zero of a double to 32 bits; a value out of range gives
// INT32_MIN, as the processor's conversion does, instead of undefined behaviour.
int32_t truncInt(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;
    return int32_t(x);
}

int32_t roundInt(double x) { return x >= 0.0 ? truncInt(x + 0.5) : truncInt(x - 0.5); }

int islandCount(int mask) {
    int n = 0;
    for (int f = 0; f < 8; ++f)
        if ((mask >> f & 1) && !(f > 0 && (mask >> (f - 1) & 1))) ++n;
    return n;
}

void fillMobility(ScorePair* table, int count, int adj, ScorePair w) {
    double mid = getMidVal(w), end = getEndVal(w);
    double mid0 = mobCalc(adj, adj, mid), end0 = mobCalc(adj, adj, end);
    for (int i = 0; i < count; ++i)
        table[i] = scorePair(roundInt(mobCalc(i, adj, mid) - mid0), roundInt(mobCalc(i, adj, end) - end0));
}

void fillCounts(ScorePair* table, int count, ScorePair w, int offset = 0, int sign = 1) {
    for (int i = 0; i < count; ++i) table[i] = spScale(sign * (i + offset), w);
}

int32_t sideBonus(int s) {
    int32_t sum = wadd(wmul(24 - s, getEndVal(hmb)), wmul(s, getMidVal(hmb)));
    return truncInt(sum / 24.0 + 0.5);
}

}  // namespace

double mobCalc(int x, int adj, double w) {
    const double k = mobk;
    double d = (std::sqrt(adj + 0.5 + k) - std::sqrt(k)) - (std::sqrt(adj - 0.5 + k) - std::sqrt(k));
    return truncInt(w * ((std::sqrt(x + k) - std::sqrt(k)) / d));
}

void reInitEval() {
    isle[0] = 0;
    for (int m = 1; m < 256; ++m) isle[m] = spScale(islandCount(m) - 1, islands);

    fillMobility(n_mob_x, 16, madjN, nmob);
    fillMobility(b_mob_x, 16, madjB, bmob);
    fillMobility(r_mob_x, 16, madjR, rmob);
    fillMobility(q_mob_x, 32, madjQ, qmob);

    for (int i = 0; i < 96; ++i) kstab[i] = spScale(t_kstab[i], ksarea);
    for (int d = 0; d < 8; ++d) distBon[d] = spScale(t_distBon[d], kppdist);

    // Entry 9 of each count table is never indexed and stays 0.
    fillCounts(pdoubledA, 9, pdoubled);
    fillCounts(duofendedA, 9, duofended);
    fillCounts(isohA, 9, isoh);
    fillCounts(isooA, 9, isoo);
    fillCounts(pbkwdA, 9, pbkwd);
    fillCounts(blockedopenA, 9, blockedopen);
    fillCounts(pmobA, 9, pmob);
    fillCounts(minorbehindA, 9, minorbehind);
    fillCounts(nwpA, 9, nwp, -5);
    fillCounts(rwpA, 9, rwp, -5);
    fillCounts(bwpA, 9, bwp);
    fillCounts(NbwpA, 9, bwp, 0, -1);
    fillCounts(pthreatA, 18, pthreat);
    fillCounts(outpostA, 18, outpost);
    fillCounts(predundantA, 18, predundant);

    // Shelter pawns count most on the second rank; storming pawns on the sixth.
    constexpr int32_t defW[8] = {0, 27, 22, 10, 5, 0, 0, 0};
    constexpr int32_t attW[8] = {6, 0, 0, 6, 13, 45, 0, 0};
    constexpr int32_t a3mW[8] = {18, 12, 6, 0, -6, -12, -18, -24};
    for (int i = 0; i < 8; ++i) {
        ksDef[i] = spScale(defW[i], ksdefm);
        ksAtt[i] = spScale(attW[i], ksattm);
        ks3m[i] = spScale(a3mW[i], ksattm);
    }

    // Side to move: the end-game half early in the blend, the middle-game half
    // from full material on.
    for (int s = 0; s < 64; ++s) spb[s] = sideBonus(s < 24 ? s : 24);

    for (ScorePair& e : pst) e = 0;

    // Passed pawns by rank from the owner's side: flat on ranks 2 and 3, then
    // growing by 1, 3, 6 and 10 steps of ppinc.
    ScorePair ppRank[8];
    constexpr int32_t steps[8] = {0, 0, 0, 1, 3, 6, 10, 0};
    for (int r = 0; r < 8; ++r) {
        ppRank[r] = r == 0 || r == 7 ? 0
                                     : scorePair(wadd(getMidVal(passed), wmul(steps[r], getMidVal(ppinc))),
                                                 wadd(getEndVal(passed), wmul(steps[r], getEndVal(ppinc))));
    }
    for (int sq = 0; sq < 64; ++sq) {
        int r = sq >> 3;
        for (int col = 0; col < 2; ++col) {
            ScorePair v = ppRank[col ? 7 - r : r];
            int32_t m = getMidVal(v), e = getEndVal(v);
            int i = col * 64 + sq;
            pp[i] = v;
            pp40[i] = scorePair(truncInt(m * 0.4), truncInt(e * 0.4));
            ppm10[i] = scorePair(truncInt(m * -0.1), truncInt(e * -0.1));
            cpp[i] = scorePair(wmul(m, 3) / 4, wmul(e, 3) / 4);
        }
    }

    // Pawns: central pawns count their rank twice in the middle game.
    for (int sq = 0; sq < 64; ++sq) {
        int r = sq >> 3, f = sq & 7;
        int32_t rankMid = pawnRankMid[r] + (f == 3 || f == 4 ? pawnRankMid[r] : 0);
        int32_t m = wmul(pawnFileMid[f] + rankMid, getMidVal(ptabm));
        int32_t e = wmul(pawnFileEnd[f] + pawnRankEnd[r], getEndVal(ptabm));
        pst[pieceSquareIndex(WHITE, PAWN, sq)] = scorePair(m, e);
        pst[pieceSquareIndex(BLACK, PAWN, sq ^ 56)] = spNeg(scorePair(m, e));
    }
    struct Shape {
        int kind;
        const ScorePair* shape;
        ScorePair mult;
    };
    const Shape shapes[5] = {{KNIGHT, gKnight, ntabm}, {BISHOP, gBishop, btabm}, {ROOK, gRook, rtabm},
                             {QUEEN, gQueen.data(), qtabm}, {KING, gKing, ktabm}};
    for (const Shape& s : shapes) {
        for (int i = 0; i < 64; ++i) {
            ScorePair v = MUL(s.shape[i], s.mult);
            pst[pieceSquareIndex(WHITE, s.kind, i ^ 56)] = v;
            pst[pieceSquareIndex(BLACK, s.kind, i)] = spNeg(v);
        }
    }

    const ScorePair material[6] = {0, pval, nval, bval, rval, qval};
    for (int k = 0; k < 8; ++k) maxPceVals[k] = 0;
    for (int k = PAWN; k <= QUEEN; ++k) {
        int32_t m = getMidVal(material[k]), e = getEndVal(material[k]);
        maxPceVals[k] = (m > e ? m : e) / 10;
    }
    for (int k = PAWN; k <= QUEEN; ++k) {
        for (int sq = 0; sq < 64; ++sq) {
            ScorePair& w = pst[pieceSquareIndex(WHITE, k, sq)];
            ScorePair& b = pst[pieceSquareIndex(BLACK, k, sq)];
            w = spAdd(w, material[k]);
            b = spSub(b, material[k]);
        }
    }

    // Everything cached was computed with the old weights. The first build
    // finds the caches as the loader made them, all zero and never touched
    // (nothing evaluates before the tables exist); sweeping them then would
    // fault in megabytes of memory on the way to "uciok".
    static bool firstBuild = true;
    if (!firstBuild) clearEvalCaches();
    firstBuild = false;
}

void init_eval() { reInitEval(); }
