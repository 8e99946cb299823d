// zarv-dev see, selftest and display: the exchange value of one move, the
// generator cross-checks over a whole legal tree, and the board picture.
#include <cinttypes>
#include <cstdio>

#include "base/general.h"
#include "board/attacks.h"
#include "board/display.h"
#include "board/legal.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/see.h"
#include "checks.h"
#include "dev.h"
#include "legaltree.h"

namespace {

int runSee(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zarv-dev see MOVE [FEN]\n");
        return DEV_USAGE;
    }
    Position p;
    if (!devPosition(argc, argv, 2, p)) return DEV_USAGE;
    Move m = findMove(p, argv[1]);
    if (!m) {
        std::fprintf(stderr, "zarv-dev see: \"%s\" is not a move of this position\n", argv[1]);
        return DEV_USAGE;
    }
    char text[8];
    alg(m, text);
    std::printf("see %s %d\n", text, see(p, m, 0));
    return 0;
}

// Runs both cross-checks on p and every legal descendant to `depth` plies.
uint64_t walk(const Position& p, int depth) {
    if (p.inCheck) testOutGen(p);
    testCapsChecks(p);
    uint64_t nodes = 1;
    if (depth == 0) return nodes;
    Move list[MAX_MOVES];
    const int n = legalMoves(p, list);
    Position child;
    for (int i = 0; i < n; ++i) {
        make(p, child, list[i]);
        child.inCheck = fasterInCheck(child, sideToMove(child));
        nodes += walk(child, depth - 1);
    }
    return nodes;
}

int runSelftest(int argc, char** argv) {
    long depth = 0;
    if (argc < 2 || !devNumber(argv[1], depth) || depth < 0 || depth > 8) {
        std::fprintf(stderr, "usage: zarv-dev selftest DEPTH [FEN]   (DEPTH 0 to 8)\n");
        return DEV_USAGE;
    }
    Position p;
    if (!devPosition(argc, argv, 2, p)) return DEV_USAGE;
    perftReports = 0;
    jcount = perftCastles = 0;
    WORKING_perft(p, int(depth), 1);
    uint64_t nodes = walk(p, int(depth));
    std::printf("selftest %" PRIu64 " nodes %" PRIu64 " reports\n", nodes, perftReports);
    return 0;
}

int runDisplay(int argc, char** argv) {
    Position p;
    if (!devPosition(argc, argv, 1, p)) return DEV_USAGE;
    displayBoardStdout(p);
    return 0;
}

const DevRegister seeCommand("see", "see MOVE [FEN]          exchange value of a move", runSee);
const DevRegister selftestCommand("selftest", "selftest DEPTH [FEN]    generator cross-checks over the legal tree",
                                  runSelftest);
const DevRegister displayCommand("display", "display [FEN]           the board picture of a position", runDisplay);

}  // namespace
