// Iterative deepening, the root search, and the "info" and "bestmove" lines.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "base/general.h"
#include "base/platform.h"
#include "board/attacks.h"
#include "board/display.h"
#include "board/make.h"
#include "board/notation.h"
#include "board/tables.h"
#include "eval/eval.h"
#include "eval/pawns.h"
#include "search/nodeutil.h"
#include "search/strength.h"
#include "search/threads.h"

thread_local constinit SearchState search;
SearchSignals signals;

static constexpr int PV_TEXT = 64 * 8;

bool obviousLead(int count, int first, int second) {
    // A lone legal move is as obvious as a move can be.
    return count == 1 || (count > 1 && first > second + 150);
}

void scoreText(int s, char* out) {
    if (s > MATE_BOUND)
        std::sprintf(out, "mate %d", (MATE - s) / 2 + 1);
    else if (s < -MATE_BOUND)
        std::sprintf(out, "mate %d", -((MATE - 1 - std::abs(s)) / 2) - 1);
    else
        std::sprintf(out, "cp %d", s);
}

// Coordinate text of a line, each move followed by a blank; the first move
// becomes the move to play.
// Coordinate text of a line, each move followed by a blank.
static void textOfLine(const PvLine& line, char* text) {
    char* t = text;
    *t = 0;
    for (int i = 0; i < 63 && line.m[i]; ++i) {
        alg(line.m[i], t);
        t += std::strlen(t);
        *t++ = ' ';
        *t = 0;
    }
}

void getUciPv(const PvLine& line, char* text) {
    textOfLine(line, text);
    if (line.m[0])
        alg(line.m[0], search.bestMove);
    else
        std::strcpy(search.bestMove, "ZZZZ");
}

static double elapsed() { return std::max(0.0, seconds(CPU) - search.starttime); }

// Text of a line about to be written; the move played and the ponder move
// follow it, so "bestmove" always names the first move of the last "pv". An
// older ponder move would answer a different first move.
static void reportLine(const PvLine& line, char* text) {
    getUciPv(line, text);
    if (line.m[0] && line.m[1])
        alg(line.m[1], search.ponderText);
    else
        search.ponderText[0] = 0;
}

// An "info" line; `multipv` 0 leaves that field out, as with one line.
static void writeInfo(int depth, double e, uint64_t n, int s, const char* pv, int multipv = 0) {
    if (!search.limits.printLines) return;
    char score[32], lineNumber[24] = "";
    scoreText(s, score);
    if (multipv) std::snprintf(lineNumber, sizeof lineNumber, " multipv %d", multipv);
    uint64_t nps = e > 0 ? uint64_t(double(n) / e) : 0;
    std::printf("info depth %d%s time %d nodes %" PRIu64 " score %s nps %" PRIu64 " pv %s\n", depth, lineNumber,
                int(1000 * e), n, score, nps, pv);
    std::fflush(stdout);
}

// Moves made by every search thread.
static uint64_t allNodes() { return nodecount + helperNodes(); }

int rootMoves(const Position& p, RootMove* list, const Move* only, int onlyCount) {
    const uint64_t counted = nodecount;
    const int side = sideToMove(p);
    GenContext g;
    initGenContext(p, g, ROW_MAIN, 0, 0, 0);
    Position child;
    int n = 0;
    while (Move m = nextMove(g)) {
        make(p, child, m);
        if (!fasterInCheck(child, side)) list[n++] = {m, 0};
    }
    nodecount = counted;
    int kept = 0;
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < onlyCount; ++k)
            if ((only[k] & 0xffff) == list[i].m) {
                list[kept++] = list[i];
                break;
            }
    return kept > 0 ? kept : n;
}

void sortRootMoves(RootMove* list, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (list[j].score > list[i].score) std::swap(list[i], list[j]);
}

void rootMoveToFront(RootMove* list, int n, Move m) {
    for (int i = 0; i < n; ++i) {
        if (list[i].m != m) continue;
        const RootMove r = list[i];
        for (int j = i; j > 0; --j) list[j] = list[j - 1];
        list[0] = r;
        return;
    }
}

