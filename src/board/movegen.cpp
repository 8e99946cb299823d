// Pseudo-legal move generators. The order in which each one emits its moves is
// part of its contract (the picker and the move-text reader rely on it), so
// every loop below walks pieces and targets in ascending square order and the
// sliders along their line lists.
#include "board/movegen.h"

#include "board/attacks.h"
#include "board/tables.h"

namespace {

constexpr Bitboard INNER_BOARD = 0x7e7e7e7e7e7e00ULL;  // files b-g, ranks 2-7

inline Bitboard pushOne(int col, Bitboard b) { return col == WHITE ? b << 8 : b >> 8; }
inline int forward(int col) { return col == WHITE ? 8 : -8; }

inline int addPromos(Move* list, int n, int from, int to) {
    list[n++] = makeMove(from, to, PROMO_Q);
    list[n++] = makeMove(from, to, PROMO_N);
    list[n++] = makeMove(from, to, PROMO_R);
    list[n++] = makeMove(from, to, PROMO_B);
    return n;
}

// Pawn captures, toward the a-file first, then toward the h-file; a capture
// onto the en-passant square is typed as such, one onto the last rank is a
// queen promotion or all four.
int pawnCaptures(const Position& p, int col, Move* list, int n, bool allPromos) {
    const Bitboard targets = p.pcs[col ^ 1][ALL] | p.ep, pawns = p.pcs[col][PAWN];
    const Bitboard groups[2] = {
        col == WHITE ? (pawns << 7) & NOT_FILE_H : (pawns >> 9) & NOT_FILE_H,
        col == WHITE ? (pawns << 9) & NOT_FILE_A : (pawns >> 7) & NOT_FILE_A};
    const int steps[2] = {col == WHITE ? 7 : -9, col == WHITE ? 9 : -7};
    for (int g = 0; g < 2; ++g)
        for (Bitboard b = groups[g] & targets; b; b &= b - 1) {
            const int to = nextBit(b), from = to - steps[g];
            if (p.ep & bit(to))
                list[n++] = makeMove(from, to, EN_PASSANT);
            else if (LAST_RANKS & bit(to))
                n = allPromos ? addPromos(list, n, from, to) : (list[n++] = makeMove(from, to, PROMO_Q), n);
            else
                list[n++] = makeMove(from, to);
        }
    return n;
}

// Pushes onto the last rank; all four promotions or the queen only.
int promoPushes(const Position& p, int col, Move* list, int n, bool allPromos) {
    const Bitboard empty = ~occupied(p);
    for (Bitboard b = pushOne(col, p.pcs[col][PAWN]) & empty & LAST_RANKS; b; b &= b - 1) {
        const int to = nextBit(b), from = to - forward(col);
        n = allPromos ? addPromos(list, n, from, to) : (list[n++] = makeMove(from, to, PROMO_Q), n);
    }
    return n;
}

// Single pushes that stay short of the last rank, restricted to `only` targets.
int singlePushes(const Position& p, int col, Move* list, int n, Bitboard only) {
    const Bitboard empty = ~occupied(p);
    for (Bitboard b = pushOne(col, p.pcs[col][PAWN] & ~rnk7[col]) & empty & only; b; b &= b - 1) {
        const int to = nextBit(b);
        list[n++] = makeMove(to - forward(col), to);
    }
    return n;
}

int doublePushes(const Position& p, int col, Move* list, int n, Bitboard onlyFrom, Bitboard onlyTo) {
    const Bitboard empty = ~occupied(p);
    const Bitboard one = pushOne(col, p.pcs[col][PAWN] & rnk2[col] & onlyFrom) & empty;
    for (Bitboard b = pushOne(col, one) & empty & onlyTo; b; b &= b - 1) {
        const int to = nextBit(b);
        list[n++] = makeMove(to - 2 * forward(col), to, DOUBLE_STEP);
    }
    return n;
}

inline int addTargets(Move* list, int n, int from, Bitboard targets) {
    for (; targets; targets &= targets - 1) list[n++] = makeMove(from, nextBit(targets));
    return n;
}

// One line after the other, each in ascending order: the order of the line lists.
inline int addDiag(Move* list, int n, int from, Bitboard occ, Bitboard keep) {
    n = addTargets(list, n, from, neLine(from, occ) & keep);
    return addTargets(list, n, from, nwLine(from, occ) & keep);
}

inline int addOrth(Move* list, int n, int from, Bitboard occ, Bitboard keep) {
    n = addTargets(list, n, from, nsLine(from, occ) & keep);
    return addTargets(list, n, from, ewLine(from, occ) & keep);
}

int knights(const Position& p, int col, Move* list, int n, Bitboard keep) {
    for (Bitboard b = p.pcs[col][KNIGHT]; b; b &= b - 1) n = addTargets(list, n, nextBit(b), nATT[nextBit(b)] & keep);
    return n;
}

int bishops(const Position& p, int col, Move* list, int n, Bitboard keep) {
    const Bitboard occ = occupied(p);
    for (Bitboard b = p.pcs[col][BISHOP]; b; b &= b - 1) n = addDiag(list, n, nextBit(b), occ, keep);
    return n;
}

int rooks(const Position& p, int col, Move* list, int n, Bitboard keep) {
    const Bitboard occ = occupied(p);
    for (Bitboard b = p.pcs[col][ROOK]; b; b &= b - 1) n = addOrth(list, n, nextBit(b), occ, keep);
    return n;
}

int queens(const Position& p, int col, Move* list, int n, Bitboard keep) {
    const Bitboard occ = occupied(p);
    for (Bitboard b = p.pcs[col][QUEEN]; b; b &= b - 1) {
        const int s = nextBit(b);
        n = addDiag(list, n, s, occ, keep);
        n = addOrth(list, n, s, occ, keep);
    }
    return n;
}

int kings(const Position& p, int col, Move* list, int n, Bitboard keep) {
    for (Bitboard b = p.pcs[col][KING]; b; b &= b - 1) n = addTargets(list, n, nextBit(b), kATT[nextBit(b)] & keep);
    return n;
}

// Sliders of `pieces` on the lines `lines` through t with a clear path, moving onto t.
int slidersOnto(Move* list, int n, Bitboard pieces, const std::array<Bitboard, 64>& lines, int t, Bitboard occ) {
    for (Bitboard b = pieces & lines[t]; b; b &= b - 1) {
        const int s = nextBit(b);
        if (!(bet[s][t] & occ)) list[n++] = makeMove(s, t);
    }
    return n;
}

}  // namespace

