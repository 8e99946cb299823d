#pragma once
// Perft through the search's staged move picker and the cross-check of its
// evasion row, for developers and tests.
#include <cstdint>

#include "board/types.h"

extern uint64_t jcount;        // legal moves made at all levels
extern uint64_t perftCastles;  // castling moves made at the last level

uint64_t perft(const Position& p, int depth, int quiet);          // moves from the picker
uint64_t WORKING_perft(const Position& p, int depth, int quiet);  // root moves from genAll
int testOutGen(const Position& p);
