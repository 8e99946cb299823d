#pragma once
// Shared by the board tests: positions from FEN and move lists as text.

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/tables.h"
#include "board/zobrist.h"
#include "legaltree.h"
#include "support.h"


// Space-separated move texts.
inline std::string listText(const Move* list, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += moveText(list[i]);
    }
    return s;
}
