#pragma once
// Static evaluation in centipawns from the side to move's view.
#include <cstdint>

#include "board/pst.h"
#include "board/types.h"

struct EvalCacheEntry {
    uint64_t key;
    int32_t score;
};
constexpr int EC_MASK = 4095;
extern thread_local EvalCacheEntry eca[EC_MASK + 1];  // static values by position key, one cache per search thread

int eval(const Position& p);  // needs current pstScore and stage (board/pst.h)
// Empties the pawn hash and the evaluation cache.
void clearEvalCaches();

// Where col's pieces count their mobility: not attacked by an enemy pawn
// (enemy pieces other than pawns always count) and not on col's own pawns.
inline Bitboard mobilityArea(const Position& p, int col) {
    const int en = col ^ 1;
    const Bitboard enPawns = p.pcs[en][PAWN];
    return (~pawnAttacks(en, enPawns) | (p.pcs[en][ALL] & ~enPawns)) & ~p.pcs[col][PAWN];
}
