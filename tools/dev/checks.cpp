// The developer checks of the move generation: perft through the picker, and
// the cross-checks of the evasion row and of the captures-and-checks generator.
#include "checks.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "board/attacks.h"
#include "board/display.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/zobrist.h"
#include "legaltree.h"
#include "search/picker.h"

uint64_t perftReports = 0;
uint64_t jcount = 0;
uint64_t perftCastles = 0;

namespace {

void countLegal(Move m, int depth) {
    ++jcount;
    if (depth == 1 && moveType(m) == CASTLE) ++perftCastles;
}

void printMoves(const Move* list, int n) {
    char text[8];
    for (int i = 0; i < n; ++i) {
        alg(list[i], text);
        std::printf("%-6s", text);
    }
    std::printf("\n");
}

// Legal moves of a picker row, low 16 bits, in the order handed out.
int pickerLegal(const Position& p, int row, Move* out, bool byFasterTest) {
    GenContext g;
    initGenContext(p, g, row, 0, 0, 0);
    int col = sideToMove(p), n = 0;
    Position child;
    for (Move m; (m = nextMove(g));) {
        make(p, child, m);
        bool legal = byFasterTest ? !fasterInCheck(child, col) : leavesKingSafe(child);
        if (legal) out[n++] = m & 0xffff;
    }
    return n;
}

}  // namespace

uint64_t perft(const Position& p, int depth, int quiet) {
    if (depth == 0) return 1;
    GenContext g;
    initGenContext(p, g, ROW_MAIN, 0, 0, 0);
    uint64_t sum = 0;
    Position child;
    for (Move m; (m = nextMove(g));) {
        if (moveType(m) != EN_PASSANT && !pslegal(p, m)) continue;
        make(p, child, m);
        if (!leavesKingSafe(child)) continue;
        countLegal(m, depth);
        sum += perft(child, depth - 1, 1);
        if (!quiet) {
            std::printf(".");
            std::fflush(stdout);
        }
    }
    return sum;
}

uint64_t WORKING_perft(const Position& p, int depth, int quiet) {
    if (depth == 0) return 1;
    Move list[MAX_MOVES];
    int n = genAll(p, list);
    uint64_t sum = 0;
    Position child;
    for (int i = 0; i < n; ++i) {
        Move m = list[i];
        make(p, child, m);
        if (!leavesKingSafe(child)) continue;
        countLegal(m, depth);
        if (child.hashKey != slowHash(child)) {
            char text[8];
            alg(m, text);
            std::printf("\n%" PRIu64 " HEY, a hashing error here after %s!\n", jcount, text);
            displayBoardStdout(p);
            ++perftReports;
        }
        sum += perft(child, depth - 1, 1);
        if (!quiet) {
            std::printf(".");
            std::fflush(stdout);
        }
    }
    return sum;
}

int testOutGen(const Position& p) {
    Move all[MAX_MOVES], out[MAX_MOVES];
    int na = pickerLegal(p, ROW_MAIN, all, true);
    int nb = pickerLegal(p, ROW_EVASIONS, out, false);
    // The evasion generator may offer one king capture twice; count it once.
    int kept = 0;
    for (int i = 0; i < nb; ++i)
        if (std::find(out, out + kept, out[i]) == out + kept) out[kept++] = out[i];
    nb = kept;
    std::sort(all, all + na);
    std::sort(out, out + nb);
    if (na == nb) return 0;

    std::printf("Hey, move list size does not match!");
    if (p.inCheck)
        std::printf("Hey, %d is IN check!\n", sideToMove(p));
    else
        std::printf("Hey %d is NOT in check!\n", sideToMove(p));
    displayBoardStdout(p);
    printMoves(all, na);
    printMoves(out, nb);
    ++perftReports;
    return 0;
}

int testCapsChecks(const Position& p) {
    Move all[MAX_MOVES];
    int n = genAll(p, all);
    if (n == 0) return 0;
    int col = sideToMove(p);

    // Captures, queen promotions and legal checks: what the quiescence search
    // relies on finding among the generated captures and checks.
    Move expected[MAX_MOVES];
    int ne = 0;
    Position child;
    for (int i = 0; i < n; ++i) {
        Move m = all[i];
        int type = moveType(m);
        if (type != NORMAL && type != PROMO_Q) continue;
        make(p, child, m);
        if (!leavesKingSafe(child)) continue;
        bool check = getAttBoard(child, col) & child.pcs[col ^ 1][KING];
        bool capture = p.pcs[col ^ 1][ALL] & bit(moveTo(m));
        if (check || type == PROMO_Q || capture) expected[ne++] = m;
    }

    Move found[MAX_MOVES];
    int nf = genCapsChecks(p, found);
    for (int i = 0; i < ne; ++i) {
        Move squares = expected[i] & 0xfff;
        bool listed = std::any_of(found, found + nf, [&](Move f) { return (f & 0xfff) == squares; });
        if (listed) continue;
        char text[8];
        alg(expected[i], text);
        std::printf("\nHEY - move not found in list: %s", text);
        displayBoardStdout(p);
        ++perftReports;
    }
    return 0;
}
