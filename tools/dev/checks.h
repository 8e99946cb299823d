#pragma once
// The developer checks of the move generation: perft through the search's
// staged move picker, the cross-check of its evasion row and that of the
// captures-and-checks generator. Findings go to standard output in the
// engine's own wording; a silent run is a passing run. zarv-dev and the tests
// share them.
#include <cstdint>

#include "board/types.h"

extern uint64_t perftReports;  // report headers the checks have printed
extern uint64_t jcount;        // legal moves made at all levels
extern uint64_t perftCastles;  // castling moves made at the last level

uint64_t perft(const Position& p, int depth, int quiet);          // moves from the picker
uint64_t WORKING_perft(const Position& p, int depth, int quiet);  // root moves from genAll
int testOutGen(const Position& p);
int testCapsChecks(const Position& p);
