// Attack boards and attack tests. All are pure functions of the record and the
// fixed tables; nothing is cached between calls.
#include "board/attacks.h"

#include "board/movegen.h"
#include "board/tables.h"
#include "board/zobrist.h"

namespace {

// col's pawns that attack sq: a pawn of the other colour on sq would attack them back.
inline Bitboard pawnsAttacking(const Position& p, int col, int sq) {
    return pawnAttacks(col ^ 1, bit(sq)) & p.pcs[col][PAWN];
}

// A slider on one of the lines through sq with nothing between it and sq.
inline bool sliderHits(Bitboard sliders, const std::array<Bitboard, 64>& lines, int sq, Bitboard occ) {
    for (Bitboard b = sliders & lines[sq]; b; b &= b - 1)
        if (!(bet[nextBit(b)][sq] & occ)) return true;
    return false;
}

// col's attackers of sq among the kinds the threat estimate asks about.
struct Hits {
    bool pawn, knight, bishop, rook;
};

inline Hits hitsOn(const Position& p, int col, int sq, Bitboard occ) {
    return {pawnsAttacking(p, col, sq) != 0, (nATT[sq] & p.pcs[col][KNIGHT]) != 0,
            sliderHits(p.pcs[col][BISHOP], superD, sq, occ), sliderHits(p.pcs[col][ROOK], superO, sq, occ)};
}

inline int addTargets(Move* list, int n, int from, Bitboard targets) {
    for (; targets; targets &= targets - 1) list[n++] = makeMove(from, nextBit(targets));
    return n;
}

}  // namespace

Bitboard getAttBoard(const Position& p, int col) {
    const Bitboard own = p.pcs[col][ALL], occ = occupied(p);
    Bitboard a = pawnAttacks(col, p.pcs[col][PAWN]);
    for (Bitboard b = p.pcs[col][KNIGHT]; b; b &= b - 1) a |= nATT[nextBit(b)] & ~own;
    for (Bitboard b = p.pcs[col][BISHOP] | p.pcs[col][QUEEN]; b; b &= b - 1) a |= diagAttacks(nextBit(b), occ);
    for (Bitboard b = p.pcs[col][ROOK] | p.pcs[col][QUEEN]; b; b &= b - 1) a |= orthAttacks(nextBit(b), occ);
    for (Bitboard b = p.pcs[col][KING]; b; b &= b - 1) a |= kATT[nextBit(b)] & ~own;
    return a;
}

int fastInCheck(const Position& p, int col) {
    return (getAttBoard(p, col ^ 1) & p.pcs[col][KING]) != 0;
}

int fasterInCheck(const Position& p, int col) {
    const int k = kingSquare(p, col), o = col ^ 1;
    if (nATT[k] & p.pcs[o][KNIGHT]) return 1;
    if (pawnsAttacking(p, o, k)) return 1;
    const Bitboard occ = occupied(p);
    if (sliderHits(p.pcs[o][BISHOP] | p.pcs[o][QUEEN], superD, k, occ)) return 1;
    if (sliderHits(p.pcs[o][ROOK] | p.pcs[o][QUEEN], superO, k, occ)) return 1;
    return (kATT[k] & p.pcs[o][KING]) != 0;
}

int genAtt(const Position& p, Move* list) {
    const int col = sideToMove(p);
    const Bitboard own = p.pcs[col][ALL], occ = occupied(p), pawns = p.pcs[col][PAWN];
    int n = 0;
    // Pawn attacks by group: the targets of one diagonal, then of the other.
    const int d1 = col == WHITE ? 7 : -9, d2 = col == WHITE ? 9 : -7;
    const Bitboard g1 = col == WHITE ? (pawns << 7) & NOT_FILE_H : (pawns >> 9) & NOT_FILE_H;
    const Bitboard g2 = col == WHITE ? (pawns << 9) & NOT_FILE_A : (pawns >> 7) & NOT_FILE_A;
    for (Bitboard b = g1; b; b &= b - 1) list[n++] = makeMove(nextBit(b) - d1, nextBit(b));
    for (Bitboard b = g2; b; b &= b - 1) list[n++] = makeMove(nextBit(b) - d2, nextBit(b));
    for (Bitboard b = p.pcs[col][KNIGHT]; b; b &= b - 1) n = addTargets(list, n, nextBit(b), nATT[nextBit(b)] & ~own);
    for (Bitboard b = p.pcs[col][BISHOP] | p.pcs[col][QUEEN]; b; b &= b - 1) {
        int s = nextBit(b);
        n = addTargets(list, n, s, neLine(s, occ) & ~own);
        n = addTargets(list, n, s, nwLine(s, occ) & ~own);
    }
    for (Bitboard b = p.pcs[col][ROOK] | p.pcs[col][QUEEN]; b; b &= b - 1) {
        int s = nextBit(b);
        n = addTargets(list, n, s, nsLine(s, occ) & ~own);
        n = addTargets(list, n, s, ewLine(s, occ) & ~own);
    }
    for (Bitboard b = p.pcs[col][KING]; b; b &= b - 1) n = addTargets(list, n, nextBit(b), kATT[nextBit(b)] & ~own);
    return n;
}

int slowAttacked(const Position& p, int sq, int col) {
    Position q = p;
    if (sideToMove(q) == col) q.ctm += 1;
    Move list[MAX_MOVES];
    int n = genAtt(q, list);
    for (int i = 0; i < n; ++i)
        if (moveTo(list[i]) == sq) return 1;
    return 0;
}

