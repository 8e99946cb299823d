#pragma once
// Pawn structure and its cache, keyed by the pawn-and-king key.
#include <cstdint>

#include "board/types.h"

struct PawnEntry {
    uint64_t key;
    ScorePair score;         // white minus black
    uint8_t passers[2][8];   // advanced passed pawns, ascending, ended by 0
};
static_assert(sizeof(PawnEntry) == 32);

constexpr int PH_SIZE = 1 << 17;
// The pawn-structure cache by pawn key and its probe and hit counts, one of
// each per search thread.
extern thread_local PawnEntry ph[PH_SIZE];
extern thread_local uint64_t eprobes, ehits;

ScorePair pawnStructure(const Position& p, PawnEntry*& entry);
void clear_pht();
