// zarv-dev bench and go: a fixed search benchmark whose node count is a
// signature of the search, and one search of any position with the engine's
// own "info" and "bestmove" lines.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "base/general.h"
#include "board/make.h"
#include "board/notation.h"
#include "dev.h"
#include "search/search.h"
#include "search/strength.h"
#include "search/transposition.h"

namespace {

constexpr long BENCH_DEPTH = 11;
constexpr int BENCH_HASH_MB = 16;
constexpr double NO_CLOCK = 31622400.0;  // a year: the depth alone ends the search

// Openings, middle games, endgames and mates.
constexpr const char* BENCH_FENS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3",
    "rnbqkb1r/pp2pppp/3p1n2/8/3NP3/8/PPP2PPP/RNBQKB1R w KQkq - 1 5",
    "rnbqkbnr/ppp1pppp/8/3p4/2PP4/8/PP2PPPP/RNBQKBNR b KQkq - 0 2",
    "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQK2R w KQkq - 1 5",
    "rnbqkb1r/pppppppp/5n2/8/2PP4/8/PP2PPPP/RNBQKBNR b KQkq - 0 2",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r2q1rk1/pp2ppbp/2p2np1/6B1/3PP1b1/Q1P2N2/P4PPP/3RKB1R b K - 0 13",
    "2rq1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PNBPN2/PB3PPP/2RQ1RK1 w - - 0 11",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 1",
    "3r1rk1/p4ppp/1p2p3/2q5/3R4/1P2P3/P1Q2PPP/3R2K1 w - - 0 1",
    "4rrk1/pp1n3p/3q2pQ/2p1pb2/2PP4/2P3N1/P2B2PP/4RRK1 b - - 7 19",
    "r3r1k1/2p2ppp/p1p1bn2/8/1q2P3/2NPQN2/PPP3PP/R4RK1 b - - 2 15",
    "r1b1k2r/ppppnppp/2n2q2/2b5/3NP3/2P1B3/PP3PPP/RN1QKB1R w KQkq - 0 1",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "6k1/p3q2p/1nr3pB/8/3Q1P2/6P1/PP5P/3R2K1 b - - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/8/8/4k3/8/8/4P3/4K3 w - - 0 1",
    "8/8/1p1k4/p1p5/P1P5/1P1K4/8/8 w - - 0 1",
    "8/8/8/8/8/5k2/4r3/6K1 b - - 0 1",
    "8/pk6/8/2R5/8/8/5PPP/6K1 w - - 0 1",
    "8/8/3k4/8/2B5/2N5/8/4K3 w - - 0 1",
    "5k2/5p2/4p3/3pP1P1/3P4/3K4/8/8 w - - 0 1",
    "8/5pk1/6p1/8/2R5/6P1/r4PK1/8 b - - 0 1",
    "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1",
    "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
    "r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1",
    "k7/8/2K5/8/8/8/8/7R w - - 0 1",
    "2k5/8/8/8/8/8/6Q1/4K3 w - - 0 1",
    "r1bq2r1/b4pk1/p1pp1p2/1p2pP2/1P2P1PB/3P4/1PPQ2P1/R3K2R w - - 0 1",
};

int runBench(int argc, char** argv) {
    long depth = BENCH_DEPTH;
    if (argc > 2 || (argc == 2 && (!devNumber(argv[1], depth) || depth < 1 || depth > 30))) {
        std::fprintf(stderr, "zarv-dev bench: expected an iteration depth from 1 to 30\n");
        return DEV_USAGE;
    }
    ttabFreeHashTable(hashtable);
    hashtable = ttabMakeHashTable(BENCH_HASH_MB);
    const int32_t savedMeg = hashMeg;
    hashMeg = BENCH_HASH_MB;
    searchHooks.poll = nullptr;
    SearchLimits limits;
    limits.budget = NO_CLOCK;
    limits.depth = int(depth);
    limits.printLines = false;

    uint64_t total = 0;
    double elapsed = 0;
    int index = 0;
    for (const char* fen : BENCH_FENS) {
        // Every position starts from the state of a fresh engine, so its
        // count does not depend on the positions before it.
        learned = {};
        Position p;
        fenToPosition(p, fen);
        double t0 = devNow();
        uciBeginSearch(p, limits);
        double t = devNow() - t0;
        elapsed += t;
        total += nodecount;
        std::printf("%2d %12" PRIu64 " nodes %8.0f ms  bestmove %-6s %s\n", ++index, nodecount, t * 1000.0,
                    search.bestMove, fen);
    }
    hashMeg = savedMeg;
    std::printf("bench %" PRIu64 " nodes %" PRIu64 " nps\n", total,
                elapsed > 0 ? uint64_t(double(total) / elapsed) : uint64_t(0));
    return 0;
}

int runGo(int argc, char** argv) {
    long depth = 0, nodes = 0, movetime = 0, elo = 0, seed = 0;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
        long* target = std::strcmp(argv[i], "--depth") == 0      ? &depth
                       : std::strcmp(argv[i], "--nodes") == 0    ? &nodes
                       : std::strcmp(argv[i], "--movetime") == 0 ? &movetime
                       : std::strcmp(argv[i], "--elo") == 0      ? &elo
                       : std::strcmp(argv[i], "--seed") == 0     ? &seed
                                                                 : nullptr;
        if (!target) {
            std::fprintf(stderr, "zarv-dev go: unknown option %s\n", argv[i]);
            return DEV_USAGE;
        }
        if (i + 1 >= argc || !devNumber(argv[i + 1], *target) || *target < 1) {
            std::fprintf(stderr, "zarv-dev go: %s needs a positive number\n", argv[i]);
            return DEV_USAGE;
        }
    }
    if ((depth != 0) + (nodes != 0) + (movetime != 0) > 1) {
        std::fprintf(stderr, "zarv-dev go: give at most one of --depth, --nodes and --movetime\n");
        return DEV_USAGE;
    }
    Position p;
    if (!devPosition(argc, argv, i, p)) return DEV_USAGE;
    if (hashMeg != 0 && !hashtable.entries) hashtable = ttabMakeHashTable(hashMeg);
    // The developer program's standard input is not a GUI.
    searchHooks.poll = nullptr;
    SearchLimits limits;
    limits.budget = movetime ? double(movetime) / 1000.0 : NO_CLOCK;
    limits.nodes = uint64_t(nodes);
    if (depth)
        limits.depth = int(depth);
    else if (!movetime && !nodes && !elo)
        limits.depth = 8;  // a level's own budget ends its search
    // A strength level plays as it would in a game: its own budget, and a
    // choice among its lines that the seed makes repeatable.
    limits.elo = elo ? std::clamp(int(elo), ELO_MIN, ELO_MAX) : 0;
    if (seed) seedLevelRandom(uint64_t(seed));
    uciBeginSearch(p, limits);
    return 0;
}

const DevRegister benchCmd("bench", "bench [DEPTH]      fixed search benchmark; last line: bench NODES nodes NPS nps",
                           runBench);
const DevRegister goCmd("go", "go [--depth N | --nodes N | --movetime MS] [--elo E [--seed S]] [FEN]   one search with info and bestmove",
                        runGo);

}  // namespace
