#pragma once
// The position record, the move word and the board's square and pawn helpers.
#include <cstdint>

#include "base/bits.h"
#include "base/score.h"

using Move = uint32_t;  // to bits 0-5, from bits 6-11, type bits 12-14; 0 is the null move

enum Colour : int { WHITE = 0, BLACK = 1 };
enum Kind : int { ALL = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6 };
enum MoveType : int {
    NORMAL = 0, DOUBLE_STEP = 1, EN_PASSANT = 2, CASTLE = 3,
    PROMO_Q = 4, PROMO_N = 5, PROMO_R = 6, PROMO_B = 7
};

// The four castling moves, written as the king's move.
constexpr Move CASTLE_WK = 0x3106, CASTLE_WQ = 0x3102, CASTLE_BK = 0x3f3e, CASTLE_BQ = 0x3f3a;
// Squares whose "has moved" bits decide the castling rights.
constexpr Bitboard CASTLE_SQUARES = 0x9100000000000091ULL;

constexpr Bitboard NOT_FILE_A = 0xfefefefefefefefeULL;
constexpr Bitboard NOT_FILE_H = 0x7f7f7f7f7f7f7f7fULL;
constexpr Bitboard LAST_RANKS = 0xff000000000000ffULL;

// Search scores: centipawns from the side to move's view.
constexpr int MATE = 32000;
constexpr int NO_SCORE = -32001;
constexpr int MATE_BOUND = 31800;  // |score| above this is a mate score

struct Position {
    int32_t ctm;             // plies counter; bit 0 is the side to move
    int32_t inCheck;         // side to move's king attacked
    Bitboard pcs[2][7];      // [colour][kind]; kind 0 is the union of kinds 1-6
    Bitboard castle;         // squares whose king or rook has moved or been captured
    Bitboard ep;             // en-passant target, set only when a capture is possible
    uint64_t hashKey;
    uint64_t pawnKey;        // pawns and kings only
    ScorePair pstScore;      // material plus piece-square sum, white minus black
    int32_t stage;           // bishops 1, rooks 2, queens 6, both colours
    Move lastMove;
    int32_t movedKind;
    int32_t capturedKind;
    const Position* prev;    // parent record, null for a position set up from FEN
};

constexpr int moveTo(Move m) { return int(m & 63); }
constexpr int moveFrom(Move m) { return int((m >> 6) & 63); }
constexpr int moveType(Move m) { return int((m >> 12) & 7); }
constexpr Move makeMove(int from, int to, int type = NORMAL) {
    return Move(to | from << 6 | type << 12);
}

constexpr int fileOf(int sq) { return sq & 7; }
constexpr int rankOf(int sq) { return sq >> 3; }

// Squares that col's pawns on b attack, whatever stands there.
constexpr Bitboard pawnAttacks(int col, Bitboard b) {
    return col == WHITE ? ((b << 9) & NOT_FILE_A) | ((b << 7) & NOT_FILE_H)
                        : ((b >> 7) & NOT_FILE_A) | ((b >> 9) & NOT_FILE_H);
}

// Each bit spread over its file towards rank 8 (north) or rank 1 (south).
constexpr Bitboard northFill(Bitboard b) {
    b |= b << 8;
    b |= b << 16;
    return b | b << 32;
}
constexpr Bitboard southFill(Bitboard b) {
    b |= b >> 8;
    b |= b >> 16;
    return b | b >> 32;
}
// Spread forward in col's direction of march.
constexpr Bitboard fillForward(int col, Bitboard b) { return col == WHITE ? northFill(b) : southFill(b); }
// Squares that col's pawns attack or step onto, now or after any number of advances.
constexpr Bitboard pawnFrontier(int col, Bitboard pawns) {
    return fillForward(col, pawnAttacks(col, pawns) | (col == WHITE ? pawns << 8 : pawns >> 8));
}

inline int sideToMove(const Position& p) { return p.ctm & 1; }
inline Bitboard occupied(const Position& p) { return p.pcs[0][0] | p.pcs[1][0]; }
inline int kingSquare(const Position& p, int col) { return nextBit(p.pcs[col][KING]); }
// Kind (1-6) of col's piece on sq, 0 when none; tests pawn first.
inline int kindAt(const Position& p, int col, int sq) {
    Bitboard b = bit(sq);
    if (!(p.pcs[col][ALL] & b)) return 0;
    for (int k = PAWN; k <= KING; ++k)
        if (p.pcs[col][k] & b) return k;
    return 0;
}
