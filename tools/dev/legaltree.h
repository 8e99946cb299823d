#pragma once
// The legal move tree of a position, the developer program's and the tests'
// yardstick of the move generators.
#include <cstdint>

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/types.h"

// Legal when the mover's king, now on the side not to move, is outside the
// attack board of the side to move.
inline bool leavesKingSafe(const Position& child) {
    int mover = sideToMove(child) ^ 1;
    return !(getAttBoard(child, mover ^ 1) & child.pcs[mover][KING]);
}

// The legal move tree below p, depth plies deep, over genAll and make: every
// move is made at every level (no counting shortcuts at the leaves) and kept
// when the mover's king is not attacked afterwards. onChild(parent, child, move)
// sees every legal child; returns the number of leaves.
template <typename F>
uint64_t walkTree(const Position& p, int depth, F&& onChild) {
    if (depth == 0) return 1;
    Move list[MAX_MOVES];
    const int n = genAll(p, list), col = sideToMove(p);
    // Out of check, only the moves that mayExposeKing names need the attack
    // test on the king.
    const bool inCheck = fasterInCheck(p, col);
    uint64_t count = 0;
    Position child;
    for (int i = 0; i < n; ++i) {
        make(p, child, list[i]);
        if ((inCheck || mayExposeKing(p, list[i])) && fasterInCheck(child, col)) continue;
        onChild(p, child, list[i]);
        count += depth == 1 ? 1 : walkTree(child, depth - 1, onChild);
    }
    return count;
}

// walkTree's leaf count alone.
inline uint64_t legalPerft(const Position& p, int depth) {
    return walkTree(p, depth, [](const Position&, const Position&, Move) {});
}
