// Perft and the generator cross-check of captures and checks. Their findings
// go to standard output; a silent run is a passing run.
#include "board/perft.h"

#include <algorithm>
#include <cstdio>

#include "board/attacks.h"
#include "board/display.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/notation.h"

uint64_t perftReports = 0;

uint64_t legalPerft(const Position& p, int depth) {
    return walkTree(p, depth, [](const Position&, const Position&, Move) {});
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
