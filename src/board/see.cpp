// Static exchange and threat tests. Everything here reads the position and the
// line tables only: no move list, no make.
#include "board/see.h"

#include <algorithm>
#include <array>

#include "board/attacks.h"
#include "board/tables.h"

namespace {

// Value of the piece standing on the target and of the first capturer. The
// queen is 9 here but 10 once it has captured: a queen that steps onto a
// contested square is a queen that will usually be traded for less.
constexpr std::array<int, 8> firstValue{0, 1, 3, 3, 5, 9, 999, 0};
// The threat variant weighs the first pair more finely, so that threats
// against pieces of nearly equal worth still rank by worth.
constexpr std::array<int, 8> firstValueThreat{0, 2, 6, 6, 9, 17, 999, 0};
constexpr std::array<int, 8> recaptureValue{0, 1, 3, 3, 5, 10, 999, 0};

// Attackers of sq per colour, sliders taken through other pieces so that
// x-rays behind the first capturers join the exchange in turn.
struct Attackers {
    Bitboard kind[7];  // by kind 1-6
};

// col's attackers of sq other than the pieces on `gone`; returns their union.
Bitboard collectAttackers(const Position& p, int col, int sq, Bitboard gone, Attackers& a) {
    const Bitboard* own = p.pcs[col];
    a.kind[0] = 0;
    a.kind[PAWN] = own[PAWN] & pawnAttacks(col ^ 1, bit(sq)) & ~gone;
    a.kind[KNIGHT] = own[KNIGHT] & nATT[sq] & ~gone;
    a.kind[BISHOP] = own[BISHOP] & superD[sq] & ~gone;
    a.kind[ROOK] = own[ROOK] & superO[sq] & ~gone;
    a.kind[QUEEN] = own[QUEEN] & super[sq] & ~gone;
    a.kind[KING] = own[KING] & kATT[sq] & ~gone;
    return a.kind[PAWN] | a.kind[KNIGHT] | a.kind[BISHOP] | a.kind[ROOK] | a.kind[QUEEN] | a.kind[KING];
}

// Picks the next capturer of one side, removes it from its set and from the
// occupancy (opening the line behind it) and returns its kind; 0 when that side
// has nothing left to capture with. A slider counts only when the lowest-square
// piece of its kind has a clear line: a blocked one makes the whole kind wait
// for this step, even if another piece of that kind could capture.
int popCapturer(Attackers& a, int sq, Bitboard& occ) {
    for (int k = PAWN; k <= KING; ++k) {
        Bitboard set = a.kind[k];
        if (!set) continue;
        int from = nextBit(set);
        if (k >= BISHOP && k <= QUEEN && (bet[from][sq] & occ)) continue;
        a.kind[k] = set ^ bit(from);
        occ &= ~bit(from);
        return k;
    }
    return 0;
}

// The exchange is walked once with running bounds on its value, as a minimax
// over "stop here or capture on": after a capture by o the side s may stop, so
// the value is at least the balance there (lo); after one by s the side o may
// stop, so it is at most the balance there (hi). While lo < hi the value lies
// between them; once they cross, the side that could stop earlier does, and the
// bound it set is the value: later captures cannot change it. With no capturer
// left the value is the bound set last. This gives exactly the fold-back of the
// whole gain list, without walking past the point where it is settled.
// AtLeast asks only whether the value reaches `threshold`, and stops as soon as
// both bounds lie on one side of it (the first two balances often settle it
// before any attacker is looked up).
template <bool AtLeast>
int exchange(const Position& p, Move m, int flag, const std::array<int, 8>& first, int threshold = 0) {
    const int from = moveFrom(m), to = moveTo(m);
    const int s = sideToMove(p) ^ flag;
    const int o = s ^ 1;

    int balance = from == to ? 0 : first[kindAt(p, o, to)];  // for s, after the first capture
    int onSquare = first[kindAt(p, s, from)];
    if constexpr (AtLeast) {
        // The value lies between the balance after the first capture and the
        // one after an answer that s leaves unanswered.
        if (balance - onSquare >= threshold) return 1;
        if (balance < threshold) return 0;
    }

    // Nothing of o's aims at the square: the first capture stands.
    Attackers att[2];
    if (!collectAttackers(p, o, to, bit(to), att[o])) return AtLeast ? balance >= threshold : balance;
    collectAttackers(p, s, to, bit(from), att[s]);
    Bitboard occ = occupied(p) & ~bit(from) & ~bit(to);

    int lo = -1000000, hi = balance;
    bool oLast = false;  // the last capture was o's
    for (int side = o;; side ^= 1) {
        const int k = popCapturer(att[side], to, occ);
        if (!k) break;
        oLast = side == o;
        if (oLast) {
            balance -= onSquare;
            lo = std::max(lo, balance);
        } else {
            balance += onSquare;
            hi = std::min(hi, balance);
        }
        onSquare = recaptureValue[k];
        if (lo >= hi) break;
        if constexpr (AtLeast) {
            if (lo >= threshold) return 1;
            if (hi < threshold) return 0;
        }
    }
    const int value = oLast ? std::min(lo, hi) : std::max(lo, hi);
    if constexpr (AtLeast) return value >= threshold;
    return value;
}

// Worst exchange against col's pieces of one kind: each piece is looked at as if
// the other side were to capture it first.
int worstAgainst(const Position& p, int col, int kind, int worst, Bitboard hit) {
    for (Bitboard b = p.pcs[col][kind] & hit; b; b &= b - 1) {
        int q = nextBit(b);
        worst = std::min(worst, sSee(p, makeMove(q, q), 0));
    }
    return worst;
}

// Threat against the pieces of col, the side to move. The most valuable kinds
// come first, and the walk stops once a loss is found that no smaller kind
// could exceed.
int threatAgainst(const Position& p, int col) {
    int o = col ^ 1;
    // A pawn one step from promotion outweighs anything the exchanges find.
    if (p.pcs[o][PAWN] & rnk7[o]) return 15;
    // A piece that nothing of o's reaches has an exchange of 0, which cannot
    // lower `worst`: only the attacked ones are looked at.
    const Bitboard hit = getAttBoard(p, o) & p.pcs[col][ALL];
    int worst = worstAgainst(p, col, QUEEN, 0, hit);
    if (worst < -4) return -worst;
    worst = worstAgainst(p, col, ROOK, worst, hit);
    if (worst < -3) return -worst;
    worst = worstAgainst(p, col, BISHOP, worst, hit);
    if (worst < -2) return -worst;
    worst = worstAgainst(p, col, KNIGHT, worst, hit);
    if (worst < -1) return -worst;
    worst = worstAgainst(p, col, PAWN, worst, hit);
    return -worst;
}

// Whether the line from a to b holds no piece.
bool clearLine(int a, int b, Bitboard occ) { return !(bet[a][b] & occ); }

// First of col's pieces in `targets` that the mover's piece on t wins by exchange.
int winsOne(const Position& p, int t, Bitboard targets) {
    for (; targets; targets &= targets - 1)
        if (seeAtLeast(p, makeMove(t, nextBit(targets)), 1, 1)) return 1;
    return 0;
}

// Pieces of `set` on lines from t with nothing in between.
Bitboard openFrom(int t, Bitboard set, Bitboard occ) {
    Bitboard r = 0;
    for (; set; set &= set - 1) {
        int s = nextBit(set);
        if (clearLine(t, s, occ)) r |= bit(s);
    }
    return r;
}

}  // namespace

