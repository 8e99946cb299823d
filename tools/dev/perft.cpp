// zarv-dev perft and divide: the legal move-tree count of a position, the
// standard yardstick of a move generator. Every move of genAll is made at
// every level (no counting shortcuts at the leaves) and kept when the mover's
// king is not attacked afterwards.
#include <chrono>
#include <cstdio>
#include <string>

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "dev.h"
#include "frontend/notation.h"

namespace {

constexpr long MAX_DEPTH = 10;

uint64_t legalPerft(const Position& p, int depth) {
    if (depth == 0) return 1;
    Move list[MAX_MOVES];
    const int n = genAll(p, list), col = sideToMove(p);
    uint64_t count = 0;
    Position child;
    for (int i = 0; i < n; ++i) {
        make(p, child, list[i]);
        if (fasterInCheck(child, col)) continue;
        count += depth == 1 ? 1 : legalPerft(child, depth - 1);
    }
    return count;
}

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

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
    const double start = now();
    uint64_t count;
    if (picker) {
        jcount = 0;
        perftCastles = 0;
        count = perft(p, int(depth), 1);
    } else {
        count = legalPerft(p, int(depth));
    }
    printPerft(depth, count, now() - start);
    if (picker) std::printf("jcount %llu castles %llu\n", (unsigned long long)jcount, (unsigned long long)perftCastles);
    return 0;
}

int runDivide(int argc, char** argv) {
    long depth;
    Position p{};
    if (!readArgs(argc, argv, 1, depth, p)) return DEV_USAGE;
    const double start = now();
    uint64_t total = 0;
    if (depth == 0) {
        total = 1;
    } else {
        Move list[MAX_MOVES];
        const int n = genAll(p, list), col = sideToMove(p);
        Position child;
        for (int i = 0; i < n; ++i) {
            make(p, child, list[i]);
            if (fasterInCheck(child, col)) continue;
            const uint64_t c = legalPerft(child, int(depth) - 1);
            char text[8];
            alg(list[i], text);
            std::printf("%s %llu\n", text, (unsigned long long)c);
            total += c;
        }
    }
    printPerft(depth, total, now() - start);
    return 0;
}

const DevRegister perftCommand("perft", "perft [--picker] DEPTH [FEN]   legal move-tree count (--picker: through the move picker)",
                               runPerft);
const DevRegister divideCommand("divide", "divide DEPTH [FEN]   perft count below each legal root move", runDivide);

}  // namespace
