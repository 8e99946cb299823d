// Iterative deepening, the root search, and the "info" and "bestmove" lines.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

double goaltime = 0, starttime = 0;
double accTime = 0;
double searchHardLimit = 0;
int32_t INFO_OFF = 0;
int32_t searchSilent = 0;
char bestMove[32] = "0000";
Move easyMove = 0;
int32_t root_move_changes = 0;
int32_t searchSatisfied = 0;
RootMove lst[256];
int32_t lstCount = 0;
Move searchMoves[256];
int32_t searchMovesCount = 0;

static bool firstSearch = true;
// A guard on "go depth": the deepest line grows with the iteration and every
// node of it keeps its frame on the stack, so no search runs more iterations
// than an infinite one does.
static constexpr int MAX_ITERATIONS = 100;
static constexpr int PV_TEXT = 64 * 8;

void resetSearchState() { firstSearch = true; }

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
void getUciPv(const PvLine& line, char* text) {
    char* t = text;
    *t = 0;
    for (int i = 0; i < 63 && line.m[i]; ++i) {
        alg(line.m[i], t);
        t += std::strlen(t);
        *t++ = ' ';
        *t = 0;
    }
    if (line.m[0])
        alg(line.m[0], bestMove);
    else
        std::strcpy(bestMove, "ZZZZ");
}

static double elapsed() { return std::max(0.0, seconds(CPU) - starttime); }

// The move to ponder on: the second move of the line last written, or none.
// An older one would answer a different first move.
static char ponderText[32] = "";

// Text of a line about to be written; the move played and the ponder move
// follow it, so "bestmove" always names the first move of the last "pv".
static void reportLine(const PvLine& line, char* text) {
    getUciPv(line, text);
    if (line.m[0] && line.m[1])
        alg(line.m[1], ponderText);
    else
        ponderText[0] = 0;
}

static void writeInfo(int depth, double e, uint64_t n, int s, const char* pv) {
    if (searchSilent) return;
    char score[32];
    scoreText(s, score);
    uint64_t nps = e > 0 ? uint64_t(double(n) / e) : 0;
    std::printf("info depth %d time %d nodes %" PRIu64 " score %s nps %" PRIu64 " pv %s\n", depth, int(1000 * e), n,
                score, nps, pv);
    std::fflush(stdout);
}

static bool inSearchMoves(Move m) {
    for (int i = 0; i < searchMovesCount; ++i)
        if ((searchMoves[i] & 0xffff) == m) return true;
    return false;
}

// The root list: every legal move in picker order, restricted to the moves of
// "go searchmoves" when any of them is legal.
static void buildRootList(const Position& p) {
    const int side = sideToMove(p);
    GenContext g;
    initGenContext(p, g, ROW_MAIN, 0, 0, 0);
    Position child;
    lstCount = 0;
    while (Move m = nextMove(g)) {
        make(p, child, m);
        if (fasterInCheck(child, side)) {
            --nodecount;
            continue;
        }
        lst[lstCount++] = {m, 0};
    }
    if (searchMovesCount > 0) {
        int n = 0;
        for (int i = 0; i < lstCount; ++i)
            if (inSearchMoves(lst[i].m)) lst[n++] = lst[i];
        if (n > 0) lstCount = n;
    }
    nodecount = 0;
}

int searchRoot(const Position& p, int depth, PvLine& line) {
    root_move_changes = 0;
    if (pollStep()) return 0;
    line.m[0] = 0;
    const bool firstIteration = depth / 2 == 1;
    if (firstIteration) buildRootList(p);

    const int side = sideToMove(p);
    const Bitboard passMask = passMaskOf(p);
    Position child;
    PvLine childLine;
    int best = NO_SCORE, legal = 0;
    for (int i = 0; i < lstCount; ++i) {
        const Move m = lst[i].m;
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
                lst[i].score = s;
            } else if (legal == 1) {
                s = -searchPv(child, NO_SCORE, -best, d, 1, childLine);
            } else {
                s = -searchNonPv(child, -best, d, 1, childLine, 0);
                if (!abortflag && s <= MATE && s > best) s = -searchPv(child, NO_SCORE, -best, d, 1, childLine);
            }
        }
        if (abortflag) return 0;
        if (s <= best) continue;

        setLine(line, m, childLine);
        ++root_move_changes;
        if (!INFO_OFF && depth / 2 > 4) {
            // A new best move of an unfinished iteration is played if the
            // iteration is cut short: it has already beaten the old one here.
            char text[PV_TEXT];
            reportLine(line, text);
            writeInfo(depth / 2, elapsed(), nodecount, s, text);
        }
        best = s;
        if (s > MATE) break;
    }
    if (abortflag) return 0;

    if (firstIteration) {
        for (int i = 0; i < lstCount; ++i)
            for (int j = i + 1; j < lstCount; ++j)
                if (lst[j].score > lst[i].score) std::swap(lst[i], lst[j]);
        easyMove = obviousLead(lstCount, lst[0].score, lst[1].score) ? lst[0].m : 0;
    } else {
        for (int i = 0; i < lstCount; ++i) {
            if (lst[i].m != line.m[0]) continue;
            RootMove r = lst[i];
            for (int j = i; j > 0; --j) lst[j] = lst[j - 1];
            lst[0] = r;
            break;
        }
    }
    if (legal == 0) return p.inCheck ? mated_in(0) : 0;
    return best;
}

