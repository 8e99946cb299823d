// Legal moves by making each generated move and testing the mover's king.
#include "board/legal.h"

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/notation.h"

int legalMoves(const Position& p, Move* list) {
    const uint64_t counted = nodecount;
    Move all[MAX_MOVES];
    const int n = genAll(p, all), side = sideToMove(p);
    int count = 0;
    Position child;
    for (int i = 0; i < n; ++i) {
        make(p, child, all[i]);
        if (!fasterInCheck(child, side)) list[count++] = all[i];
    }
    nodecount = counted;
    return count;
}

Move findLegalMove(const Position& p, const char* text) {
    const Move m = findMove(p, text);
    if (!m) return 0;
    Position child;
    make(p, child, m);
    --nodecount;
    return fasterInCheck(child, sideToMove(p)) ? 0 : m;
}
