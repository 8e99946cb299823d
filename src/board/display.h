#pragma once
// Pictures of positions and bitboards for the log and the console.
#include "board/types.h"

void displayBoard(const Position& p);        // into the log
void displayBoardStdout(const Position& p);
void displayBits(Bitboard b);
void displayBitsWithFocus(Bitboard b, Bitboard focus);
void showSee(const Position& p);
void xDebug(const Position& p, Move m);
