#pragma once
// Attack boards and attack tests of a position.
#include "board/tables.h"
#include "board/types.h"

Bitboard getAttBoard(const Position& p, int col);  // squares attacked by col
int fastInCheck(const Position& p, int col);        // via getAttBoard
int fasterInCheck(const Position& p, int col);      // direct test from the king square
int pslegal(const Position& p, Move m);             // could m have been generated here
int genCastling(const Position& p, int col, Move* list);

// Consistency of a record: disjoint boards, unions, one king each, keys equal
// to the keys computed from scratch. Debug builds assert it after make and FEN.
bool positionIsOk(const Position& p);

// Whether m, made by the side to move while it is not in check, might leave its
// own king attacked: a king move, a move of two pieces (en passant, castling),
// or a piece leaving a line that the king shares with an enemy slider of that
// line's kind. When false the attack test after the move is not needed.
inline bool mayExposeKing(const Position& p, Move m) {
    const int col = sideToMove(p), e = col ^ 1, from = moveFrom(m), k = kingSquare(p, col);
    if (moveType(m) == EN_PASSANT || moveType(m) == CASTLE || from == k) return true;
    const Bitboard f = bit(from);
    return ((superD[k] & f) && (superD[k] & (p.pcs[e][BISHOP] | p.pcs[e][QUEEN]))) ||
           ((superO[k] & f) && (superO[k] & (p.pcs[e][ROOK] | p.pcs[e][QUEEN])));
}
