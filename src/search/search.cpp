// The two node searches below the root: searchPv with an open window, and
// searchNonPv with a null window, which carries all the selectivity.
#include <algorithm>
#include <cstdlib>

#include "base/general.h"
#include "board/attacks.h"
#include "board/make.h"
#include "board/see.h"
#include "board/tables.h"
#include "eval/eval.h"
#include "search/nodeutil.h"

int32_t use_nullmove = 1;
int32_t use_fut = 12;
int32_t use_hp = 6;
int32_t use_lmr = 1;
int32_t lmrnon = 1;
int32_t lmrpv = 4;
int32_t smin = 10;
int32_t smarg = 80;
const int32_t razor[8] = {150, 300, 300, 375, 375, 375, 500, 500};
const int32_t fmarg[12] = {100, 112, 200, 212, 231, 244, 262, 275, 325, 337, 362, 375};

// Half boards in which a pawn of the other colour is dangerous: entry 0 ranks
// 5-8, entry 1 ranks 1-4.
static constexpr Bitboard dangpp[2] = {0xffffffff00000000ULL, 0x00000000ffffffffULL};

static constexpr int HISTORY_LIMIT = 20000;

Bitboard passMaskOf(const Position& p) {
    const int opp = sideToMove(p) ^ 1;
    return ~pawnFrontier(opp, p.pcs[opp][PAWN]) & dangpp[opp];
}

int lmrReduction(int n, bool pvNode) {
    n = std::clamp(n, 0, 255);
    return pvNode ? int(logs[n]) : int(logs[n] + 2.0);
}

int rep(const Position& q) {
    // Positions before a capture or a pawn move cannot come back, so the walk
    // ends at the first such move; a null move (lastMove 0) or the game's
    // start ends it too. The start is the record without a parent: a FEN with
    // an en-passant square gives it a made-up last move, which must not make
    // it comparable.
    if (q.lastMove == 0 || q.movedKind == PAWN || q.capturedKind) return 0;
    const Position* p = q.prev;
    for (int back = 1; p && back <= 40; ++back, p = p->prev) {
        if (p->lastMove == 0 || !p->prev) return 0;
        if (!(back & 1) && p->hashKey == q.hashKey) return 1;
        if (p->movedKind == PAWN || p->capturedKind) return 0;
    }
    return 0;
}

int attVic(const Position& p, int k, int from, int to) {
    const Bitboard target = bit(to);
    switch (kindAt(p, k, from)) {
        case PAWN: return (pawnAttacks(k, bit(from)) & target) != 0;
        case KNIGHT: return (nATT[from] & target) != 0;
        case KING: return (kATT[from] & target) != 0;
        case BISHOP: return from != to && (superD[from] & target) && !(bet[from][to] & occupied(p));
        case ROOK: return from != to && (superO[from] & target) && !(bet[from][to] & occupied(p));
        case QUEEN: return from != to && (super[from] & target) && !(bet[from][to] & occupied(p));
        default: return 0;
    }
}

int connected(const Position& p, int k, Move m1, Move m2) {
    if (!m2) return 0;
    const int f1 = moveFrom(m1), t1 = moveTo(m1), f2 = moveFrom(m2), t2 = moveTo(m2);
    if (f2 == t1) return 1;  // the threat is made by the piece that just moved
    if (t2 == f1) return 1;  // it goes to the square that move left
    int kind = kindAt(p, k, f2);
    if ((kind == BISHOP || kind == ROOK || kind == QUEEN) && (bet[f2][t2] & bit(f1))) return 1;  // line opened
    // The move captured a piece that guarded the threatened square.
    if (!p.prev) return 0;
    return attVic(*p.prev, k ^ 1, t1, t2);
}

void reduceHis() {
    for (int col = 0; col < 2; ++col)
        for (int kind = PAWN; kind <= KING; ++kind)
            for (int sq = 0; sq < 64; ++sq) {
                int i = histIndex(col, kind, sq);
                his_s[i] = std::max<uint64_t>(his_s[i] / 2, 1);
                his_f[i] = std::max<uint64_t>(his_f[i] / 2, 1);
            }
}