int genQueensNc(const Position& p, int col, Move* list) { return queens(p, col, list, 0, ~occupied(p)); }

int genAll(const Position& p, Move* list) {
    const int col = sideToMove(p);
    const Bitboard notOwn = ~p.pcs[col][ALL];
    int n = promoPushes(p, col, list, 0, true);
    n += genCastling(p, col, list + n);
    n = pawnCaptures(p, col, list, n, true);
    n = singlePushes(p, col, list, n, ~0ULL);
    n = knights(p, col, list, n, notOwn);
    n = bishops(p, col, list, n, notOwn);
    n = rooks(p, col, list, n, notOwn);
    n = queens(p, col, list, n, notOwn);
    n = kings(p, col, list, n, notOwn);
    return doublePushes(p, col, list, n, ~0ULL, ~0ULL);
}

int genCaps(const Position& p, Move* list) {
    const int col = sideToMove(p);
    const Bitboard enemy = p.pcs[col ^ 1][ALL], occ = occupied(p);
    int n = pawnCaptures(p, col, list, 0, false);
    n = promoPushes(p, col, list, n, false);
    n = knights(p, col, list, n, enemy);
    // A queen's diagonal captures come with the bishops, its straight ones with the rooks.
    for (Bitboard b = p.pcs[col][BISHOP] | p.pcs[col][QUEEN]; b; b &= b - 1) n = addDiag(list, n, nextBit(b), occ, enemy);
    for (Bitboard b = p.pcs[col][ROOK] | p.pcs[col][QUEEN]; b; b &= b - 1) n = addOrth(list, n, nextBit(b), occ, enemy);
    return kings(p, col, list, n, enemy);
}

int genCapsChecks(const Position& p, Move* list) {
    const int col = sideToMove(p), o = col ^ 1;
    const int k = kingSquare(p, o);
    const Bitboard own = p.pcs[col][ALL], enemy = p.pcs[o][ALL], occ = occupied(p);
    const Bitboard queenLines = superD[k] | superO[k];
    // Own sliders lined up with the enemy king on an empty board: any piece of
    // ours on those lines may uncover a check by moving anywhere.
    const Bitboard aimedD = (p.pcs[col][BISHOP] | p.pcs[col][QUEEN]) & superD[k];
    const Bitboard aimedO = (p.pcs[col][ROOK] | p.pcs[col][QUEEN]) & superO[k];
    const bool aimed = (aimedD | aimedO) != 0;
    const Bitboard pawnChecks = pawnAttacks(o, bit(k));  // squares from which our pawn attacks k

    int n = pawnCaptures(p, col, list, 0, false);
    n = singlePushes(p, col, list, n, pawnChecks);
    if (rnk5[col] & bit(k)) n = doublePushes(p, col, list, n, ~0ULL, pawnChecks);
    if (aimed) {
        n = singlePushes(p, col, list, n, pushOne(col, queenLines));
        n = doublePushes(p, col, list, n, queenLines, ~0ULL);
    }
    n = promoPushes(p, col, list, n, false);

    for (Bitboard b = p.pcs[col][KNIGHT]; b; b &= b - 1) {
        const int s = nextBit(b);
        const Bitboard keep = (aimed && (queenLines & bit(s))) ? ~own : (enemy | nATT[k]) & ~own;
        n = addTargets(list, n, s, nATT[s] & keep);
    }
    for (Bitboard b = p.pcs[col][QUEEN]; b; b &= b - 1) {
        const int s = nextBit(b);
        const Bitboard keep = (enemy | queenLines) & ~own;
        n = addDiag(list, n, s, occ, keep);
        n = addOrth(list, n, s, occ, keep);
    }
    for (Bitboard b = p.pcs[col][BISHOP]; b; b &= b - 1) {
        const int s = nextBit(b);
        const Bitboard keep = (aimedO && (superO[k] & bit(s))) ? ~own : (enemy | superD[k]) & ~own;
        n = addDiag(list, n, s, occ, keep);
    }
    for (Bitboard b = p.pcs[col][ROOK]; b; b &= b - 1) {
        const int s = nextBit(b);
        const Bitboard keep = (aimedD && (superD[k] & bit(s))) ? ~own : (enemy | superO[k]) & ~own;
        n = addOrth(list, n, s, occ, keep);
    }
    const Bitboard kingKeep = (aimed && (p.pcs[col][KING] & INNER_BOARD)) ? ~own : enemy;
    return kings(p, col, list, n, kingKeep);
}

