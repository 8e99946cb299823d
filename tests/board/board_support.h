#pragma once
// Shared by the board tests: positions from FEN, move
// lists as text, and a walk over legal move trees.
#include <string>

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/tables.h"
#include "board/zobrist.h"
#include "frontend/notation.h"
#include "support.h"

inline Position fromFen(const std::string& fen) {
    Position p{};
    fenToPosition(p, fen.c_str());
    return p;
}

inline std::string moveText(Move m) {
    char t[8];
    alg(m, t);
    return t;
}

// Space-separated move texts, each followed by "/type" when asked.
inline std::string listText(const Move* list, int n, bool withType = false) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += moveText(list[i]);
        if (withType) (s += '/') += char('0' + moveType(list[i]));
    }
    return s;
}

// Legal perft over genAll, make and fasterInCheck; onChild sees every legal child.
template <typename F>
uint64_t walkTree(const Position& p, int depth, F&& onChild) {
    if (depth == 0) return 1;
    Move list[MAX_MOVES];
    const int n = genAll(p, list), col = sideToMove(p);
    uint64_t count = 0;
    Position child;
    for (int i = 0; i < n; ++i) {
        make(p, child, list[i]);
        if (fasterInCheck(child, col)) continue;
        onChild(p, child, list[i]);
        count += walkTree(child, depth - 1, onChild);
    }
    return count;
}

inline uint64_t legalPerft(const Position& p, int depth) {
    return walkTree(p, depth, [](const Position&, const Position&, Move) {});
}
