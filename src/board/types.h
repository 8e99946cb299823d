#pragma once
// The position record, the move word and the board's square and pawn helpers.
#include <cstdint>
#include <span>

#include "base/bits.h"
#include "base/score.h"

using Move = uint32_t;  // to bits 0-5, from bits 6-11, type bits 12-14; 0 is the null move

enum Colour : int { WHITE = 0, BLACK = 1 };
enum Kind : int { ALL = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6 };
enum MoveType : int {
    NORMAL = 0, DOUBLE_STEP = 1, EN_PASSANT = 2, CASTLE = 3,
    PROMO_Q = 4, PROMO_N = 5, PROMO_R = 6, PROMO_B = 7
};

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

// Squares by name: a1 is 0, h1 7, a8 56, h8 63.
enum Square : int {
    A1, B1, C1, D1, E1, F1, G1, H1,
    A2, B2, C2, D2, E2, F2, G2, H2,
    A3, B3, C3, D3, E3, F3, G3, H3,
    A4, B4, C4, D4, E4, F4, G4, H4,
    A5, B5, C5, D5, E5, F5, G5, H5,
    A6, B6, C6, D6, E6, F6, G6, H6,
    A7, B7, C7, D7, E7, F7, G7, H7,
    A8, B8, C8, D8, E8, F8, G8, H8
};

// Index of a table laid out [colour][kind][square], as the piece-square
// values, the keys and the history counters are.
constexpr int pieceSquareIndex(int col, int kind, int sq) { return (col * 8 + kind) * 64 + sq; }

// The castling rules, one row per castling: white's king side, white's queen
// side, black's king side, black's queen side, the order in which the
// generators emit them and FEN names them. A right stands while neither the
// king's nor the rook's home square is marked in Position::castle.
struct CastlingRule {
    int kingFrom, kingTo, rookFrom, rookTo;
    Bitboard mustBeEmpty;  // the squares between king and rook
    Bitboard mustBeSafe;   // the king's square, the one it crosses and its target: none may be attacked
    char letter;           // the right in a FEN castling field
};
constexpr CastlingRule CASTLING[4] = {
    {E1, G1, H1, F1, bit(F1) | bit(G1), bit(E1) | bit(F1) | bit(G1), 'K'},
    {E1, C1, A1, D1, bit(B1) | bit(C1) | bit(D1), bit(E1) | bit(D1) | bit(C1), 'Q'},
    {E8, G8, H8, F8, bit(F8) | bit(G8), bit(E8) | bit(F8) | bit(G8), 'k'},
    {E8, C8, A8, D8, bit(B8) | bit(C8) | bit(D8), bit(E8) | bit(D8) | bit(C8), 'q'},
};
// col's two castlings, king side first.
constexpr std::span<const CastlingRule, 2> castlingRules(int col) {
    return std::span<const CastlingRule, 2>(CASTLING + 2 * col, 2);
}
// The castling of col whose king goes to kingTo.
constexpr const CastlingRule& castlingTo(int col, int kingTo) {
    return CASTLING[2 * col + (fileOf(kingTo) < fileOf(E1))];
}
// The squares whose marks take the right away: the king's and the rook's homes.
constexpr Bitboard castlingHomes(const CastlingRule& r) { return bit(r.kingFrom) | bit(r.rookFrom); }
constexpr Move castlingMove(const CastlingRule& r) { return makeMove(r.kingFrom, r.kingTo, CASTLE); }

// The four castling moves, written as the king's move.
constexpr Move CASTLE_WK = castlingMove(CASTLING[0]), CASTLE_WQ = castlingMove(CASTLING[1]),
               CASTLE_BK = castlingMove(CASTLING[2]), CASTLE_BQ = castlingMove(CASTLING[3]);
// Every home square of a castling: the marks that matter for the rights.
constexpr Bitboard CASTLE_SQUARES =
    castlingHomes(CASTLING[0]) | castlingHomes(CASTLING[1]) | castlingHomes(CASTLING[2]) | castlingHomes(CASTLING[3]);

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