namespace {

// A quiet move tried at a node, kept for the history update.
struct QuietTry {
    uint8_t kind, to;
};

struct QuietList {
    QuietTry q[256];
    int n = 0;
};

struct MoveClass {
    bool histCand;
    int ext, f;  // extension in half plies, forcing count
};

// What both node searches first note about a legal, unrepeated move: a quiet
// move of a node not in check is a history candidate and joins the quiet list;
// a check extends by half a ply and a push to the seventh rank by another
// half, and both make the move forcing.
MoveClass classify(const Position& p, const Position& child, Move m, bool capture, QuietList& quiets) {
    MoveClass c{false, child.inCheck, p.inCheck + child.inCheck};
    if (!capture && !p.inCheck) {
        quiets.q[quiets.n++] = {uint8_t(child.movedKind), uint8_t(moveTo(m))};
        c.histCand = true;
    }
    if (child.movedKind == PAWN && (bit(moveTo(m)) & rnk7[sideToMove(p)])) ++c.ext, ++c.f;
    return c;
}

// Credits the cut-off move (the last entry) with a success and every quiet
// move tried before it with a failure.
void updateHistory(int side, const QuietList& ql) {
    bool over = false;
    for (int i = 0; i < ql.n; ++i) {
        int idx = histIndex(side, ql.q[i].kind, ql.q[i].to);
        uint64_t v = i + 1 == ql.n ? ++his_s[idx] : ++his_f[idx];
        if (v > HISTORY_LIMIT) over = true;
    }
    if (over) reduceHis();
}

void updateKiller(Move* a, Move* b, int ply, Move m) {
    if (ply >= KILLER_PLIES || m == a[ply]) return;
    b[ply] = a[ply];
    a[ply] = m;
}

bool isCapture(const Position& p, Move m, int opp) {
    int type = moveType(m);
    return (p.pcs[opp][ALL] & bit(moveTo(m))) || type == PROMO_Q || type == EN_PASSANT;
}

}  // namespace

