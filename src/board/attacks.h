#pragma once
// Attack boards and attack tests of a position.
#include "board/types.h"

Bitboard getAttBoard(const Position& p, int col);  // squares attacked by col
int fastInCheck(const Position& p, int col);        // via getAttBoard
int fasterInCheck(const Position& p, int col);      // direct test from the king square
int genAtt(const Position& p, Move* list);          // every attack of the side to move
int slowAttacked(const Position& p, int sq, int col);  // sq attacked by col's opponent, via genAtt
int slowInCheck(const Position& p, int col);
int pslegal(const Position& p, Move m);             // could m have been generated here
int genCastling(const Position& p, int col, Move* list);
int staticAttacked(const Position& p, int col);

// Consistency of a record: disjoint boards, unions, one king each, keys equal
// to the keys computed from scratch. Debug builds assert it after make and FEN.
bool positionIsOk(const Position& p);
