#pragma once
// Iterative deepening, the node searches and the quiescence search, and the
// three records that hold their state.
#include <atomic>
#include <cstdint>

#include "board/types.h"

struct PvLine {
    Move m[64];  // ended by 0; m[63] is always 0
};

// Search switches and margins. Nothing changes them while the engine runs;
// only razoring and the move-count limits are set from the command line
// (use_razor, hd1, hd2 in base/general.h).
constexpr int32_t use_nullmove = 1;
constexpr int32_t use_fut = 12;   // futility below this depth
constexpr int32_t use_hp = 6;     // move-count pruning below this depth
constexpr int32_t use_lmr = 1;
constexpr int32_t lmrnon = 1;     // late moves not reduced at null-window nodes
constexpr int32_t lmrpv = 4;      // late moves not reduced at PV nodes
constexpr int32_t smin = 10;      // singular extension from this depth on
constexpr int32_t smarg = 80;     // ... for a margin of this much below the table's score
constexpr int32_t use_ckQ = 1;    // the first quiescence ply looks at checks too
constexpr int32_t use_cfut = 1;   // quiescence skips captures too small to reach alpha
constexpr int32_t razor[8] = {150, 300, 300, 375, 375, 375, 500, 500};
constexpr int32_t fmarg[12] = {100, 112, 200, 212, 231, 244, 262, 275, 325, 337, 362, 375};

constexpr int MAX_ROOT_MOVES = 256;
// A guard on "go depth": the deepest line grows with the iteration and every
// node of it keeps its frame on the stack, so no search runs more iterations
// than an infinite one does.
constexpr int MAX_ITERATIONS = 100;

// What one search is asked for. The front end fills it from the words of
// "go" (goLimits); the bench, self-play and the book study fill their own.
// A default record is a search of 99 iterations with no clock to speak of.
struct SearchLimits {
    double budget = 0;        // seconds the clock rules give this move
    double hardLimit = 0;     // seconds after the start the search never passes (0 = none)
    int32_t depth = 99;       // iterations at most
    bool infinite = false;    // runs until "stop", then holds its answer until asked
    bool ponder = false;      // starts pondering: no stop by the clock, the answer held back
    bool printLines = true;   // "info" and "bestmove" on standard output
    int32_t multiPV = 1;      // principal lines shown, best first
    uint64_t nodes = 0;       // "go nodes": stop once this many moves are made (0 = none)
    int32_t elo = 0;          // a strength level's rating (UCI_LimitStrength): its plan rules (0 = full strength)
    int32_t searchMovesCount = 0;
    Move searchMoves[MAX_ROOT_MOVES]{};  // "go searchmoves": the legal root moves to keep
};

struct RootMove {
    Move m{};
    int32_t score{};
};

// The running search of one thread. uciBeginSearch starts the main thread's;
// the root and the node functions write it; each helper thread has its own.
struct SearchState {
    SearchLimits limits{};           // what the running (or last) search was asked
    uint32_t tics{};                 // node entries, counted across searches: the poll step's pace
    double starttime{}, goaltime{};  // clock at the start; the hard limit the poll step reads
    int32_t searchSatisfied{};       // the soft time rules allow the search to end
    int32_t firstIterationDone{};
    RootMove lst[MAX_ROOT_MOVES]{};  // root moves in search order, built by the first iteration
    int32_t lstCount{};
    Move easyMove{};                 // the root move the first iteration judged obvious, or 0
    int32_t root_move_changes{};     // best-move replacements in the last iteration
    char bestMove[32] = "0000";      // the move to play: the last finished iteration's first move
    int32_t bestScore{};             // that iteration's score, for the side to move
    char ponderText[32]{};           // the move to ponder on: that line's second move, or ""
};
extern thread_local constinit SearchState search;

// What the thread that serves input tells every search thread. The UCI loop,
// called from the main thread's poll step, writes both; the clock and the
// main thread's limits set abortflag; every thread reads them.
struct SearchSignals {
    std::atomic<int32_t> abortflag{0};   // stop: set by "stop" and the clock; cleared when a search starts
    std::atomic<int32_t> ponderMode{0};  // while set the clock never stops the search and the move is held back
};
extern SearchSignals signals;
// Null in the main thread; in a helper thread, where it publishes its move
// count for the main thread's "info" lines.
extern thread_local std::atomic<uint64_t>* helperNodesOut;

