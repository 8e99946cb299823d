// The "go" command: its words, the time budget of a move, and the search call.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "base/general.h"
#include "board/legal.h"
#include "board/notation.h"
#include "frontend/interface.h"
#include "search/search.h"

namespace {

constexpr double NO_TIME_LIMIT = 31622400.0;  // a year of 366 days
constexpr double MIN_BUDGET = 0.005;
constexpr double HARD_RESERVE = 0.3;

// A value word is a number as strtol reads one: a digit, after an optional
// sign. Anything else is the next word of the command, never swallowed as a
// missing value.
bool isValue(char** words, int i, int n) {
    if (i >= n) return false;
    const char* w = words[i];
    if (*w == '+' || *w == '-') ++w;
    return std::isdigit(static_cast<unsigned char>(*w));
}

bool isGoWord(const char* w) {
    static const char* const names[] = {"infinite", "ponder",   "wtime", "btime", "winc",        "binc",
                                        "movestogo", "movetime", "depth", "nodes", "searchmoves", "mate"};
    for (const char* n : names)
        if (std::strcmp(n, w) == 0) return true;
    return false;
}

// Adds the legal root move that `text` names, if any, to the searchmoves list.
void addSearchMove(const Position& p, const char* text, SearchLimits& limits) {
    const Move m = findLegalMove(p, text);
    if (!m || limits.searchMovesCount >= MAX_ROOT_MOVES) return;
    for (int k = 0; k < limits.searchMovesCount; ++k)
        if (limits.searchMoves[k] == m) return;
    limits.searchMoves[limits.searchMovesCount++] = m;
}

}  // namespace

double clockHardLimit(const GoClock& c, int col) {
    const double t = col ? c.btime : c.wtime;
    if (c.movetime != 0 || t <= 0) return 0;
    // Four budgets can pass a nearly empty clock (the 5 ms floor alone makes
    // 20 ms). What is left must also pay for "go" and "bestmove" crossing the
    // pipes and for the pauses of a loaded machine, which reach 50-80 ms when
    // other processes hold both cores: keep 0.3 s back, and below about 0.31 s
    // use at most a fortieth, so that a low clock fills up again from the
    // increments instead of running down to where one pause flags it.
    return std::max(t / 40, t - HARD_RESERVE);
}

double timeBudget(const GoClock& c, int col) {
    if (c.movetime != 0) {
        logger("Time Left: %8.1f\n", c.movetime);
        return c.movetime > 0 ? c.movetime : MIN_BUDGET;
    }
    double t = col ? c.btime : c.wtime;
    double inc = col ? c.binc : c.winc;
    // Any count but 0 shares the time out; a count of -5 or less, where the
    // share would be no time or a negative one, is read as no count.
    if (c.movestogo != 0 && c.movestogo > -5) {
        // The increment is left out: the moves to go share what is left now.
        double goal = t / (double(c.movestogo) + 5);
        logger("We have %8.1f seconds to make %ld moves = %8.1f goal\n", t, c.movestogo, goal);
        return std::max(MIN_BUDGET, goal);
    }
    // Sudden death or increment: a fortieth of the time (a thirtieth when an
    // increment keeps refilling it) plus most of the increment, never more
    // than a fifth of what is left.
    double x = std::max(0.0, t - inc);
    double a = inc > 0.00001 ? x / 30 + 0.9 * inc : x / 40 + 0.9 * inc;
    a = std::min(a, t / 5);
    return std::max(MIN_BUDGET, a);
}

SearchLimits goLimits(char** words, int n, const Position& root, double overhead) {
    SearchLimits limits;
    GoClock clock;
    long depth = 0;
    for (int i = 1; i < n;) {
        const char* w = words[i++];
        if (std::strcmp(w, "infinite") == 0) {
            limits.infinite = true;
        } else if (std::strcmp(w, "ponder") == 0) {
            limits.ponder = true;
        } else if (std::strcmp(w, "searchmoves") == 0) {
            while (i < n && !isGoWord(words[i])) addSearchMove(root, words[i++], limits);
        } else if (!isValue(words, i, n)) {
            // an unknown word, or a value word without its value: skipped
        } else if (std::strcmp(w, "wtime") == 0) {
            clock.wtime = double(std::strtoull(words[i++], nullptr, 10)) / 1000;
        } else if (std::strcmp(w, "btime") == 0) {
            clock.btime = double(std::strtoull(words[i++], nullptr, 10)) / 1000;
        } else if (std::strcmp(w, "winc") == 0) {
            clock.winc = double(std::strtoull(words[i++], nullptr, 10)) / 1000;
        } else if (std::strcmp(w, "binc") == 0) {
            clock.binc = double(std::strtoull(words[i++], nullptr, 10)) / 1000;
        } else if (std::strcmp(w, "movestogo") == 0) {
            clock.movestogo = std::strtol(words[i++], nullptr, 10);
        } else if (std::strcmp(w, "movetime") == 0) {
            clock.movetime = double(std::strtol(words[i++], nullptr, 10)) / 1000;
        } else if (std::strcmp(w, "depth") == 0) {
            depth = std::strtol(words[i++], nullptr, 10);
        } else if (std::strcmp(w, "nodes") == 0) {
            limits.nodes = std::strtoull(words[i++], nullptr, 10);
        }
        // "mate N" and other words the engine does not use are passed over.
    }

    clock.wtime = std::max(0.0, clock.wtime - overhead);
    clock.btime = std::max(0.0, clock.btime - overhead);
    const int side = sideToMove(root);
    if (depth > 0 || limits.infinite) {
        limits.budget = NO_TIME_LIMIT;
        // "infinite" outlasts any depth.
        if (depth > 0) limits.depth = int(std::min(depth, 1000000L));
    } else if (limits.nodes > 0 && clock.movetime == 0 && (side == WHITE ? clock.wtime : clock.btime) == 0) {
        // "go nodes N" alone: the node count is the limit, not the minimum budget
        // that a missing clock would otherwise give.
        limits.budget = NO_TIME_LIMIT;
    } else {
        limits.budget = timeBudget(clock, side);
        limits.hardLimit = clockHardLimit(clock, side);
    }
    return limits;
}

void uciGo(char** words, int n) {
    SearchLimits limits = goLimits(words, n, gme[ply], moveOverhead / 1000.0);
    limits.multiPV = multiPV;
    if (limitStrength) limits.elo = uciElo;
    searching = 1;
    searchInfinite = limits.infinite;
    uciBeginSearch(gme[ply], limits);
    searching = 0;
    searchInfinite = 0;
}
