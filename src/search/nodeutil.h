#pragma once
// Small helpers shared by the root, the node searches and the quiescence search.
#include "board/attacks.h"
#include "board/make.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/transposition.h"

constexpr int KILLER_PLIES = 128;  // killer tables hold this many plies; deeper nodes have none

// line = m followed by the child's line, at most 63 moves, always ended by 0.
inline void setLine(PvLine& line, Move m, const PvLine& child) {
    line.m[0] = m;
    int i = 0;
    for (; i < 62 && child.m[i]; ++i) line.m[i + 1] = child.m[i];
    line.m[i + 1] = 0;
}

inline Move killerAt(const Move* table, int ply) { return ply < KILLER_PLIES ? table[ply] : 0; }

// Table probe that also works while the table is turned off.
inline bool probeTable(uint64_t key, TTEntry& e) { return hashtable.entries && ttabGet(hashtable, key, e); }
inline void storeTable(uint64_t key, int depth, int score, int flags, Move move) {
    if (hashtable.entries) ttabPut(hashtable, key, depth, score, flags, move);
}

// "go nodes": reached once nodecount is at the limit, but never before the
// first iteration has finished, so that there is always a move to play.
inline bool nodeLimitReached() {
    return search.limits.nodes && nodecount >= search.limits.nodes && search.firstIterationDone &&
           !signals.ponderMode;
}

// Checked before every move is made: moves that are made but never searched
// (pruned, repeated, quiet in a captures-only node) must not run past the limit.
inline bool stopForNodeLimit() {
    if (!nodeLimitReached()) return false;
    signals.abortflag = 1;
    return true;
}

// Under-promotions (knight, rook, bishop) are never searched.
constexpr Move UNDERPROMOTION_ABOVE = 20479;


// Starts loading a child's table bucket while the child is still being set up.
inline void prefetchTable(uint64_t key) {
    if (hashtable.entries) __builtin_prefetch(hashtable.entries + (key & uint64_t(hashtable.mask)) * 4);
}

// Makes m into the child record a search node owns, with its check flag set. A move that leaves the mover's own king
// attacked is taken back (the node count too) and gives false. Out of check,
// only the moves that mayExposeKing names need the attack test.
inline bool makeLegal(const Position& p, Position& child, Move m) {
    const int side = sideToMove(p);
    const bool mayExpose = p.inCheck || mayExposeKing(p, m);
    make(p, child, m);
    prefetchTable(child.hashKey);
    if (mayExpose && fasterInCheck(child, side)) {
        --nodecount;
        return false;
    }
    child.inCheck = fasterInCheck(child, side ^ 1);
    return true;
}
