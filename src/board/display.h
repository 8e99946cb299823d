#pragma once
// Pictures of positions for the log and the console.
#include "board/types.h"

void displayBoard(const Position& p);        // into the log
void displayBoardStdout(const Position& p);
