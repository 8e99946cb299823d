#pragma once
// King and pawn against king, and the other endgame helpers.
#include <cstdint>

#include "board/types.h"

extern const uint8_t kpk[24576];  // one bit per normalised position: 1 = pawn side wins

int pk_win(int strongKing, int pawn, int weakKing, int weakToMove);
int kpvsk(const Position& p);  // centipawns, white's view
int special_endings(const Position& p, uint64_t key);
int kvsk(const Position& p);
int kvsm(const Position& p);
int kbnvsk(const Position& p);
int dist(int a, int b);
int mdist(int a, int b);
int nxmap(const Position& p, int col, int sq, Bitboard target, int& hit);
int dxmap(const Position& p, int col, int sq, Bitboard target, int& hit);
int oxmap(const Position& p, int col, int sq, Bitboard target, int& hit);
