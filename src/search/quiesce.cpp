// Quiescence search and the poll step every node function starts with.
#include <algorithm>

#include "base/general.h"
#include "board/attacks.h"
#include "board/make.h"
#include "board/see.h"
#include "eval/eval.h"
#include "eval/evaltables.h"
#include "search/nodeutil.h"

SearchHooks searchHooks;
thread_local std::atomic<uint64_t>* helperNodesOut = nullptr;

int pollStep() {
    const uint32_t tics = ++search.tics;
    // "go nodes" is tested at every node, so the count is exact.
    if (nodeLimitReached() || (searchHooks.nodeCap && nodecount >= searchHooks.nodeCap)) {
        signals.abortflag = 1;
        return 1;
    }
    if (tics & 0x3ff) return 0;
    // A helper reads neither input nor the clock: the main thread stops it.
    if (helperNodesOut) {
        helperNodesOut->store(nodecount, std::memory_order_relaxed);
        return signals.abortflag;
    }
    if (!(tics & searchHooks.inputPollMask)) {
        // Input is served from inside the search: "stop", "ponderhit",
        // "isready" and "quit" reach a running search here and nowhere else.
        if (searchHooks.poll) searchHooks.poll();
        if (signals.abortflag && !signals.ponderMode) return 1;
    }
    // The clock is read 64 times as often as the input: 65,536 nodes can
    // take a tenth of a second on a loaded machine, far more than the margin
    // left under the hard limit once a fast game's clock runs low; a reading
    // costs less than a node.
    if (!signals.ponderMode && seconds(CPU) >= search.goaltime) {
        signals.abortflag = 1;
        return 1;
    }
    return 0;
}

int searchQuies(const Position& p, int alpha, int beta, int depth, int ply, PvLine& line) {
    if (pollStep()) return 0;
    line.m[0] = 0;
    const bool nullWindow = alpha + 1 == beta;

    // The static value is taken while the table's bucket is still on its way
    // from memory (the parent prefetched it); both are pure lookups, so the
    // order does not change any result.
    const int ev = p.inCheck ? 0 : eval(p);
    Move hashMove = 0;
    if (TTEntry e; probeTable(p.hashKey, e)) {
        hashMove = e.move;
        if (nullWindow && depth <= e.depth &&
            (((e.flags & LOWER) && e.score >= beta) || ((e.flags & UPPER) && e.score < beta)))
            return from_tt(e.score, ply);
    }

    const int opp = sideToMove(p) ^ 1;
    GenContext g;
    int best, legal;
    bool checksMode = false;
    if (p.inCheck) {
        // Every evasion is tried: there is no standing pat while in check.
        initGenContext(p, g, ROW_EVASIONS, hashMove, killerAt(learned.oa, ply), killerAt(learned.ob, ply));
        legal = 0;
        best = NO_SCORE;
    } else {
        if (depth < -25) return ev;  // thirteen plies of captures are enough
        if (ev >= beta) return ev;
        alpha = std::max(alpha, ev);
        best = ev;
        legal = 1;
        if (depth == 0 && use_ckQ) {
            initGenContext(p, g, ROW_QCHECKS, hashMove, 0, 0);
            checksMode = true;
        } else {
            initGenContext(p, g, ROW_QCAPS, hashMove, 0, 0);
        }
    }

    Position child;
    PvLine childLine;
    while (Move m = nextMove(g)) {
        if (stopForNodeLimit()) return 0;
        if (m > UNDERPROMOTION_ABOVE) continue;
        const int to = moveTo(m), type = moveType(m);
        // A capture that cannot lift the score to alpha even with the whole
        // victim and a margin is not worth making, unless it might check.
        if (use_cfut && !p.inCheck && type <= EN_PASSANT &&
            ev + 60 + maxPceVals[kindAt(p, opp, to)] < alpha && !couldBeCheck(p, m)) {
            ++nodecount;
            continue;
        }
        if (!makeLegal(p, child, m)) continue;
        ++legal;
        bool capture = type == EN_PASSANT || type > CASTLE || (p.pcs[opp][ALL] & bit(to));
        if (checksMode && !capture && !child.inCheck) continue;

        int s = -searchQuies(child, -beta, -alpha, depth - 2, ply + 1, childLine);
        if (signals.abortflag) return 0;
        if (s <= best) continue;
        if (s > alpha) {
            setLine(line, m, childLine);
            alpha = s;
        }
        best = s;
        if (s >= beta) break;
    }
    if (signals.abortflag) return 0;
    if (legal == 0) best = mated_in(ply);

    // Only null-window results are kept (or a wider window that closed to a
    // null one): a wider window's score is exact only for the line searched.
    if (nullWindow || alpha + 1 == beta) {
        int storeDepth = depth < 0 ? -2 : 0;
        if (best < beta)
            storeTable(p.hashKey, storeDepth, to_tt(best, ply), UPPER, 0);
        else
            storeTable(p.hashKey, storeDepth, to_tt(best, ply), LOWER, line.m[0]);
    }
    return best;
}
