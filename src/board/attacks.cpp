// Attack boards and attack tests. All are pure functions of the record and the
// fixed tables; nothing is cached between calls.
#include "board/attacks.h"

#include "board/chess960.h"
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
    if (chess960On()) return genCastling960(p, col, list);
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