int genCapturesOf(const Position& p, Move* list, int sq) {
    const int col = sideToMove(p);
    const Bitboard occ = occupied(p);
    int n = 0;
    for (Bitboard b = pawnAttacks(col ^ 1, bit(sq)) & p.pcs[col][PAWN]; b; b &= b - 1)
        list[n++] = makeMove(nextBit(b), sq, (LAST_RANKS & bit(sq)) ? PROMO_Q : NORMAL);
    for (Bitboard b = nATT[sq] & p.pcs[col][KNIGHT]; b; b &= b - 1) list[n++] = makeMove(nextBit(b), sq);
    for (Bitboard b = kATT[sq] & p.pcs[col][KING]; b; b &= b - 1) list[n++] = makeMove(nextBit(b), sq);
    n = slidersOnto(list, n, p.pcs[col][BISHOP] | p.pcs[col][QUEEN], superD, sq, occ);
    return slidersOnto(list, n, p.pcs[col][ROOK] | p.pcs[col][QUEEN], superO, sq, occ);
}

int genMovesToMask(const Position& p, Move* list, Bitboard mask) {
    const int col = sideToMove(p);
    const Bitboard occ = occupied(p);
    int n = 0;
    for (Bitboard b = pushOne(col, p.pcs[col][PAWN]) & mask; b; b &= b - 1) {
        const int to = nextBit(b);
        list[n++] = makeMove(to - forward(col), to, (LAST_RANKS & bit(to)) ? PROMO_Q : NORMAL);
    }
    n = doublePushes(p, col, list, n, ~0ULL, mask & rnk4[col]);
    n = knights(p, col, list, n, mask);
    for (Bitboard b = p.pcs[col][BISHOP] | p.pcs[col][QUEEN]; b; b &= b - 1) {
        const int s = nextBit(b);
        for (Bitboard t = superD[s] & mask; t; t &= t - 1)
            if (!(bet[s][nextBit(t)] & occ)) list[n++] = makeMove(s, nextBit(t));
    }
    for (Bitboard b = p.pcs[col][ROOK] | p.pcs[col][QUEEN]; b; b &= b - 1) {
        const int s = nextBit(b);
        for (Bitboard t = superO[s] & mask; t; t &= t - 1)
            if (!(bet[s][nextBit(t)] & occ)) list[n++] = makeMove(s, nextBit(t));
    }
    return n;
}

int genEP(const Position& p, Move* list) {
    if (!p.ep) return 0;
    const int col = sideToMove(p), e = nextBit(p.ep);
    int n = 0;
    for (Bitboard b = pawnAttacks(col ^ 1, p.ep) & p.pcs[col][PAWN]; b; b &= b - 1)
        list[n++] = makeMove(nextBit(b), e, EN_PASSANT);
    return n;
}

int genOut(const Position& p, Move* list) {
    const int col = sideToMove(p), o = col ^ 1;
    const int k = kingSquare(p, col);
    const Bitboard occ = occupied(p);
    int n = kings(p, col, list, 0, ~p.pcs[col][ALL]);
    if (Bitboard b = nATT[k] & p.pcs[o][KNIGHT]) return n + genCapturesOf(p, list + n, nextBit(b));
    if (Bitboard b = pawnAttacks(col, bit(k)) & p.pcs[o][PAWN]) {
        n += genCapturesOf(p, list + n, nextBit(b));
        return n + genEP(p, list + n);
    }
    // Every checking slider in turn: take it, or block its line.
    for (Bitboard b = (p.pcs[o][BISHOP] | p.pcs[o][QUEEN]) & superD[k]; b; b &= b - 1) {
        const int s = nextBit(b);
        if (bet[s][k] & occ) continue;
        n += genCapturesOf(p, list + n, s);
        n += genMovesToMask(p, list + n, bet[s][k]);
    }
    for (Bitboard b = (p.pcs[o][ROOK] | p.pcs[o][QUEEN]) & superO[k]; b; b &= b - 1) {
        const int s = nextBit(b);
        if (bet[s][k] & occ) continue;
        n += genCapturesOf(p, list + n, s);
        n += genMovesToMask(p, list + n, bet[s][k]);
    }
    return n;
}
