#pragma once
// Chess960 (Fischer random chess): castling with the king and its rooks on any
// files of the back rank, the FEN castling fields that name such rooks, and
// the 960 start positions.
//
// The rights live in Position::castle exactly as in standard chess: a right
// stands while the king's and the rook's home squares are both unmarked. So
// with a right the king stands on its unmarked home square, and every other
// unmarked square of its back rank holds a castling rook: king side when it
// is on the king's right (towards h), queen side when on its left.
#include <atomic>

#include "board/types.h"

// On while the GUI plays Chess960 (the UCI option UCI_Chess960): castling is
// generated from the unmarked homes and written as the king taking its own
// rook ("e1h1", "b1a1"), and FEN castling fields are read as Shredder-FEN or
// X-FEN. Off, everything is standard chess.
extern std::atomic<bool> chess960;
inline bool chess960On() { return chess960.load(std::memory_order_relaxed); }

// Where king and rook go: the king to the g- or c-file, the rook to the f- or
// d-file of the king's rank, by the side the rook stands on.
struct Castling960 {
    int kingFrom, kingTo, rookFrom, rookTo;
};
constexpr Castling960 castling960(int kingFrom, int rookFrom) {
    const int base = kingFrom & 56;
    return rookFrom > kingFrom ? Castling960{kingFrom, base + 6, rookFrom, base + 5}
                               : Castling960{kingFrom, base + 2, rookFrom, base + 3};
}

// col's castlings, king side first, as words from the king's square to the
// rook's (type CASTLE); the count, 0 to 2.
int genCastling960(const Position& p, int col, Move* list);
// Reads the castling field starting at c (up to a space or the end) as
// Shredder-FEN ("HAha") or X-FEN ("KQkq", a file letter for an inner rook)
// and unmarks the homes of the rights it grants in p.castle. A letter naming
// no rook of its colour on the back rank, a king off the back rank, or a second
// right on one side grants nothing. Returns the end of the field.
const char* readCastling960(Position& p, const char* c);
// The rights of p as a castling field: "KQkq" letters for a king on the e-file
// with a corner rook, the rook's file otherwise ("HAha" order); "-" for none.
int castlingField960(const Position& p, char* out);
// Start position number n (0 to 959, Scharnagl's numbering, 518 is the
// standard start) as a FEN with Shredder-FEN castling; out holds 80 characters.
void chess960Start(int n, char* out);