void uciBeginSearch(Position& p, double budget, int depthLimit) {
    searchSatisfied = 0;
    abortflag = 0;
    firstIterationDone = 0;
    std::fill(ka, ka + 128, 0);
    std::fill(kb, kb + 128, 0);
    std::fill(oa, oa + 128, 0);
    std::fill(ob, ob + 128, 0);
    if (firstSearch) {
        for (int col = 0; col < 2; ++col)
            for (int kind = PAWN; kind <= KING; ++kind)
                for (int sq = 0; sq < 64; ++sq) his_s[histIndex(col, kind, sq)] = his_f[histIndex(col, kind, sq)] = 1;
    }
    p.pstScore = getSC(p);
    p.stage = getSTAGE(p);
    if (hashMeg != 0 && hashtable.entries) {
        if (firstSearch) {
            ttabClear(hashtable);
            firstSearch = false;
        }
        ttAge(hashtable);
    }

    // The count starts here, not when the first iteration builds the root
    // list: a node cap checked before that must not see the last search's.
    nodecount = 0;
    starttime = seconds(CPU);
    goaltime = starttime + 4.0 * budget;
    if (searchHardLimit > 0) goaltime = std::min(goaltime, starttime + searchHardLimit);
    searchHardLimit = 0;
    double t1 = goaltime, t2 = goaltime, t3 = goaltime;
    if (depthLimit > 0) {
        t1 = starttime + 0.064 * budget;  // an obvious move
        t2 = starttime + 0.65 * budget;   // the best move never changed
        t3 = starttime + 2.5 * budget;    // it changed more than once
    }

    displayBoard(p);
    logger("DEPTH      TIME         NODES      KNPS    SCORE   PRINCIPAL VARIATION\n");
    logger("-----  --------  ------------  --------  -------   -------------------------------------------------\n");
    ponderText[0] = 0;
    char text[PV_TEXT];
    PvLine line;
    line.m[0] = 0;
    const int lastIteration = std::min(depthLimit, MAX_ITERATIONS);

    for (int k = 1;; ++k) {
        int s = searchRoot(p, 2 * k + 1, line);
        if (line.m[0] != easyMove) easyMove = 0;
        if (abortflag) break;
        firstIterationDone = 1;
        double e = elapsed();
        uint64_t n = nodecount;
        reportLine(line, text);
        logger("%5d  %8.1f  %12" PRIu64 "  %8.1f  %7.2f   %s\n", k, e, n, double(n / 1000) / (e + 0.01), s / 100.0,
               text);
        writeInfo(k, e, n, s, text);

        double now = seconds(CPU);
        if (!searchSatisfied &&
            ((k > 6 && easyMove && now >= t1) || (now > t2 && root_move_changes == 1) ||
             (now > t3 && root_move_changes >= 2)))
            searchSatisfied = 1;
        if ((!ponderMode && searchSatisfied) || std::abs(s) >= MATE_BOUND || k >= lastIteration) break;
    }
    if (!firstIterationDone && lstCount > 0) {
        // Stopped before the first iteration finished: play the best move
        // seen so far rather than one left over from another position.
        alg(line.m[0] ? line.m[0] : lst[0].m, bestMove);
    }

    double total = elapsed();
    logger("Total move time %8.1f\n", total);
    accTime += total;

    // An infinite search, or one made while pondering, holds its answer
    // until the GUI asks for it.
    if (searchPoll) {
        while (!abortflag && (depthLimit == 100 || ponderMode)) {
            searchPoll();
            if (!abortflag && (depthLimit == 100 || ponderMode)) platformWaitInput(1);
        }
    }

    if (flog)
        logger("\nEtable statistics: %12" PRIu64 " hits  %12" PRIu64 " probes   Rate = %8.3f percent\n", ehits,
               eprobes, eprobes ? 100.0 * double(ehits) / double(eprobes) : 0.0);

    char answer[128];
    if (ponderText[0])
        std::snprintf(answer, sizeof answer, "bestmove %s ponder %s\n", bestMove, ponderText);
    else
        std::snprintf(answer, sizeof answer, "bestmove %s\n", bestMove);
    logger("%s", answer);
    if (!searchSilent) {
        std::fputs(answer, stdout);
        std::fflush(stdout);
    }
    nodeLimit = 0;
    searchMovesCount = 0;
}
