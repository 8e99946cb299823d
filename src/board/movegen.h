#pragma once
// Pseudo-legal move generators. Each writes from list[0] on and returns the
// count; callers supply room for 256 moves. Order of output is part of the
// contract: the picker and the move parser depend on it.
#include "board/types.h"

constexpr int MAX_MOVES = 256;

int genAll(const Position& p, Move* list);
int genCaps(const Position& p, Move* list);
int genCapsChecks(const Position& p, Move* list);
int genOut(const Position& p, Move* list);
int genCapturesOf(const Position& p, Move* list, int sq);
int genMovesToMask(const Position& p, Move* list, Bitboard mask);
int genEP(const Position& p, Move* list);
int genQueensNc(const Position& p, int col, Move* list);  // the queens' quiet moves
