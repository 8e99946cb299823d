// The node search below the root, written once for both kinds of node: PV
// nodes with an open window, and null-window nodes, which carry all the
// selectivity.
#include <algorithm>
#include <cstdlib>

#include "base/general.h"
#include "board/attacks.h"
#include "board/make.h"
#include "board/see.h"
#include "board/tables.h"
#include "eval/eval.h"
#include "search/nodeutil.h"

thread_local constinit SearchTables learned;

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

void reduceHis() {
    for (int col = 0; col < 2; ++col)
        for (int kind = PAWN; kind <= KING; ++kind)
            for (int sq = 0; sq < 64; ++sq) {
                int i = pieceSquareIndex(col, kind, sq);
                learned.his_s[i] = std::max<uint64_t>(learned.his_s[i] / 2, 1);
                learned.his_f[i] = std::max<uint64_t>(learned.his_f[i] / 2, 1);
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

// What every node search first notes about a legal, unrepeated move: a quiet
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
        int idx = pieceSquareIndex(side, ql.q[i].kind, ql.q[i].to);
        uint64_t v = i + 1 == ql.n ? ++learned.his_s[idx] : ++learned.his_f[idx];
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

template <bool pvNode>
int searchNode(const Position& p, int alpha, int beta, int depth, int ply, PvLine& line, Move excluded) {
    if (pollStep()) return 0;
    if (depth < 2) return searchQuies(p, alpha, beta, 0, ply, line);
    line.m[0] = 0;

    // In check only razoring (off by default) reads the static value; a PV
    // node never does. It is taken while the table's bucket is on its way
    // from memory; both are pure lookups, so the order changes no result.
    const int ev = pvNode || (p.inCheck && !use_razor) ? 0 : eval(p);
    // A PV node never returns on a table entry: it only borrows the move,
    // and the score for the singular test.
    Move hashMove = 0, ttMove = 0;
    int ttScore = 0;
    if (!excluded) {
        if (TTEntry e; probeTable(p.hashKey, e)) {
            hashMove = e.move;
            if constexpr (pvNode) {
                ttMove = e.move;
                ttScore = e.score;
            } else if (depth <= e.depth && (((e.flags & LOWER) && beta <= e.score) ||
                                             ((e.flags & UPPER) && beta > e.score))) {
                return from_tt(e.score, ply);
            }
        }
    }

    const int side = sideToMove(p), opp = side ^ 1;
    Position child;
    PvLine childLine;

    if constexpr (pvNode) {
        // No move from the table: a shallower search of this node finds one.
        if (!hashMove && depth >= 10) {
            searchPv(p, alpha, beta, depth - 4, ply, childLine);
            if (signals.abortflag) return 0;
            hashMove = childLine.m[0];
        }
    } else if (use_nullmove && !p.inCheck && std::abs(beta) <= MATE_BOUND && ev >= beta && p.stage > 0) {
        if (depth >= 6) {
            make(p, child, 0);
            prefetchTable(child.hashKey);
            int s = -searchNonPv(child, 1 - beta, depth >= 16 ? depth - 10 : depth - 8, ply + 1, childLine, 0);
            if (signals.abortflag) return 0;
            // A mate found after passing is no proof: search normally then.
            if (std::abs(s) <= MATE_BOUND && s >= beta) {
                if (depth <= 11) return beta;
                int v = searchNonPv(p, beta, depth - 10, ply, childLine, 0);
                if (signals.abortflag) return 0;
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
        if (signals.abortflag) return 0;
        if (q < beta - razor[depth - 2]) return q;
    }

    const Move k1 = killerAt(learned.ka, ply), k2 = killerAt(learned.kb, ply);
    GenContext g;
    int best = NO_SCORE, legal = 0;
    if (!pvNode && depth <= 5 && depth < use_fut && !p.inCheck && ev + fmarg[depth - 2] < beta) {
        // Frontier node far below beta: only captures, promotions and checks
        // can save it, and the static value is its floor.
        initGenContext(p, g, ROW_QCHECKS, hashMove, k1, k2);
        best = ev;
        legal = 1;
    } else if (p.inCheck) {
        initGenContext(p, g, ROW_EVASIONS, hashMove, killerAt(learned.oa, ply), killerAt(learned.ob, ply));
    } else {
        initGenContext(p, g, ROW_MAIN, hashMove, k1, k2);
    }
    const int alphaIn = alpha;
    const Bitboard passMask = pvNode ? 0 : passMaskOf(p);
    const bool prunable = !pvNode && depth < use_fut && !p.inCheck;
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
            if (signals.abortflag) return 0;
            const MoveClass mc = classify(p, child, m, capture, quiets);
            histCand = mc.histCand;
            int ext = mc.ext, f = mc.f;
            if constexpr (pvNode) {
                // An even trade of pieces on the principal variation is looked
                // at half a ply deeper: the recapture should not fall off the
                // horizon.
                if (moveType(m) == NORMAL && !p.inCheck && child.movedKind != PAWN && child.capturedKind > PAWN &&
                    seeAtLeast(p, m, 0, 0)) {
                    ++ext;
                    f = 1;
                }
                // Singular extension: the table's move is extended when every
                // other move falls clearly short of its stored score.
                if (m == ttMove && !child.inCheck && ext == 0 && depth >= smin) {
                    int v = searchNonPv(p, ttScore - smarg, depth - 8, ply, childLine, m);
                    if (signals.abortflag) return 0;
                    ext = v <= ttScore - smarg ? 1 : 0;
                }
            } else {
                if (child.movedKind == PAWN && (bit(moveTo(m)) & passMask)) ++f;
                if (f == 0 && histCand && prunable) {
                    if (countPrune && legal >= countLimit && best > NO_SCORE) continue;
                    if (fut < beta) {
                        best = std::max(best, fut);
                        continue;
                    }
                }
            }
            const bool killer = m == k1 || m == k2;
            if (f == 0 && histCand && !killer) ++lateCount;

            const int d = depth - 2 + ext;
            if (pvNode && legal == 1) {
                s = -searchPv(child, -beta, -alpha, d, ply + 1, childLine);
                if (signals.abortflag) return 0;
            } else {
                // A PV node reduces its late killers too.
                if (f == 0 && use_lmr && depth > 5 && lateCount > (pvNode ? lmrpv : lmrnon) && histCand &&
                    (pvNode || !killer) && (depth > 9 || !attackMv(child))) {
                    s = -searchNonPv(child, -alpha, d - lmrReduction(lateCount, pvNode), ply + 1, childLine, 0);
                    if (signals.abortflag) return 0;
                    if (s <= alpha) continue;
                }
                s = -searchNonPv(child, -alpha, d, ply + 1, childLine, 0);
                if (signals.abortflag) return 0;
                if (pvNode && alpha < s && s < beta) {
                    s = -searchPv(child, -beta, -alpha, d, ply + 1, childLine);
                    if (signals.abortflag) return 0;
                }
            }
        }

        if (s <= best) continue;
        if (pvNode && s > alpha) {
            setLine(line, m, childLine);
            alpha = s;
        }
        if (s >= beta) {
            setLine(line, m, childLine);
            best = s;
            if (!capture && p.inCheck) {
                if (!repeated) updateKiller(learned.oa, learned.ob, ply, m);
            } else if (histCand) {
                updateKiller(learned.ka, learned.kb, ply, m);
                cutByQuiet = true;
            }
            break;
        }
        best = s;
    }
    if (signals.abortflag) return 0;
    if (legal == 0) best = p.inCheck ? mated_in(ply) : 0;
    if (cutByQuiet) updateHistory(side, quiets);
    // A search without one move stands for no node of the tree.
    if (excluded) return best;
    if (best <= alphaIn)
        storeTable(p.hashKey, depth, to_tt(best, ply), UPPER, 0);
    else if (best >= beta)
        storeTable(p.hashKey, depth, to_tt(best, ply), LOWER, line.m[0]);
    else
        storeTable(p.hashKey, depth, to_tt(best, ply), EXACT, line.m[0]);
    return best;
}

template int searchNode<true>(const Position&, int, int, int, int, PvLine&, Move);
template int searchNode<false>(const Position&, int, int, int, int, PvLine&, Move);