int see(const Position& p, Move m, int flag) { return exchange<false>(p, m, flag, firstValue); }

bool seeAtLeast(const Position& p, Move m, int flag, int threshold) {
    return exchange<true>(p, m, flag, firstValue, threshold);
}

int sSee(const Position& p, Move m, int flag) { return exchange<false>(p, m, flag, firstValueThreat); }

int threatExists(const Position& p) { return threatAgainst(p, sideToMove(p)); }

int attackMv(const Position& p) {
    if (p.lastMove == 0 || p.ctm == 0) return 0;
    int col = sideToMove(p), mover = col ^ 1;
    int t = moveTo(p.lastMove);
    Bitboard occ = occupied(p);
    const Bitboard* v = p.pcs[col];
    switch (kindAt(p, mover, t)) {
    case PAWN:
        // A pawn attacking any piece is a real threat: it is always cheaper.
        return pawnAttacks(mover, bit(t)) & (v[ALL] & ~v[PAWN]) ? 2 : 0;
    case KNIGHT:
        if (nATT[t] & (v[QUEEN] | v[ROOK])) return 2;
        return winsOne(p, t, nATT[t] & (v[BISHOP] | v[PAWN]));
    case BISHOP:
        if (openFrom(t, superD[t] & (v[QUEEN] | v[ROOK]), occ)) return 2;
        return winsOne(p, t, openFrom(t, superD[t] & (v[KNIGHT] | v[PAWN]), occ));
    case ROOK:
        if (openFrom(t, superO[t] & v[QUEEN], occ)) return 2;
        return winsOne(p, t, openFrom(t, superO[t] & (v[KNIGHT] | v[PAWN] | v[BISHOP]), occ));
    case QUEEN:
        return winsOne(p, t, openFrom(t, super[t] & (v[ALL] & ~v[QUEEN]), occ));
    default:
        return 0;
    }
}

int couldBeCheck(const Position& p, Move m) {
    int col = sideToMove(p);
    int from = moveFrom(m), to = moveTo(m);
    int k = kingSquare(p, col ^ 1);
    Bitboard occ = occupied(p);
    // Promotions are judged as the pawn they still are; discovered checks and
    // the rook of a castling move are left to the search.
    switch (kindAt(p, col, from)) {
    case PAWN: return (pawnAttacks(col, bit(to)) & bit(k)) ? 1 : 0;
    case KNIGHT: return (nATT[to] & bit(k)) ? 1 : 0;
    case BISHOP: return (superD[to] & bit(k)) && clearLine(to, k, occ);
    case ROOK: return (superO[to] & bit(k)) && clearLine(to, k, occ);
    case QUEEN: return (super[to] & bit(k)) && clearLine(to, k, occ);
    case KING: return (kATT[to] & bit(k)) ? 1 : 0;
    default: return 0;
    }
}