int searchRoot(const Position& p, int depth, PvLine& line, int from) {
    SearchState& S = search;
    S.root_move_changes = 0;
    if (pollStep()) return 0;
    line.m[0] = 0;
    const bool firstIteration = depth / 2 == 1 && from == 0;
    if (firstIteration) {
        S.lstCount = rootMoves(p, S.lst, S.limits.searchMoves, S.limits.searchMovesCount);
        nodecount = 0;
    }

    const int side = sideToMove(p);
    const Bitboard passMask = passMaskOf(p);
    Position child;
    PvLine childLine;
    int best = NO_SCORE, legal = 0;
    for (int i = from; i < S.lstCount; ++i) {
        const Move m = S.lst[i].m;
        if (stopForNodeLimit()) return 0;
        if (!makeLegal(p, child, m)) continue;
        ++legal;

        int s;
        if (rep(child)) {
            s = 0;
            childLine.m[0] = 0;
        } else {
            // A check is worth a full ply here; a pawn heading for promotion
            // half a ply per reason.
            int ext = child.inCheck ? 2 : 0;
            if (child.movedKind == PAWN) {
                if (bit(moveTo(m)) & rnk7[side]) ++ext;
                if (bit(moveTo(m)) & passMask) ++ext;
            }
            const int d = depth - 2 + std::min(ext, 2);
            if (firstIteration) {
                s = -searchPv(child, NO_SCORE, -NO_SCORE, d, 1, childLine);
                S.lst[i].score = s;
            } else if (legal == 1) {
                s = -searchPv(child, NO_SCORE, -best, d, 1, childLine);
            } else {
                s = -searchNonPv(child, -best, d, 1, childLine, 0);
                if (!signals.abortflag && s <= MATE && s > best) s = -searchPv(child, NO_SCORE, -best, d, 1, childLine);
            }
        }
        if (signals.abortflag) return 0;
        if (s <= best) continue;

        setLine(line, m, childLine);
        ++S.root_move_changes;
        if (S.limits.printLines && depth / 2 > 4 && S.limits.multiPV <= 1) {
            // A new best move of an unfinished iteration is played if the
            // iteration is cut short: it has already beaten the old one here.
            char text[PV_TEXT];
            reportLine(line, text);
            writeInfo(depth / 2, elapsed(), allNodes(), s, text);
        }
        best = s;
        if (s > MATE) break;
    }
    if (signals.abortflag) return 0;

    if (firstIteration) {
        sortRootMoves(S.lst, S.lstCount);
        S.easyMove = obviousLead(S.lstCount, S.lst[0].score, S.lst[1].score) ? S.lst[0].m : 0;
    } else {
        rootMoveToFront(S.lst + from, S.lstCount - from, line.m[0]);
    }
    if (legal == 0) return p.inCheck ? mated_in(0) : 0;
    return best;
}

void startLearnedTables() {
    std::fill(std::begin(learned.ka), std::end(learned.ka), 0);
    std::fill(std::begin(learned.kb), std::end(learned.kb), 0);
    std::fill(std::begin(learned.oa), std::end(learned.oa), 0);
    std::fill(std::begin(learned.ob), std::end(learned.ob), 0);
    if (learned.used) return;
    for (int col = 0; col < 2; ++col)
        for (int kind = PAWN; kind <= KING; ++kind)
            for (int sq = 0; sq < 64; ++sq)
                learned.his_s[pieceSquareIndex(col, kind, sq)] = learned.his_f[pieceSquareIndex(col, kind, sq)] = 1;
}

