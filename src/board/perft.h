#pragma once
// Perft and generator cross-checks, for developers and tests.
#include <cstdint>

#include "board/types.h"

extern uint64_t jcount;        // legal moves made at all levels
extern uint64_t perftCastles;  // castling moves made at the last level
extern uint64_t perftReports;  // report headers the self-tests have printed

uint64_t perft(const Position& p, int depth, int quiet);          // moves from the picker
uint64_t WORKING_perft(const Position& p, int depth, int quiet);  // root moves from genAll
int testOutGen(const Position& p);
int testCapsChecks(const Position& p);