int searchNonPv(const Position& p, int beta, int depth, int ply, PvLine& line, Move excluded) {
    if (pollStep()) return 0;
    if (depth < 2) return searchQuies(p, beta - 1, beta, 0, ply, line);
    line.m[0] = 0;

    // In check only razoring (off by default) reads the static value. It is
    // taken while the table's bucket is on its way from memory; both are pure
    // lookups, so the order changes no result.
    const int ev = p.inCheck && !use_razor ? 0 : eval(p);
    Move hashMove = 0;
    if (!excluded) {
        if (const TTEntry* e = probeTable(p.hashKey)) {
            hashMove = e->move;
            if (depth <= e->depth && (((e->flags & LOWER) && beta <= e->score) ||
                                      ((e->flags & UPPER) && beta > e->score)))
                return from_tt(e->score, ply);
        }
    }

    const int side = sideToMove(p), opp = side ^ 1;
    Position child;
    PvLine childLine;

    const bool nullOk = use_nullmove && !p.inCheck && std::abs(beta) <= MATE_BOUND && ev >= beta && p.stage > 0;
    if (nullOk) {
        if (depth >= 6) {
            make(p, child, 0);
            prefetchTable(child.hashKey);
            child.reduced = 0;
            int s = -searchNonPv(child, 1 - beta, depth >= 16 ? depth - 10 : depth - 8, ply + 1, childLine, 0);
            if (abortflag) return 0;
            if (std::abs(s) > MATE_BOUND) {
                // a mate found after passing is no proof: search normally
            } else if (s < beta) {
                // The opponent's threat follows from his last move, which a
                // reduced search may have misjudged: fail low so it is redone.
                if (depth < use_hp && p.reduced && connected(p, opp, p.lastMove, childLine.m[0])) return beta - 1;
            } else {
                if (depth <= 11) return beta;
                int v = searchNonPv(p, beta, depth - 10, ply, childLine, 0);
                if (abortflag) return 0;
                if (v >= beta) return beta;
            }
        } else {
            // Near the horizon a big enough margin over the threats against
            // our pieces stands in for the null-move search.
            int t = threatExists(p);
            if ((depth > 3 ? beta + 16 : beta) <= ev - 20 * t) return beta;
        }
    } else if (use_razor && std::abs(beta) <= MATE_BOUND && depth < use_razor && ev < beta - razor[depth - 2] &&
               !hashMove && p.lastMove && !(p.pcs[side][PAWN] & rnk7[side])) {
        int q = searchQuies(p, beta - 1, beta, 0, ply, childLine);
        if (abortflag) return 0;
        if (q < beta - razor[depth - 2]) return q;
    }

    GenContext g;
    int best, legal;
    if (depth <= 5 && depth < use_fut && !p.inCheck && ev + fmarg[depth - 2] < beta) {
        // Frontier node far below beta: only captures, promotions and checks
        // can save it, and the static value is its floor.
        initGenContext(p, g, ROW_QCHECKS, hashMove, killerAt(ka, ply), killerAt(kb, ply));
        best = ev;
        legal = 1;
    } else {
        if (p.inCheck)
            initGenContext(p, g, ROW_EVASIONS, hashMove, killerAt(oa, ply), killerAt(ob, ply));
        else
            initGenContext(p, g, ROW_MAIN, hashMove, killerAt(ka, ply), killerAt(kb, ply));
        best = NO_SCORE;
        legal = 0;
    }
    const Bitboard passMask = passMaskOf(p);
    const Move k1 = killerAt(ka, ply), k2 = killerAt(kb, ply);
    const bool prunable = depth < use_fut && !p.inCheck;
    const int fut = prunable ? ev + fmarg[depth - 2] : 0;
    const bool countPrune = depth < use_hp;
    const int countLimit = depth <= 3 ? hd1 : hd2;
    QuietList quiets;
    int lateCount = 0;
    bool cutByQuiet = false;

    while (Move m = nextMove(g)) {
        if (m > UNDERPROMOTION_ABOVE || m == excluded) continue;
        if (stopForNodeLimit()) return 0;
        if (!makeLegal(p, child, m)) continue;
        ++legal;

        int s;
        bool histCand = false;
        bool capture = isCapture(p, m, opp);
        const bool repeated = rep(child);
        if (repeated) {
            s = 0;
            childLine.m[0] = 0;
        } else {
            if (abortflag) return 0;
            const MoveClass mc = classify(p, child, m, capture, quiets);
            histCand = mc.histCand;
            int ext = mc.ext, f = mc.f;
            if (child.movedKind == PAWN && (bit(moveTo(m)) & passMask)) ++f;
            if (f == 0 && histCand && prunable) {
                if (countPrune && legal >= countLimit && best > NO_SCORE) continue;
                if (fut < beta) {
                    best = std::max(best, fut);
                    continue;
                }
            }
            const bool killer = m == k1 || m == k2;
            if (f == 0 && histCand && !killer) ++lateCount;

            const int d = depth - 2 + ext;
            bool done = false;
            if (f == 0 && use_lmr && depth > 5 && lateCount > lmrnon && histCand && !killer &&
                (depth > 9 || !attackMv(child))) {
                child.reduced = 1;
                s = -searchNonPv(child, 1 - beta, d - lmrReduction(lateCount, false), ply + 1, childLine, 0);
                child.reduced = 0;
                if (abortflag) return 0;
                done = s < beta;
            }
            if (done) continue;
            s = -searchNonPv(child, 1 - beta, d, ply + 1, childLine, 0);
            if (abortflag) return 0;
        }

        if (s <= best) continue;
        if (s >= beta) {
            setLine(line, m, childLine);
            best = s;
            if (!capture && p.inCheck) {
                if (!repeated) updateKiller(oa, ob, ply, m);
            } else if (histCand) {
                updateKiller(ka, kb, ply, m);
                cutByQuiet = true;
            }
            break;
        }
        best = s;
    }
    if (abortflag) return 0;
    if (legal == 0) best = p.inCheck ? mated_in(ply) : 0;
    if (cutByQuiet) updateHistory(side, quiets);
    if (!excluded) {
        if (best < beta)
            storeTable(p.hashKey, depth, to_tt(best, ply), UPPER, 0);
        else
            storeTable(p.hashKey, depth, to_tt(best, ply), LOWER, line.m[0]);
    }
    return best;
}