void startSearch(Position& p, const SearchLimits& limits) {
    SearchState& S = search;
    S.limits = limits;
    S.searchSatisfied = 0;
    signals.abortflag = 0;
    signals.ponderMode = limits.ponder;
    S.firstIterationDone = 0;
    startLearnedTables();
    p.pstScore = getSC(p);
    p.stage = getSTAGE(p);
    // Without a table every search starts afresh.
    if (hashMeg != 0 && hashtable.entries) {
        // Done before the clock starts; a table that nothing has written
        // since it was made costs nothing here.
        if (!learned.used) {
            clearTable(hashtable);
            learned.used = true;
        }
        ttAge(hashtable);
    }
    // The count starts here, not when the first iteration builds the root
    // list: a node cap checked before that must not see the last search's.
    nodecount = 0;
    S.starttime = seconds(CPU);
    S.goaltime = S.starttime + 4.0 * limits.budget;
    if (limits.hardLimit > 0) S.goaltime = std::min(S.goaltime, S.starttime + limits.hardLimit);
    S.ponderText[0] = 0;
}

// Lines 2 to count of a MultiPV iteration, line 1 given: line i is the best
// of the root moves after the first i - 1. False when the search stopped.
static bool searchMoreLines(const Position& p, int depth, int count, PvLine* lines, int* scores) {
    SearchState& S = search;
    const int changes = S.root_move_changes;  // the time rules read line 1's
    for (int i = 1; i < count && !signals.abortflag; ++i) scores[i] = searchRoot(p, depth, lines[i], i);
    if (signals.abortflag) return false;
    S.root_move_changes = changes;
    // A later line can score above an earlier one (a null window judged it
    // first): the lines go out best first, the root list takes their order
    // for the next iteration, and line 1 is the move played.
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && scores[j] > scores[j - 1]; --j) {
            std::swap(scores[j], scores[j - 1]);
            std::swap(lines[j], lines[j - 1]);
        }
    for (int i = count - 1; i >= 0; --i) rootMoveToFront(S.lst, S.lstCount, lines[i].m[0]);
    return true;
}

