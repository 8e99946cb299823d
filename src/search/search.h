#pragma once
// Iterative deepening, the node searches and the quiescence search.
#include <cstdint>

#include "board/types.h"

struct PvLine {
    Move m[64];  // ended by 0; m[63] is always 0
};

// Search switches and parameters.
extern int32_t use_nullmove, use_fut, use_hp, use_lmr, lmrnon, lmrpv, smin, smarg, use_ckQ, use_cfut;
extern const int32_t razor[8];
extern const int32_t fmarg[12];

// Shared search state.
extern uint32_t tics;
extern double goaltime, starttime;
extern int32_t INFO_OFF;
extern char bestMove[32];
extern Move easyMove;
extern int32_t root_move_changes;
extern int32_t searchSatisfied;
extern uint64_t nodeLimit;  // "go nodes": stop once nodecount reaches it (0 = none)
// Serves waiting input from inside a running search ("stop", "ponderhit",
// "isready", "quit"); the front end hands it over at start-up. Null: the poll
// step never reads input (bench, in-process tests).
extern void (*searchPoll)();
extern volatile int32_t abortflag;   // set by "stop" and the clock; cleared when a search starts
extern volatile int32_t ponderMode;  // while set the clock never stops the search and the move is held back
extern double accTime;               // game time used; "position" resets it
// Every search stops at this many nodes, iteration finished or not, pondering
// or not (0 = none; the fuzz targets bound their searches with it).
extern uint64_t nodeCap;
// Seconds after the start that the next search may never pass, whatever its
// budget (0 = none); uciBeginSearch uses it once and clears it.
extern double searchHardLimit;
// The poll step reads input when the node-entry count has none of these bits
// set: every 65,536 entries (the fuzz targets read more often).
extern uint32_t inputPollMask;
extern int32_t searchSilent;      // 1: no "info" or "bestmove" lines on standard output
extern int32_t firstIterationDone;  // the running search has finished an iteration

struct RootMove {
    Move m;
    int32_t score;
};
extern RootMove lst[256];
extern int32_t lstCount;
extern Move searchMoves[256];  // "go searchmoves": the root list is restricted to these
extern int32_t searchMovesCount;

// Poll step shared by every node function: counts the node, serves input every
// 65,536 entries, checks the clock every 1,024 and the node limit at every one.
// Returns 1 when the node must return 0.
int pollStep();

// One whole "go": iterations, "info" lines, the wait of an infinite or
// pondering search, and "bestmove". depthLimit 100 marks an infinite search.
void uciBeginSearch(Position& p, double budget, int depthLimit);
// Makes the next search start as the first of the process does: history
// counters back to 1 and the table cleared.
void resetSearchState();
int searchRoot(const Position& p, int depth, PvLine& line);
// Whether the first iteration's sorted root list (count moves, the two best
// scores) has an obvious move: a lone move, or one more than 150 ahead.
bool obviousLead(int count, int first, int second);
// The line as coordinate moves, each followed by a blank; sets bestMove to its
// first move, or to "ZZZZ" when the line is empty.
void getUciPv(const PvLine& line, char* text);
int searchPv(const Position& p, int alpha, int beta, int depth, int ply, PvLine& line);
int searchNonPv(const Position& p, int beta, int depth, int ply, PvLine& line, Move excluded);
int searchQuies(const Position& p, int alpha, int beta, int depth, int ply, PvLine& line);
// 1 when p repeats a position 2, 4 ... 40 plies up its parent chain.
int rep(const Position& p);
// 1 when the threat m2 of colour k follows from k's last move m1.
int connected(const Position& p, int k, Move m1, Move m2);
// 1 when a piece of colour k stands on `from` and attacks `to`.
int attVic(const Position& p, int k, int from, int to);
// Halves every history counter of kinds 1-6, keeping 1 as the least value.
void reduceHis();
// Score text of an info line: "cp N" or "mate N".
void scoreText(int s, char* out);
// Squares within the opponent's half mask that no opponent pawn can ever
// attack or block: a pawn of the side to move reaching one is hard to stop.
Bitboard passMaskOf(const Position& p);
// Late-move reduction in half-plies for the n-th late move.
int lmrReduction(int n, bool pvNode);
