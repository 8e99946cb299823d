// zarv-dev perft and divide: the legal move-tree count of a position (walkTree),
// the standard yardstick of a move generator.
#include <cstdio>
#include <string>

#include "board/notation.h"
#include "checks.h"
#include "dev.h"
#include "legaltree.h"

namespace {

constexpr long MAX_DEPTH = 10;

void printPerft(long depth, uint64_t count, double secs) {
    const double rate = secs > 0 ? double(count) / secs : 0.0;
    std::printf("perft %ld %llu %.3f %.0f\n", depth, (unsigned long long)count, secs, rate);
}

// Reads DEPTH [FEN...] from argv[first...]; prints the reason and returns 0 when unusable.
int readArgs(int argc, char** argv, int first, long& depth, Position& p) {
    if (first >= argc || !devNumber(argv[first], depth)) {
        std::fprintf(stderr, "zarv-dev %s: expected a depth from 0 to %ld\n", argv[0], MAX_DEPTH);
        return 0;
    }
    if (depth < 0 || depth > MAX_DEPTH) {
        std::fprintf(stderr, "zarv-dev %s: depth %ld is outside 0 to %ld\n", argv[0], depth, MAX_DEPTH);
        return 0;
    }
    return devPosition(argc, argv, first + 1, p);
}

int runPerft(int argc, char** argv) {
    const bool picker = argc > 1 && std::string(argv[1]) == "--picker";
    long depth;
    Position p{};
    if (!readArgs(argc, argv, picker ? 2 : 1, depth, p)) return DEV_USAGE;
    const double start = devNow();
    uint64_t count;
    if (picker) {
        jcount = 0;
        perftCastles = 0;
        count = perft(p, int(depth), 1);
    } else {
        count = legalPerft(p, int(depth));
    }
    printPerft(depth, count, devNow() - start);
    if (picker) std::printf("jcount %llu castles %llu\n", (unsigned long long)jcount, (unsigned long long)perftCastles);
    return 0;
}

int runDivide(int argc, char** argv) {
    long depth;
    Position p{};
    if (!readArgs(argc, argv, 1, depth, p)) return DEV_USAGE;
    const double start = devNow();
    uint64_t total = 0;
    if (depth == 0) total = 1;
    else
        walkTree(p, 1, [&](const Position&, const Position& child, Move m) {
            const uint64_t c = legalPerft(child, int(depth) - 1);
            char text[8];
            alg(m, text);
            std::printf("%s %llu\n", text, (unsigned long long)c);
            total += c;
        });
    printPerft(depth, total, devNow() - start);
    return 0;
}

const DevRegister perftCommand("perft", "perft [--picker] DEPTH [FEN]   legal move-tree count (--picker: through the move picker)",
                               runPerft);
const DevRegister divideCommand("divide", "divide DEPTH [FEN]   perft count below each legal root move", runDivide);

}  // namespace
