#pragma once
// Zobrist keys, laid out [pieceSquareIndex(colour, kind, square)]. zob[0] and zob[1]
// are the side-to-move keys, zob[512 + s] the en-passant key of square s.
// pzob is non-zero for pawns and kings only.
#include <cstdint>

#include "board/types.h"

extern uint64_t zob[1024];
extern uint64_t pzob[1024];

// Castling component of the key for m = castle & CASTLE_SQUARES.
constexpr uint64_t castleHash(Bitboard m) { return ((m >> 4 | m << 3) & m) * 290837401ULL; }
// The other back-rank squares are homes only of Chess960 kings and rooks: each
// unmarked one adds a key of the spare row zob[448 + s]. Unmarked they never
// are in standard chess, whose keys therefore stay castleHash alone.
constexpr Bitboard CASTLE_960_SQUARES = LAST_RANKS & ~CASTLE_SQUARES;
uint64_t castleKey(Bitboard castle);  // the castling component of the key

void initZob();
uint64_t slowHash(const Position& p);
uint64_t slowPsHash(const Position& p);
