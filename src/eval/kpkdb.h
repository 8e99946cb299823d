#pragma once
// King and pawn against king, and the king distance.
#include <cstdint>

#include "board/types.h"

extern const uint8_t kpk[24576];  // one bit per normalised position: 1 = pawn side wins

int pk_win(int strongKing, int pawn, int weakKing, int weakToMove);
int kpvsk(const Position& p);  // centipawns, white's view
int dist(int a, int b);  // king steps between two squares
