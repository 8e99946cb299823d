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

struct ScoredMove {
    Move m;
    int32_t score;
};

// Root moves of the candidate search, kept from one iteration to the next.
ScoredMove rootList[256];
int rootCount;

bool firstSearchDone;  // the first search clears the table and the history

// Squares of the enemy half whose file, from there to the last rank, no enemy
// pawn attacks or stands in front of: a pawn arriving there cannot be stopped
// by a pawn.
Bitboard freeSquares(const Position& p, int side) {
    const Bitboard enemyHalf = side == WHITE ? 0xffffffff00000000ULL : 0x00000000ffffffffULL;
    return ~pawnFrontier(side ^ 1, p.pcs[side ^ 1][PAWN]) & enemyHalf;
}

// Legal moves of p in the picker's order, without hash move or killers.
int legalMoves(const Position& p, ScoredMove* list) {
    GenContext g;
    initGenContext(p, g, ROW_MAIN, 0, 0, 0);
    Position child;
    int n = 0;
    while (Move m = nextMove(g)) {
        make(p, child, m);
        if (!fasterInCheck(child, sideToMove(p))) list[n++] = {m, 0};
    }
    return n;
}

// Highest score first; the plain exchange sort keeps the order of the
// original program for equal scores.
void sortByScore(ScoredMove* list, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (list[j].score > list[i].score) std::swap(list[i], list[j]);
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
        rootCount = legalMoves(p, rootList);
        nodecount = 0;
    }
    const Bitboard freeSq = freeSquares(p, side);
    const int seventh = side == WHITE ? 6 : 1;
    ScoredMove cands[256];
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
        if (abortflag) return 0;
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
        sortByScore(rootList, rootCount);
        easyMove = obviousLead(rootCount, rootList[0].score, rootList[1].score) ? rootList[0].m : 0;
    } else if (bestLine.m[0]) {
        int at = 0;
        while (at < rootCount && rootList[at].m != bestLine.m[0]) ++at;
        if (at < rootCount) {
            const ScoredMove moved = rootList[at];
            for (; at > 0; --at) rootList[at] = rootList[at - 1];
            rootList[0] = moved;
        }
    }
    if (legal == 0) best = p.inCheck ? mated_in(0) : 0;
    // The lowest-scored candidate is left out: it is the one the margin only
    // just let in.
    sortByScore(cands, candCount);
    for (int i = 0; i + 1 < candCount && i < CANDIDATES_KEPT; ++i) {
        out.m[i] = cands[i].m;
        out.m[i + 1] = 0;
    }
    return best;
}

int bookBeginSearch(Position& p, int effort, int multi, PvLine& out) {
    abortflag = 0;
    for (int i = 0; i < 128; ++i) ka[i] = kb[i] = oa[i] = ob[i] = 0;
    const bool table = hashtable.entries != nullptr;
    if (!firstSearchDone) {
        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < 8; ++k)
                for (int s = 0; s < 64; ++s) {
                    const int i = (c * 8 + k) * 64 + s;
                    his_s[i] = his_f[i] = (k >= PAWN && k <= KING) ? 1 : 0;
                }
        // Without a table the next search starts afresh too.
        if (table) {
            ttabClear(hashtable);
            ttAge(hashtable);
            firstSearchDone = true;
        }
    } else if (table) {
        ttAge(hashtable);
    }
    p.pstScore = getSC(p);
    p.stage = getSTAGE(p);
    // Only the node budget ends a study search: no clock, no output, and no
    // limits left over from a UCI "go".
    starttime = seconds(1);
    ponderMode = 0;
    const int32_t infoWas = INFO_OFF;
    const uint64_t limitWas = nodeLimit;
    const int32_t restrictWas = searchMovesCount;
    INFO_OFF = 1;
    nodeLimit = 0;
    searchMovesCount = 0;
    goaltime = starttime + 9999999.0;
    const uint64_t budget = uint64_t(effort) * NODES_PER_EFFORT;
    int score = 0;
    for (int depth = 3;; depth += 2) {
        score = multi ? bookNsearchRoot(p, depth, NO_SCORE, -NO_SCORE, out, CANDIDATE_MARGIN)
                      : searchRoot(p, depth, out);
        if (abortflag || std::abs(score) > 31799 || depth >= 191 || nodecount >= budget) break;
    }
    INFO_OFF = infoWas;
    nodeLimit = limitWas;
    searchMovesCount = restrictWas;
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
        ScoredMove list[256];
        const int n = legalMoves(p, list);
        Position child;
        for (int i = 0; i < n; ++i) {
            make(p, child, list[i].m);
            const BookRecord* c = getBookRecord(b, child);
            list[i].score = c->used && c->depth > 0 ? -c->score : UNKNOWN_CHILD;
        }
        sortByScore(list, n);
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
    if (abortflag) return 0;  // the scores of an interrupted search mean nothing
    bookAddResult(b, p, score, cands, best);
    return 1;
}

int study_book(const char* name) {
    BookStore b{};
    loadBookIntoMemory(b, name);
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