int slowInCheck(const Position& p, int col) { return slowAttacked(p, kingSquare(p, col), col); }

int pslegal(const Position& p, Move m) {
    const int col = sideToMove(p);
    const Move m16 = m & 0xffff;
    const int type = moveType(m16), from = moveFrom(m16), to = moveTo(m16);
    // An en-passant word from outside the generators is never trusted.
    if (m16 == 0 || type == EN_PASSANT) return 0;
    if (type == CASTLE) {
        Move c[2];
        int n = genCastling(p, col, c);
        for (int i = 0; i < n; ++i)
            if (c[i] == m16) return 1;
        return 0;
    }
    if (!(p.pcs[col][ALL] & bit(from)) || (p.pcs[col][ALL] & bit(to))) return 0;
    int kind = 0;
    for (int k : {KING, QUEEN, ROOK, BISHOP, KNIGHT, PAWN})
        if (p.pcs[col][k] & bit(from)) {
            kind = k;
            break;
        }
    if (type == DOUBLE_STEP && kind != PAWN) return 0;
    const Bitboard occ = occupied(p);
    switch (kind) {
    case PAWN: {
        const int d = col == WHITE ? 8 : -8, one = from + d;
        if (one < 0 || one > 63) return 0;
        if (!(occ & bit(to))) {
            if (occ & bit(one)) return 0;
            if (to == one) return 1;
            return (rnk2[col] & bit(from)) && type == DOUBLE_STEP && !(occ & bit(one + d)) && to == one + d;
        }
        return (to - one == 1 || one - to == 1) && rankOf(to) == rankOf(one);
    }
    case KNIGHT: return (nATT[from] & bit(to)) != 0;
    case KING: return (kATT[from] & bit(to)) != 0;
    case BISHOP: return (superD[from] & bit(to)) && !(bet[from][to] & occ);
    case ROOK: return (superO[from] & bit(to)) && !(bet[from][to] & occ);
    case QUEEN: return (super[from] & bit(to)) && !(bet[from][to] & occ);
    default: return 0;
    }
}

int genCastling(const Position& p, int col, Move* list) {
    const Bitboard occ = occupied(p);
    const auto rules = castlingRules(col);
    // The right and the empty squares first: the enemy's attack board is
    // built only when one of the castlings is still possible.
    bool open[2];
    for (int i = 0; i < 2; ++i) open[i] = !(p.castle & castlingHomes(rules[i])) && !(occ & rules[i].mustBeEmpty);
    if (!open[0] && !open[1]) return 0;
    const Bitboard att = getAttBoard(p, col ^ 1);
    int n = 0;
    for (int i = 0; i < 2; ++i)
        if (open[i] && !(att & rules[i].mustBeSafe)) list[n++] = castlingMove(rules[i]);
    return n;
}

int staticAttacked(const Position& p, int col) {
    const int o = col ^ 1;
    const Bitboard occ = occupied(p);
    // A pawn one step from queening outweighs any piece threat.
    if (p.pcs[o][PAWN] & rnk7[o]) return 8532;
    auto guarded = [&](int sq) { return pawnsAttacking(p, col, sq) != 0; };
    for (Bitboard b = p.pcs[col][QUEEN]; b; b &= b - 1) {
        Hits h = hitsOn(p, o, nextBit(b), occ);
        if (h.pawn || h.knight || h.bishop) return 6082;
        if (h.rook) return 4422;
    }
    for (Bitboard b = p.pcs[col][ROOK]; b; b &= b - 1) {
        int sq = nextBit(b);
        Hits h = hitsOn(p, o, sq, occ);
        if (h.pawn) return 4110;
        if (h.knight || h.bishop) return guarded(sq) ? 3110 : 4110;
    }
    for (Bitboard b = p.pcs[col][BISHOP]; b; b &= b - 1) {
        int sq = nextBit(b);
        Hits h = hitsOn(p, o, sq, occ);
        if (h.pawn || h.knight) return 2450;
        if (!guarded(sq) && h.rook) return 1450;
    }
    for (Bitboard b = p.pcs[col][KNIGHT]; b; b &= b - 1) {
        int sq = nextBit(b);
        Hits h = hitsOn(p, o, sq, occ);
        if (h.pawn) return 2450;
        if (h.bishop) return guarded(sq) ? 1450 : 2450;
        if (!guarded(sq) && h.rook) return 2450;
    }
    for (Bitboard b = p.pcs[col][PAWN]; b; b &= b - 1) {
        int sq = nextBit(b);
        if (guarded(sq)) continue;
        Hits h = hitsOn(p, o, sq, occ);
        if (h.knight || h.bishop || h.rook) return 500;
    }
    return 0;
}

bool positionIsOk(const Position& p) {
    for (int col = 0; col < 2; ++col) {
        Bitboard all = 0;
        for (int k = PAWN; k <= KING; ++k) {
            if (all & p.pcs[col][k]) return false;
            all |= p.pcs[col][k];
        }
        if (all != p.pcs[col][ALL] || popCount(p.pcs[col][KING]) != 1) return false;
    }
    if (p.pcs[WHITE][ALL] & p.pcs[BLACK][ALL]) return false;
    if (p.ep && popCount(p.ep) != 1) return false;
    return p.hashKey == slowHash(p) && p.pawnKey == slowPsHash(p);
}
