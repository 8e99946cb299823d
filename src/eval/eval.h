#pragma once
// Static evaluation in centipawns from the side to move's view.
#include <cstdint>

#include "board/types.h"

struct EvalCacheEntry {
    uint64_t key;
    int32_t score;
};
constexpr int EC_MASK = 4095;
extern EvalCacheEntry eca[EC_MASK + 1];

int eval(const Position& p);  // needs current pstScore and stage
int getSTAGE(const Position& p);
ScorePair getSC(const Position& p);
