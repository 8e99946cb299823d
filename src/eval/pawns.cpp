// Pawn structure: everything that depends only on the pawns and the two
// kings, cached by the pawn-and-king key.
#include "eval/pawns.h"

#include <array>

#include "board/tables.h"
#include "eval/eval.h"
#include "eval/evaltables.h"
#include "eval/kpkdb.h"
#include "eval/params.h"

thread_local PawnEntry ph[PH_SIZE];
thread_local uint64_t eprobes, ehits;

namespace {

// Squares strictly ahead of each pawn of col, in its direction of march.
constexpr Bitboard frontSpan(Bitboard b, int col) {
    return fillForward(col, col == WHITE ? b << 8 : b >> 8);
}
constexpr Bitboard stopSquares(Bitboard b, int col) { return col == WHITE ? b << 8 : b >> 8; }
// The 8-bit set of files holding a piece of b.
constexpr int fileSet(Bitboard b) { return int(southFill(b) & 0xff); }

// Squares on the neighbouring files ahead of a pawn: an enemy pawn there
// can stop it, now or later.
constexpr auto pInhibitor = [] {
    std::array<Bitboard, 128> t{};
    for (int col = 0; col < 2; ++col)
        for (int sq = 0; sq < 64; ++sq) {
            Bitboard side = ((bit(sq) << 1) & NOT_FILE_A) | ((bit(sq) >> 1) & NOT_FILE_H);
            t[col * 64 + sq] = frontSpan(side, col);
        }
    return t;
}();

// The terms of one colour's pawns; the passer list is filled on the way.
void scoreSide(const Position& p, int col, PawnEntry& entry, ScorePair* S) {
    const int en = col ^ 1;
    const Bitboard W = p.pcs[col][PAWN], E = p.pcs[en][PAWN], all = W | E;
    const int wk = kingSquare(p, WHITE), bk = kingSquare(p, BLACK);
    ScorePair s = S[col];

    const int files = fileSet(W);
    s = spAdd(s, isle[files]);
    s = spAdd(s, pdoubledA[popCount(W) - std::popcount(unsigned(files))]);

    const Bitboard ownAtt = pawnAttacks(col, W), enAtt = pawnAttacks(en, E);
    s = spAdd(s, predundantA[popCount(ownAtt)]);

    const int neighbours = ((files << 1) | (files >> 1)) & 0xff;
    const Bitboard isolated = W & northFill(southFill(Bitboard(files & ~neighbours)));
    const Bitboard enemyFiles = northFill(southFill(E));
    s = spAdd(s, isohA[popCount(isolated & enemyFiles)]);
    s = spAdd(s, isooA[popCount(isolated & ~enemyFiles)]);

    const Bitboard beside = (((W << 1) & NOT_FILE_A) | ((W >> 1) & NOT_FILE_H)) & W;
    const Bitboard connected = (beside | ownAtt) & W;
    s = spAdd(s, duofendedA[popCount(connected)]);

    // Backward: no own pawn behind on a neighbouring file can ever defend it.
    const Bitboard defendable = frontSpan(ownAtt, col) | ownAtt;
    const Bitboard candidates = W & ~isolated & ~connected & ~defendable;
    int backward = 0, blockedOpen = 0;
    for (Bitboard b = candidates; b; b &= b - 1) {
        const Bitboard pawn = b & -b;
        const Bitboard stop = stopSquares(pawn, col);
        if ((stop & all) || (stop & enAtt)) ++backward;
        if ((stop & enAtt) && !(frontSpan(stop, col) & all) && !(frontSpan(pawn, col) & E)) ++blockedOpen;
    }
    s = spAdd(s, pbkwdA[backward]);
    s = spAdd(s, blockedopenA[blockedOpen]);

    ScorePair sw = col == WHITE ? s : S[WHITE];
    ScorePair sb = col == BLACK ? s : S[BLACK];
    ScorePair& own = col == WHITE ? sw : sb;
    int listed = 0;
    const Bitboard enemyHalf = col == WHITE ? 0xffffffff00000000ULL : 0x00000000ffffffffULL;
    for (Bitboard b = W; b; b &= b - 1) {
        const int sq = nextBit(b);
        if (frontSpan(bit(sq), col) & all) continue;  // only the front pawn of a file
        if (pInhibitor[col * 64 + sq] & E) {
            // Candidate passer: supported, and at most one enemy pawn to pass.
            if ((connected & bit(sq)) && popCount(pInhibitor[col * 64 + sq] & E) <= 1)
                own = spAdd(own, cpp[col * 64 + sq]);
            continue;
        }
        if (bit(sq) & enemyHalf) entry.passers[col][listed++] = uint8_t(sq);
        const int t = col == WHITE ? sq + 8 : sq - 8;
        sw = spAdd(sw, distBon[dist(wk, t)]);
        sb = spAdd(sb, distBon[dist(bk, t)]);
        own = spAdd(own, pp[col * 64 + sq]);
    }
    S[WHITE] = sw;
    S[BLACK] = sb;
}

// Shelter of col's king by its own pawns, the storm of its pawns against the
// enemy king, and the back-rank king without an escape square.
ScorePair kingShelter(const Position& p, int col) {
    const Bitboard W = p.pcs[col][PAWN];
    const int k = kingSquare(p, col), ek = kingSquare(p, col ^ 1);
    auto rel = [col](int sq) { return col == WHITE ? sq >> 3 : 7 - (sq >> 3); };
    ScorePair s = 0;
    for (Bitboard b = W & wing[k]; b; b &= b - 1) {
        const int sq = nextBit(b);
        s = spAdd(s, ksDef[rel(sq)]);
        if ((sq & 7) == (k & 7)) s = spAdd(s, ksDef[rel(sq)]);
    }
    for (Bitboard b = W & wing[ek]; b; b &= b - 1) s = spAdd(s, ksAtt[rel(nextBit(b))]);
    if (rel(k) == 0) {
        const Bitboard kb = bit(k);
        const Bitboard front = stopSquares(kb | ((kb << 1) & NOT_FILE_A) | ((kb >> 1) & NOT_FILE_H), col);
        if ((front & W) == front) s = spAdd(s, luftp);
    }
    return s;
}

}  // namespace

ScorePair pawnStructure(const Position& p, PawnEntry*& entry) {
    ++eprobes;
    PawnEntry& e = ph[p.pawnKey & (PH_SIZE - 1)];
    entry = &e;
    if (e.key == p.pawnKey) {
        ++ehits;
        return e.score;
    }
    e.key = p.pawnKey;
    for (auto& list : e.passers)
        for (uint8_t& sq : list) sq = 0;
    ScorePair S[2] = {0, 0};
    scoreSide(p, WHITE, e, S);
    scoreSide(p, BLACK, e, S);
    S[WHITE] = spAdd(S[WHITE], kingShelter(p, WHITE));
    S[BLACK] = spAdd(S[BLACK], kingShelter(p, BLACK));
    e.score = spSub(S[WHITE], S[BLACK]);
    return e.score;
}

void clear_pht() {
    for (PawnEntry& e : ph) e.key = 0;
}
