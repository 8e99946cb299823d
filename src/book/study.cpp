// The book study: walks the book tree, searches every position not yet
// searched with a fixed node budget, and adds the positions of the best move
// and of the near-best candidates as new, unsearched records.
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "base/general.h"
#include "board/attacks.h"
#include "board/make.h"
#include "board/notation.h"
#include "book/book.h"
#include "eval/eval.h"
#include "search/nodeutil.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/transposition.h"

namespace {

constexpr int NODES_PER_EFFORT = 600000;
constexpr int UNKNOWN_CHILD = -99999;  // sorts unsearched children last
constexpr int EVEN_MARGIN = 130;       // scores this close to 0 earn candidates
constexpr int CANDIDATES_ADDED = 4;
constexpr int CANDIDATE_MARGIN = 6;    // centipawns below the best that still count
constexpr int CANDIDATES_KEPT = 8;
constexpr double NO_CLOCK = 31622400.0;  // a year

// Root moves of the candidate search, kept from one iteration to the next.
RootMove rootList[MAX_ROOT_MOVES];
int rootCount;

// Squares of the enemy half whose file, from there to the last rank, no enemy
// pawn attacks or stands in front of: a pawn arriving there cannot be stopped
// by a pawn.
Bitboard freeSquares(const Position& p, int side) {
    const Bitboard enemyHalf = side == WHITE ? 0xffffffff00000000ULL : 0x00000000ffffffffULL;
    return ~pawnFrontier(side ^ 1, p.pcs[side ^ 1][PAWN]) & enemyHalf;
}

// Makes m in p and records the child as known but unsearched, unless the
// book already holds it searched.
void addChild(BookStore& b, const Position& p, Move m) {
    Position child;
    make(p, child, m);
    BookRecord* r = getBookRecord(b, child);
    if (r->depth == 0) bookPut(b, r, child.hashKey, 0, 0);
}

void printPath(const Position& p) {
    Move path[1024];
    int n = 0;
    for (const Position* q = &p; q->prev && n < 1024; q = q->prev) path[n++] = q->lastMove;
    std::printf("search: ");
    char text[8];
    while (n > 0) {
        alg(path[--n], text);
        std::printf("%-6s", text);
    }
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

int bookNsearchRoot(const Position& p, int depth, int alpha, int beta, PvLine& out, int margin) {
    out.m[0] = 0;
    const int side = sideToMove(p);
    const bool first = depth / 2 == 1;
    if (first) {
        rootCount = rootMoves(p, rootList);
        nodecount = 0;
    }
    const Bitboard freeSq = freeSquares(p, side);
    const int seventh = side == WHITE ? 6 : 1;
    RootMove cands[MAX_ROOT_MOVES];
    int candCount = 0, legal = 0, best = NO_SCORE;
    PvLine bestLine, childLine;
    bestLine.m[0] = 0;
    Position child;
    for (int i = 0; i < rootCount; ++i) {
        const Move m = rootList[i].m;
        if (!makeLegal(p, child, m)) continue;
        ++legal;
        int s;
        bool candidate = false;
        if (rep(child)) {
            s = 0;
            childLine.m[0] = 0;
        } else {
            int ext = 0;
            if (child.inCheck) {
                ext = 2;
            } else if (p.pcs[side][PAWN] & bit(moveFrom(m))) {
                ext = (rankOf(moveTo(m)) == seventh) + ((freeSq & bit(moveTo(m))) != 0);
            }
            const int d = depth - 2 + ext;
            if (first || legal == 1) {
                s = -searchPv(child, NO_SCORE, -NO_SCORE, d, 1, childLine);
                candidate = !first;
            } else {
                // Open below alpha by the margin, so that near-best moves get
                // a true score and join the candidates.
                const int low = std::max(alpha - margin - 1, NO_SCORE);
                s = -searchPv(child, -beta, -low, d, 1, childLine);
                candidate = s >= alpha - margin;
            }
        }
        if (signals.abortflag) return 0;
        if (first) rootList[i].score = s;
        if (candidate) cands[candCount++] = {m, s};
        if (s > best) {
            best = s;
            setLine(bestLine, m, childLine);
        }
        if (s >= beta) break;
        alpha = std::max(alpha, best);
    }
    if (first) {
        sortRootMoves(rootList, rootCount);
        search.easyMove = obviousLead(rootCount, rootList[0].score, rootList[1].score) ? rootList[0].m : 0;
    } else if (bestLine.m[0]) {
        rootMoveToFront(rootList, rootCount, bestLine.m[0]);
    }
    if (legal == 0) best = p.inCheck ? mated_in(0) : 0;
    // The lowest-scored candidate is left out: it is the one the margin only
    // just let in.
    sortRootMoves(cands, candCount);
    for (int i = 0; i + 1 < candCount && i < CANDIDATES_KEPT; ++i) {
        out.m[i] = cands[i].m;
        out.m[i + 1] = 0;
    }
    return best;
}

int bookBeginSearch(Position& p, int effort, int multi, PvLine& out) {
    // Only the node budget ends a study search: no clock, no output, and no
    // limits left over from a UCI "go".
    SearchLimits limits;
    limits.budget = NO_CLOCK;
    limits.printLines = false;
    startSearch(p, limits);
    const uint64_t budget = uint64_t(effort) * NODES_PER_EFFORT;
    int score = 0;
    for (int depth = 3;; depth += 2) {
        score = multi ? bookNsearchRoot(p, depth, NO_SCORE, -NO_SCORE, out, CANDIDATE_MARGIN)
                      : searchRoot(p, depth, out);
        if (signals.abortflag || std::abs(score) > 31799 || depth >= 191 || nodecount >= budget) break;
    }
    return score;
}

void bookAddResult(BookStore& b, const Position& p, int score, const PvLine& cands, const PvLine& best) {
    BookRecord* r = getBookRecord(b, p);
    if (r->depth <= bookEffort) bookPut(b, r, p.hashKey, score, bookEffort);
    if (best.m[0]) addChild(b, p, best.m[0]);
    if (score < -EVEN_MARGIN || score > EVEN_MARGIN) return;
    for (int i = 0; i < CANDIDATES_ADDED && cands.m[i]; ++i) addChild(b, p, cands.m[i]);
}

int book_study(BookStore& b, const Position& p, int plyLimit) {
    if (p.ctm == plyLimit) return 0;
    const BookRecord* r = getBookRecord(b, p);
    if (r->used && r->depth > 0) {
        // Searched already: go on into the book's best-scored children first.
        RootMove list[MAX_ROOT_MOVES];
        const int n = rootMoves(p, list);
        Position child;
        for (int i = 0; i < n; ++i) {
            make(p, child, list[i].m);
            const BookRecord* c = getBookRecord(b, child);
            list[i].score = c->used && c->depth > 0 ? -c->score : UNKNOWN_CHILD;
        }
        sortRootMoves(list, n);
        for (int i = 0; i < n; ++i) {
            make(p, child, list[i].m);
            child.inCheck = fasterInCheck(child, sideToMove(child));
            if (getBookRecord(b, child)->used && book_study(b, child, plyLimit)) return 1;
        }
        return 0;
    }
    // A position the book cannot take is not worth a search it cannot keep.
    if (!r->used && !bookHasRoom(b)) return 0;
    printPath(p);
    Position root = p;
    PvLine cands, best;
    bookBeginSearch(root, bookEffort, 1, cands);
    const int score = bookBeginSearch(root, bookEffort, 0, best);
    if (signals.abortflag) return 0;  // the scores of an interrupted search mean nothing
    bookAddResult(b, p, score, cands, best);
    return 1;
}

int study_book(const char* name) {
    BookStore b{};
    if (bookLoad(b, name) != BOOK_OK) return 255;
    Position start;
    fenToPosition(start, "");
    int status = 0;
    for (int limit = 1; limit <= bookMaxPly && !status; ++limit) {
        for (;;) {
            const int more = book_study(b, start, limit);
            // Rewritten after every search, so an interrupted study loses at
            // most the search it was running.
            if (writeBookFromMemory(b, name) != 0) {
                status = 1;
                break;
            }
            if (!more) break;
        }
    }
    if (!status && writeBookFromMemory(b, name) != 0) status = 1;
    freeBook(b);
    return status;
}
