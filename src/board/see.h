#pragma once
// Static exchange and threat tests: material-only judgements without making moves.
#include "board/types.h"

int see(const Position& p, Move m, int flag);   // flag 1: judged for the side that just moved
// see(p, m, flag) >= threshold, walking the exchange only until that is settled.
bool seeAtLeast(const Position& p, Move m, int flag, int threshold);
int sSee(const Position& p, Move m, int flag);
int threatExists(const Position& p);
int attackMv(const Position& p);                 // 0, 1 or 2: did lastMove attack something
int couldBeCheck(const Position& p, Move m);
