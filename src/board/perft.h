#pragma once
// Perft and generator cross-checks, for developers and tests.
#include <cstdint>

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/types.h"

extern uint64_t jcount;        // legal moves made at all levels
extern uint64_t perftCastles;  // castling moves made at the last level
extern uint64_t perftReports;  // report headers the self-tests have printed

uint64_t perft(const Position& p, int depth, int quiet);          // moves from the picker
uint64_t WORKING_perft(const Position& p, int depth, int quiet);  // root moves from genAll
int testOutGen(const Position& p);
int testCapsChecks(const Position& p);

// The legal move tree below p, depth plies deep, over genAll and make: every
// move is made at every level (no counting shortcuts at the leaves) and kept
// when the mover's king is not attacked afterwards. onChild(parent, child, move)
// sees every legal child; returns the number of leaves.
template <typename F>
uint64_t walkTree(const Position& p, int depth, F&& onChild) {
    if (depth == 0) return 1;
    Move list[MAX_MOVES];
    const int n = genAll(p, list), col = sideToMove(p);
    uint64_t count = 0;
    Position child;
    for (int i = 0; i < n; ++i) {
        make(p, child, list[i]);
        if (fasterInCheck(child, col)) continue;
        onChild(p, child, list[i]);
        count += walkTree(child, depth - 1, onChild);
    }
    return count;
}

uint64_t legalPerft(const Position& p, int depth);  // walkTree's leaf count alone