int searchPv(const Position& p, int alpha, int beta, int depth, int ply, PvLine& line) {
    if (pollStep()) return 0;
    if (depth < 2) return searchQuies(p, alpha, beta, 0, ply, line);
    line.m[0] = 0;

    // A PV node never returns on a table entry: it only borrows the move.
    Move hashMove = 0, ttMove = 0;
    int ttScore = 0;
    if (const TTEntry* e = probeTable(p.hashKey)) {
        hashMove = ttMove = e->move;
        ttScore = e->score;
    }
    PvLine childLine;
    if (!hashMove && depth >= 10) {
        searchPv(p, alpha, beta, depth - 4, ply, childLine);
        if (abortflag) return 0;
        hashMove = childLine.m[0];
    }

    const int side = sideToMove(p), opp = side ^ 1;
    GenContext g;
    if (p.inCheck)
        initGenContext(p, g, ROW_EVASIONS, hashMove, killerAt(oa, ply), killerAt(ob, ply));
    else
        initGenContext(p, g, ROW_MAIN, hashMove, killerAt(ka, ply), killerAt(kb, ply));
    const int alphaIn = alpha;
    const Move k1 = killerAt(ka, ply), k2 = killerAt(kb, ply);
    int best = NO_SCORE, legal = 0, lateCount = 0;
    QuietList quiets;
    bool cutByQuiet = false;
    Position child;

    while (Move m = nextMove(g)) {
        if (m > UNDERPROMOTION_ABOVE) continue;
        if (stopForNodeLimit()) return 0;
        if (!makeLegal(p, child, m)) continue;
        ++legal;

        int s;
        bool histCand = false;
        bool capture = isCapture(p, m, opp);
        const bool repeated = rep(child);
        if (repeated) {
            s = 0;
            childLine.m[0] = 0;
        } else {
            if (abortflag) return 0;
            const MoveClass mc = classify(p, child, m, capture, quiets);
            histCand = mc.histCand;
            int ext = mc.ext, f = mc.f;
            // An even trade of pieces on the principal variation is looked at
            // half a ply deeper: the recapture should not fall off the horizon.
            if (moveType(m) == NORMAL && !p.inCheck && child.movedKind != PAWN && child.capturedKind > PAWN &&
                seeAtLeast(p, m, 0, 0)) {
                ++ext;
                f = 1;
            }
            // Singular extension: the table's move is extended when every
            // other move falls clearly short of its stored score.
            if (m == ttMove && !child.inCheck && ext == 0 && depth >= smin) {
                int v = searchNonPv(p, ttScore - smarg, depth - 8, ply, childLine, m);
                if (abortflag) return 0;
                ext = v <= ttScore - smarg ? 1 : 0;
            }
            const bool killer = m == k1 || m == k2;
            if (f == 0 && histCand && !killer) ++lateCount;

            const int d = depth - 2 + ext;
            if (legal == 1) {
                s = -searchPv(child, -beta, -alpha, d, ply + 1, childLine);
                if (abortflag) return 0;
            } else {
                bool done = false;
                if (f == 0 && use_lmr && depth > 5 && lateCount > lmrpv && histCand &&
                    (depth > 9 || !attackMv(child))) {
                    child.reduced = 1;
                    s = -searchNonPv(child, -alpha, d - lmrReduction(lateCount, true), ply + 1, childLine, 0);
                    child.reduced = 0;
                    if (abortflag) return 0;
                    done = s <= alpha;
                }
                if (done) continue;
                s = -searchNonPv(child, -alpha, d, ply + 1, childLine, 0);
                if (abortflag) return 0;
                if (alpha < s && s < beta) {
                    s = -searchPv(child, -beta, -alpha, d, ply + 1, childLine);
                    if (abortflag) return 0;
                }
            }
        }

        if (s <= best) continue;
        if (s > alpha) {
            setLine(line, m, childLine);
            alpha = s;
        }
        if (s >= beta) {
            setLine(line, m, childLine);
            best = s;
            if (!capture && p.inCheck) {
                if (!repeated) updateKiller(oa, ob, ply, m);
            } else if (histCand) {
                updateKiller(ka, kb, ply, m);
                cutByQuiet = true;
            }
            break;
        }
        best = s;
    }
    if (abortflag) return 0;
    if (legal == 0) best = p.inCheck ? mated_in(ply) : 0;
    if (cutByQuiet) updateHistory(side, quiets);
    if (best <= alphaIn)
        storeTable(p.hashKey, depth, to_tt(best, ply), UPPER, 0);
    else if (best >= beta)
        storeTable(p.hashKey, depth, to_tt(best, ply), LOWER, line.m[0]);
    else
        storeTable(p.hashKey, depth, to_tt(best, ply), EXACT, line.m[0]);
    return best;
}
