#pragma once
// The UCI loop and the game record.
#include <cstdint>

#include "board/types.h"
#include "search/search.h"

constexpr int GAME_MAX = 1024;

// The game record, written by the UCI loop only: "position" sets gme[0] from
// its FEN and each of its moves makes the next record; the search starts from
// gme[ply], the position now on the board.
extern Position gme[GAME_MAX];
extern int32_t ply;     // index of the current position in gme
extern int32_t state;   // 0 until the first "position" or "isready" sets the game up
extern int32_t ponder;  // the "Ponder" option; it changes nothing but its reply
// 1 while a search started by "go" runs: UCI() then carries out only "stop",
// "ponderhit", "isready" and "quit" and keeps every other line for later.
// Whoever calls uciBeginSearch outside "go" sets it too.
extern int32_t searching;
// 1 while that search is infinite: end of input stops it.
extern int32_t searchInfinite;

// Reads and handles at most one waiting line; returns at once when none waits.
void UCI();
int readyinp();  // 1 when a line (or end of input) waits on standard input
// Carries out one command line (split in place); UCI() calls it for every line.
void uciCommand(char* line);
// The "go" command: words[0] is "go", n words in all.
void uciGo(char** words, int n);
// What the words of a "go" line ask of a search of `root`: the clock rules'
// budget and hard limit, depth, nodes, infinite, ponder and the legal moves
// of "searchmoves". Reads no state but its arguments (it writes the log).
// `overhead` seconds come off each side's remaining time first (never below 0).
SearchLimits goLimits(char** words, int n, const Position& root, double overhead = 0);

// Clock words of "go", in seconds.
struct GoClock {
    double wtime = 0, btime = 0, winc = 0, binc = 0;
    long movestogo = 0;  // as strtol reads it
    double movetime = 0;
};
// Time budget in seconds for side `col` by the clock rules (movetime,
// movestogo, increment or sudden death), with its log lines.
double timeBudget(const GoClock& c, int col);
// Seconds after its start that a search by the clock rules may never pass:
// the most of side `col`'s remaining time that may go into thinking. 0 when
// there is no clock to bound it.
double clockHardLimit(const GoClock& c, int col);

// Largest Hash the option takes, in megabytes (4096; the fuzz targets lower it).
extern int32_t hashMegMax;
// The options "setoption" writes and "go" reads: principal lines shown
// (MultiPV) and milliseconds kept back from the remaining time (Move Overhead).
extern int32_t multiPV, moveOverhead;
// UCI_LimitStrength and UCI_Elo: with the check on, "go" plays the level of that rating.
extern int32_t limitStrength, uciElo;
// Most search threads the Threads option takes (256; the fuzz targets lower it).
extern int32_t threadsMax;
// A freshly started engine's loop: no kept lines, no search running, state 0,
// one search thread and the game at the start position.
void uciReset();
