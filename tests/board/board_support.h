#pragma once
// Shared by the board tests: positions from FEN and move lists as text.

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/tables.h"
#include "board/zobrist.h"
#include "legaltree.h"
#include "support.h"