void uciBeginSearch(Position& p, const SearchLimits& limits) {
    SearchState& S = search;
    startSearch(p, limits);
    startHelpers(p, limits);
    const double budget = limits.budget;
    const int depthLimit = limits.infinite ? MAX_ITERATIONS : limits.depth;
    double t1 = S.goaltime, t2 = S.goaltime, t3 = S.goaltime;
    if (depthLimit > 0) {
        t1 = S.starttime + 0.064 * budget;  // an obvious move
        t2 = S.starttime + 0.65 * budget;   // the best move never changed
        t3 = S.starttime + 2.5 * budget;    // it changed more than once
    }

    displayBoard(p);
    logger("DEPTH      TIME         NODES      KNPS    SCORE   PRINCIPAL VARIATION\n");
    logger("-----  --------  ------------  --------  -------   -------------------------------------------------\n");
    char text[PV_TEXT];
    PvLine line;
    line.m[0] = 0;
    const int lastIteration = std::min(depthLimit, MAX_ITERATIONS);

    // With several lines, line i is the best of the root moves after the
    // first i, each searched to an exact score.
    PvLine lines[MAX_ROOT_MOVES];
    int scores[MAX_ROOT_MOVES];
    // A strength level searches its lines within its node budget and plays
    // one of the last finished iteration's, kept here.
    const LevelPlan level = limits.elo ? levelPlan(limits.elo) : LevelPlan{0, 1, 0};
    PvLine levelLines[LEVEL_LINES];
    int levelScores[LEVEL_LINES], levelCount = 0;
    // Its lines are MultiPV lines, written as such.
    S.limits.multiPV = std::max(limits.multiPV, level.lines);
    for (int k = 1;; ++k) {
        int s = searchRoot(p, 2 * k + 1, line);
        if (line.m[0] != S.easyMove) S.easyMove = 0;
        if (signals.abortflag) break;
        const int lineCount = std::min(S.limits.multiPV, S.lstCount);
        if (lineCount > 1) {
            lines[0] = line;
            scores[0] = s;
            if (!searchMoreLines(p, 2 * k + 1, lineCount, lines, scores)) break;
            line = lines[0];
            s = scores[0];
            if (line.m[0] != S.easyMove) S.easyMove = 0;
        }
        S.firstIterationDone = 1;
        S.bestScore = s;
        if (level.lines > 1 && lineCount > 1) {
            levelCount = std::min(lineCount, level.lines);
            std::copy(lines, lines + levelCount, levelLines);
            std::copy(scores, scores + levelCount, levelScores);
        }
        double e = elapsed();
        uint64_t n = allNodes();
        reportLine(line, text);
        logger("%5d  %8.1f  %12" PRIu64 "  %8.1f  %7.2f   %s\n", k, e, n, double(n / 1000) / (e + 0.01), s / 100.0,
               text);
        if (lineCount > 1) {
            for (int i = 0; i < lineCount; ++i) {
                char lineText[PV_TEXT];
                textOfLine(lines[i], lineText);
                writeInfo(k, e, n, scores[i], lineText, i + 1);
            }
        } else {
            writeInfo(k, e, n, s, text);
        }

        double now = seconds(CPU);
        if (!S.searchSatisfied &&
            ((k > 6 && S.easyMove && now >= t1) || (now > t2 && S.root_move_changes == 1) ||
             (now > t3 && S.root_move_changes >= 2)))
            S.searchSatisfied = 1;
        if ((!signals.ponderMode && S.searchSatisfied) || std::abs(s) >= MATE_BOUND || k >= lastIteration) break;
        if (level.nodes && k >= 2) {
            // Two iterations see every mate in one the level could walk
            // into; after them the budget rules. A ponder search that has
            // spent it waits below for the GUI, as a finished one does.
            if (allNodes() >= level.nodes) break;
            // An iteration that runs far past the budget is cut short (not
            // under "go infinite", where a stop by the node limit would
            // answer before the GUI's "stop").
            if (!limits.infinite && (!limits.nodes || limits.nodes > 4 * level.nodes)) S.limits.nodes = 4 * level.nodes;
        }
    }
    if (searchThreads() > 1) {
        // The helpers stop with the main thread's iterations; an infinite or
        // pondering search waits below without them.
        const int stopped = signals.abortflag;
        signals.abortflag = 1;
        waitHelpers();
        signals.abortflag = stopped;
    }
    if (!S.firstIterationDone && S.lstCount > 0) {
        // Stopped before the first iteration finished: play the best move
        // seen so far rather than one left over from another position.
        alg(line.m[0] ? line.m[0] : S.lst[0].m, S.bestMove);
    }

    if (levelCount > 1) {
        // The move played and its ponder move, as for any line written.
        reportLine(levelLines[chooseLevelLine(levelScores, levelCount, level.temperature)], text);
    }

    logger("Total move time %8.1f\n", elapsed());

    // An infinite search, or one made while pondering, holds its answer
    // until the GUI asks for it.
    if (searchHooks.poll) {
        while (!signals.abortflag && (limits.infinite || signals.ponderMode)) {
            searchHooks.poll();
            if (!signals.abortflag && (limits.infinite || signals.ponderMode)) platformWaitInput(1);
        }
    }

    if (flog)
        logger("\nEtable statistics: %12" PRIu64 " hits  %12" PRIu64 " probes   Rate = %8.3f percent\n", ehits,
               eprobes, eprobes ? 100.0 * double(ehits) / double(eprobes) : 0.0);

    char answer[128];
    if (S.ponderText[0])
        std::snprintf(answer, sizeof answer, "bestmove %s ponder %s\n", S.bestMove, S.ponderText);
    else
        std::snprintf(answer, sizeof answer, "bestmove %s\n", S.bestMove);
    logger("%s", answer);
    if (limits.printLines) {
        std::fputs(answer, stdout);
        std::fflush(stdout);
    }
    // The node limit and the move list belong to this search: a node search
    // run on its own afterwards (self-play's quiet test) must not see them.
    S.limits.nodes = 0;
    S.limits.searchMovesCount = 0;
}
