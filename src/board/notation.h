#pragma once
// FEN and coordinate move text.
#include <cstdint>

#include "board/types.h"

constexpr const char* START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int FEN_MAX = 254;  // characters of a FEN that are read; the rest is ignored

// Sets up p from FEN (empty text: the start position), complete with keys,
// check flag, piece-square sum and stage (under the current pst). False, and
// p untouched, when the side-to-move field is not "w" or "b" (fenSideIsValid).
bool fenToPosition(Position& p, const char* fen);
// Whether the FEN's side-to-move field, the character after the first space
// among its first FEN_MAX characters, is "w" or "b" and so can be read.
bool fenSideIsValid(const char* fen);
// Checks a FEN before fenToPosition: 1 when it has exactly one king of each
// colour, no more pieces than eight pawns could have promoted to, no pawn on
// the first or last rank, its placement stays on the board and the side not
// to move is not in check; else 0. Needs the start-up tables.
int fenIsValid(const char* fen);
void positionToFen(const Position& p, char* out);  // shortened: placement and side only
// The castling field of a FEN ("KQkq" order, "-" for none) into out, which
// holds at least 5 characters; returns its length.
int castlingField(const Position& p, char* out);
void alg(Move m, char* out);                         // out holds at least 6 characters
// The move of p's full generated list whose coordinate text is `text`, letters
// in either case ("E7E8Q" names e7e8q); 0 when there is none.
Move findMove(const Position& p, const char* text);
// Makes the legal move that `text` names (findLegalMove) into child, with its
// check flag; 0, and child untouched, when cur has no such legal move.
int algMake(const Position& cur, Position& child, const char* text);
void lowerCase(char* text);
// Splits text in place at runs of space, tab, CR and LF; stores a pointer to
// each word and a null after the last. words holds PARSE_MAX_WORDS + 1 entries
// (or maxWords + 1 with the three-argument form); later words are dropped.
constexpr int PARSE_MAX_WORDS = 4095;
int ParseString(char* text, char** words);
int ParseString(char* text, char** words, int maxWords);
uint32_t hash(const char* text);                     // h = h * 33 + c from 5381