// What searches learn for the next ones, one record per search thread. The
// node functions and the picker write it; history counters carry over from
// search to search, killers live for one search. `= {}` is a freshly started engine: the next search sets
// the history counters to 1 and clears the table.
struct SearchTables {
    uint64_t his_s[1024]{}, his_f[1024]{};  // [colour, kind, square]: cut-offs made / quiet moves that failed
    Move ka[128]{}, kb[128]{};              // killers by ply: the two latest quiet cut-off moves
    Move oa[128]{}, ob[128]{};              // killers by ply for nodes in check (evasions)
    bool used{};                            // a search has set the counters and cleared the table
};
extern thread_local constinit SearchTables learned;

// How the search meets the program around it. Set at start-up by the engine,
// zarv-dev and the fuzz targets; read by the poll step.
struct SearchHooks {
    // Serves waiting input from inside a running search ("stop",
    // "ponderhit", "isready", "quit"). Null: the search never reads input.
    void (*poll)() = nullptr;
    // Input is read when the node-entry count has none of these bits set:
    // every 65,536 entries (the fuzz targets read more often).
    uint32_t inputPollMask = 0xffff;
    // Every search stops at this many nodes, iteration finished or not,
    // pondering or not (0 = none; the fuzz targets bound their searches with it).
    uint64_t nodeCap = 0;
};
extern SearchHooks searchHooks;

// Poll step shared by every node function: counts the node, serves input every
// 65,536 entries, checks the clock every 1,024 and the node limit at every one.
// Returns 1 when the node must return 0.
int pollStep();

// This thread's tables as a search starts: killers cleared, and history
// counters set to 1 at the first search since a fresh start (learned.used
// still false).
void startLearnedTables();
// Sets up a search of p as every search starts: the running state from the
// limits, killers cleared, the first search since a fresh start sets the
// history counters to 1 and clears the table, the table aged, the clock read.
void startSearch(Position& p, const SearchLimits& limits);
// One whole search of p: iterations, "info" lines, the wait of an infinite or
// pondering search, and "bestmove".
void uciBeginSearch(Position& p, const SearchLimits& limits);
// One iteration at the root over the moves of lst from index `from` on (the
// moves before it are the lines already found this iteration).
int searchRoot(const Position& p, int depth, PvLine& line, int from = 0);
// Whether the first iteration's sorted root list (count moves, the two best
// scores) has an obvious move: a lone move, or one more than 150 ahead.
bool obviousLead(int count, int first, int second);
// The legal moves of p in the picker's main order, scores 0, restricted to
// `only` when any of its moves is legal; the move count is left as it was.
int rootMoves(const Position& p, RootMove* list, const Move* only = nullptr, int onlyCount = 0);
// Highest score first; the plain exchange sort keeps the original order of
// equal scores as the search has always had it.
void sortRootMoves(RootMove* list, int n);
// Moves the entry of m to the front, shifting the ones before it back.
void rootMoveToFront(RootMove* list, int n, Move m);
// The line as coordinate moves, each followed by a blank; sets bestMove to its
// first move, or to "ZZZZ" when the line is empty.
void getUciPv(const PvLine& line, char* text);

// The node search below the root, written once: pvNode with an open window
// (alpha, beta), else with the null window (beta - 1, beta), which carries all
// the selectivity. `excluded` (null window only) is left out of the move list
// and keeps the result out of the table.
template <bool pvNode>
int searchNode(const Position& p, int alpha, int beta, int depth, int ply, PvLine& line, Move excluded);
inline int searchPv(const Position& p, int alpha, int beta, int depth, int ply, PvLine& line) {
    return searchNode<true>(p, alpha, beta, depth, ply, line, 0);
}
inline int searchNonPv(const Position& p, int beta, int depth, int ply, PvLine& line, Move excluded) {
    return searchNode<false>(p, beta - 1, beta, depth, ply, line, excluded);
}
int searchQuies(const Position& p, int alpha, int beta, int depth, int ply, PvLine& line);
// 1 when p repeats a position 2, 4 ... 40 plies up its parent chain.
int rep(const Position& p);
// Halves every history counter of kinds 1-6, keeping 1 as the least value.
void reduceHis();
// Score text of an info line: "cp N" or "mate N".
void scoreText(int s, char* out);
// Squares within the opponent's half mask that no opponent pawn can ever
// attack or block: a pawn of the side to move reaching one is hard to stop.
Bitboard passMaskOf(const Position& p);
// Late-move reduction in half-plies for the n-th late move.
int lmrReduction(int n, bool pvNode);
