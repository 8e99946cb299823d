#pragma once
// Copy-make: the child record is filled from the parent plus the move; the
// parent is never changed, so there is no unmake.
#include <cstdint>

#include "board/types.h"

extern thread_local constinit uint64_t nodecount;  // moves made by this thread; the search reports it

int make(const Position& old, Position& child, Move m);  // always 1; m = 0 is the null move
