#pragma once
// The legal moves of a position, and the legal move that a coordinate text
// names. Both make moves only to test them: nodecount is left as it was.
#include "board/types.h"

// p's legal moves into list (room for MAX_MOVES), in the full generator's order
// with the moves that leave the mover's king attacked left out; returns the count.
int legalMoves(const Position& p, Move* list);
// The legal move of p whose coordinate text is `text`, letters in either case
// (findMove); 0 when p has no such move or it would leave the king attacked.
Move findLegalMove(const Position& p, const char* text);
