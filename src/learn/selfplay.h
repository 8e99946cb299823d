#pragma once
// Self-play: Zarv against itself at a fixed node budget per move, the games
// adjudicated as a match runner does, and the quiet positions of every game
// written with the game's result. A game depends on (seed, game index) alone,
// so a run can be split into shards that merge back into the same file.
#include <cstdint>
#include <cstdio>

#include "board/types.h"

constexpr int GAME_PLIES = 1000;     // a game this long is called a draw
constexpr int RANDOM_PLIES = 8;      // random moves that open a game from the start position
constexpr int SELFPLAY_HASH_MB = 8;  // small: cleared before every game
constexpr int SCORE_CAP = 3000;      // a recorded score beyond this (a mate found) is written as this

enum GameEnd : int { END_NONE, END_MATE, END_STALEMATE, END_REPETITION, END_FIFTY, END_MATERIAL, END_LENGTH };
extern const char* const gameEndNames[7];

// One game: pos[i + 1] is made from pos[i] (its prev points there), fifty[i]
// the half moves since the last capture or pawn move at pos[i].
struct Game {
    Position pos[GAME_PLIES + 1];
    int16_t fifty[GAME_PLIES + 1];
    int32_t score[GAME_PLIES + 1];  // the search's score at pos[i], white's view, 0 at a drawn end
    int32_t count;        // positions in pos
    int32_t firstPlayed;  // first position the engine searched (after the opening)
    int32_t fullMove;     // move number of pos[0]
    int32_t end;          // GameEnd
    int32_t result;       // in half points for white: 2 won, 1 drawn, 0 lost
};

// A small generator for openings: splitmix64.
struct Rng {
    uint64_t s;
};
uint64_t rngNext(Rng& r);
// The generator of game `index` of a run with this seed.
Rng gameRng(uint64_t seed, uint64_t index);

// Starts g at the position of fen (the start position for "" or null).
void gameStart(Game& g, const char* fen);
// Appends the position after m, which must be legal in the last position.
void gamePlay(Game& g, Move m);
// Decides the last position: mate, stalemate, threefold repetition, fifty
// moves, too little material to mate, or the length limit. Sets g.end and
// g.result and returns g.end (END_NONE while the game goes on).
int gameJudge(Game& g);
// Too little material for either side to mate: bare kings, a single minor
// piece, or only bishops all on squares of one colour.
bool insufficientMaterial(const Position& p);

// The engine set up for self-play: its own small table, no output, no input
// read during a search.
void selfplaySetup();
// Makes the next search start like an engine's first: table, history,
// killers and the evaluation caches as after start-up.
void freshEngine();
// The engine's move in the last position of g at nodes per move (0 when none);
// the search's score there goes to g.score.
Move engineMove(Game& g, uint64_t nodes);
// Quiet: not in check, and the quiescence search, run without the table,
// gives the static value.
bool isQuiet(const Position& p);

struct SelfPlay {
    uint64_t nodes = 1000;
    uint64_t seed = 1;
    const char* const* openings = nullptr;  // FENs; none: random plies from the start
    int32_t openingCount = 0;
    int32_t randomPlies = 0;  // random plies after the opening (after the 8 without openings)
    bool scores = false;      // each position line ends with the search's score
};
// Plays game `index`. Writes its kept positions, one line each
// ("INDEX FEN RESULT", or "INDEX FEN RESULT SCORE" with scores, SCORE signed
// centipawns for white), then the game line "INDEX # RESULT END PLIES", to out.
// Returns the number of positions kept.
int playGame(const SelfPlay& sp, uint64_t index, Game& g, FILE* out);

// Full FEN of a position: placement, side, castling, en passant, clocks.
void fullFen(const Position& p, int fifty, int fullMove, char* out);
