#pragma once
// Fixed attack and line tables of the board. The step tables, line masks,
// between-squares and rank tables are constant; the sliding-attack lists and
// boards are filled once at start-up by initBoardTables().
#include <array>
#include <cstdint>

#include "board/types.h"

extern const std::array<Bitboard, 64> kATT;    // king steps
extern const std::array<Bitboard, 64> nATT;    // knight jumps
extern const std::array<Bitboard, 64> super;   // rank, file and diagonals, square included
extern const std::array<Bitboard, 64> superD;  // both diagonals, square included
extern const std::array<Bitboard, 64> superO;  // rank and file, square included
extern const std::array<Bitboard, 64> superF;  // file, square included
extern const std::array<Bitboard, 64> superR;  // rank, square included
extern const std::array<std::array<Bitboard, 64>, 64> bet;  // squares strictly between aligned squares

// rnkN[col]: the N-th rank counted from col's side.
extern const Bitboard rnk1[2], rnk2[2], rnk3[2], rnk4[2], rnk5[2], rnk6[2], rnk7[2], rnk8[2];

// Sliding attacks per line direction: index = ((occ & mask[sq]) * magic[sq]) >> 58.
constexpr int LINE_SHIFT = 58;

// A counted list of attacked squares along one line, ascending.
struct LineList {
    uint8_t n;
    uint8_t sq[7];
};

extern const std::array<Bitboard, 64> neDiag, nwDiag, nsOrth, ewOrth;        // masks
extern const std::array<uint64_t, 64> neMagic, nwMagic, nsMagic, ewMagic;     // multipliers
extern LineList neMob[64][64], nwMob[64][64], nsMob[64][64], ewMob[64][64];  // lists
extern Bitboard neBits[64][64], nwBits[64][64], nsBits[64][64], ewBits[64][64];  // boards

inline int lineIndex(Bitboard occ, Bitboard mask, uint64_t magic) {
    return int(((occ & mask) * magic) >> LINE_SHIFT);
}
// The same sets as boards. A list is ascending, so walking a board from its
// lowest bit gives the list's order: generators use the boards.
inline Bitboard neLine(int sq, Bitboard occ) { return neBits[sq][lineIndex(occ, neDiag[sq], neMagic[sq])]; }
inline Bitboard nwLine(int sq, Bitboard occ) { return nwBits[sq][lineIndex(occ, nwDiag[sq], nwMagic[sq])]; }
inline Bitboard nsLine(int sq, Bitboard occ) { return nsBits[sq][lineIndex(occ, nsOrth[sq], nsMagic[sq])]; }
inline Bitboard ewLine(int sq, Bitboard occ) { return ewBits[sq][lineIndex(occ, ewOrth[sq], ewMagic[sq])]; }
inline Bitboard diagAttacks(int sq, Bitboard occ) { return neLine(sq, occ) | nwLine(sq, occ); }
inline Bitboard orthAttacks(int sq, Bitboard occ) { return nsLine(sq, occ) | ewLine(sq, occ); }

// wing[sq]: three adjacent files centred on sq's file (a-c for file a, f-h for file h).
extern Bitboard wing[64];

// Fills the line lists, the line boards from the lists, and wing.
void initBoardTables();
