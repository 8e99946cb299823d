// The static evaluation: a tapered sum of score pairs, white minus black,
// blended by the game stage and scaled for drawish material.
#include "eval/eval.h"

#include <array>
#include <cassert>

#include "board/see.h"
#include "board/tables.h"
#include "eval/evaltables.h"
#include "eval/kpkdb.h"
#include "eval/params.h"
#include "eval/pawns.h"

thread_local EvalCacheEntry eca[EC_MASK + 1];

void clearEvalCaches() {
    clear_pht();
    for (EvalCacheEntry& e : eca) e.key = 0;
}

namespace {

// King-attack units of a piece that reaches the enemy king's zone.
constexpr int32_t ksav[8] = {0, 0, 9, 4, 6, 5, 0, 0};
// A side's pieces in eighths of a pawn, for the drawishness scaling.
constexpr int KNIGHT_W = 24, BISHOP_W = 28, ROOK_W = 40, QUEEN_W = 72;
// Scaling of the total when the side ahead has 0-4 pawns.
constexpr double dc[5] = {0.4, 0.55, 0.7, 0.8, 0.9};
constexpr Bitboard square_color[2] = {0x55aa55aa55aa55aaULL, 0xaa55aa55aa55aa55ULL};  // light, dark
constexpr auto sq_color = [] {
    std::array<int, 64> t{};
    for (int sq = 0; sq < 64; ++sq) t[sq] = ((sq >> 3) + (sq & 7)) % 2 == 0;  // a1 is dark
    return t;
}();

// Truncation toward zero that maps values beyond 32 bits to INT32_MIN, as
// the processor's conversion does, instead of undefined behaviour.
int32_t truncInt(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;
    return int32_t(x);
}

constexpr int32_t wmul(int32_t a, int32_t b) { return int32_t(uint32_t(a) * uint32_t(b)); }
constexpr int32_t wadd(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
constexpr int32_t wneg(int32_t a) { return int32_t(0u - uint32_t(a)); }

// Behind each pawn of col: one square towards col's own side.
constexpr Bitboard behind(Bitboard b, int col) { return col == WHITE ? b >> 8 : b << 8; }

}  // namespace

int eval(const Position& p) {
    EvalCacheEntry& cached = eca[p.hashKey & EC_MASK];
    if (cached.key == p.hashKey) return cached.score;
    // Material and stage come from the record, kept by make since the root.
    assert(p.pstScore == getSC(p) && p.stage == getSTAGE(p));

    PawnEntry* pe;
    const ScorePair pawnScore = pawnStructure(p, pe);

    const Bitboard wp = p.pcs[WHITE][PAWN], bp = p.pcs[BLACK][PAWN];
    const int pw = popCount(wp), pb = popCount(bp);
    if (p.stage == 0 && ((pw == 1 && pb == 0) || (pb == 1 && pw == 0)) &&
        !(p.pcs[WHITE][KNIGHT] | p.pcs[BLACK][KNIGHT])) {
        const int v = kpvsk(p);
        return sideToMove(p) == WHITE ? v : -v;
    }

    const Bitboard occ = occupied(p);
    const Bitboard pawnAtt[2] = {pawnAttacks(WHITE, wp), pawnAttacks(BLACK, bp)};
    ScorePair S[2] = {0, 0};
    int m[2] = {0, 0};

    for (int col = 0; col < 2; ++col) {
        const int en = col ^ 1;
        const Bitboard zone = kATT[kingSquare(p, en)];
        const Bitboard area = mobilityArea(p, col);
        const Bitboard own = p.pcs[col][PAWN];
        const int ownPawns = popCount(own);
        ScorePair s = 0;
        int units = 0;

        // Advanced passed pawns: a safe advance adds 40% of the passer's
        // value, a blocked or losing one takes 10% away.
        for (int i = 0; i < 8 && pe->passers[col][i]; ++i) {
            const int sq = pe->passers[col][i];
            const int t = col == WHITE ? sq + 8 : sq - 8;
            const bool advances = !(occ & bit(t)) && seeAtLeast(p, makeMove(sq, t), 0, 0);
            s = spAdd(s, advances ? pp40[col * 64 + sq] : ppm10[col * 64 + sq]);
        }

        for (Bitboard b = p.pcs[col][KNIGHT]; b; b &= b - 1) {
            const Bitboard x = nATT[nextBit(b)];
            s = spAdd(s, n_mob_x[popCount(x & area)]);
            s = spAdd(s, nwpA[ownPawns]);
            if (x & zone) units += ksav[KNIGHT];
            m[col] += KNIGHT_W;
        }
        for (Bitboard b = p.pcs[col][BISHOP]; b; b &= b - 1) {
            const int sq = nextBit(b);
            const Bitboard x = diagAttacks(sq, occ);
            const Bitboard sameColour = square_color[sq_color[sq]];
            s = spAdd(s, b_mob_x[popCount(x & area)]);
            s = spAdd(s, NbwpA[popCount(own & sameColour)]);
            s = spAdd(s, bwpA[popCount(own & ~sameColour)]);
            if (x & zone) units += ksav[BISHOP];
            m[col] += BISHOP_W;
        }
        const Bitboard enemyPawns = p.pcs[en][PAWN];
        for (Bitboard b = p.pcs[col][ROOK]; b; b &= b - 1) {
            const int sq = nextBit(b);
            const Bitboard x = orthAttacks(sq, occ);
            s = spAdd(s, rwpA[ownPawns]);
            if (x & zone) units += ksav[ROOK];
            m[col] += ROOK_W;
            if (!(own & superF[sq])) s = spAdd(s, enemyPawns & superF[sq] ? rhalf : ropen);
            s = spAdd(s, r_mob_x[popCount(x & area)]);
        }
        for (Bitboard b = p.pcs[col][QUEEN]; b; b &= b - 1) {
            const int sq = nextBit(b);
            const Bitboard d = diagAttacks(sq, occ), o = orthAttacks(sq, occ);
            s = spAdd(s, q_mob_x[popCount(d & area) + popCount(o & area)]);
            if ((d | o) & zone) units += ksav[QUEEN];
            m[col] += QUEEN_W;
        }
        if (popCount(p.pcs[col][ROOK]) >= 2) s = spAdd(s, rpair);
        if (p.pcs[col][QUEEN] && p.pcs[col][ROOK]) s = spAdd(s, qpair);
        // Only many promoted knights could go past the end of the curve.
        s = spAdd(s, kstab[units < 95 ? units : 95]);
        S[col] = s;
    }

    for (int col = 0; col < 2; ++col) {
        const int en = col ^ 1;
        const Bitboard minors = p.pcs[col][KNIGHT] | p.pcs[col][BISHOP];
        ScorePair s = S[col];
        s = spAdd(s, pthreatA[popCount(p.pcs[en][ALL] & pawnAtt[col])]);
        // Outposts: squares no enemy pawn can ever attack.
        s = spAdd(s, outpostA[popCount((minors | p.pcs[col][ROOK]) & ~fillForward(en, pawnAtt[en]))]);
        const Bitboard enemyStops = en == WHITE ? p.pcs[en][PAWN] << 8 : p.pcs[en][PAWN] >> 8;
        s = spAdd(s, pmobA[popCount(enemyStops & occ)]);
        s = spAdd(s, minorbehindA[popCount(minors & behind(p.pcs[col][PAWN], col))]);
        if (popCount(p.pcs[col][BISHOP]) >= 2) s = spAdd(s, bpair);
        S[col] = s;
    }

    const ScorePair total = spAdd(spAdd(spSub(S[WHITE], S[BLACK]), p.pstScore), pawnScore);
    const int32_t mid = getMidVal(total), end = getEndVal(total);

    // Opposite-coloured bishops: each side has an odd number of bishops and
    // they do not all stand on light squares.
    const int s = p.stage < 24 ? p.stage : 24;
    double f = 1.0;
    const Bitboard bishops = p.pcs[WHITE][BISHOP] | p.pcs[BLACK][BISHOP];
    if (m[WHITE] % 8 == 4 && m[BLACK] % 8 == 4 && (bishops & square_color[1])) {
        if (m[WHITE] == BISHOP_W && m[BLACK] == BISHOP_W) f = 0.5;
        else if (p.stage <= 13) f = 0.9;
    }
    int32_t v = truncInt(double(wadd(wmul(mid, s), wmul(end, 24 - s))) * f);

    // Drawish material.
    const int n = m[WHITE] / 8 + m[BLACK] / 8;
    if (n == 0 && (wp | bp)) {
        v = truncInt(v * 1.3);
    } else if (!(wp | bp)) {
        const int diff = m[WHITE] / 8 - m[BLACK] / 8;
        v = truncInt(v * (diff >= -3 && diff <= 3 && n < 13 ? 0.1 : 0.4));
    } else {
        const int k = v >= 0 ? pw : pb;
        if (k < 5) v = truncInt(v * dc[k]);
    }

    v = v >= 0 ? truncInt(v / 24.0 + 0.5) : wneg(truncInt(-double(v) / 24.0 + 0.5));
    v = sideToMove(p) == WHITE ? wadd(v, spb[s]) : wadd(spb[s], wneg(v));
    v = div10(v);

    cached.key = p.hashKey;
    cached.score = v;
    return v;
}
